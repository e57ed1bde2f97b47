#include "cli/Verbs.h"

#include "core/Message.h"
#include "disc/DiscEngine.h"
#include "disc/DiscTexts.h"
#include "disc/ImageFileDevice.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

namespace trelmig {

namespace {

namespace fs = std::filesystem;

// Prints what the engine reports, as a terminal wants it: state changes and
// every tenth percent, verify problems on the error stream.
class ConsoleDiscEvents : public DiscEngineEvents {
public:
    ConsoleDiscEvents(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int finalState = -1;
    long checked = 0;
    long matched = 0;
    bool duplicate = false;

    void WriteState(int state, int progress) override {
        if (WriteStateMovesProgress(state)) {
            if (progress / 10 != lastTenth_) {
                lastTenth_ = progress / 10;
                out_ << MessageText(MessageId::ImageWritingPercent, std::to_string(progress))
                     << '\n';
            }
            return;
        }
        if (const auto text = WriteStateText(state))
            out_ << *text << '\n';
        if (state == kWriteCompleted || state == kWriteCancelled || state == kWriteError)
            finalState = state;
    }
    bool FileWarning(const FileErrorInfo& info) override {
        err_ << FileWarningText(info) << '\n';
        return true;
    }
    void TrackStatus(int track, long count, const std::string& text) override {
        out_ << TrackStatusText(track, count, text) << '\n';
    }
    void Error(const DiscError& error) override { err_ << EngineErrorText(error) << '\n'; }
    void VerifyStart(long fileCount) override { out_ << VerifyStartText(fileCount) << '\n'; }
    void VerifyResult(const DiscItem& item, int code, long, long) override {
        if (const auto message = VerifyMessage(code, item))
            err_ << *message << '\n';
    }
    void VerifyDone(long checkedFiles, long matchedFiles) override {
        checked = checkedFiles;
        matched = matchedFiles;
        out_ << VerifyDoneText(checkedFiles, matchedFiles) << '\n';
    }
    bool ReplaceQuery(const DiscItem& existing, const std::string& newSource) override {
        err_ << MessageText(MessageId::ProgramLine,
                            MessageText(MessageId::ImageWouldReplace, newSource,
                                        existing.sourcePath, existing.imagePath))
             << '\n';
        duplicate = true;
        return false;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    int lastTenth_ = -1;
};

std::string NameOf(const fs::path& path) {
    fs::path p = path;
    if (!p.has_filename())
        p = p.parent_path();
    return p.filename().string();
}

// The image replaces its file: it may be neither a source nor inside one.
std::optional<std::string> imageAmongSources(const std::string& target,
                                             const std::vector<std::string>& paths) {
    std::error_code ec;
    const fs::path image = fs::weakly_canonical(fs::absolute(target), ec);
    for (const auto& path : paths) {
        const fs::path source = fs::weakly_canonical(fs::absolute(path), ec);
        std::error_code same;
        if (image == source || fs::equivalent(target, path, same))
            return MessageText(MessageId::ImageFileIsSource, target);
        const auto [s, i] = std::mismatch(source.begin(), source.end(), image.begin(), image.end());
        if (s == source.end() && fs::is_directory(source, same))
            return MessageText(MessageId::ImageFileInsideSource, target, path);
    }
    return std::nullopt;
}

} // namespace

int RunWriteIso(const std::string& target, const std::string& volume,
                const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
    if (target.empty() || paths.empty()) {
        err << MessageText(MessageId::ProgramLine, MessageText(MessageId::ImageNeedsFileAndSources))
            << '\n';
        return 2;
    }
    if (fs::is_directory(target)) {
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::ImageFileIsFolder, target))
            << '\n';
        return 2;
    }
    if (const auto refusal = imageAmongSources(target, paths)) {
        err << MessageText(MessageId::ProgramLine, *refusal) << '\n';
        return 2;
    }
    ConsoleDiscEvents events(out, err);
    auto* device = new ImageFileDevice();
    DiscEngine engine([device] {
        std::vector<std::unique_ptr<DiscDevice>> devices;
        devices.emplace_back(device);
        return devices;
    });
    if (!engine.InitializeDevices(false)) {
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::RecordingLibraryNotStarted))
            << '\n';
        return 1;
    }
    engine.SetEvents(&events);
    engine.SetVolumeIdentifier(volume.empty() ? kDefaultVolumeIdentifier : volume);
    DiscImage& image = engine.Image();
    for (const auto& path : paths) {
        std::error_code ec;
        const fs::path source = fs::absolute(path, ec);
        const std::string name = NameOf(source);
        const std::string imagePath = JoinImagePath("\\", name);
        const auto added = fs::is_directory(source, ec)
                               ? image.AddFolder(source.string(), imagePath)
                               : image.AddFile(source.string(), imagePath);
        if (!added || events.duplicate) {
            if (!events.duplicate)
                err << MessageText(MessageId::ProgramLine,
                                   MessageText(MessageId::ImageCannotTake, path))
                    << '\n';
            return 2;
        }
    }
    device->SetTargetFile(fs::absolute(target).string());
    engine.settings.fileSystemType = kFsIso9660 | kFsJoliet;
    engine.settings.autoVerify = true;
    engine.settings.rockRidge = 1;
    engine.settings.recordChecksums = 1;

    const double needed = engine.ImageSize();
    const double free = static_cast<double>(device->FreeBlocks(true)) * engine.BytesPerBlock();
    if (!device->Media().writable) {
        err << MessageText(MessageId::ProgramLine,
                           MessageText(MessageId::ImageFolderNotWritable, target))
            << '\n';
        return 1;
    }
    if (free < needed) {
        err << MediaSpaceMessage(free, needed) << '\n';
        return 1;
    }
    out << MessageText(MessageId::ImageWriting, target, std::to_string(image.FileCount()),
                       std::to_string(image.FolderCount()), FormatMegabytes(needed))
        << '\n';
    if (!engine.StartWrite(*device))
        return 1;
    while (engine.Writing()) {
        engine.Poll();
        if (engine.Writing())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const bool allMatched = events.checked == image.FileCount() && events.matched == events.checked;
    return events.finalState == kWriteCompleted && allMatched ? 0 : 1;
}

} // namespace trelmig
