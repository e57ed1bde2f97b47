// The registry of the sample prefix: a trimmed Windows 7 machine (32-bit Wine
// prefix) with Outlook 2010 registered and two mail profiles, "Outlook" and
// "Work". All names, addresses and identifiers are made up.
#pragma once

#include "SampleRegistryWriter.h"

#include <string>
#include <string_view>

namespace sample {

// Builds a hive key by key. Every key touched gets the time set by at(), with
// a sub-second part derived from its path so that times look like Wine's.
class HiveBuilder {
public:
    void at(std::uint64_t unixSeconds) { now_ = unixSeconds; }

    HiveBuilder& key(std::string_view path) {
        RegKey* k = &root_;
        std::size_t start = 0;
        while (start < path.size()) {
            std::size_t end = path.find('\\', start);
            if (end == std::string_view::npos)
                end = path.size();
            k = &k->child(toUtf16(path.substr(start, end - start)));
            start = end + 1;
        }
        std::uint64_t hash = 1469598103934665603ULL; // FNV-1a
        for (char c : path)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        k->modified = kTicks1601To1970 + now_ * kTicksPerSecond + hash % kTicksPerSecond;
        current_ = k;
        return *this;
    }

    HiveBuilder& sz(std::string_view name, std::string_view text) {
        return value(name, kRegSz, wideBytes(text));
    }
    HiveBuilder& expandSz(std::string_view name, std::string_view text) {
        return value(name, kRegExpandSz, wideBytes(text));
    }
    HiveBuilder& dword(std::string_view name, std::uint32_t v) {
        return value(name, kRegDword, dwordBytes(v));
    }
    HiveBuilder& binary(std::string_view name, const Bytes& data) {
        return value(name, kRegBinary, data);
    }

    const RegKey& root() const { return root_; }

private:
    HiveBuilder& value(std::string_view name, std::uint32_t type, Bytes data) {
        current_->set(RegValue{toUtf16(name), type, std::move(data)});
        return *this;
    }

