#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace trelmig {

// The window that holds a prefix's instance lock listens on a local socket
// beside the lock. A second start for the same prefix hands it a backup file
// to open (or nothing, just to come forward) instead of opening a window.
// One request is one line: the file's absolute path, percent-encoded; the
// window answers "ok".
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(const QString& socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening. Only the holder of the instance lock calls it, so a
    // socket left by a holder that crashed is removed first. Only the user
    // may connect.
    bool Listen();

    // Asks the window listening on socketPath to come forward and open file
    // (empty: none). True when the window answered.
    static bool Hand(const QString& socketPath, const QString& file);

signals:
    void Requested(const QString& file);

private:
    void serve(QLocalSocket* client);

    QString path_;
    QLocalServer* server_;
};

} // namespace trelmig
