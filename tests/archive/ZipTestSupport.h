#pragma once

// Helpers shared by the zip tests: scratch folders, files of chosen content,
// and running the real zip programs that must agree with what we write.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <dirent.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include "RunShell.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace ziptest {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "trelmig-ziptest-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Every name in the folder (hidden ones too), sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& e : fs::directory_iterator(path_))
            list.push_back(e.path().filename().string());
        std::sort(list.begin(), list.end());
        return list;
    }

private:
    fs::path path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Mail-store-like content: stretches of random bytes between stretches of
// repetitive records, so that chunks compress very differently.
inline std::string mixedContent(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string out;
    out.reserve(size);
    std::size_t record = 0;
    while (out.size() < size) {
        std::size_t stretch = 100000 + gen() % 900000;
        if (gen() % 3 == 0) {
            for (std::size_t i = 0; i < stretch && out.size() < size; ++i)
                out.push_back(static_cast<char>(gen()));
        } else {
            while (stretch > 0 && out.size() < size) {
                ++record;
                std::string line = "Message-ID: <" + std::to_string(record * 7919 % 100003) +
                                   "@mail.example> Subject: weekly report " +
                                   std::to_string(record % 53) + "\r\n";
                out += line.substr(0, std::min(line.size(), size - out.size()));
                stretch -= std::min(stretch, line.size());
            }
        }
    }
    return out;
}

// General purpose flags of each central directory record, by raw entry name
// (read straight from the file, so no zip library interprets them).
inline std::vector<std::pair<std::string, unsigned>> centralFlags(const std::string& path) {
    const std::string bytes = readFile(path);
    std::vector<std::pair<std::string, unsigned>> found;
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const std::string signature("PK\x01\x02", 4);
    for (std::size_t at = 0; (at = bytes.find(signature, at)) != std::string::npos; ++at) {
        if (at + 46 > bytes.size())
            break;
        std::size_t nameLength = u16(at + 28);
        found.emplace_back(bytes.substr(at + 46, nameLength), u16(at + 8));
    }
    return found;
}

struct CommandResult {
    int status = -1;
    std::string output;
};

// Runs a shell command, capturing stdout and stderr.
inline CommandResult run(const std::string& command) {
    const CommandRun r = RunShell(command);
    return {r.status, r.output};
}

// Passes when the result holds a value; a failure shows the Error's message.
template <class T> testing::AssertionResult Succeeded(const trelmig::Result<T>& result) {
    if (result)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << result.error().message;
}

// The message of a result that failed; empty for one that did not.
template <class T> std::string FailureOf(const trelmig::Result<T>& result) {
    return result ? std::string() : result.error().message;
}

inline std::string shellQuoted(const std::string& path) {
    std::string out = "'";
    for (char c : path)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace ziptest
