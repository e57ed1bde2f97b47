#include "RestoreSpec.h"

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

INSTANTIATE_TEST_SUITE_P(Prefixes, RestoreSpec, ::testing::Values(kOutlook2010, kOutlook2016),
                         [](const auto& info) { return std::string(info.param.name); });
