#include "restore/RestoreUndo.h"

#include "app/Environment.h"
#include "platform/SideFile.h"
#include "platform/StateFolder.h"
#include "platform/TextFile.h"
#include "platform/Utf.h"
#include "registry/RegistrySnapshot.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <set>
#include <stdexcept>
#include <type_traits>
#include <unistd.h>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

constexpr const char* kManifest = "undo.txt";
constexpr const char* kNewRecord = ".new-";

// Fields of a manifest line are separated by tabs; the few characters that
// would break a line are written as %XX.
std::string escapeField(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescapeField(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(unescapeField(line.substr(start, tab - start)));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::string folded(const std::string& text) {
    return utf16ToUtf8(foldCase(utf8ToUtf16(text)));
}

std::string parentKey(const std::string& keyPath) {
    const auto cut = keyPath.find_last_of('\\');
    return cut == std::string::npos ? std::string() : keyPath.substr(0, cut);
}

// Keeps nothing of the registry for a key path it cannot name.
void checkKeyPath(RegistryKeys& reg, const std::string& keyPath) {
    std::string sub = keyPath;
    if (reg.SplitRegPath(sub) == RootKey::None || sub.empty())
        throw std::runtime_error("the registry key " + keyPath + " cannot be kept for the undo");
}

// The undo's steps throw; a registry snapshot that failed fails the step.
template <class T> T orThrow(Result<T> done) {
    if (!done)
        throw std::runtime_error(done.error().message);
    if constexpr (!std::is_void_v<T>)
        return std::move(*done);
}

std::string localTimeText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Sorts by time of making: "20261209T065001.123456789-abc123".
std::string recordName() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &utc);
    const auto nanos =
        std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count() %
        1000000000;
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%09lld", static_cast<long long>(nanos));
    return std::string(stamp) + fraction + "-" + sideSuffix();
}

fs::path besideName(const fs::path& target) {
    return target.parent_path() /
           (SideFile::sidePrefix(target.filename().string()) + "x-" + sideSuffix());
}

} // namespace

UndoRecorder::UndoRecorder(const fs::path& recordsFolder, Environment& env,
                           const std::string& profile)
    : recordsFolder_(recordsFolder), name_(recordName()), env_(env) {
    std::error_code ec;
    fs::create_directories(recordsFolder_, ec);
    // The records hold the user's mail: for the user's eyes only.
    fs::permissions(recordsFolder_, fs::perms::owner_all, ec);
    folder_ = recordsFolder_ / (kNewRecord + name_);
    if (!fs::create_directory(folder_, ec) || !fs::create_directory(folder_ / "keys", ec) ||
        !fs::create_directory(folder_ / "files", ec))
        throw std::runtime_error("cannot make the undo record " + folder_.string() + ": " +
                                 ec.message());
    manifest_.open(folder_ / kManifest, std::ios::binary);
    line({"prefix", env_.prefix.root().string()});
    line({"profile", profile});
    line({"time", localTimeText(std::time(nullptr))});
}

UndoRecorder::~UndoRecorder() {
    if (finished_)
        return;
    manifest_.close();
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

void UndoRecorder::line(const std::vector<std::string>& fields) {
    std::string text;
    for (const auto& field : fields)
        text += (text.empty() ? "" : "\t") + escapeField(field);
    manifest_ << text << '\n';
    manifest_.flush();
    if (!manifest_)
        throw std::runtime_error("cannot write the undo record " + (folder_ / kManifest).string());
}

std::string UndoRecorder::nextName(const char* folder) {
    return std::string(folder) + "/" + std::to_string(++stored_);
}

bool UndoRecorder::keyCovered(const std::string& keyPath) const {
    const std::string key = folded(keyPath);
    return std::any_of(keys_.begin(), keys_.end(), [&](const std::string& kept) {
        return key == kept || key.starts_with(kept + "\\");
    });
}

void UndoRecorder::beforeFileChange(const fs::path& file) {
    if (!files_.insert(file).second)
        return;
    std::error_code ec;
    const auto status = fs::symlink_status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        line({"file", file.string(), ""});
    } else if (fs::is_regular_file(status)) {
        const std::string stored = nextName("files");
        KeepCopyOf(file, folder_ / stored);
        line({"file", file.string(), stored});
    } else {
        files_.erase(file);
        throw std::runtime_error("cannot keep " + file.string() +
                                 " for the undo: it is not a plain file");
    }
    ++changes_;
}

