// The second sample prefix: a 64-bit prefix with a 32-bit Outlook 2016 whose
// data files live in Documents\Outlook Files and whose personal files
// (signatures, stationery, templates, preferences) live under
// AppData\Roaming. Binary Office files are synthetic, as in the first sample.
#pragma once

#include "SamplePrefix.h"
#include "SampleRegistries2016.h"

#include <string>
#include <vector>

namespace sample {

constexpr const char* kOutlookFiles2016Dir = "drive_c/users/sam/Documents/Outlook Files/";

inline std::vector<SampleFile> sample2016Files() {
    const std::string data = kOutlookFiles2016Dir;
    const std::string roaming = kRoamingMicrosoft;
    const std::string signatures = roaming + "Signatures/";
    const std::string stationery = roaming + "Stationery/";
    std::vector<SampleFile> files;
    auto add = [&files](std::string path, Bytes data) {
        files.push_back({std::move(path), std::move(data)});
    };
    auto synthetic = [&add](const std::string& path, const Bytes& head, std::size_t size) {
        add(path, syntheticFile(head, size, path));
    };

    synthetic(data + "sam@example.com.pst", ndbHeader('S', 'M', 23), 102400);
    synthetic(data + "Archive.pst", ndbHeader('S', 'M', 23), 61440);
    synthetic(data + "sam@work.example.org.pst", ndbHeader('S', 'M', 23), 49152);

    // Rules carried over from an earlier Outlook, and preferences.
    synthetic(roaming + "Outlook/Outlook.RWZ", {}, 1280);
    synthetic(roaming + "Outlook/Outlook.srs", {}, 2048);
    add(roaming + "Outlook/Outlook.xml",
        textBytes(navigationXml("Outlook", "sam@example.com", "16.0")));
    synthetic(roaming + "Outlook/Work.srs", {}, 2048);
    add(roaming + "Outlook/Work.xml",
        textBytes(navigationXml("Work", "sam@work.example.org", "16.0")));

    add(signatures + "Personal.htm", textBytes(signatureHtml()));
    add(signatures + "Personal.txt",
        textBytes("Kind regards,\r\nSam Sample\r\nCreme Brulee Bakery\r\nsam@example.com\r\n"));
    add(signatures + "Personal_files/filelist.xml",
        textBytes("<xml xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n"
                  " <o:MainFile HRef=\"../Personal.htm\"/>\r\n"
                  " <o:File HRef=\"image001.jpg\"/>\r\n"
                  "</xml>\r\n"));
    add(signatures + "Personal_files/image001.jpg", flatBlockJpeg(4, 3, [](int x, int y) {
            return Rgb{200 - 20 * y, 140 + 25 * x, 60 + 10 * (x + y)};
        }));

    // Personal stationery, which Outlook 2013 and later keep per user.
    add(stationery + "Evening Sky.htm",
        textBytes(stationeryHtml("Evening Sky", "Evening Sky Bkgrd.jpg")));
    add(stationery + "Evening Sky Bkgrd.jpg", flatBlockJpeg(8, 8, [](int x, int y) {
            return Rgb{30 + 20 * y, 40 + 12 * y, 120 + 8 * x};
        }));

    synthetic(roaming + "Templates/NormalEmail.dotm", kZipMagic, 4608);
    synthetic(roaming + "Templates/Status Report.oft", kOleMagic, 6144);

    add("drive_c/windows/win.ini",
        textBytes(
            "[fonts]\r\n[extensions]\r\n[mci extensions]\r\n[files]\r\n[Mail]\r\nMAPI=1\r\n"));
    add("drive_c/Program Files (x86)/Microsoft Office/Office16/OUTLOOK.EXE",
        buildSamplePe({16, 0, 4266, 1001}));

    add("system.reg", textBytes(sample2016SystemReg()));
    add("user.reg", textBytes(sample2016UserReg()));
    add("userdef.reg", textBytes(sample2016UserdefReg()));
    return files;
}

} // namespace sample
