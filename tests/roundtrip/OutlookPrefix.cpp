#include "OutlookPrefix.h"

#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace roundtrip {

namespace {

constexpr const char* kAccountsSubkey = "9375CFF0413111d3B88A00104B2A6676";
constexpr const char* kGlobalSection = "0a0d020000000000c000000000000046";
constexpr const char* kProfileSection = "9207f3e0a3b11019908b08002b2a56c2";
constexpr const char* kOutlookSection = "13dbb0c8aa05101a9bb000aa002fc45a";
constexpr const char* kPop3Clsid = "{ED475411-B0D6-11D2-8C3B-00104B2A6676}";
constexpr const char* kImapClsid = "{ED475412-B0D6-11D2-8C3B-00104B2A6676}";
constexpr const char* kOutlookClsid = "{0006F03A-0000-0000-C000-000000000046}";

std::uint64_t fnv(const std::string& text) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// A MAPI UID as the 32 hex digits Outlook names its sections with.
std::string sectionUid(const std::string& seed) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%016llx%016llx", static_cast<unsigned long long>(fnv(seed)),
                  static_cast<unsigned long long>(fnv(seed + "#")));
    return buf;
}

std::vector<unsigned char> uidBytes(const std::string& seed) {
    std::vector<unsigned char> bytes;
    const std::string hex = sectionUid(seed);
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<unsigned char> le32(std::uint32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

void writeFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

// Contents that differ from file to file and compress a little, after the
// magic of the file's kind.
std::string contents(const std::string& seed, const std::string& magic, std::size_t size) {
    std::string bytes = magic;
    std::uint64_t x = fnv(seed) | 1;
    while (bytes.size() < size) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        bytes += static_cast<char>((x & 0x3) == 0 ? 0 : (x >> 8) & 0xFF);
    }
    return bytes;
}

std::string winPathOfHost(const fs::path& host) {
    std::string path = "Z:" + host.string();
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string programFiles(const OutlookKind& kind) {
    return kind.wow64() ? "C:\\Program Files (x86)" : "C:\\Program Files";
}

std::string outlookExe(const OutlookKind& kind) {
    switch (kind.year) {
    case 2010:
        return programFiles(kind) + "\\Microsoft Office\\Office14\\OUTLOOK.EXE";
    case 2013:
        return programFiles(kind) + "\\Microsoft Office\\Office15\\OUTLOOK.EXE";
    default: // Click-to-Run
        return programFiles(kind) + "\\Microsoft Office\\root\\Office16\\OUTLOOK.EXE";
    }
}

fs::path hostOf(const fs::path& prefix, const std::string& cPath) {
    // "C:\users\x" -> prefix/drive_c/users/x
    std::string rest = cPath.substr(3);
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    return prefix / "drive_c" / rest;
}

std::string storePath(const PrefixSpec& setup, const fs::path& home, const StoreSpec& store) {
    const std::string profile = userProfileOf(setup);
    switch (store.folder) {
    case DataFolder::LocalAppData:
        return profile + "\\AppData\\Local\\Microsoft\\Outlook\\" + store.fileName;
    case DataFolder::DriveZ:
        return winPathOfHost(home / "Mail" / store.fileName);
    case DataFolder::Default:
        break;
    }
    // Outlook 2010 and later create new .pst files in Documents\Outlook Files.
    return profile + "\\Documents\\Outlook Files\\" + store.fileName;
}

fs::path storeHostPath(const fs::path& prefix, const fs::path& home, const PrefixSpec& setup,
                       const StoreSpec& store) {
    if (store.folder == DataFolder::DriveZ)
        return home / "Mail" / store.fileName;
    if (store.folder == DataFolder::Default)
        return (setup.documentsIsHome ? home : home / "Documents") / "Outlook Files" /
               store.fileName;
    return hostOf(prefix, storePath(setup, home, store));
}

void writeSystem(RegFileModel& hklm, const OutlookKind& kind, unsigned codePage) {
    const std::string cv = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    hklm.setString(cv, "CurrentBuild", "7601");
    hklm.setString(cv, "CurrentBuildNumber", "7601");
    hklm.setDword(cv, "CurrentMajorVersionNumber", 6);
    hklm.setDword(cv, "CurrentMinorVersionNumber", 1);
    hklm.setString(cv, "CurrentVersion", "6.1");
    hklm.setString(cv, "ProductName", "Microsoft Windows 7");
    hklm.setString(cv, "SystemRoot", "C:\\windows");
    hklm.setString("System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName",
                   "SCHREIBTISCH");
    const std::string nls = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
    hklm.setString(nls, "ACP", std::to_string(codePage));
    hklm.setString(nls, "OEMCP", codePage == 1251 ? "866" : codePage == 932 ? "932" : "437");

    // Outlook's automation class: the ProgIDs are shared by both views, the
    // class of a 32-bit Office on a 64-bit system sits under Wow6432Node.
    const std::string major = kind.version().substr(0, 2);
    hklm.setString("Software\\Classes\\Outlook.Application", "", "Microsoft Outlook");
    hklm.setString("Software\\Classes\\Outlook.Application\\CLSID", "", kOutlookClsid);
    hklm.setString("Software\\Classes\\Outlook.Application\\CurVer", "",
                   "Outlook.Application." + major);
    hklm.setString("Software\\Classes\\Outlook.Application." + major + "\\CLSID", "",
                   kOutlookClsid);
    const std::string classes =
        kind.wow64() ? "Software\\Classes\\Wow6432Node\\CLSID\\" : "Software\\Classes\\CLSID\\";
    hklm.setString(classes + kOutlookClsid, "", "Microsoft Outlook");
    hklm.setString(classes + kOutlookClsid + "\\LocalServer32", "", outlookExe(kind));
    hklm.setString(classes + kOutlookClsid + "\\ProgID", "", "Outlook.Application." + major);

    const std::string software = kind.wow64() ? "Software\\Wow6432Node\\" : "Software\\";
    hklm.setString(software + "Microsoft\\Shared Tools", "SharedFilesDir",
                   programFiles(kind) + "\\Common Files\\Microsoft Shared\\");
    if (kind.wow64())
        hklm.setString("Software\\Microsoft\\Shared Tools", "SharedFilesDir",
                       "C:\\Program Files\\Common Files\\Microsoft Shared\\");
    const std::string office = software + "Microsoft\\Office\\" + kind.version();
    hklm.setString(office + "\\Outlook", "Bitness", kind.office64 ? "x64" : "x86");
    const std::string exe = outlookExe(kind);
    hklm.setString(office + "\\Outlook\\InstallRoot", "Path", exe.substr(0, exe.rfind('\\') + 1));
}

void writeUserBasics(RegFileModel& hkcu, const PrefixSpec& setup) {
    const std::string profile = userProfileOf(setup);
    const std::string env = "Volatile Environment";
    hkcu.setString(env, "APPDATA", profile + "\\AppData\\Roaming");
    hkcu.setString(env, "CLIENTNAME", "Console");
    hkcu.setString(env, "HOMEDRIVE", "C:");
    hkcu.setString(env, "HOMEPATH", profile.substr(2));
    hkcu.setString(env, "LOCALAPPDATA", profile + "\\AppData\\Local");
    hkcu.setString(env, "USERNAME", setup.user);
    hkcu.setString(env, "USERPROFILE", profile);
    const std::string shell =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    hkcu.setString(shell, "AppData", profile + "\\AppData\\Roaming");
    hkcu.setString(shell, "Desktop", profile + "\\Desktop");
    hkcu.setString(shell, "Local AppData", profile + "\\AppData\\Local");
    hkcu.setString(shell, "Personal", profile + "\\Documents");
    hkcu.setString(shell, "Templates",
                   profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Templates");
    const std::string user =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    hkcu.setString(user, "AppData", "%USERPROFILE%\\AppData\\Roaming", kRegExpandSz);
    hkcu.setString(user, "Personal", "%USERPROFILE%\\Documents", kRegExpandSz);
    hkcu.setString("Control Panel\\International", "Locale", "00000407");
    hkcu.setString("Control Panel\\International", "sShortDate", "dd.MM.yyyy");
    hkcu.setString("Control Panel\\International", "sTimeFormat", "HH:mm:ss");
}

void writeOptions(RegFileModel& hkcu, const OutlookKind& kind) {
    const std::string options =
        "Software\\Microsoft\\Office\\" + kind.version() + "\\Outlook\\Options";
    hkcu.setDword(options + "\\General", "Check Default Client", 1);
    hkcu.setDword(options + "\\General", "PONT_STRING", 0);
    hkcu.setString(options + "\\General", "Signatures", "Signaturen");
    hkcu.setDword(options + "\\Mail", "EditorPreference", 0x20001);
    hkcu.setDword(options + "\\Mail", "Send Mail Immediately", 1);
    hkcu.setString(options + "\\Mail", "ReplyPrefix", "AW: Grüße");
    hkcu.setDword(options + "\\Calendar", "FirstDOW", 1);
    hkcu.setDword(options + "\\Calendar", "CalDefStart", 480);
    hkcu.setDword(options + "\\Calendar", "WeekNumbers", 0xFFFFFFFF);
    hkcu.setBinary(options + "\\Calendar", "WorkDays", {0x3E, 0x00, 0x00, 0x00});
    hkcu.setString(options + "\\Spelling", "Speller", "{CF4F55F4-8F87-4D47-80BB-5808164BB3F8}");
    hkcu.setString(options + "\\Shutdown", "EmptyTrash", "");
    hkcu.setString(options + "\\Paths", "Stationery", "%APPDATA%\\Microsoft\\Stationery",
                   kRegExpandSz);
}

void writeStore(RegFileModel& hkcu, const std::string& profileKey, const ProfileSpec& p,
                const StoreSpec& store, const std::string& path, WrittenPrefix& written,
                const fs::path& host) {
    const std::string section = sectionUid(p.name + "/" + store.fileName);
    const std::string key = profileKey + "\\" + section;
    hkcu.setBinary(key, "001f3001", utf16Bytes(store.displayName));
    hkcu.setBinary(key, "00033009", le32(0x00000020));
    hkcu.setBinary(key, "00033e03", le32(0x00000000));
    hkcu.setBinary(key, "01023d00", uidBytes("service/" + p.name + "/" + store.fileName));
    hkcu.setBinary(key, "01020fff", pstEntryId(path, store.ansiPath));
    hkcu.setBinary(key, "001f6700", utf16Bytes(path));
    if (store.ansiPath) {
        auto ansi = ansiBytes(path);
        ansi.push_back(0);
        hkcu.setBinary(key, "001e6700", ansi);
    }
    hkcu.setBinary(key, "00036601", le32(store.folder == DataFolder::LocalAppData ? 0x4 : 0x0));
    // The service that owns the store.
    const std::string service =
        profileKey + "\\" + sectionUid("service/" + p.name + "/" + store.fileName);
    hkcu.setBinary(service, "001f3d09", utf16Bytes("MSUPST MS"));
    hkcu.setBinary(service, "001f3d0b", utf16Bytes("MSPST.DLL"));
    hkcu.setBinary(service, "01023d0c", uidBytes("service/" + p.name + "/" + store.fileName));
    hkcu.setBinary(service, "00033e03", le32(0x00000001));
    written.stores.push_back({p.name, section, path, host});
}

void writeAccounts(RegFileModel& hkcu, const std::string& accountsKey, const ProfileSpec& p,
                   const std::vector<std::string>& storePaths) {
    std::vector<unsigned char> order;
    std::uint32_t id = 1;
    for (const auto& account : p.accounts) {
        char sub[16];
        std::snprintf(sub, sizeof sub, "%08x", id);
        const std::string key = accountsKey + "\\" + sub;
        hkcu.setBinary(key, "Account Name", utf16Bytes(account.name));
        hkcu.setBinary(key, "Display Name", utf16Bytes("Jürgen Weiß"));
        hkcu.setBinary(key, "Email", utf16Bytes(account.email));
        const std::string domain = account.email.substr(account.email.find('@') + 1);
        if (account.imap) {
            hkcu.setBinary(key, "IMAP Server", utf16Bytes("imap." + domain));
            hkcu.setBinary(key, "IMAP User", utf16Bytes(account.email));
            hkcu.setDword(key, "IMAP Port", 993);
            hkcu.setDword(key, "IMAP Use SSL", 1);
            hkcu.setString(key, "clsid", kImapClsid);
        } else {
            hkcu.setBinary(key, "POP3 Server", utf16Bytes("pop." + domain));
            hkcu.setBinary(key, "POP3 User", utf16Bytes(account.email));
            hkcu.setDword(key, "POP3 Port", 995);
            hkcu.setDword(key, "Leave on Server", 0x000e0001);
            hkcu.setString(key, "clsid", kPop3Clsid);
        }
        hkcu.setBinary(key, "SMTP Server", utf16Bytes("smtp." + domain));
        hkcu.setDword(key, "SMTP Port", 587);
        hkcu.setDword(key, "SMTP Secure Connection", 2);
        hkcu.setDword(key, "Mini UID", 0x1a2b3c00 + id);
        hkcu.setBinary(key, "Service UID", uidBytes("account/" + p.name + "/" + account.email));
        hkcu.setBinary(key, "Identity Eid", uidBytes("identity/" + account.email));
        // Where the account delivers: the entry ID of its store, path included.
        const std::string& path = storePaths.at(static_cast<std::size_t>(account.store));
        hkcu.setBinary(key, "Delivery Store EntryID", pstEntryId(path, false));
        auto folder = uidBytes("inbox/" + account.email);
        folder.insert(folder.begin(), {0, 0, 0, 0});
        hkcu.setBinary(key, "Delivery Folder EntryID", folder);
        for (unsigned char b : le32(id))
            order.push_back(b);
        ++id;
    }
    hkcu.setBinary(accountsKey, "{ED475418-B0D6-11D2-8C3B-00104B2A6676}", order);
    hkcu.setDword(accountsKey, "LastChangeVer", 0x0000001c);
    hkcu.setDword(accountsKey, "NextAccountID", id);
}

} // namespace

std::string OutlookKind::version() const {
    return year == 2010 ? "14.0" : year == 2013 ? "15.0" : "16.0";
}

std::string OutlookKind::profilesKey() const {
    if (year == 2010)
        return "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
               "Subsystem\\Profiles";
    return "Software\\Microsoft\\Office\\" + version() + "\\Outlook\\Profiles";
}

std::string userProfileOf(const PrefixSpec& setup) {
    return "C:\\users\\" + setup.user;
}

std::string signaturesFolder(const PrefixSpec& setup) {
    return userProfileOf(setup) + "\\AppData\\Roaming\\Microsoft\\Signatures";
}

std::string stationeryFolder(const PrefixSpec& setup) {
    // Outlook 2010 reads the stationery Office installs; 2013 and later keep
    // the user's own in the roaming profile.
    if (setup.kind.year == 2010)
        return programFiles(setup.kind) + "\\Common Files\\Microsoft Shared\\Stationery";
    return userProfileOf(setup) + "\\AppData\\Roaming\\Microsoft\\Stationery";
}

std::string templatesFolder(const PrefixSpec& setup) {
    return userProfileOf(setup) + "\\AppData\\Roaming\\Microsoft\\Templates";
}

std::string outlookRoamingFolder(const PrefixSpec& setup) {
    return userProfileOf(setup) + "\\AppData\\Roaming\\Microsoft\\Outlook";
}

std::vector<unsigned char> ansiBytes(const std::string& utf8) {
    std::vector<unsigned char> bytes;
    for (char16_t c : utf8ToUtf16(utf8)) {
        if (c > 0xFF)
            throw std::logic_error("not a Latin-1 text: " + utf8);
        bytes.push_back(static_cast<unsigned char>(c));
    }
    return bytes;
}

std::optional<std::string> inCodePage(const std::string& utf8, unsigned codePage) {
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open(name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv knows no " + name);
    std::string in = utf8;
    std::string out(in.size() * 4 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t left = in.size();
    std::size_t room = out.size();
    const std::size_t done = iconv(cd, &from, &left, &to, &room);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || left != 0)
        return std::nullopt;
    out.resize(out.size() - room);
    return out;
}

std::vector<unsigned char> pstEntryId(const std::string& windowsPath, bool ansiPath) {
    std::vector<unsigned char> id = {0x00, 0x00, 0x00, 0x00, // flags
                                                             // the store wrapper's provider UID
                                     0x38, 0xa1, 0xbb, 0x10, 0x05, 0xe5, 0x10, 0x1a, 0xa1, 0xbb,
                                     0x08, 0x00, 0x2b, 0x2a, 0x56, 0xc2, 0x00, 0x00};
    for (char c : std::string("mspst.dll"))
        id.push_back(static_cast<unsigned char>(c));
    id.push_back(0);
    for (unsigned char b : {0x00, 0x00, 0x00, 0x00, // wrapped flags
                                                    // the PST provider's UID
                            0x4e, 0x49, 0x54, 0x41, 0xf9, 0xbf, 0xb8, 0x01, 0x00, 0xaa, 0x00, 0x37,
                            0xd9, 0x6e, 0x00, 0x00})
        id.push_back(b);
    if (ansiPath) {
        for (unsigned char b : ansiBytes(windowsPath))
            id.push_back(b);
        id.push_back(0);
    } else {
        for (unsigned char b : {0x00, 0x00, 0x00, 0x00})
            id.push_back(b);
        for (unsigned char b : utf16Bytes(windowsPath))
            id.push_back(b);
    }
    return id;
}

namespace {

// A signature as Word saves it: the page in the code page with its link to
// the picture folder in the page's own bytes, or, for a name the code page
// cannot hold, in UTF-8 with the link percent-encoded.
std::string signaturePage(const std::string& name, unsigned codePage) {
    const std::string folder = name + "-Dateien";
    if (const auto ansiFolder = inCodePage(folder, codePage))
        return "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=windows-" +
               std::to_string(codePage) + "\"></head><body><img src=\"" + *ansiFolder +
               "/image001.png\"></body></html>";
    std::string encoded;
    for (unsigned char c : folder) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%%%02X", c);
        encoded += c < 0x80 && c != ' ' ? std::string(1, static_cast<char>(c)) : buf;
    }
    return "<html><head><meta charset=\"utf-8\"></head><body><img src=\"" + encoded +
           "/image001.png\"></body></html>";
}

} // namespace

void writeNamedItems(const fs::path& prefix, const PrefixSpec& setup, const std::string& name) {
    const fs::path signatures = hostOf(prefix, signaturesFolder(setup));
    writeFile(signatures / (name + ".htm"), signaturePage(name, setup.codePage));
    writeFile(signatures / (name + ".txt"), name + "\r\n");
    writeFile(signatures / (name + "-Dateien") / "image001.png",
              contents(name + "/image001.png", "\x89PNG\r\n\x1a\n", 2500));
    writeFile(hostOf(prefix, templatesFolder(setup)) / (name + ".oft"),
              contents(name + ".oft", "\xd0\xcf\x11\xe0", 5000));
    // Entries are bare names: a stationery named as a signature file would
    // be refused as a second file of that name.
    if (setup.kind.year != 2010)
        writeFile(hostOf(prefix, stationeryFolder(setup)) / (name + " Briefpapier.htm"),
                  "<html><body>" + name + "</body></html>");
}

WrittenPrefix writePrefix(const fs::path& root, const std::string& name, const PrefixSpec& setup,
                          PrefixState state) {
    const bool withData = state == PrefixState::WithData;
    WrittenPrefix written;
    written.prefix = root / name;
    written.home = root / (name + "-home");
    const fs::path& prefix = written.prefix;
    const fs::path& home = written.home;
    const OutlookKind& kind = setup.kind;

    // The layout Wine makes: drives as links, the user's folders linked into $HOME.
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
    fs::create_directories(prefix / "drive_c" / "windows" / "system32");
    if (kind.prefix64)
        fs::create_directories(prefix / "drive_c" / "windows" / "syswow64");
    fs::create_directories(prefix / "drive_c" / "users" / "Public");
    const fs::path userDir = hostOf(prefix, userProfileOf(setup));
    for (const char* folder :
         {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos"}) {
        // Without a documents folder of its own the user's Documents is $HOME.
        const fs::path target =
            std::string(folder) == "Documents" && setup.documentsIsHome ? home : home / folder;
        fs::create_directories(target);
        fs::create_directories(userDir);
        fs::create_directory_symlink(target, userDir / folder);
    }
    fs::create_directories(home / "Templates");
    fs::create_directories(userDir / "AppData" / "Roaming" / "Microsoft" / "Windows");
    fs::create_directory_symlink(home / "Templates", userDir / "AppData" / "Roaming" / "Microsoft" /
                                                         "Windows" / "Templates");
    fs::create_directories(userDir / "AppData" / "Local" / "Microsoft" / "Outlook");
    fs::create_directories(userDir / "AppData" / "Roaming" / "Microsoft" / "Outlook");
    const std::string exe = outlookExe(kind);
    fs::create_directories(hostOf(prefix, exe.substr(0, exe.rfind('\\'))));
    // Office installs its stationery beside its shared files.
    const fs::path shared = hostOf(prefix, programFiles(kind) + "\\Common Files\\Microsoft Shared");
    writeFile(shared / "Stationery" / "Ivy.htm",
              "<html><body background=\"Ivy.gif\"></body></html>\r\n");
    writeFile(shared / "Stationery" / "Ivy.gif", contents("Ivy.gif", "GIF89a", 2400));
    writeFile(shared / "Stationery" / "Pine Lumber.htm",
              "<html><body background=\"Pine Lumber Bkgrd.jpg\"></body></html>\r\n");
    writeFile(shared / "Stationery" / "Pine Lumber Bkgrd.jpg",
              contents("Pine", "\xff\xd8\xff\xe0", 5100));

    RegFileModel hklm("REGISTRY\\\\Machine", kind.prefix64);
    RegFileModel hkcu("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000", kind.prefix64);
    RegFileModel hkdef("REGISTRY\\\\User\\\\.Default", kind.prefix64);
    writeSystem(hklm, kind, setup.codePage);
    writeUserBasics(hkcu, setup);
    hkdef.setString("Control Panel\\International", "sShortDate", "M/d/yyyy");

    const std::string profiles = kind.profilesKey();
    const std::string outlookKey = "Software\\Microsoft\\Office\\" + kind.version() + "\\Outlook";
    // A fresh bottle has no profile, and so no default one.
    if (setup.profiles.empty())
        ;
    else if (kind.year == 2010)
        hkcu.setString(profiles, "DefaultProfile", setup.profiles.front().name);
    else
        hkcu.setString(outlookKey, "DefaultProfile", setup.profiles.front().name);
    if (state != PrefixState::ProfileOnly)
        hkcu.setDword(outlookKey + "\\Setup", "First-Run", withData ? 0 : 1);

    for (const auto& p : setup.profiles) {
        const std::string key = profiles + "\\" + p.name;
        // What Outlook writes at its first start.
        hkcu.setBinary(key + "\\" + kGlobalSection, "00036601", le32(0x00000184));
        hkcu.setBinary(key + "\\" + kProfileSection, "001f3d13", utf16Bytes(p.name));
        hkcu.setBinary(key + "\\" + kOutlookSection, "000b0335", {0x01, 0x00});
        if (!withData) {
            hkcu.setDword(key + "\\" + kAccountsSubkey, "NextAccountID", 1);
            continue;
        }
        hkcu.setBinary(key + "\\" + kGlobalSection, "1102039b", uidBytes("global/" + p.name));
        auto lastStore = ansiBytes("Persönliche Ordner");
        lastStore.push_back(0);
        hkcu.setBinary(key + "\\" + kGlobalSection, "001e023d", lastStore);
        hkcu.setBinary(key + "\\" + kGlobalSection, "01023d15", uidBytes("default/" + p.name));
        std::vector<std::string> paths;
        for (const auto& store : p.stores) {
            const std::string path = storePath(setup, home, store);
            const fs::path host = storeHostPath(prefix, home, setup, store);
            writeFile(host, contents(p.name + "/" + store.fileName, "!BDN", store.size));
            writeStore(hkcu, key, p, store, path, written, host);
            paths.push_back(path);
        }
        // Outlook 2010 and before name the profile "Outlook" for accounts in
        // the item locations; each profile still holds its own.
        writeAccounts(hkcu, key + "\\" + kAccountsSubkey, p, paths);
        // Rules, the navigation pane and the send/receive groups of the profile.
        const fs::path roaming = hostOf(prefix, outlookRoamingFolder(setup));
        writeFile(roaming / (p.name + ".rwz"), contents(p.name + ".rwz", "\x14\x00\x00\x00", 3300));
        writeFile(roaming / (p.name + ".xml"),
                  "<?xml version=\"1.0\"?>\r\n<NavPaneSettings profile=\"" + p.name + "\"/>\r\n");
        writeFile(roaming / (p.name + ".srs"), contents(p.name + ".srs", "\x01\x00", 1900));
    }
    // Outlook writes its options at its first start; the user changes them.
    const std::string options = outlookKey + "\\Options";
    if (state != PrefixState::ProfileOnly) {
        hkcu.setDword(options + "\\General", "PONT_STRING", 1);
        hkcu.setDword(options + "\\Mail", "EditorPreference", 0x20000);
        hkcu.setString(options + "\\Mail", "CheckForUpdates", "1");
    }
    if (state == PrefixState::StartedOnce)
        hkcu.setDword(options + "\\General", "FirstRunDialog", 0);
    if (withData) {
        writeOptions(hkcu, kind);
        const fs::path signatures = hostOf(prefix, signaturesFolder(setup));
        writeFile(signatures / "Büro.htm", "<html><body><p>Mit freundlichen Grüßen</p>"
                                           "<img src=\"Büro-Dateien/image001.png\"></body></html>");
        writeFile(signatures / "Büro.rtf", "{\\rtf1\\ansi Mit freundlichen Gr\\'fc\\'dfen}");
        writeFile(signatures / "Büro.txt", "Mit freundlichen Grüßen\r\nJürgen\r\n");
        writeFile(signatures / "Privat.htm", "<html><body>Gruß</body></html>");
        writeFile(signatures / "Büro-Dateien" / "image001.png",
                  contents("image001.png", "\x89PNG\r\n\x1a\n", 4000));
        writeFile(hostOf(prefix, templatesFolder(setup)) / "NormalEmail.dotm",
                  contents("NormalEmail.dotm", "PK\x03\x04", 21000));
        writeFile(hostOf(prefix, templatesFolder(setup)) / "Rechnung.oft",
                  contents("Rechnung.oft", "\xd0\xcf\x11\xe0", 9000));
        if (kind.year != 2010) {
            const fs::path own = hostOf(prefix, stationeryFolder(setup));
            writeFile(own / "Firma.htm", "<html><body>Firma</body></html>");
            writeFile(own / "Firma-Logo.png", contents("Firma-Logo.png", "\x89PNG", 3000));
        }
        for (const std::string& name : setup.itemNames)
            writeNamedItems(prefix, setup, name);
        // The signatures folder as an Outlook of another display language
        // names it: a text the code page may not hold, in the options.
        if (!setup.itemNames.empty())
            hkcu.setString(options + "\\General", "Signatures", setup.itemNames.back());
    }
    hklm.write(prefix / "system.reg");
    hkcu.write(prefix / "user.reg");
    hkdef.write(prefix / "userdef.reg");
    return written;
}

} // namespace roundtrip