void UndoRecorder::beforeFolderCreated(const std::string& windowsFolder) {
    const auto host = env_.files.hostPath(windowsFolder);
    std::error_code ec;
    if (!host || fs::exists(fs::symlink_status(*host, ec)))
        return;
    line({"folder", host->string()});
    ++changes_;
}

void UndoRecorder::beforeKeyChange(const std::string& keyPath) {
    if (keyCovered(keyPath))
        return;
    if (!env_.reg.RegKeyExists(keyPath)) {
        // The undo removes the highest key the restore will have made.
        std::string top = keyPath;
        while (parentKey(top).find('\\') != std::string::npos &&
               !env_.reg.RegKeyExists(parentKey(top)))
            top = parentKey(top);
        if (keyCovered(top))
            return;
        line({"key", top, ""});
        keys_.insert(folded(top));
    } else {
        const std::string stored = nextName("keys") + ".reg";
        checkKeyPath(env_.reg, keyPath);
        writeFileBytes(folder_ / stored, orThrow(KeySnapshot(env_.reg, keyPath)));
        line({"key", keyPath, stored});
        keys_.insert(folded(keyPath));
    }
    ++changes_;
}

void UndoRecorder::beforeValueChange(const std::string& keyPath, const std::string& valueName) {
    if (keyCovered(keyPath) || values_.contains(folded(keyPath + "\n" + valueName)))
        return;
    if (!env_.reg.RegKeyExists(keyPath)) {
        beforeKeyChange(keyPath);
        return;
    }
    checkKeyPath(env_.reg, keyPath);
    std::string stored;
    if (HasRegValue(env_.reg, keyPath, valueName)) {
        stored = nextName("keys") + ".reg";
        writeFileBytes(folder_ / stored, orThrow(KeySnapshot(env_.reg, keyPath, &valueName)));
    }
    line({"value", keyPath, valueName, stored});
    values_.insert(folded(keyPath + "\n" + valueName));
    ++changes_;
}

void UndoRecorder::finish() {
    if (finished_)
        return;
    manifest_.close();
    std::error_code ec;
    if (empty()) {
        fs::remove_all(folder_, ec);
        finished_ = true;
        return;
    }
    if (!flushFile((folder_ / kManifest).string()))
        throw std::runtime_error("cannot flush the undo record " + folder_.string());
    fs::rename(folder_, recordsFolder_ / name_, ec);
    if (ec)
        throw std::runtime_error("cannot keep the undo record " + folder_.string() + ": " +
                                 ec.message());
    finished_ = true;
    syncFolder(recordsFolder_.string());
    const auto records = ListUndoRecords(recordsFolder_);
    for (std::size_t i = kUndoRecordsKept; i < records.size(); ++i)
        fs::remove_all(records[i].folder, ec);
    // A record a killed restore left unfinished would hold its old files for
    // ever; one that has not grown for a day is such a one.
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& entry : fs::directory_iterator(recordsFolder_, ec)) {
        std::error_code old;
        if (entry.path().filename().string().starts_with(kNewRecord) &&
            fs::last_write_time(entry.path() / kManifest, old) < dayAgo && !old)
            fs::remove_all(entry.path(), old);
    }
}

std::string UndoRecord::label() const {
    return "the restore into profile \"" + profile + "\" of " + prefix + " on " + time;
}

