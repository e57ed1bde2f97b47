#pragma once

#include "RunShell.h"
#include "platform/WorkFolder.h"
#include "repository/Repository.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

// A private folder for one test with borg's own state (cache, keys,
// security records) kept inside it, and a repository address there.
class BorgRepositoryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v borg >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "borg is not installed (package borgbackup)";
        ::setenv("BORG_BASE_DIR", (work_.path() / "borg-base").c_str(), 1);
        repository_ = {(work_.path() / "repo").string()};
    }

    std::filesystem::path folder(const std::string& name) {
        const auto path = work_.path() / name;
        std::filesystem::create_directories(path);
        return path;
    }
    static void writeFile(const std::filesystem::path& file, const std::string& bytes) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    // borg's own check, with the passphrase in its environment.
    CommandRun borgCheck(const std::string& passphrase) {
        return RunShell("BORG_PASSPHRASE='" + passphrase + "' borg check " + repository_.url);
    }
    trelmig::VersionRequest request(const std::filesystem::path& from, std::string profile,
                                    trelmig::VersionTime time) {
        trelmig::VersionRequest r;
        r.folder = from.string();
        r.computer = "host-a";
        r.prefix = ".wine";
        r.profile = std::move(profile);
        r.items = "1011";
        r.time = time;
        return r;
    }

    trelmig::WorkFolder work_;
    trelmig::RepositoryAddress repository_;
};
