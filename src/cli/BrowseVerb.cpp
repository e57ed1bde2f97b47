#include "cli/Verbs.h"

#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "cli/BackupFileArgument.h"
#include "cli/CommandLine.h"
#include "cli/ConsolePrompter.h"
#include "cli/RepositoryArgument.h"
#include "core/Message.h"
#include "mailstore/BackupDataFile.h"
#include "mailstore/MailExport.h"
#include "mailstore/SafeFileName.h"
#include "platform/Utf.h"
#include "platform/WorkFolder.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <exception>
#include <ostream>

namespace trelmig {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDataFilesItem = "BackupDatas";

// The data files of the backup, in the order its information file lists them.
std::vector<BackupDataFile> DataFiles(const ZipArchive& zip, const InspectedArchive& inspected) {
    const auto it = inspected.entries.find(kDataFilesItem);
    if (it == inspected.entries.end())
        return {};
    return BackupDataFiles(zip, it->second);
}

// What one run of the verb opens its data files with.
struct Backup {
    const CommandLine& cmd;
    const InspectedArchive& inspected;
    const AnsiCodec& ansi;
    const fs::path& work;
};

// Read where it lies when the entry allows it, else from a copy in the work folder.
Result<std::unique_ptr<MailStore>> OpenDataFile(const Backup& backup, const BackupDataFile& file) {
    auto store = OpenBackupDataFile(backup.cmd.archive, file, backup.inspected.password,
                                    backup.work, backup.ansi);
    if (!store && store.error().message.find(file.displayName) == std::string::npos)
        return Fail(
            MessageText(MessageId::MailStoreUnreadable, file.displayName, store.error().message));
    return store;
}

void PrintTree(const std::string& name, const MailStore& store, std::ostream& out) {
    out << name << '\n';
    for (const MailFolder& folder : store.folders()) {
        // The top folder is where paths start; it is shown only when it holds messages.
        if (folder.depth == 0 && folder.messageCount == 0)
            continue;
        out << "  " << (folder.depth == 0 ? "/" : folder.path) << " (" << folder.messageCount
            << " messages)\n";
    }
}

std::string LocalTime(std::optional<std::int64_t> time) {
    if (!time)
        return std::string(16, ' ');
    const std::time_t t = static_cast<std::time_t>(*time);
    std::tm local{};
    std::array<char, 32> text{};
    if (!localtime_r(&t, &local) ||
        std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M", &local) == 0)
        return std::string(16, ' ');
    return text.data();
}

// Tabs and line breaks in a field would break the list's columns.
std::string OneLine(std::string text) {
    std::ranges::replace_if(
        text, [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::optional<std::uint32_t> FolderAt(const MailStore& store, std::string path) {
    while (path.starts_with('/'))
        path.erase(0, 1);
    while (path.ends_with('/'))
        path.pop_back();
    const auto& folders = store.folders();
    const auto found = std::ranges::find(folders, path, &MailFolder::path);
    if (found != folders.end())
        return found->id;
    return std::nullopt;
}

struct Chosen {
    std::vector<MessageSummary> messages;
    std::string exportName; // the mbox file's name
};

int ExportMessages(const CommandLine& cmd, MailStore& store, const Chosen& chosen,
                   std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_directory(*cmd.exportFolder, ec)) {
        err << MessageText(MessageId::BrowseNoExportFolder, cmd.exportFolder->string()) << '\n';
        return 2;
    }
    std::vector<MessageRef> refs;
    refs.reserve(chosen.messages.size());
    for (const MessageSummary& message : chosen.messages)
        refs.push_back(message.ref);
    const auto written =
        cmd.exportAs == "mbox"
            ? ExportMbox(store, refs,
                         *cmd.exportFolder / (SafeFileName(chosen.exportName) + ".mbox"))
            : ExportEml(store, refs, *cmd.exportFolder);
    if (!written) {
        err << written.error().message << '\n';
        return 1;
    }
    for (const fs::path& file : *written)
        out << MessageText(MessageId::BrowseWritten, file.string()) << '\n';
    return 0;
}

int ListOrExport(const CommandLine& cmd, const std::string& name, MailStore& store,
                 std::ostream& out, std::ostream& err) {
    std::optional<std::uint32_t> folder;
    Chosen chosen{{}, fs::path(name).stem().string()};
    if (cmd.mailFolder) {
        folder = FolderAt(store, *cmd.mailFolder);
        if (!folder) {
            err << MessageText(MessageId::BrowseNoSuchFolder, name, *cmd.mailFolder) << '\n';
            return 2;
        }
        chosen.exportName = store.folders()[*folder].name;
    }
    const auto keep = [&](const MessageSummary& message) {
        chosen.messages.push_back(message);
        return true;
    };
    const auto read = cmd.searchText ? store.Search(folder, *cmd.searchText, keep)
                                     : store.ForEachMessage(*folder, keep);
    if (!read) {
        err << read.error().message << '\n';
        return 1;
    }
    if (cmd.exportFolder)
        return ExportMessages(cmd, store, chosen, out, err);
    for (const MessageSummary& message : chosen.messages)
        out << LocalTime(message.time) << '\t' << OneLine(message.sender) << '\t'
            << OneLine(message.subject) << '\n';
    return 0;
}

int BrowseDataFiles(const Backup& backup, const std::vector<BackupDataFile>& files,
                    std::ostream& out, std::ostream& err) {
    const CommandLine& cmd = backup.cmd;
    if (!cmd.dataFile.empty()) {
        const auto named = std::ranges::find_if(files, [&](const BackupDataFile& file) {
            return equalsNoCase(file.displayName, cmd.dataFile) ||
                   equalsNoCase(file.entryName, cmd.dataFile);
        });
        if (named == files.end()) {
            err << MessageText(MessageId::BrowseNoSuchDataFile, cmd.archive, cmd.dataFile) << '\n';
            return 2;
        }
        auto store = OpenDataFile(backup, *named);
        if (!store) {
            err << store.error().message << '\n';
            return 1;
        }
        if (!(*store)->notice().empty())
            err << (*store)->notice() << '\n';
        if (!cmd.mailFolder && !cmd.searchText) {
            PrintTree(named->displayName, **store, out);
            return 0;
        }
        return ListOrExport(cmd, named->displayName, **store, out, err);
    }
    int status = 0;
    for (const BackupDataFile& file : files) {
        auto store = OpenDataFile(backup, file);
        if (!store) {
            err << store.error().message << '\n';
            status = 1;
            continue;
        }
        if (!(*store)->notice().empty())
            err << (*store)->notice() << '\n';
        PrintTree(file.displayName, **store, out);
    }
    return status;
}

} // namespace

int RunBrowse(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    if (cmd.repository)
        return RunOnVersionAsBackupFile(cmd, out, err, RunBrowse);
    ConsolePrompter prompter(err);
    if (const std::string problem = BackupFileArgumentProblem(cmd); !problem.empty()) {
        err << problem << '\n';
        return 2;
    }
    try {
        const WorkFolder work;
        const AnsiCodec ansi(CodePageAtHand(cmd));
        ZipArchive zip(ansi);
        const InspectedArchive inspected = InspectBackupFileInto(cmd, prompter, zip, work.path());
        if (!inspected.accepted)
            return 2;
        const std::vector<BackupDataFile> files = DataFiles(zip, inspected);
        zip.CloseZip();
        if (files.empty()) {
            err << MessageText(MessageId::BrowseNoDataFiles, cmd.archive) << '\n';
            return 2;
        }
        return BrowseDataFiles({cmd, inspected, ansi, work.path()}, files, out, err);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
}

} // namespace trelmig
