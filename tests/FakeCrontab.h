#pragma once

#include "platform/Crontab.h"
#include "platform/WorkFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A stand-in for the crontab program in a private folder: "-l" prints the
// stored table ("no crontab for tester" and status 1 while there is none),
// "-" stores its input. Every call is logged; Fail() makes every call fail.
struct FakeCrontab {
    trelmig::WorkFolder dir;
    std::filesystem::path script = dir.path() / "crontab";

    FakeCrontab() {
        const std::string d = dir.path().string();
        std::ofstream(script)
            << "#!/bin/sh\n"
               "d='"
            << d
            << "'\n"
               "echo \"$*\" >> \"$d/calls\"\n"
               "[ \"$1\" = -u ] && shift 2\n"
               "if [ -f \"$d/fail\" ]; then cat \"$d/fail\" >&2; exit 1; fi\n"
               "case \"$1\" in\n"
               "-l) if [ -f \"$d/table\" ]; then cat \"$d/table\"; else\n"
               "    echo 'no crontab for tester' >&2; exit 1; fi ;;\n"
               "-) cat > \"$d/table.new\" && mv \"$d/table.new\" \"$d/table\" ;;\n"
               "*) echo 'usage: crontab' >&2; exit 1 ;;\n"
               "esac\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    trelmig::Crontab crontab() const { return trelmig::Crontab({script.string(), std::nullopt}); }

    void SetTable(const std::string& text) const { std::ofstream(dir.path() / "table") << text; }
    std::string Table() const { return read(dir.path() / "table"); }
    bool HasTable() const { return std::filesystem::exists(dir.path() / "table"); }
    // The arguments of every call so far ("-l", "-").
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        std::istringstream in(read(dir.path() / "calls"));
        for (std::string line; std::getline(in, line);)
            calls.push_back(line);
        return calls;
    }
    std::size_t Writes() const {
        std::size_t n = 0;
        for (const auto& c : Calls())
            n += c == "-";
        return n;
    }
    void Fail(const std::string& message) const { std::ofstream(dir.path() / "fail") << message; }

private:
    static std::string read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};
