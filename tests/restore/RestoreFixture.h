#pragma once

#include "app/Environment.h"
#include "archive/ZipArchive.h"
#include "backup/BackupDriver.h"
#include "core/PasswordPrompt.h"
#include "core/ProgressView.h"
#include "restore/RestoreDriver.h"
#include "restore/SourceFile.h"

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <memory>

// A password prompt that answers with a fixed text.
struct FixedPassword : trelmig::PasswordPrompt {
    std::optional<std::string> password;
    std::optional<std::string> AskPassword() override { return password; }
};

// One prefix to back up from, a fresh copy to restore into, and the
// environment of each.
class RestoreFixture : public ::testing::Test {
protected:
    SamplePrefixCopy source;
    SamplePrefixCopy target;
    RecordingPrompter prompter;
    trelmig::SilentProgress progress;
    FixedPassword passwords;
    std::string archive = (source.work.path() / "backup.kvx").string();
    std::unique_ptr<trelmig::Environment> env; // of the target
    std::unique_ptr<trelmig::ZipArchive> zip;
    trelmig::InspectedArchive inspected; // what the last inspect() found

    void SetUp() override { prompter.answer = trelmig::MessageAnswer::Cancel; }

    // Backs up the source's "Outlook" profile with the given items.
    void backUp(trelmig::ItemSelection items, const std::string& password = "") {
        trelmig::Environment from(trelmig::WinePrefix(source.root), prompter);
        from.Discover();
        trelmig::ZipArchive writer(from.ansi);
        trelmig::BackupDriver driver(from, writer, prompter, progress);
        trelmig::BackupChoices c;
        c.profile = "Outlook";
        c.items = items;
        c.targetFile = archive;
        c.protect = !password.empty();
        c.password = c.password2 = password;
        // An earlier backup of the test is replaced without a question.
        prompter.answerFor = [this](const RecordingPrompter::Message& m) {
            return m.buttons == trelmig::MessageButtons::OverwriteCancel
                       ? trelmig::MessageAnswer::Ok
                       : prompter.answer;
        };
        const bool written = driver.RunBackup(c).written;
        prompter.answerFor = {};
        ASSERT_TRUE(written);
        prompter.messages.clear();
    }

    void openTarget() {
        env = std::make_unique<trelmig::Environment>(trelmig::WinePrefix(target.root), prompter);
        env->Discover();
        zip = std::make_unique<trelmig::ZipArchive>(env->ansi);
    }

    trelmig::InspectedArchive inspect(const std::string& file) {
        if (!env)
            openTarget();
        inspected = trelmig::InspectBackupFile(*env, *zip, prompter, passwords, file);
        return inspected;
    }

    trelmig::RestoreRunResult restore(trelmig::ItemSelection boxes,
                                      const std::string& profile = "Work") {
        trelmig::RestoreDriver driver(*env, *zip, prompter, progress);
        return driver.RunRestore(inspected, {profile, boxes});
    }
};

inline trelmig::ItemSelection items(std::initializer_list<int> list) {
    trelmig::ItemSelection s{};
    for (int i : list)
        s[static_cast<std::size_t>(i)] = true;
    return s;
}

// Writes a zip archive with the given entries (name -> content), names stored
// as given, without encryption.
inline void writeRawZip(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, content] : entries) {
        void* copy = malloc(content.size() + 1);
        memcpy(copy, content.data(), content.size());
        zip_source_t* src = zip_source_buffer(z, copy, content.size(), 1);
        ASSERT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_RAW), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}
