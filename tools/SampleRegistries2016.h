// The registry of the second sample prefix: a trimmed Windows 10 machine
// (64-bit Wine prefix) with a 32-bit Outlook 2016 registered and two mail
// profiles, "Outlook" and "Work", kept under Office's own profiles key. All
// names, addresses and identifiers are made up.
#pragma once

#include "SampleRegistries.h"

#include <string>
#include <string_view>

namespace sample {

constexpr std::uint64_t kPrefix2016Created = 1736242861; // 2025-01-07 09:41:01
constexpr std::uint64_t kOffice2016Installed = 1736245017;
constexpr std::uint64_t kProfile2016Created = 1736245530;
constexpr std::uint64_t kWork2016Created = 1741002218;
constexpr std::uint64_t kOptions2016Changed = 1748431799;
constexpr std::uint64_t kLastSession2016 = 1764835215;

constexpr std::string_view kProfiles2016 = R"(Software\Microsoft\Office\16.0\Outlook\Profiles)";
constexpr std::string_view kOutlookFiles2016 = R"(C:\users\sam\Documents\Outlook Files)";
constexpr std::string_view kOutlook2016Exe =
    R"(C:\Program Files (x86)\Microsoft Office\Office16\OUTLOOK.EXE)";

// Windows 10 as Wine 8 describes it, in both views of the machine key.
inline void addWindows10(HiveBuilder& h, std::string_view software) {
    const std::string base = std::string(software) + R"(\Microsoft\Windows NT\CurrentVersion)";
    h.key(base)
        .sz("CurrentBuild", "19045")
        .sz("CurrentBuildNumber", "19045")
        .dword("CurrentMajorVersionNumber", 10)
        .dword("CurrentMinorVersionNumber", 0)
        .sz("CurrentType", "Multiprocessor Free")
        .sz("CurrentVersion", "6.3")
        .sz("EditionId", "Professional")
        .dword("InstallDate", static_cast<std::uint32_t>(kPrefix2016Created))
        .sz("ProductId", "00330-80000-00000-AA466")
        .sz("ProductName", "Windows 10 Pro")
        .sz("RegisteredOrganization", "")
        .sz("RegisteredOwner", "sam")
        .sz("SystemRoot", R"(C:\windows)");
}

inline std::string sample2016SystemReg() {
    HiveBuilder h;
    h.at(kPrefix2016Created);
    h.key(R"(Software\Microsoft\Windows\CurrentVersion)")
        .sz("CommonFilesDir", R"(C:\Program Files\Common Files)")
        .sz("CommonFilesDir (x86)", R"(C:\Program Files (x86)\Common Files)")
        .sz("MediaPath", R"(C:\windows\Media)")
        .sz("ProgramFilesDir", R"(C:\Program Files)")
        .sz("ProgramFilesDir (x86)", R"(C:\Program Files (x86))")
        .expandSz("ProgramFilesPath", "%ProgramFiles%");
    addWindows10(h, "Software");
    h.key(R"(Software\Microsoft\Windows NT\CurrentVersion\ProfileList\S-1-5-21-0-0-0-1000)")
        .expandSz("ProfileImagePath", R"(C:\users\sam)");
    h.key(R"(Software\Microsoft\Shared Tools)")
        .sz("SharedFilesDir", R"(C:\Program Files\Common Files\Microsoft Shared\)");
    h.key(R"(Software\Wow6432Node\Microsoft\Shared Tools)")
        .sz("SharedFilesDir", R"(C:\Program Files (x86)\Common Files\Microsoft Shared\)");
    addWindows10(h, R"(Software\Wow6432Node)");
    h.key(R"(Software\Wow6432Node\Microsoft\Windows\CurrentVersion)")
        .sz("CommonFilesDir", R"(C:\Program Files (x86)\Common Files)")
        .sz("ProgramFilesDir", R"(C:\Program Files (x86))");
    h.key(R"(System\CurrentControlSet\Control\ComputerName\ComputerName)")
        .sz("ComputerName", "SAMPLE-LAPTOP");
    h.key(R"(System\CurrentControlSet\Control\Nls\CodePage)")
        .sz("ACP", "1252")
        .sz("MACCP", "10000")
        .sz("OEMCP", "437");
    h.key(R"(System\CurrentControlSet\Control\Nls\Language)")
        .sz("Default", "0409")
        .sz("InstallLanguage", "0409");
    h.key(R"(System\CurrentControlSet\Control\Session Manager\Environment)")
        .expandSz("ComSpec", R"(%SystemRoot%\system32\cmd.exe)")
        .sz("NUMBER_OF_PROCESSORS", "4")
        .sz("OS", "Windows_NT")
        .expandSz("PATH", R"(%SystemRoot%\system32;%SystemRoot%;%SystemRoot%\system32\wbem)")
        .sz("PATHEXT", ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh")
        .sz("PROCESSOR_ARCHITECTURE", "AMD64")
        .expandSz("TEMP", R"(%SystemRoot%\temp)")
        .expandSz("TMP", R"(%SystemRoot%\temp)")
        .expandSz("windir", "%SystemRoot%");

    // A 32-bit Office 2016 with Outlook: Wine keeps the classes a 32-bit
    // installer registers, ProgIDs included, in the 32-bit view.
    h.at(kOffice2016Installed);
    const std::string clsid = "{0006F03A-0000-0000-C000-000000000046}";
    const std::string wowClasses = R"(Software\Classes\Wow6432Node\)";
    const std::string outlookExe(kOutlook2016Exe);
    h.key(wowClasses + "CLSID\\" + clsid)
        .sz("", "Microsoft Outlook 16.0 Object Library")
        .sz("AppID", clsid);
    h.key(wowClasses + "CLSID\\" + clsid + R"(\LocalServer32)").sz("", outlookExe + " /automation");
    h.key(wowClasses + "CLSID\\" + clsid + R"(\ProgID)").sz("", "Outlook.Application.16");
    h.key(wowClasses + "CLSID\\" + clsid + R"(\VersionIndependentProgID)")
        .sz("", "Outlook.Application");
    h.key(wowClasses + "Outlook.Application").sz("", "Microsoft Outlook 16.0 Object Library");
    h.key(wowClasses + R"(Outlook.Application\CLSID)").sz("", clsid);
    h.key(wowClasses + R"(Outlook.Application\CurVer)").sz("", "Outlook.Application.16");
    h.key(wowClasses + "Outlook.Application.16").sz("", "Microsoft Outlook 16.0 Object Library");
    h.key(wowClasses + R"(Outlook.Application.16\CLSID)").sz("", clsid);
    h.key(R"(Software\Wow6432Node\Microsoft\Office\16.0\Common\InstallRoot)")
        .sz("Path", R"(C:\Program Files (x86)\Microsoft Office\Office16\)");
    h.key(R"(Software\Wow6432Node\Microsoft\Office\16.0\Outlook\InstallRoot)")
        .sz("Path", R"(C:\Program Files (x86)\Microsoft Office\Office16\)");
    h.key(R"(Software\Wow6432Node\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE)")
        .sz("", outlookExe)
        .sz("Path", R"(C:\Program Files (x86)\Microsoft Office\Office16\)");
    return saveWineRegistry(h.root(), R"(REGISTRY\Machine)", "win64");
}

inline void addShellFolders(HiveBuilder& h) {
    h.key(R"(Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders)")
        .sz("AppData", R"(C:\users\sam\AppData\Roaming)")
        .sz("Desktop", R"(C:\users\sam\Desktop)")
        .sz("Local AppData", R"(C:\users\sam\AppData\Local)")
        .sz("Personal", R"(C:\users\sam\Documents)")
        .sz("Templates", R"(C:\users\sam\AppData\Roaming\Microsoft\Windows\Templates)");
    h.key(R"(Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders)")
        .expandSz("AppData", R"(%USERPROFILE%\AppData\Roaming)")
        .expandSz("Desktop", R"(%USERPROFILE%\Desktop)")
        .expandSz("Local AppData", R"(%USERPROFILE%\AppData\Local)")
        .expandSz("Personal", R"(%USERPROFILE%\Documents)")
        .expandSz("Templates", R"(%USERPROFILE%\AppData\Roaming\Microsoft\Windows\Templates)");
}

inline std::string sample2016UserReg() {
    HiveBuilder h;
    h.at(kPrefix2016Created);
    h.key(R"(Control Panel\International)")
        .sz("iCountry", "1")
        .sz("iDate", "0")
        .sz("iTime", "0")
        .sz("Locale", "00000409")
        .sz("LocaleName", "en-US")
        .sz("s1159", "AM")
        .sz("s2359", "PM")
        .sz("sDate", "/")
        .sz("sDecimal", ".")
        .sz("sList", ",")
        .sz("sLongDate", "dddd, MMMM d, yyyy")
        .sz("sShortDate", "M/d/yyyy")
        .sz("sShortTime", "h:mm tt")
        .sz("sThousand", ",")
        .sz("sTime", ":")
        .sz("sTimeFormat", "h:mm:ss tt");
    h.key("Environment")
        .expandSz("TEMP", R"(%USERPROFILE%\AppData\Local\Temp)")
        .expandSz("TMP", R"(%USERPROFILE%\AppData\Local\Temp)");
    addShellFolders(h);
    h.key(R"(Software\Wine)").sz("Version", "win10");

    h.at(kOffice2016Installed);
    h.key(R"(Software\Microsoft\Office\Common\UserInfo)")
        .sz("UserInitials", "SS")
        .sz("UserName", "Sam Sample");

    // Profile "Outlook": a POP3 account delivering into a Unicode data file
    // named after it, and an archive, both in Documents\Outlook Files.
    h.at(kProfile2016Created);
    h.key(R"(Software\Microsoft\Office\16.0\Outlook)").sz("DefaultProfile", "Outlook");
    const std::string outlook = std::string(kProfiles2016) + R"(\Outlook\)";
    h.key(outlook + "0a0d020000000000c000000000000046")
        .binary("00030354", dwordBytes(0x00000001))
        .binary("000b0416", {0x01, 0x00})
        .binary("001f0418", wideBytes("sam@example.com"))
        .binary("01020325", hexBytes("4c1f9a2be7d0115a8e33c6f27d90b146"));
    h.key(outlook + "13dbb0c8aa05101a9bb000aa002fc45a")
        .binary("00036601", dwordBytes(0x00000004))
        .binary("000b6615", {0x00, 0x00});
    addPstStore(h, "Outlook", "3f8e2d6b19c04a7e9d51b0a2c6e47f13",
                "a61c0e9f5b2d4783b1e8f02d9c7a3e56", "sam@example.com",
                std::string(kOutlookFiles2016) + R"(\sam@example.com.pst)", true, kProfiles2016);
    addPstStore(h, "Outlook", "d20b7c4e8a1f49c3b6e5072f1d9a8c34",
                "7e93a1c5d04b4f2e8c6a19b3f5d2e071", "Archive",
                std::string(kOutlookFiles2016) + R"(\Archive.pst)", true, kProfiles2016);
    const std::string accounts = outlook + "9375CFF0413111d3B88A00104B2A6676";
    h.key(accounts)
        .binary("{ED475418-B0D6-11D2-8C3B-00104B2A6676}", dwordBytes(1))
        .binary("LastChangeVer", {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})
        .dword("NextAccountID", 2);
    addPop3Account(h, accounts + R"(\00000001)", "sam@example.com", "sam@example.com",
                   "pop.example.com", "smtp.example.com", 0x3a7c19e2,
                   hexBytes("9c04e2b7a15d38f6c0e19a7b2d4f8136e5a0c9d27b3f1e8a6d4c2b0f9e7a5d31"));

    h.at(kOptions2016Changed);
    const std::string options = R"(Software\Microsoft\Office\16.0\Outlook\Options\)";
    h.key(options + "Calendar").dword("CalDefEnd", 1020).dword("CalDefStart", 540);
    h.key(options + "General").dword("CheckDefaultClient", 0x00000001);
    h.key(options + "Mail")
        .dword("EditorPreference", 0x00020001)
        .dword("Send Mail Immediately", 0x00000001);

    // Profile "Work": its own account and data file, also in Documents\Outlook Files.
    h.at(kWork2016Created);
    const std::string work = std::string(kProfiles2016) + R"(\Work\)";
    h.key(work + "0a0d020000000000c000000000000046")
        .binary("00030354", dwordBytes(0x00000001))
        .binary("000b0416", {0x00, 0x00})
        .binary("001f0418", wideBytes("sam@work.example.org"));
    h.key(work + "13dbb0c8aa05101a9bb000aa002fc45a").binary("00036601", dwordBytes(0x00000004));
    addPstStore(h, "Work", "8b5e0f3a7c2d41e6a9b1d4c07e3f6a28", "c4d71a09e6b3452f8d0e2b7a9f1c5e63",
                "sam@work.example.org",
                std::string(kOutlookFiles2016) + R"(\sam@work.example.org.pst)", true,
                kProfiles2016);
    const std::string workAccounts = work + "9375CFF0413111d3B88A00104B2A6676";
    h.key(workAccounts)
        .binary("{ED475418-B0D6-11D2-8C3B-00104B2A6676}", dwordBytes(1))
        .binary("LastChangeVer", {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})
        .dword("NextAccountID", 2);
    addPop3Account(h, workAccounts + R"(\00000001)", "sam@work.example.org", "sam@work.example.org",
                   "mail.work.example.org", "mail.work.example.org", 0x51e8b03d,
                   hexBytes("2b7d9e04c6a1f35870e2d94b1c6a8f03d5e7b92a4c01f6e38d9b5a7c2e4f0d16"));

    h.at(kLastSession2016);
    h.key("Volatile Environment")
        .sz("APPDATA", R"(C:\users\sam\AppData\Roaming)")
        .sz("HOMEDRIVE", "C:")
        .sz("HOMEPATH", R"(\users\sam)")
        .sz("LOCALAPPDATA", R"(C:\users\sam\AppData\Local)")
        .sz("USERDOMAIN", "SAMPLE-LAPTOP")
        .sz("USERNAME", "sam")
        .sz("USERPROFILE", R"(C:\users\sam)");
    return saveWineRegistry(h.root(), R"(REGISTRY\User\S-1-5-21-0-0-0-1000)", "win64");
}

inline std::string sample2016UserdefReg() {
    HiveBuilder h;
    h.at(kPrefix2016Created);
    addShellFolders(h);
    return saveWineRegistry(h.root(), R"(REGISTRY\User\.Default)", "win64");
}

} // namespace sample