void UndoOutcome::Say(std::vector<Message> parts) {
    said = std::move(parts);
    message.clear();
    for (const Message& part : said)
        message += part.Text();
}

std::vector<UndoRecord> ListUndoRecords(const fs::path& recordsFolder) {
    std::vector<UndoRecord> records;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(recordsFolder, ec)) {
        if (entry.path().filename().string().starts_with('.'))
            continue;
        UndoRecord record;
        record.folder = entry.path();
        try {
            for (const auto& text : readLines(entry.path() / kManifest)) {
                const auto fields = splitFields(text);
                if (fields.size() != 2)
                    break; // the header is over
                if (fields[0] == "prefix")
                    record.prefix = fields[1];
                else if (fields[0] == "profile")
                    record.profile = fields[1];
                else if (fields[0] == "time")
                    record.time = fields[1];
            }
        } catch (const std::exception&) {
            continue;
        }
        if (!record.prefix.empty())
            records.push_back(std::move(record));
    }
    std::sort(records.begin(), records.end(), [](const UndoRecord& a, const UndoRecord& b) {
        return a.folder.filename() > b.folder.filename();
    });
    return records;
}

namespace {

// One file of the record on its way back to its place.
struct FileBack {
    fs::path target;
    fs::path stored;  // empty: the file did not exist and is removed
    fs::path staged;  // the old file beside its place, before the rename
    fs::path retired; // the file the restore left, moved aside
    bool moved = false;
    bool placed = false;
};

// Renames what was moved back as it was; returns what could not be.
std::string renameBack(std::vector<FileBack>& files) {
    std::string stuck;
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        std::error_code ec;
        if (it->placed)
            fs::rename(it->target, it->staged, ec);
        if (!ec && it->moved)
            fs::rename(it->retired, it->target, ec);
        if (ec)
            stuck += "\r\n" + it->target.string() + ": " + ec.message();
        it->placed = it->moved = false;
    }
    for (const auto& file : files) {
        std::error_code ec;
        if (!file.staged.empty())
            fs::remove(file.staged, ec);
    }
    return stuck;
}

const Message kNothingChanged{MessageId::UndoNothingChanged, {}};

// The manifest's lines that change something, in the order they were recorded.
std::vector<std::vector<std::string>> readChanges(const UndoRecord& record) {
    std::vector<std::vector<std::string>> changes;
    for (const auto& text : readLines(record.folder / kManifest)) {
        auto fields = splitFields(text);
        if (fields.size() > 2 || fields[0] == "folder")
            changes.push_back(std::move(fields));
    }
    return changes;
}

// What an undo puts back, gathered before the user's files are touched.
struct UndoPlan {
    std::vector<FileBack> files;
    std::vector<fs::path> madeFolders;
    std::size_t keys = 0;
};

// Puts a key or a value line of the manifest back in the registry, in memory.
void putBackRegistryChange(Environment& env, const UndoRecord& record,
                           const std::vector<std::string>& f) {
    checkKeyPath(env.reg, f[1]);
    const std::string& stored = f[0] == "key" ? f[2] : f[3];
    const fs::path file = record.folder / stored;
    const std::optional<std::string> snapshot =
        stored.empty() ? std::nullopt : std::optional(readFileBytes(file));
    const std::string* kept = snapshot ? &*snapshot : nullptr;
    if (f[0] == "key")
        orThrow(PutBackKey(env.reg, f[1], kept, file.string()));
    else
        orThrow(PutBackValue(env.reg, f[1], f[2], kept, file.string()));
}

