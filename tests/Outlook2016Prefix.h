#pragma once

// A 64-bit Wine prefix with a 64-bit Outlook 2016, written here by hand as
// Wine 8 writes its registry files (not by the program's own writer): three
// profiles in alphabetical order, each with its own account under its
// "9375CFF0413111d3B88A00104B2A6676" subkey and its own data file in
// Documents\Outlook Files, and a user folder with signatures.

#include "platform/WorkFolder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace outlook2016 {

inline const std::vector<std::string> kProfiles = {"Archive", "Outlook", "Work"};

inline std::string accountOf(const std::string& profile) {
    return "lee." + profile + "@example.org";
}
inline std::string dataFileOf(const std::string& profile) {
    return profile + " mail.pst";
}

// "hex:61,00,..." for bytes.
inline std::string wineHex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text = "hex:";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i)
            text += ',';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// UTF-16LE of ASCII text with its terminating NUL.
inline std::string utf16z(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    out += std::string(2, '\0');
    return out;
}

inline std::string fromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// A Unicode PST's store entry identifier: flags, the store provider's UID,
// "mspst.dll", the wrapped provider's UID and type, then the path.
inline std::string storeEntryId(const std::string& windowsPath) {
    return fromHex("00000000"
                   "38a1bb1005e5101aa1bb08002b2a56c2"
                   "0000") +
           std::string("mspst.dll") + std::string(1, '\0') +
           fromHex("00000000"
                   "e92feb759650448683b87de522aa4948"
                   "14000000") +
           utf16z(windowsPath);
}

// Wine escapes a backslash in key names and string data as "\\".
inline std::string esc(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

struct Prefix {
    trelmig::WorkFolder work;
    std::filesystem::path root = work.path() / "wine-office";

    std::filesystem::path userFolder() const { return root / "drive_c/users/lee"; }
    std::filesystem::path dataFolder() const { return userFolder() / "Documents/Outlook Files"; }
    std::filesystem::path signatures() const {
        return userFolder() / "AppData/Roaming/Microsoft/Signatures";
    }

    Prefix() {
        namespace fs = std::filesystem;
        fs::create_directories(root / "dosdevices");
        fs::create_directories(dataFolder());
        fs::create_directories(signatures());
        fs::create_directories(userFolder() / "AppData/Roaming/Microsoft/Outlook");
        fs::create_directory_symlink("../drive_c", root / "dosdevices/c:");
        std::ofstream(signatures() / "Lee.txt") << "Lee\r\n";

        std::ofstream system(root / "system.reg");
        system << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                  "#arch=win64\n"
                  "\n[Software\\\\Classes\\\\Outlook.Application\\\\CLSID] 1733000000\n"
                  "#time=1db4a1b2c3d4e5f\n@=\"{0006F03A-0000-0000-C000-000000000046}\"\n"
                  "\n[Software\\\\Classes\\\\Outlook.Application\\\\CurVer] 1733000000\n"
                  "#time=1db4a1b2c3d4e5f\n@=\"Outlook.Application.16\"\n"
                  "\n[Software\\\\Classes\\\\Outlook.Application.16\\\\CLSID] 1733000000\n"
                  "#time=1db4a1b2c3d4e5f\n@=\"{0006F03A-0000-0000-C000-000000000046}\"\n"
                  "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1733000000\n"
                  "#time=1db4a1b2c3d4e5f\n\"CurrentBuild\"=\"19045\"\n"
                  "\"CurrentBuildNumber\"=\"19045\"\n"
                  "\"CurrentMajorVersionNumber\"=dword:0000000a\n"
                  "\"CurrentMinorVersionNumber\"=dword:00000000\n"
                  "\"CurrentVersion\"=\"6.3\"\n\"ProductName\"=\"Windows 10 Pro\"\n"
                  "\n[System\\\\CurrentControlSet\\\\Control\\\\ComputerName\\\\ComputerName] "
                  "1733000000\n#time=1db4a1b2c3d4e5f\n\"ComputerName\"=\"LEE-DESKTOP\"\n";

        std::ofstream user(root / "user.reg");
        user << "WINE REGISTRY Version 2\n;; All keys relative to "
                "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
        const std::string profiles = "Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles\\";
        int index = 0;
        for (const std::string& p : kProfiles) {
            ++index;
            const std::string accounts = profiles + p + "\\9375CFF0413111d3B88A00104B2A6676";
            user << "\n[" << esc(accounts) << "] 1733000000\n#time=1db4a1b2c3d4e5f\n"
                 << "\"NextAccountID\"=dword:00000003\n"
                 << "\"{ED475418-B0D6-11D2-8C3B-00104B2A6676}\"=hex:02,00,00,00\n";
            user << "\n[" << esc(accounts + "\\00000002") << "] 1733000000\n"
                 << "#time=1db4a1b2c3d4e5f\n"
                 << "\"Account Name\"=" << wineHex(utf16z(accountOf(p))) << "\n"
                 << "\"clsid\"=\"{ED475420-B0D6-11D2-8C3B-00104B2A6676}\"\n"
                 << "\"Email\"=" << wineHex(utf16z(accountOf(p))) << "\n"
                 << "\"IMAP Server\"=" << wineHex(utf16z("imap.example.org")) << "\n";
            const std::string pst = "C:\\users\\lee\\Documents\\Outlook Files\\" + dataFileOf(p);
            user << "\n["
                 << esc(profiles + p + "\\5a2b7c9d1e3f40a6b8c0d2e4f6a8b0c" + std::to_string(index))
                 << "] 1733000000\n#time=1db4a1b2c3d4e5f\n"
                 << "\"001f3001\"=" << wineHex(utf16z(p + " mail")) << "\n"
                 << "\"001f6700\"=" << wineHex(utf16z(pst)) << "\n"
                 << "\"01020fff\"=" << wineHex(storeEntryId(pst)) << "\n";
            std::ofstream(dataFolder() / dataFileOf(p), std::ios::binary)
                << "!BDN data of the " << p << " profile";
        }
        user << "\n[Software\\\\Microsoft\\\\Office\\\\16.0\\\\Outlook\\\\Options\\\\Mail] "
                "1733000000\n#time=1db4a1b2c3d4e5f\n\"EditorPreference\"=dword:00020001\n";
        user << "\n[Volatile Environment] 1733000000\n#time=1db4a1b2c3d4e5f\n"
                "\"APPDATA\"=\"C:\\\\users\\\\lee\\\\AppData\\\\Roaming\"\n"
                "\"USERNAME\"=\"lee\"\n\"USERPROFILE\"=\"C:\\\\users\\\\lee\"\n";
    }
};

} // namespace outlook2016
