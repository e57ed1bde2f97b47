#pragma once

#include <QString>

#include <filesystem>
#include <memory>

class QLockFile;

namespace trelmig {

// One window per Wine prefix: two windows restoring into the same registry
// files would overwrite each other's work. The lock is a file in the user's
// runtime folder, freed when its holder ends (also when it crashes).
class GuiInstanceLock {
public:
    explicit GuiInstanceLock(const std::filesystem::path& prefixRoot);
    ~GuiInstanceLock();
    GuiInstanceLock(const GuiInstanceLock&) = delete;
    GuiInstanceLock& operator=(const GuiInstanceLock&) = delete;

    // False when another program holds the prefix.
    bool TryLock();
    QString LockFilePath() const { return path_; }
    // Where the holder listens for later starts (GuiInstanceChannel).
    QString ChannelPath() const;

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace trelmig
