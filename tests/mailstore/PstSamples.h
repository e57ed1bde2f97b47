#pragma once

#include "RunShell.h"
#include "SampleDataFiles.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

inline std::filesystem::path PstSample(const std::string& name) {
    return PstSampleDir() / name;
}

#define SKIP_WITHOUT_PST_SAMPLE(name)                                                              \
    if (!std::filesystem::exists(PstSample(name)))                                                 \
    GTEST_SKIP() << PstSample(name) << " is missing: run scripts/bootstrap pst"

#define SKIP_WITHOUT_PROGRAM(program)                                                              \
    if (RunShell("command -v " program).status != 0)                                               \
    GTEST_SKIP() << program " is not installed: run scripts/bootstrap"

inline std::string Quoted(const std::filesystem::path& path) {
    std::string quoted = "'";
    for (const char c : path.string())
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A folder of its own under the build's temporary place, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "trelmig-mailstore-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
