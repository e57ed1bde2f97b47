#pragma once

#include <QString>

#include <filesystem>
#include <memory>

class QLockFile;

namespace trelmig {

// One window per Wine prefix: two windows restoring into the same registry
// files would overwrite each other's work. The lock is a file in the user's
// runtime folder, freed when its holder ends (also when it crashes).
class InstanceLock {
public:
    explicit InstanceLock(const std::filesystem::path& prefixRoot);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another program holds the prefix.
    bool TryLock();
    QString LockFilePath() const { return path_; }
    // Where the holder listens for later starts (InstanceChannel).
    QString ChannelPath() const;

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace trelmig
