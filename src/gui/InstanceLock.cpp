#include "gui/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace trelmig {

namespace {

QString lockFolder() {
    // Without a runtime folder Qt would invent one (and say so); the
    // temporary folder serves as well.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QDir::tempPath();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

} // namespace

InstanceLock::InstanceLock(const std::filesystem::path& prefixRoot) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(prefixRoot, ec);
    if (ec)
        canonical = prefixRoot;
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(canonical.string()),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(16);
    path_ = lockFolder() + QStringLiteral("/trelmig-") + QString::fromLatin1(hash) +
            QStringLiteral(".lock");
    lock_ = std::make_unique<QLockFile>(path_);
    // Never considered stale while its holder lives, however long it runs.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::ChannelPath() const {
    QString channel = path_;
    channel.chop(int(sizeof(".lock")) - 1);
    return channel + QStringLiteral(".socket");
}

bool InstanceLock::TryLock() {
    return lock_->tryLock(0);
}

} // namespace trelmig