    RegKey root_;
    RegKey* current_ = &root_;
    std::uint64_t now_ = 0;
};

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Hex digits to the bytes they spell.
inline Bytes hexBytes(std::string_view hex) {
    Bytes out;
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<unsigned char>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
    return out;
}

// Entry identifier of a personal folders store: flags, the MSPST provider UID,
// the provider DLL name, then the data file path (UTF-16 or single-byte).
inline Bytes pstEntryId(std::string_view path, bool wide) {
    const Bytes header = {0x00, 0x00, 0x00, 0x00, 0x38, 0xa1, 0xbb, 0x10, 0x05, 0xe5,
                          0x10, 0x1a, 0xa1, 0xbb, 0x08, 0x00, 0x2b, 0x2a, 0x56, 0xc2};
    return concat({header, narrowBytes("mspst.dll"), wide ? wideBytes(path) : narrowBytes(path)});
}

// Sample times (seconds since 1970, UTC).
constexpr std::uint64_t kPrefixCreated = 1710148445; // 2024-03-11 09:14:05
constexpr std::uint64_t kOfficeInstalled = 1710151232;
constexpr std::uint64_t kProfileCreated = 1710151760;
constexpr std::uint64_t kArchiveAdded = 1714381126;
constexpr std::uint64_t kWorkProfileCreated = 1719824311;
constexpr std::uint64_t kOptionsChanged = 1727700412;
constexpr std::uint64_t kLastSession = 1733651090;

constexpr std::string_view kProfiles =
    R"(Software\Microsoft\Windows NT\CurrentVersion\Windows Messaging Subsystem\Profiles)";
constexpr std::string_view kOutlookDataDir = R"(C:\users\sam\AppData\Local\Microsoft\Outlook)";

inline std::string sampleSystemReg() {
    HiveBuilder h;
    h.at(kPrefixCreated);
    h.key(R"(Software\Microsoft\Windows\CurrentVersion)")
        .sz("CommonFilesDir", R"(C:\Program Files\Common Files)")
        .sz("MediaPath", R"(C:\windows\Media)")
        .sz("ProgramFilesDir", R"(C:\Program Files)")
        .expandSz("ProgramFilesPath", "%ProgramFiles%");
    h.key(R"(Software\Microsoft\Windows NT\CurrentVersion)")
        .sz("CSDVersion", "Service Pack 1")
        .sz("CurrentBuild", "7601")
        .sz("CurrentBuildNumber", "7601")
        .sz("CurrentType", "Uniprocessor Free")
        .sz("CurrentVersion", "6.1")
        .dword("InstallDate", static_cast<std::uint32_t>(kPrefixCreated))
        .sz("ProductId", "00371-OEM-8992671-00524")
        .sz("ProductName", "Windows 7 Professional")
        .sz("RegisteredOrganization", "")
        .sz("RegisteredOwner", "sam")
        .sz("SystemRoot", R"(C:\windows)");
    h.key(R"(Software\Microsoft\Windows NT\CurrentVersion\ProfileList\S-1-5-21-0-0-0-1000)")
        .expandSz("ProfileImagePath", R"(C:\users\sam)");
    h.key(R"(Software\Microsoft\Windows NT\CurrentVersion\Winlogon)");
    h.key(R"(System\CurrentControlSet\Control\ComputerName\ComputerName)")
        .sz("ComputerName", "SAMPLE-PC");
    h.key(R"(System\CurrentControlSet\Control\Nls\CodePage)")
        .sz("ACP", "1252")
        .sz("MACCP", "10000")
        .sz("OEMCP", "437");
    h.key(R"(System\CurrentControlSet\Control\Nls\Language)")
        .sz("Default", "0409")
        .sz("InstallLanguage", "0409");
    h.key(R"(System\CurrentControlSet\Control\Session Manager\Environment)")
        .expandSz("ComSpec", R"(%SystemRoot%\system32\cmd.exe)")
        .sz("NUMBER_OF_PROCESSORS", "2")
        .sz("OS", "Windows_NT")
        .expandSz("PATH", R"(%SystemRoot%\system32;%SystemRoot%;%SystemRoot%\system32\wbem)")
        .sz("PATHEXT", ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh")
        .sz("PROCESSOR_ARCHITECTURE", "x86")
        .expandSz("TEMP", R"(%SystemRoot%\temp)")
        .expandSz("TMP", R"(%SystemRoot%\temp)")
        .expandSz("windir", "%SystemRoot%");

    // Office 2010 with Outlook, registered for automation.
    h.at(kOfficeInstalled);
    const std::string_view clsid = "{0006F03A-0000-0000-C000-000000000046}";
    const std::string outlookExe = R"(C:\Program Files\Microsoft Office\Office14\OUTLOOK.EXE)";
    h.key(R"(Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046})")
        .sz("", "Microsoft Outlook 14.0 Object Library")
        .sz("AppID", std::string(clsid));
    h.key(R"(Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046}\InprocHandler32)")
        .sz("", "ole32.dll");
    h.key(R"(Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046}\LocalServer32)")
        .sz("", outlookExe + " /automation");
    h.key(R"(Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046}\ProgID)")
        .sz("", "Outlook.Application.14");
    h.key(R"(Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046}\TypeLib)")
        .sz("", "{00062FFF-0000-0000-C000-000000000046}");
    h.key(
         R"(Software\Classes\CLSID\{0006F03A-0000-0000-C000-000000000046}\VersionIndependentProgID)")
        .sz("", "Outlook.Application");
    h.key(R"(Software\Classes\Outlook.Application)")
        .sz("", "Microsoft Outlook 14.0 Object Library");
    h.key(R"(Software\Classes\Outlook.Application\CLSID)").sz("", std::string(clsid));
    h.key(R"(Software\Classes\Outlook.Application\CurVer)").sz("", "Outlook.Application.14");
    h.key(R"(Software\Classes\Outlook.Application.14)")
        .sz("", "Microsoft Outlook 14.0 Object Library");
    h.key(R"(Software\Classes\Outlook.Application.14\CLSID)").sz("", std::string(clsid));
    h.key(R"(Software\Clients\Mail)").sz("", "Microsoft Outlook");
    h.key(R"(Software\Clients\Mail\Microsoft Outlook)")
        .sz("", "Microsoft Outlook")
        .sz("DLLPath", R"(C:\Program Files\Microsoft Office\Office14\mapir.dll)");
    h.key(R"(Software\Microsoft\Office\14.0\Common\InstallRoot)")
        .sz("Path", R"(C:\Program Files\Microsoft Office\Office14\)");
    h.key(R"(Software\Microsoft\Office\14.0\Outlook\InstallRoot)")
        .sz("Path", R"(C:\Program Files\Microsoft Office\Office14\)");
    h.key(R"(Software\Microsoft\Shared Tools)")
        .sz("SharedFilesDir", R"(C:\Program Files\Common Files\microsoft shared\)");
    h.key(R"(Software\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE)")
        .sz("", outlookExe)
        .sz("Path", R"(C:\Program Files\Microsoft Office\Office14\)");
    return saveWineRegistry(h.root(), R"(REGISTRY\Machine)", "win32");
}

inline void addPstStore(HiveBuilder& h, const std::string& profile, std::string_view serviceUid,
                        std::string_view providerUid, std::string_view displayName,
                        const std::string& path, bool widePath,
                        std::string_view profilesKey = kProfiles) {
    const std::string base = std::string(profilesKey) + "\\" + profile + "\\";
    h.key(base + std::string(serviceUid))
        .binary("001e3d09", narrowBytes(widePath ? "MSUPST MS" : "MSPST MS"))
        .binary("001e3d0a", narrowBytes("mspst.dll"))
        .binary("001e3d0b", narrowBytes("NSTServiceEntry"))
        .binary("001f3001", wideBytes(displayName))
        .binary("00033009", dwordBytes(0x00000000))
        .binary("01023d00", hexBytes(providerUid));
    h.key(base + std::string(providerUid))
        .binary("001e3006", narrowBytes(displayName))
        .binary("001e300a", narrowBytes("mspst.dll"))
        .binary("001e6700", narrowBytes(path))
        .binary("001f3001", wideBytes(displayName))
        .binary("001f6700", wideBytes(path))
        .binary("00033009", dwordBytes(0x00000002))
        .binary("00033e03", dwordBytes(0x00000021))
        .binary("01020fff", pstEntryId(path, widePath))
        .binary("01023d0c", hexBytes(serviceUid));
}

inline void addPop3Account(HiveBuilder& h, const std::string& key, std::string_view account,
                           std::string_view email, std::string_view pop3, std::string_view smtp,
                           std::uint32_t miniUid, const Bytes& passwordBlob) {
    h.key(key)
        .binary("Account Name", wideBytes(account))
        .sz("clsid", "{ED475411-B0D6-11D2-8C3B-00104B2A6676}")
        .binary("Display Name", wideBytes("Sam Sample"))
        .binary("Email", wideBytes(email))
        .dword("Leave on Server", 0x00000001)
        .dword("Mini UID", miniUid)
        .binary("POP3 Password2", passwordBlob)
        .dword("POP3 Port", 110)
        .binary("POP3 Server", wideBytes(pop3))
        .binary("POP3 User", wideBytes(email))
        .dword("SMTP Port", 587)
        .dword("SMTP Secure Connection", 0x00000002)
        .binary("SMTP Server", wideBytes(smtp))
        .dword("SMTP Use Auth", 0x00000001);
}

inline std::string sampleUserReg() {
    HiveBuilder h;
    h.at(kPrefixCreated);
    h.key(R"(Control Panel\Desktop)")
        .sz("DragFullWindows", "0")
        .sz("FontSmoothing", "2")
        .sz("MenuShowDelay", "400")
        .sz("Wallpaper", "");
    h.key(R"(Control Panel\International)")
        .sz("iCalendarType", "1")
        .sz("iCountry", "1")
        .sz("iCurrDigits", "2")
        .sz("iDate", "0")
        .sz("iFirstDayOfWeek", "6")
        .sz("iTime", "0")
        .sz("iTLZero", "0")
        .sz("Locale", "00000409")
        .sz("LocaleName", "en-US")
        .sz("s1159", "AM")
        .sz("s2359", "PM")
        .sz("sCountry", "United States")
        .sz("sCurrency", "$")
        .sz("sDate", "/")
        .sz("sDecimal", ".")
        .sz("sLanguage", "ENU")
        .sz("sList", ",")
        .sz("sLongDate", "dddd, MMMM d, yyyy")
        .sz("sShortDate", "M/d/yyyy")
        .sz("sShortTime", "h:mm tt")
        .sz("sThousand", ",")
        .sz("sTime", ":")
        .sz("sTimeFormat", "h:mm:ss tt")
        .sz("sYearMonth", "MMMM yyyy");
    h.key(R"(Control Panel\International\Geo)").sz("Name", "US").sz("Nation", "244");
    h.key("Environment")
        .expandSz("TEMP", R"(%USERPROFILE%\AppData\Local\Temp)")
        .expandSz("TMP", R"(%USERPROFILE%\AppData\Local\Temp)");
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
    h.key(R"(Software\Wine)").sz("Version", "win7");
    h.key(R"(Software\Wine\DllOverrides)");

    h.at(kOfficeInstalled);
    h.key(R"(Software\Microsoft\Office\Common\UserInfo)")
        .sz("Company", "Crème Brûlée Bakery")
        .sz("UserInitials", "SS")
        .sz("UserName", "Sam Sample");

    // Profile "Outlook": Unicode personal folders, an archive, an address book
    // and two POP3 accounts.
    h.at(kProfileCreated);
    h.key(kProfiles).sz("DefaultProfile", "Outlook");
    const std::string outlook = std::string(kProfiles) + R"(\Outlook\)";
    h.key(outlook + "0a0d020000000000c000000000000046")
        .binary("00030354", dwordBytes(0x00000001))
        .binary("000b0416", {0x01, 0x00})
        .binary("001f0418", wideBytes("sam@example.com"))
        .binary("01020325", hexBytes("ed7e29013de2110934def4c3ef637263"));
    h.key(outlook + "13dbb0c8aa05101a9bb000aa002fc45a")
        .binary("00036601", dwordBytes(0x00000004))
        .binary("000b6615", {0x00, 0x00});
    addPstStore(h, "Outlook", "9322bdfb72f202ecc8fc8202cfd5b2dc",
                "525b6f3465793fe3f7012e8f73a3ca52", "Personal Folders",
                std::string(kOutlookDataDir) + R"(\Outlook.pst)", true);
    h.key(outlook + "885ad3f5ff28645c3d9a52012341eec0")
        .binary("001e3d09", narrowBytes("MSPST AB"))
        .binary("001e3d0a", narrowBytes("mspst.dll"))
        .binary("001e3d0b", narrowBytes("PABServiceEntry"))
        .binary("01023d01", hexBytes("20bead3fbc331349b6037c9d41f53fc5"));
    h.key(outlook + "20bead3fbc331349b6037c9d41f53fc5")
        .binary("001e3006", narrowBytes("Personal Address Book"))
        .binary("001e300a", narrowBytes("mspst.dll"))
        .sz("001e6600", std::string(kOutlookDataDir) + R"(\mailbox.pab)")
        .binary("001f3001", wideBytes("Personal Address Book"))
        .binary("00033e03", dwordBytes(0x00000002))
        .binary("01023d0c", hexBytes("885ad3f5ff28645c3d9a52012341eec0"));

    const std::string accounts = outlook + "9375CFF0413111d3B88A00104B2A6676";
    h.key(accounts)
        .binary("{ED475418-B0D6-11D2-8C3B-00104B2A6676}", concat({dwordBytes(1), dwordBytes(2)}))
        .binary("LastChangeVer", {0x0c, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})
        .dword("NextAccountID", 3);
    addPop3Account(h, accounts + R"(\00000001)", "sam@example.com", "sam@example.com",
                   "pop.example.com", "smtp.example.com", 0x6f31b2c4,
                   hexBytes("0e7e32224f6025788e1ec38da9718fbf6700c82bc36062e245f80629b3a3cbfe"));
    addPop3Account(h, accounts + R"(\00000002)", "Newsletters", "sam.news@example.net",
                   "mail.example.net", "mail.example.net", 0x1c2d9e07,
                   hexBytes("45c984cb60dfca540482ccde6bbdf50c507ba6bbf65c7712f8efbafc9fb8602c"));

    h.at(kArchiveAdded);
    addPstStore(h, "Outlook", "e3b04c7d28a1459fb6d20a9e4f17c58b",
                "19ae63455122b9df320b4f68d782596a", "Archive Folders",
                std::string(kOutlookDataDir) + R"(\Archive.pst)", true);
    h.key(outlook + "9207f3e0a3b11019908b08002b2a56c2")
        .binary("01023d00", concat({hexBytes("525b6f3465793fe3f7012e8f73a3ca52"),
                                    hexBytes("19ae63455122b9df320b4f68d782596a")}))
        .binary("01023d01", hexBytes("20bead3fbc331349b6037c9d41f53fc5"))
        .binary("01023d15", hexBytes("9322bdfb72f202ecc8fc8202cfd5b2dc"));

    h.at(kOptionsChanged);
    const std::string options = R"(Software\Microsoft\Office\14.0\Outlook\Options\)";
    h.key(options + "Calendar")
        .dword("CalDefEnd", 1080)
        .dword("CalDefStart", 480)
        .dword("FirstDOW", 0)
        .dword("WorkDay", 0x7c);
    h.key(options + "General")
        .dword("CheckDefaultClient", 0x00000001)
        .sz("PONT_STRING", "60,")
        .dword("ShowStatusBar", 0x00000001);
    h.key(options + "Mail")
        .dword("EditorPreference", 0x00020001)
        .dword("NewItemsInFolder", 0x00000001)
        .dword("Send Mail Immediately", 0x00000001);

    // Profile "Work": personal folders named with single-byte paths, one of
    // them no longer on disk; no address book.
    h.at(kWorkProfileCreated);
    const std::string work = std::string(kProfiles) + R"(\Work\)";
    h.key(work + "0a0d020000000000c000000000000046")
        .binary("00030354", dwordBytes(0x00000001))
        .binary("000b0416", {0x00, 0x00})
        .binary("001f0418", wideBytes("sam@work.example.org"));
    h.key(work + "13dbb0c8aa05101a9bb000aa002fc45a").binary("00036601", dwordBytes(0x00000004));
    h.key(work + "9207f3e0a3b11019908b08002b2a56c2")
        .binary("01023d00", concat({hexBytes("be45ab47672730e27c78b728fe02a96c"),
                                    hexBytes("a9119be097cb71d19cec710f813f432a")}))
        .binary("01023d15", hexBytes("5f08d3a2c4e94b17a6e0d2b8c31f7e94"));
    addPstStore(h, "Work", "5f08d3a2c4e94b17a6e0d2b8c31f7e94", "be45ab47672730e27c78b728fe02a96c",
                "Work Folders", std::string(kOutlookDataDir) + R"(\Work.pst)", false);
    addPstStore(h, "Work", "c7d61e0b93a8427e8b5f1d04a6e2b39c", "a9119be097cb71d19cec710f813f432a",
                "Old Projects", std::string(kOutlookDataDir) + R"(\Old Projects.pst)", false);

    h.at(kLastSession);
    h.key("Volatile Environment")
        .sz("APPDATA", R"(C:\users\sam\AppData\Roaming)")
        .sz("CLIENTNAME", "Console")
        .sz("HOMEDRIVE", "C:")
        .sz("HOMEPATH", R"(\users\sam)")
        .sz("LOCALAPPDATA", R"(C:\users\sam\AppData\Local)")
        .sz("LOGONSERVER", R"(\\SAMPLE-PC)")
        .sz("SESSIONNAME", "Console")
        .sz("USERDOMAIN", "SAMPLE-PC")
        .sz("USERNAME", "sam")
        .sz("USERPROFILE", R"(C:\users\sam)");
    return saveWineRegistry(h.root(), R"(REGISTRY\User\S-1-5-21-0-0-0-1000)", "win32");
}

inline std::string sampleUserdefReg() {
    HiveBuilder h;
    h.at(kPrefixCreated);
    h.key(R"(Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders)")
        .sz("AppData", R"(C:\users\sam\AppData\Roaming)")
        .sz("Cache", R"(C:\users\sam\AppData\Local\Microsoft\Windows\INetCache)")
        .sz("Desktop", R"(C:\users\sam\Desktop)")
        .sz("Local AppData", R"(C:\users\sam\AppData\Local)")
        .sz("Personal", R"(C:\users\sam\Documents)")
        .sz("Templates", R"(C:\users\sam\AppData\Roaming\Microsoft\Windows\Templates)");
    h.key(R"(Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders)")
        .expandSz("AppData", R"(%USERPROFILE%\AppData\Roaming)")
        .expandSz("Cache", R"(%USERPROFILE%\AppData\Local\Microsoft\Windows\INetCache)")
        .expandSz("Desktop", R"(%USERPROFILE%\Desktop)")
        .expandSz("Local AppData", R"(%USERPROFILE%\AppData\Local)")
        .expandSz("Personal", R"(%USERPROFILE%\Documents)")
        .expandSz("Templates", R"(%USERPROFILE%\AppData\Roaming\Microsoft\Windows\Templates)");
    return saveWineRegistry(h.root(), R"(REGISTRY\User\.Default)", "win32");
}

} // namespace sample
