#pragma once

#include "platform/WorkFolder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

// A Wine prefix written here by hand, as Wine 8 and an Outlook 2016 leave
// one, independent of the program's own registry code: registry files in
// Wine's text form, C: linked through dosdevices, and (like Wine makes it)
// the user's Documents a link into a home folder outside the prefix.
class HandMadePrefix {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit HandMadePrefix(std::string user, bool documentsInHome = true)
        : user_(std::move(user)) {
        namespace fs = std::filesystem;
        fs::create_directories(root / "dosdevices");
        fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
        fs::create_directories(userFolder() / "AppData/Local/Microsoft/Outlook");
        fs::create_directories(userFolder() / "AppData/Roaming/Microsoft/Outlook");
        fs::create_directories(home / "Documents");
        if (documentsInHome)
            fs::create_directory_symlink(home / "Documents", userFolder() / "Documents");
        else
            fs::create_directories(userFolder() / "Documents");
        const std::string p = "C:\\users\\" + user_;
        text("Volatile Environment", "USERNAME", user_);
        text("Volatile Environment", "USERPROFILE", p);
        const std::string shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                  "Shell Folders";
        text(shell, "AppData", p + "\\AppData\\Roaming");
        text(shell, "Local AppData", p + "\\AppData\\Local");
        text(shell, "Personal", p + "\\Documents");
    }

    std::filesystem::path userFolder() const { return root / "drive_c" / "users" / user_; }
    std::string windowsUserFolder() const { return "C:\\users\\" + user_; }

    // A file of the prefix by its path below the user folder.
    void file(const std::string& below, const std::string& content) const {
        const auto path = userFolder() / below;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    void text(const std::string& key, const std::string& name, const std::string& value) {
        keys_[key][name] = "\"" + escape(value) + "\"";
    }
    void dword(const std::string& key, const std::string& name, std::uint32_t value) {
        char data[16];
        std::snprintf(data, sizeof data, "dword:%08x", value);
        keys_[key][name] = data;
    }
    void binary(const std::string& key, const std::string& name, const Bytes& value) {
        std::string line = "hex:";
        std::size_t width = name.size() + 7;
        for (std::size_t i = 0; i < value.size(); ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%02x", value[i]);
            line += byte;
            width += 2;
            if (i + 1 < value.size()) {
                line += ',';
                ++width;
                // Wine wraps hex data once a line passes 76 characters.
                if (width > 76) {
                    line += "\\\n  ";
                    width = 2;
                }
            }
        }
        keys_[key][name] = line;
    }

    // UTF-16LE text with its NUL, as Outlook keeps PT_UNICODE properties.
    static Bytes wide(const std::string& ascii) {
        Bytes out;
        for (char c : ascii) {
            out.push_back(static_cast<std::uint8_t>(c));
            out.push_back(0);
        }
        out.insert(out.end(), {0, 0});
        return out;
    }

    // The entry identifier of a .pst/.ost message store as MAPI wraps it: 4
    // flag bytes, the wrapped-store provider UID, version and flag bytes, the
    // provider DLL "mspst.dll" with its NUL, then the provider's own entry
    // identifier: 4 flag bytes, the PST provider UID, a reserved zero byte
    // and the path: single-byte and NUL-ended, or (the long form) an empty
    // single-byte path followed by the path in UTF-16 with its NUL.
    static Bytes storeEntryId(const std::string& path, bool unicode) {
        Bytes id{0,    0,    0,    0,    0x38, 0xa1, 0xbb, 0x10, 0x05, 0xe5, 0x10,
                 0x1a, 0xa1, 0xbb, 0x08, 0x00, 0x2b, 0x2a, 0x56, 0xc2, 0,    0};
        for (char c : std::string("mspst.dll"))
            id.push_back(static_cast<std::uint8_t>(c));
        id.push_back(0);
        id.insert(id.end(), {0,    0,    0,    0,    0x4e, 0x49, 0x54, 0x41, 0xf9, 0xbf, 0xb8,
                             0x01, 0x00, 0xaa, 0x00, 0x37, 0xd9, 0x6e, 0x00, 0x00, 0x00});
        if (unicode) {
            id.push_back(0);
            const Bytes w = wide(path);
            id.insert(id.end(), w.begin(), w.end());
        } else {
            for (char c : path)
                id.push_back(static_cast<std::uint8_t>(c));
            id.push_back(0);
        }
        return id;
    }

    // The path a store entry identifier (as above) names, decoded here.
    static std::string storeEntryIdPath(const Bytes& id) {
        std::size_t at = 22;
        while (at < id.size() && id[at] != 0)
            ++at; // the DLL name
        at += 1 + 4 + 16 + 1;
        if (at >= id.size())
            return {};
        std::string path;
        if (id[at] != 0) {
            for (; at < id.size() && id[at] != 0; ++at)
                path += static_cast<char>(id[at]);
            return path;
        }
        for (++at; at + 1 < id.size() && (id[at] || id[at + 1]); at += 2)
            path += static_cast<char>(id[at]);
        return path;
    }

    // Writes user.reg, system.reg and userdef.reg.
    void writeRegistry() const {
        std::ofstream user(root / "user.reg", std::ios::binary);
        user << "WINE REGISTRY Version 2\n;; All keys relative to "
                "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
        for (const auto& [key, values] : keys_) {
            user << "\n[" << escape(key) << "] 1765000000\n#time=1dc5a1b2c3d4e5f\n";
            for (const auto& [name, data] : values)
                user << "\"" << escape(name) << "\"=" << data << "\n";
        }
        std::ofstream system(root / "system.reg", std::ios::binary);
        system << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                  "#arch=win64\n\n"
                  "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1765000000\n"
                  "#time=1dc5a1b2c3d4e5f\n\"CurrentBuildNumber\"=\"19045\"\n"
                  "\"CurrentVersion\"=\"6.3\"\n\"ProductName\"=\"Windows 10 Pro\"\n\n"
                  "[System\\\\CurrentControlSet\\\\Control\\\\ComputerName\\\\ComputerName] "
                  "1765000000\n#time=1dc5a1b2c3d4e5f\n\"ComputerName\"=\"DESKTOP\"\n\n"
                  "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] 1765000000\n"
                  "#time=1dc5a1b2c3d4e5f\n\"ACP\"=\"1252\"\n\"OEMCP\"=\"437\"\n";
        std::ofstream(root / "userdef.reg", std::ios::binary)
            << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\.Default\n\n"
               "#arch=win64\n";
    }

    trelmig::WorkFolder work;
    std::filesystem::path root = work.path() / "prefix";
    std::filesystem::path home = work.path() / "home";

private:
    static std::string escape(const std::string& s) {
        std::string out;
        for (char c : s) {
            if (c == '\\' || c == '"')
                out += '\\';
            out += c;
        }
        return out;
    }

    std::string user_;
    std::map<std::string, std::map<std::string, std::string>> keys_;
};
