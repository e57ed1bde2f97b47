#pragma once

// Running a crontab line as cron would, and the names a folder holds.
#include <filesystem>
#include <set>
#include <string>

// One shell word for any text: single quotes, each quote as '\''.
inline std::string ShellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// What cron hands to "/bin/sh -c" for a crontab line: the text after the five
// time fields up to the first "%" that no backslash escapes ("\%" is "%").
inline std::string CronCommand(const std::string& line) {
    std::size_t pos = 0;
    for (int field = 0; field < 5; ++field)
        pos = line.find_first_of(" \t", line.find_first_not_of(" \t", pos));
    std::string out;
    for (std::size_t i = line.find_first_not_of(" \t", pos); i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '%')
            out += line[++i];
        else if (line[i] == '%')
            break;
        else
            out += line[i];
    }
    return out;
}

// The names of the entries of a folder.
inline std::set<std::string> NamesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
