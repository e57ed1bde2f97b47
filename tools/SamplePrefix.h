// The whole sample prefix: registry files, the files under drive_c and the
// dosdevices link. Binary Office files are synthetic: the right leading magic
// bytes, then deterministic pseudo-random filler.
#pragma once

#include "SampleJpeg.h"
#include "SamplePe.h"
#include "SampleRegistries.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace sample {

struct SampleFile {
    std::string path; // relative to the prefix, '/' separated
    Bytes data;
};

inline Bytes textBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Leading bytes followed by filler up to `size`; the filler depends only on
// the seed text, so every run writes the same bytes.
inline Bytes syntheticFile(const Bytes& head, std::size_t size, std::string_view seed) {
    Bytes out = head;
    std::uint64_t state = 1469598103934665603ULL;
    for (char c : seed)
        state = (state ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    while (out.size() < size) {
        state += 0x9E3779B97F4A7C15ULL; // splitmix64
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        for (int i = 0; i < 8 && out.size() < size; ++i)
            out.push_back(static_cast<unsigned char>(z >> (8 * i)));
    }
    return out;
}

// Header of a personal folders or address book file: "!BDN", a checksum
// field, the client magic ("SM" data file, "AB" address book), the format
// version (23 Unicode, 14 ANSI), the client version and the platform bytes.
inline Bytes ndbHeader(char client0, char client1, std::uint16_t version) {
    return {'!',
            'B',
            'D',
            'N',
            0x5c,
            0x3a,
            0x8e,
            0x21,
            static_cast<unsigned char>(client0),
            static_cast<unsigned char>(client1),
            static_cast<unsigned char>(version),
            static_cast<unsigned char>(version >> 8),
            19,
            0,
            1,
            1};
}

inline const Bytes kOleMagic = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
inline const Bytes kZipMagic = {'P', 'K', 0x03, 0x04, 0x14, 0x00, 0x06, 0x00};

constexpr const char* kLocalOutlook = "drive_c/users/sam/AppData/Local/Microsoft/Outlook/";
constexpr const char* kRoamingMicrosoft = "drive_c/users/sam/AppData/Roaming/Microsoft/";
constexpr const char* kStationery =
    "drive_c/Program Files/Common Files/microsoft shared/Stationery/";

inline std::string signatureHtml() {
    return "<html xmlns:v=\"urn:schemas-microsoft-com:vml\"\r\n"
           "xmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
           "xmlns:w=\"urn:schemas-microsoft-com:office:word\"\r\n"
           "xmlns=\"http://www.w3.org/TR/REC-html40\">\r\n"
           "\r\n"
           "<head>\r\n"
           "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">\r\n"
           "<meta name=ProgId content=Word.Document>\r\n"
           "<meta name=Generator content=\"Microsoft Word 14\">\r\n"
           "<meta name=Originator content=\"Microsoft Word 14\">\r\n"
           "<link rel=File-List href=\"Personal_files/filelist.xml\">\r\n"
           "<style>\r\n"
           "p.MsoNormal {margin:0in; font-size:11.0pt; font-family:\"Calibri\",\"sans-serif\";}\r\n"
           "</style>\r\n"
           "</head>\r\n"
           "\r\n"
           "<body lang=EN-US>\r\n"
           "<div class=WordSection1>\r\n"
           "<p class=MsoNormal>Kind regards,<o:p></o:p></p>\r\n"
           "<p class=MsoNormal><b>Sam Sample</b><br>\r\n"
           "Cr&egrave;me Br&ucirc;l&eacute;e Bakery<br>\r\n"
           "<a href=\"mailto:sam@example.com\">sam@example.com</a><o:p></o:p></p>\r\n"
           "<p class=MsoNormal><img width=32 height=24 src=\"Personal_files/image001.jpg\"\r\n"
           "alt=\"Bakery logo\"><o:p></o:p></p>\r\n"
           "</div>\r\n"
           "</body>\r\n"
           "\r\n"
           "</html>\r\n";
}

inline std::string stationeryHtml(std::string_view title, std::string_view background) {
    std::string html =
        "<html>\r\n<head>\r\n"
        "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">\r\n"
        "<title>";
    html += title;
    html += "</title>\r\n<style>\r\nbody {font-family: Georgia, serif; font-size: 11pt;";
    if (!background.empty()) {
        html += " background-image: url(\"";
        html += background;
        html += "\");";
    }
    html += "}\r\n</style>\r\n</head>\r\n<body>\r\n<p>&nbsp;</p>\r\n</body>\r\n</html>\r\n";
    return html;
}

inline std::string navigationXml(std::string_view profile, std::string_view store,
                                 std::string_view version = "14.0") {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<Outlook version=\"";
    xml += version;
    xml += "\" profile=\"";
    xml += profile;
    xml += "\">\r\n  <NavigationPane width=\"232\" minimized=\"false\">\r\n"
           "    <Module name=\"Mail\" selected=\"true\"/>\r\n"
           "    <Module name=\"Calendar\"/>\r\n"
           "    <Module name=\"Contacts\"/>\r\n"
           "    <Module name=\"Tasks\"/>\r\n"
           "  </NavigationPane>\r\n  <Favorites>\r\n    <Folder store=\"";
    xml += store;
    xml += "\" path=\"\\Inbox\"/>\r\n    <Folder store=\"";
    xml += store;
    xml += "\" path=\"\\Sent Items\"/>\r\n  </Favorites>\r\n</Outlook>\r\n";
    return xml;
}

inline std::vector<SampleFile> sampleFiles() {
    const std::string local = kLocalOutlook;
    const std::string roaming = kRoamingMicrosoft;
    const std::string signatures = roaming + "Signatures/";
    const std::string stationery = kStationery;
    std::vector<SampleFile> files;
    auto add = [&files](std::string path, Bytes data) {
        files.push_back({std::move(path), std::move(data)});
    };
    auto synthetic = [&add](const std::string& path, const Bytes& head, std::size_t size) {
        add(path, syntheticFile(head, size, path));
    };

    // Data files; "Old Projects.pst" of profile Work is deliberately absent.
    synthetic(local + "Outlook.pst", ndbHeader('S', 'M', 23), 118784);
    synthetic(local + "Archive.pst", ndbHeader('S', 'M', 23), 73728);
    synthetic(local + "Work.pst", ndbHeader('S', 'M', 14), 41984);
    synthetic(local + "mailbox.pab", ndbHeader('A', 'B', 14), 17408);

    // Rules and preferences; only profile Outlook has a rules file.
    synthetic(roaming + "Outlook/Outlook.RWZ", {}, 1536);
    synthetic(roaming + "Outlook/Outlook.srs", {}, 2048);
    add(roaming + "Outlook/Outlook.xml", textBytes(navigationXml("Outlook", "Personal Folders")));
    synthetic(roaming + "Outlook/Outcmd.dat", {}, 3072);
    synthetic(roaming + "Outlook/views.dat", {}, 1024);
    synthetic(roaming + "Outlook/Work.srs", {}, 2048);
    add(roaming + "Outlook/Work.xml", textBytes(navigationXml("Work", "Work Folders")));

    // Signature "Personal" in its three forms, with its picture.
    add(signatures + "Personal.htm", textBytes(signatureHtml()));
    add(signatures + "Personal.txt",
        textBytes("Kind regards,\r\nSam Sample\r\nCreme Brulee Bakery\r\nsam@example.com\r\n"));
    add(signatures + "Personal.rtf",
        textBytes("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                  "Calibri;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs22 Kind regards,\\par\r\n"
                  "\\b Sam Sample\\b0\\par\r\nCr\\'e8me Br\\'fbl\\'e9e Bakery\\par\r\n"
                  "sam@example.com\\par\r\n}\r\n"));
    add(signatures + "Personal_files/filelist.xml",
        textBytes("<xml xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n"
                  " <o:MainFile HRef=\"../Personal.htm\"/>\r\n"
                  " <o:File HRef=\"image001.jpg\"/>\r\n"
                  " <o:File HRef=\"filelist.xml\"/>\r\n"
                  "</xml>\r\n"));
    add(signatures + "Personal_files/image001.jpg", flatBlockJpeg(4, 3, [](int x, int y) {
            return Rgb{200 - 20 * y, 140 + 25 * x, 60 + 10 * (x + y)};
        }));

    // Stationery under the shared files folder.
    add(stationery + "Evening Sky.htm",
        textBytes(stationeryHtml("Evening Sky", "Evening Sky Bkgrd.jpg")));
    add(stationery + "Evening Sky Bkgrd.jpg", flatBlockJpeg(8, 8, [](int x, int y) {
            return Rgb{30 + 20 * y, 40 + 12 * y, 120 + 8 * x};
        }));
    add(stationery + "Plain Paper.htm", textBytes(stationeryHtml("Plain Paper", "")));

    // Templates.
    synthetic(roaming + "Templates/NormalEmail.dotm", kZipMagic, 4096);
    synthetic(roaming + "Templates/Weekly Report.oft", kOleMagic, 5632);

    add("drive_c/windows/win.ini",
        textBytes(
            "[fonts]\r\n[extensions]\r\n[mci extensions]\r\n[files]\r\n[Mail]\r\nMAPI=1\r\n"));
    add("drive_c/Program Files/Microsoft Office/Office14/OUTLOOK.EXE", buildSamplePe());

    add("system.reg", textBytes(sampleSystemReg()));
    add("user.reg", textBytes(sampleUserReg()));
    add("userdef.reg", textBytes(sampleUserdefReg()));
    return files;
}

// Writes a sample prefix (the Outlook 2010 one by default) into `dir`, which
// must not exist yet or be empty.
inline void writeSamplePrefix(const std::filesystem::path& dir,
                              const std::vector<SampleFile>& files = sampleFiles()) {
    namespace fs = std::filesystem;
    if (fs::exists(dir) && !fs::is_empty(dir))
        throw std::runtime_error(dir.string() + " is not empty");
    for (const SampleFile& f : files) {
        const fs::path target = dir / f.path;
        fs::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.data.data()),
                  static_cast<std::streamsize>(f.data.size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + target.string());
    }
    fs::create_directories(dir / "dosdevices");
    fs::create_directory_symlink("../drive_c", dir / "dosdevices" / "c:");
}

} // namespace sample
