#include "RestoreSuite.h"

#include "Outlook2016Prefix.h"
#include "core/Session.h"

const PrefixUnderTest kOutlook2010{
    "Outlook2010",
    [](SamplePrefixCopy&) {}, // the copy is the sample
    "14.0",
    trelmig::kProfilesKey,
    "AppData/Local/Microsoft/Outlook",
    "Outlook.pst",
    "Archive.pst",
    "C:\\users\\sam\\Local Settings\\Application Data\\Microsoft\\Outlook\\Outlook.pst",
};

const PrefixUnderTest kOutlook2016{
    "Outlook2016",
    [](SamplePrefixCopy& copy) {
        const outlook2016::Prefix written;
        copy.copyOf(written.root);
        copy.user = "lee";
        // The "Outlook" profile's data file is large enough to be extracted
        // in several pieces (the 2010 sample's profile has two data files).
        std::ofstream pst(copy.userFolder() / "Documents/Outlook Files" /
                              outlook2016::dataFileOf("Outlook"),
                          std::ios::binary | std::ios::app);
        std::string noise(4 * 1024 * 1024, '\0');
        std::uint32_t state = 2166136261u;
        for (char& c : noise)
            c = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
        pst << noise;
        // An HTML signature with its pictures in the folder Outlook makes for them.
        const auto signatures = copy.userFolder() / "AppData/Roaming/Microsoft/Signatures";
        std::ofstream(signatures / "Lee.htm")
            << "<html><body><img src=\"Lee_files/image001.png\"></body></html>";
        std::filesystem::create_directories(signatures / "Lee_files");
        std::ofstream(signatures / "Lee_files/image001.png") << "PNG of Lee";
        std::ofstream(signatures / "Lee_files/filelist.xml") << "<xml></xml>";
        // Rules and templates, which the hand-written prefix leaves out.
        std::ofstream(copy.userFolder() / "AppData/Roaming/Microsoft/Outlook/Outlook.RWZ")
            << "rules of the Outlook profile";
        std::filesystem::create_directories(copy.userFolder() /
                                            "AppData/Roaming/Microsoft/Templates");
        std::ofstream(copy.userFolder() / "AppData/Roaming/Microsoft/Templates/NormalEmail.dotm")
            << "PK template";
    },
    "16.0",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles",
    "Documents/Outlook Files",
    outlook2016::dataFileOf("Outlook"),
    outlook2016::dataFileOf("Archive"),
    "C:\\users\\lee\\Documents\\Outlook Files\\" + outlook2016::dataFileOf("Outlook"),
};

INSTANTIATE_TEST_SUITE_P(Prefixes, RestoreSuite, ::testing::Values(kOutlook2010, kOutlook2016),
                         [](const auto& info) { return std::string(info.param.name); });
