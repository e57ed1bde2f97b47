#pragma once

#include "disc/BurnLibrary.h"
#include "disc/DiscDevice.h"
#include "disc/DiscEngine.h"
#include "disc/DiscEvents.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "RunShell.h"

// A folder of its own for each test, removed afterwards.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "trelmig-disc-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string Write(const std::string& relative, const std::string& content) const {
        const auto file = path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }
};

// A recorder whose answers the test sets, and which records what it is asked.
struct FakeDiscDevice : trelmig::DiscDevice {
    std::string name = "Fake Recorder";
    bool compatible = true;
    std::map<int, bool> capabilities;
    std::vector<int> askedCapabilities;
    trelmig::DiscMedia media;
    long freeBlocks = 0;
    std::vector<std::pair<long, double>> speeds; // value, multiple
    int refreshes = 0;
    bool eraseStarts = true;
    std::optional<std::pair<bool, long>> erasedWith;
    bool beginWrite = true;
    trelmig::DiscError beginWriteError; // what a refused write answers
    bool writeCancelled = false;
    std::optional<trelmig::WriteOptions> writeOptions;
    bool ejected = false;
    bool trayClosed = false;
    trelmig::DeviceProgress eraseProgress;

    std::string Name() const override { return name; }
    bool Compatible() const override { return compatible; }
    bool Capability(int code) override {
        askedCapabilities.push_back(code);
        auto it = capabilities.find(code);
        return it != capabilities.end() && it->second;
    }
    void RefreshMedia(bool) override { ++refreshes; }
    trelmig::DiscMedia Media() const override { return media; }
    long FreeBlocks(bool) override { return freeBlocks; }
    int SpeedCount() const override { return static_cast<int>(speeds.size()); }
    long Speed(int index) const override { return speeds[static_cast<size_t>(index)].first; }
    double SpeedMultiple(long speed) const override {
        for (const auto& [value, multiple] : speeds)
            if (value == speed)
                return multiple;
        return 0;
    }
    long EraseValue() const override { return 7; }
    bool Erase(bool quick, long value) override {
        erasedWith = {quick, value};
        return eraseStarts;
    }
    void Eject() override { ejected = true; }
    void CloseTray() override { trayClosed = true; }
    trelmig::DiscResult<void> BeginWrite(::burn_source* image,
                                         const trelmig::WriteOptions& options) override {
        trelmig::DiscardImageStream(image);
        writeOptions = options;
        if (!beginWrite)
            return trelmig::DiscFail(beginWriteError);
        return {};
    }
    // A write that goes on until it is cancelled.
    trelmig::DeviceProgress WriteProgress() override {
        trelmig::DeviceProgress progress;
        progress.activity = trelmig::DeviceProgress::Activity::Writing;
        progress.finished = writeCancelled;
        return progress;
    }
    void CancelWrite() override { writeCancelled = true; }
    trelmig::DiscResult<std::unique_ptr<trelmig::BlockReader>> OpenWritten() override {
        return nullptr;
    }
    trelmig::DiscResult<void> EndWrite(bool) override { return {}; }
    trelmig::DeviceProgress EraseProgress() override {
        const auto progress = eraseProgress;
        if (progress.finished)
            eraseProgress = {};
        return progress;
    }
};

// An engine over the given devices (which it takes over).
inline std::unique_ptr<trelmig::DiscEngine> EngineWith(std::vector<trelmig::DiscDevice*> devices) {
    return std::make_unique<trelmig::DiscEngine>([devices] {
        std::vector<std::unique_ptr<trelmig::DiscDevice>> owned;
        for (auto* device : devices)
            owned.emplace_back(device);
        return owned;
    });
}

// Every event of the engine, in order, as text; answers set by the test.
struct RecordingDiscEvents : trelmig::DiscEngineEvents {
    std::vector<std::string> log;
    bool replaceAnswer = false;
    std::vector<trelmig::DiscItem> listed;
    std::vector<std::pair<trelmig::DiscItem, int>> verified;
    std::vector<trelmig::DiscError> errors;
    std::vector<int> states;
    long checked = -1;
    long matched = -1;
    std::function<void()> onVerifyStart;

    void WriteState(int state, int) override { states.push_back(state); }
    void Error(const trelmig::DiscError& error) override { errors.push_back(error); }
    void VerifyStart(long count) override {
        log.push_back("verify start " + std::to_string(count));
        if (onVerifyStart)
            onVerifyStart();
    }
    void VerifyResult(const trelmig::DiscItem& item, int code, long, long) override {
        verified.emplace_back(item, code);
    }
    void VerifyDone(long c, long m) override {
        checked = c;
        matched = m;
    }
    void FolderAdded(const trelmig::DiscItem& item) override {
        log.push_back("added " + item.imagePath + " in " + item.parentPath);
    }
    void ItemRemoved(const trelmig::DiscItem& item) override {
        log.push_back("removed " + item.imagePath);
    }
    void ItemRename(const trelmig::DiscItem& item) override {
        log.push_back("renamed " + item.formerImagePath + " -> " + item.imagePath);
    }
    void FileListed(const trelmig::DiscItem& item) override { listed.push_back(item); }
    bool ReplaceQuery(const trelmig::DiscItem& existing, const std::string& source) override {
        log.push_back("replace " + existing.imagePath + " with " + source);
        return replaceAnswer;
    }
    void ImageCleared() override { log.push_back("cleared"); }
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs a command and returns its output (stdout and stderr) and exit code.
inline std::pair<std::string, int> RunCommand(const std::string& command) {
    const CommandRun r = RunShell(command);
    return {r.output, r.status};
}

inline bool HaveXorriso() {
    return RunCommand("command -v xorriso").second == 0;
}

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
