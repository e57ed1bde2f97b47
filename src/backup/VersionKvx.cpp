#include "backup/VersionKvx.h"

#include "archive/ZipArchive.h"
#include "archive/ZipFileList.h"
#include "core/ItemCatalogue.h"
#include "core/SettingsFile.h"
#include "platform/StagingFolder.h"

#include <cctype>
#include <filesystem>
#include <future>
#include <stdexcept>

namespace trelmig {

namespace {

std::vector<int> numbersIn(const std::string& text, std::vector<std::size_t>& widths) {
    std::vector<int> numbers;
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end - i > 4)
            return {};
        numbers.push_back(std::stoi(text.substr(i, end - i)));
        widths.push_back(end - i);
        i = end;
    }
    return numbers;
}

// The eight boxes of the information file's item flags, one per item record.
std::string maskOfFlags(const std::string& flags) {
    std::string mask(kItemCount, '0');
    for (std::size_t i = 0; i < flags.size() && i < kItemRecords.size(); ++i)
        if (flags[i] == '1' && kItemRecords[i].boxes[0] >= 0 &&
            kItemRecords[i].boxes[0] < kItemCount)
            mask[static_cast<std::size_t>(kItemRecords[i].boxes[0])] = '1';
    return mask;
}

Result<std::string> exportVersion(const VersionKvxOrder& order, const AnsiCodec& ansi) {
    const auto version = FindVersion(order.address, order.passphrase, order.versionName);
    if (!version)
        return std::unexpected(version.error());
    // The list of entries and their unpacking are two borg runs that share
    // the repository; one waits for the other no longer than it must.
    auto listing = std::async(std::launch::async, [&] {
        return VersionEntries(order.address, order.passphrase, version->name);
    });
    StagingFolder folder(std::filesystem::path(order.workFolder) / "export");
    const auto extracted = ExtractVersion(order.address, order.passphrase, version->name,
                                          folder.path().string(), order.progress, order.cancel);
    const auto entries = listing.get();
    if (!extracted)
        return std::unexpected(extracted.error());
    if (!entries)
        return std::unexpected(entries.error());
    ZipFileList files;
    for (const std::string& entry : *entries)
        if (auto added = files.AddFile((folder.path() / entry).string()); !added)
            return std::unexpected(added.error());
    ZipArchive zip(ansi);
    auto written = zip.WriteZip(order.kvxFile, files, order.kvxPassword, order.kvxMode);
    zip.CloseZip();
    if (!written)
        return std::unexpected(written.error());
    return version->name;
}

Result<RepositoryVersion> importKvx(const VersionKvxOrder& order, const AnsiCodec& ansi) {
    ZipArchive zip(ansi);
    if (auto opened = zip.OpenZip(order.kvxFile); !opened)
        return std::unexpected(opened.error());
    if (ZipArchive::IsPasswordProtected(order.kvxFile).value_or(false)) {
        zip.SetDecryptPassword(order.kvxPassword);
        if (auto checked = zip.CheckPassword(); !checked)
            return Fail("The password of " + order.kvxFile + " is wrong.");
    }
    StagingFolder folder(std::filesystem::path(order.workFolder) / "import");
    std::vector<std::pair<std::string, std::string>> entriesAndFiles;
    VersionRequest request;
    for (const ZipEntryInfo& entry : zip.Entries()) {
        entriesAndFiles.emplace_back(entry.name, (folder.path() / entry.name).string());
        request.entries.push_back(entry.name);
    }
    if (auto extracted = zip.ExtractEntriesTo(entriesAndFiles); !extracted)
        return std::unexpected(extracted.error());
    zip.CloseZip();
    const std::string info = (folder.path() / kInfoFileName).string();
    if (!std::filesystem::exists(info))
        return Fail(order.kvxFile + " holds no information file; it is no backup file.");
    request.folder = folder.path().string();
    request.computer = GetINI("BackupComputer", info, ansi);
    request.prefix = "kvx";
    request.profile = GetINI("BackupIdentity", info, ansi);
    request.items = maskOfFlags(GetINI("BackupItem", info, ansi));
    request.time = VersionTimeOfBackupTime(GetINI("BackupTime", info, ansi));
    if (!request.time)
        return Fail("The time of " + order.kvxFile + " (\"" + GetINI("BackupTime", info, ansi) +
                    "\") cannot be read from its information file.");
    return CreateVersion(order.address, order.passphrase, request);
}

} // namespace

std::optional<VersionTime> VersionTimeOfBackupTime(const std::string& text) {
    std::vector<std::size_t> widths;
    const std::vector<int> n = numbersIn(text, widths);
    if (n.size() < 5 || n.size() > 6)
        return std::nullopt;
    VersionTime t;
    if (widths[0] == 4) { // year first: y-M-d
        t = {n[0], n[1], n[2], n[3], n[4], n.size() == 6 ? n[5] : 0};
    } else if (widths[2] == 4 || widths[2] == 2) {
        const int year = widths[2] == 2 ? 2000 + n[2] : n[2];
        // Day first where the first can be no month, or the date is dotted
        // as the day-first regions write it.
        const bool dayFirst = n[0] > 12 || text.find('.') < text.find(' ');
        t = {year, dayFirst ? n[1] : n[0],  dayFirst ? n[0] : n[1], n[3],
             n[4], n.size() == 6 ? n[5] : 0};
    } else {
        return std::nullopt;
    }
    std::string upper;
    for (const char c : text)
        upper += char(std::toupper(static_cast<unsigned char>(c)));
    const bool pm = upper.find("PM") != std::string::npos;
    const bool am = upper.find("AM") != std::string::npos;
    if (pm && t.hour < 12)
        t.hour += 12;
    if (am && t.hour == 12)
        t.hour = 0;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
        t.second > 59)
        return std::nullopt;
    return t;
}

Result<std::string> ExportVersionAsKvx(const VersionKvxOrder& order, const AnsiCodec& ansi) {
    try {
        return exportVersion(order, ansi);
    } catch (const std::exception& e) {
        return Fail("The version cannot be written as " + order.kvxFile + ": " + e.what());
    }
}

Result<RepositoryVersion> ImportKvxAsVersion(const VersionKvxOrder& order, const AnsiCodec& ansi) {
    try {
        return importKvx(order, ansi);
    } catch (const std::exception& e) {
        return Fail(order.kvxFile + " cannot be added to the repository: " + e.what());
    }
}

} // namespace trelmig
