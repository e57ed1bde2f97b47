#include "archive/ArchiveVerify.h"

#include "archive/ZipArchive.h"
#include "archive/ZipEntryNames.h"
#include "core/ItemCatalogue.h"
#include "core/SettingsFile.h"

#include <algorithm>
#include <exception>
#include <memory>

namespace trelmig {

namespace {

ArchiveVerdict damaged(std::string entry, std::string reason) {
    return {ArchiveVerdict::State::Damaged, std::move(entry), std::move(reason)};
}

// The information file's item lists against the archive's entries.
ArchiveVerdict checkInformationFile(ZipArchive& zip, const AnsiCodec& ansi) {
    if (!zip.GetEntry(kInfoFileName))
        return damaged(kInfoFileName, "the archive holds no information file");
    const Result<std::string> bytes = zip.ReadEntry(kInfoFileName, kMaxSettingsFileBytes);
    if (!bytes)
        return damaged(kInfoFileName, bytes.error().message);
    const SettingsText info(*bytes, ansi);
    const std::string flags = info.Value("BackupItem");
    if (flags.size() != kItemRecordCount)
        return damaged(kInfoFileName, "its BackupItem \"" + flags + "\" is not " +
                                          std::to_string(kItemRecordCount) + " flags");
    for (std::size_t i = 0; i < kItemRecordCount; ++i) {
        if (flags[i] != '1')
            continue;
        const std::string key(kItemRecords[i].itemKey);
        std::vector<std::string> names = splitEntryList(info.Value(key));
        if (const auto problem = caseTwinProblem(names))
            return damaged(kInfoFileName, key + ": " + *problem);
        // The pictures of HTML signatures ("<folder>|<file>") are the item's too.
        if (key == "BackupSignatures")
            for (std::string& picture : splitEntryList(info.Value(kSignatureFoldersKey)))
                if (!picture.empty())
                    names.push_back(std::move(picture));
        for (const std::string& name : names)
            if (name.empty() || !zip.GetEntry(name))
                return damaged(name, "named under " + key + " in " + kInfoFileName +
                                         " but not in the archive");
    }
    return {ArchiveVerdict::State::Sound, {}, {}};
}

// The verify's read in bytes, told to read.
ZipEvents readEvents(const ZipArchive& zip, const VerifyBytes& read) {
    if (!read)
        return {};
    struct Count {
        std::string entry;
        std::uint64_t done = 0;
        std::uint64_t total = 0;
    };
    auto count = std::make_shared<Count>();
    for (const ZipEntryInfo& entry : zip.Entries())
        count->total += entry.size;
    ZipEvents events;
    events.fileExtracting = [count, read](const std::string& name) {
        count->entry = name;
        read(count->entry, count->done, count->total);
    };
    events.extractProgress = [count, read](std::uint64_t bytes) {
        count->done = std::min(count->done + bytes, count->total);
        return read(count->entry, count->done, count->total);
    };
    return events;
}

} // namespace

ArchiveVerdict VerifyArchive(const std::string& archivePath, const std::string& password,
                             const AnsiCodec& ansi, const VerifyBytes& read) {
    try {
        ZipArchive zip(ansi);
        if (Result<void> opened = zip.OpenZip(archivePath); !opened)
            return {ArchiveVerdict::State::Refused, {}, opened.error().message};
        zip.SetEvents(readEvents(zip, read));
        zip.SetDecryptPassword(password);
        const Result<std::optional<ZipEntryFault>> tested = zip.TestEntries();
        if (!tested)
            return damaged({}, tested.error().message);
        if (const std::optional<ZipEntryFault>& fault = *tested) {
            if (fault->wrongPassword)
                return {ArchiveVerdict::State::Refused, fault->entry, fault->message};
            std::string why = fault->message;
            if (const std::string prefix = fault->entry + ": "; why.starts_with(prefix))
                why.erase(0, prefix.size());
            return damaged(fault->entry, why);
        }
        return checkInformationFile(zip, ansi);
    } catch (const std::exception& e) { // no memory, or OpenSSL failing
        return {ArchiveVerdict::State::Refused, {}, e.what()};
    }
}

} // namespace trelmig