// The registry back in memory, newest change first, and the old files
// beside their places; nothing of the user's is touched yet. Throws.
void prepareUndo(Environment& env, const UndoRecord& record,
                 const std::vector<std::vector<std::string>>& changes, UndoPlan& plan) {
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        const auto& f = *it;
        if ((f[0] == "key" && f.size() == 3) || (f[0] == "value" && f.size() == 4)) {
            putBackRegistryChange(env, record, f);
            ++plan.keys;
        } else if (f[0] == "file" && f.size() == 3) {
            FileBack back;
            back.target = f[1];
            if (!f[2].empty()) {
                back.stored = record.folder / f[2];
                if (!fs::is_regular_file(back.stored))
                    throw std::runtime_error("the undo record lacks its copy of " + f[1]);
            }
            plan.files.push_back(std::move(back));
        } else if (f[0] == "folder" && f.size() == 2) {
            plan.madeFolders.emplace_back(f[1]);
        }
    }
    for (auto& file : plan.files) {
        if (file.stored.empty())
            continue;
        fs::create_directories(file.target.parent_path());
        file.staged = besideName(file.target);
        KeepCopyOf(file.stored, file.staged);
    }
}

// Moves what the restore left aside and the old files into their places.
// Throws; renameBack undoes what was done.
void swapFilesBack(std::vector<FileBack>& files) {
    for (auto& file : files) {
        std::error_code ec;
        const auto status = fs::symlink_status(file.target, ec);
        if (fs::exists(status)) {
            if (fs::is_directory(status))
                throw std::runtime_error(file.target.string() + " is a folder now");
            file.retired = besideName(file.target);
            fs::rename(file.target, file.retired);
            file.moved = true;
        }
        if (!file.stored.empty()) {
            fs::rename(file.staged, file.target);
            file.placed = true;
        }
    }
}

// After the undo took: what the restore left goes, the folders are synced,
// and the record is removed.
void clearUp(const UndoPlan& plan, const UndoRecord& record) {
    std::error_code ec;
    std::set<fs::path> folders;
    for (const auto& file : plan.files) {
        if (file.moved)
            fs::remove(file.retired, ec);
        folders.insert(file.target.parent_path());
    }
    for (const auto& folder : folders)
        syncFolder(folder.string());
    // Folders the restore made go when nothing else was put in them since.
    for (auto it = plan.madeFolders.rbegin(); it != plan.madeFolders.rend(); ++it)
        ::rmdir(it->c_str());
    fs::remove_all(record.folder, ec);
}

} // namespace

UndoOutcome UndoRestore(const UndoRecord& record, Prompter& prompter) {
    UndoOutcome outcome;
    std::vector<std::vector<std::string>> changes;
    try {
        changes = readChanges(record);
    } catch (const std::exception& e) {
        outcome.Say({{MessageId::UndoRecordUnreadable, {e.what()}}, kNothingChanged});
        return outcome;
    }
    std::optional<Environment> env;
    try {
        env.emplace(WinePrefix(record.prefix), prompter);
    } catch (const std::exception& e) {
        outcome.Say({{MessageId::ReasonOnly, {e.what()}}, kNothingChanged});
        return outcome;
    }
    if (env->prefix.wineserverRunning()) {
        outcome.Say({{MessageId::UndoWhileWineRuns, {}}, kNothingChanged});
        return outcome;
    }

    UndoPlan plan;
    try {
        prepareUndo(*env, record, changes, plan);
    } catch (const std::exception& e) {
        env->registry.revert();
        renameBack(plan.files);
        outcome.Say({{MessageId::UndoFailed, {e.what()}}, kNothingChanged});
        return outcome;
    }

    std::string failure;
    try {
        swapFilesBack(plan.files);
        env->registry.save();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (!failure.empty()) {
        env->registry.revert();
        const std::string stuck = renameBack(plan.files);
        outcome.Say({{MessageId::UndoFailed, {failure}},
                     stuck.empty() ? kNothingChanged
                                   : Message{MessageId::UndoFilesNotRenamedBack, {stuck}}});
        return outcome;
    }

    clearUp(plan, record);
    outcome.done = true;
    outcome.Say({{MessageId::Undone,
                  {record.profile, record.prefix, record.time, std::to_string(plan.keys),
                   std::to_string(plan.files.size())}}});
    return outcome;
}

} // namespace trelmig
