#pragma once

// A Wine 8.0 bottle as Wine itself wrote its registry (tests/data/wine-8.0),
// with a 32-bit Outlook 2016 added the way its installer leaves it: its COM
// registration and install root in system.reg, and, once Outlook was started,
// its profiles in user.reg. The user's Documents are a link into a home folder
// outside the prefix, as Wine makes them. The Outlook blocks are copied as
// text from the 2016 sample prefix; nothing here is written by the program.

#include "SamplePrefixCopy.h"
#include "platform/ScopedEnv.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace bottle {

namespace fs = std::filesystem;

// The blocks ("[key] time" to the next blank line) of a registry file whose
// key starts with one of the prefixes.
inline std::string blocksOf(const fs::path& file, const std::vector<std::string>& prefixes) {
    std::istringstream in(readWholeFile(file));
    std::string out, line;
    bool taking = false;
    while (std::getline(in, line)) {
        if (line.starts_with("[")) {
            taking = false;
            for (const auto& prefix : prefixes)
                taking = taking || line.starts_with("[" + prefix);
            if (taking)
                out += "\n";
        }
        if (taking && !line.empty())
            out += line + "\n";
    }
    return out;
}

struct Bottle {
    trelmig::WorkFolder work;
    fs::path root = work.path() / "prefix";
    fs::path home = work.path() / "home";
    // The user's home while the bottle lives: Wine's links lead into it.
    ScopedEnv homeVariable{"HOME", home.string()};

    // withProfiles false: Outlook installed and never started.
    explicit Bottle(bool withProfiles = true) {
        const fs::path wine = fs::path(TRELMIG_FIXTURES_DIR) / "wine-8.0" / "initial";
        fs::create_directories(root);
        fs::copy(kSamplePrefix2016 / "drive_c", root / "drive_c", fs::copy_options::recursive);
        // Wine 8.0 made this bottle as user root.
        fs::rename(root / "drive_c" / "users" / "sam", root / "drive_c" / "users" / "root");
        fs::create_directories(home);
        const fs::path documents = root / "drive_c" / "users" / "root" / "Documents";
        fs::rename(documents, home / "Documents");
        fs::create_directory_symlink(home / "Documents", documents);
        fs::create_directories(root / "dosdevices");
        fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");

        std::ofstream(root / "system.reg", std::ios::binary)
            << readWholeFile(wine / "system.reg")
            << blocksOf(kSamplePrefix2016 / "system.reg",
                        {"Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{0006F03A",
                         "Software\\\\Classes\\\\Wow6432Node\\\\Outlook",
                         "Software\\\\Wow6432Node\\\\Microsoft\\\\Office",
                         "Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App "
                         "Paths\\\\OUTLOOK.EXE"});
        std::string user = readWholeFile(wine / "user.reg");
        if (withProfiles) {
            // Outlook's keys name the sample's user; this bottle's is root.
            std::string office = blocksOf(kSamplePrefix2016 / "user.reg",
                                          {"Software\\\\Microsoft\\\\Office\\\\16.0"});
            for (std::size_t at; (at = office.find("users\\\\sam")) != std::string::npos;)
                office.replace(at, 10, "users\\\\root");
            user += office;
        }
        std::ofstream(root / "user.reg", std::ios::binary) << user;
        fs::copy_file(wine / "userdef.reg", root / "userdef.reg");
    }
};

// Everything of the bottle as Wine and Outlook would see it: every file and
// folder (under the prefix and the home folder its links lead into) with its
// content, and each registry file's keys with their values. Registry keys are
// compared as Wine reads them: by name, without regard to case or to the
// order of the blocks, without the times of their last change (the "[key]
// time" numbers and "#time=" lines, which every save renews).
inline std::map<std::string, std::string> stateOf(const Bottle& b) {
    std::map<std::string, std::string> state;
    for (const fs::path& top : {b.root, b.home}) {
        for (auto it = fs::recursive_directory_iterator(top);
             it != fs::recursive_directory_iterator(); ++it) {
            const std::string name =
                top.filename().string() + "/" + fs::relative(it->path(), top).string();
            if (it->is_symlink())
                state[name] = "-> " + fs::read_symlink(it->path()).string();
            else if (it->is_directory())
                state[name] = "<folder>";
            else if (it->path().extension() != ".reg")
                state[name] = readWholeFile(it->path());
        }
    }
    for (const char* hive : {"user.reg", "system.reg", "userdef.reg"}) {
        std::map<std::string, std::multiset<std::string>> keys;
        std::istringstream in(readWholeFile(b.root / hive));
        std::string line, key;
        while (std::getline(in, line)) {
            if (line.starts_with("[")) {
                key = line.substr(0, line.rfind(']') + 1);
                for (char& c : key)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                keys[key];
            } else if (!key.empty() && !line.empty() && !line.starts_with("#time=")) {
                // A value wrapped over lines is one value.
                std::string value = line;
                while (value.ends_with("\\") && std::getline(in, line))
                    value += "\n" + line;
                keys[key].insert(value);
            }
        }
        for (const auto& [k, values] : keys) {
            std::string text;
            for (const auto& v : values)
                text += v + "\n";
            state[std::string(hive) + " " + k] = text;
        }
    }
    return state;
}

// The entries that differ between two states, for a readable failure.
inline std::string differences(const std::map<std::string, std::string>& a,
                               const std::map<std::string, std::string>& b) {
    std::string out;
    for (const auto& [k, v] : a)
        if (!b.contains(k))
            out += "only before: " + k + "\n";
        else if (b.at(k) != v)
            out += "changed: " + k + "\n";
    for (const auto& [k, v] : b)
        if (!a.contains(k))
            out += "only after: " + k + "\n";
    return out;
}

} // namespace bottle
