#include "gui/InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

namespace trelmig {

namespace {

// A path longer than this is no request; the client is dropped.
constexpr qint64 kLongestRequest = qint64{64} * 1024;
// The running window answers at once unless it is stuck; a second start
// that gets no answer says so rather than wait for ever.
constexpr int kAnswerWaitMs = 5000;

} // namespace

InstanceChannel::InstanceChannel(const QString& socketPath, QObject* parent)
    : QObject(parent), path_(socketPath), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection())
            serve(client);
    });
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::Listen() {
    QLocalServer::removeServer(path_);
    return server_->listen(path_);
}

void InstanceChannel::serve(QLocalSocket* client) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (!client->canReadLine()) {
            if (client->bytesAvailable() > kLongestRequest)
                client->abort();
            return;
        }
        const QByteArray line = client->readLine().trimmed();
        const QString file = QUrl::fromPercentEncoding(line);
        client->write("ok\n");
        client->flush();
        client->disconnectFromServer();
        emit Requested(file);
    });
}

bool InstanceChannel::Hand(const QString& socketPath, const QString& file) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kAnswerWaitMs))
        return false;
    socket.write(file.toUtf8().toPercentEncoding() + '\n');
    if (!socket.waitForBytesWritten(kAnswerWaitMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerWaitMs))
            return false;
    }
    return socket.readLine().trimmed() == "ok";
}

} // namespace trelmig
