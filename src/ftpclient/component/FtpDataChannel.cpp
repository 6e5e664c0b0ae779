#include "ftpclient/component/FtpDataChannel.h"

#include "ftpclient/component/ProxiedSocket.h"

#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr qint64 kReadBufferBytes = 1024 * 1024;

}  // namespace

FtpDataChannel::FtpDataChannel(QObject* parent) : QObject(parent) {}

FtpDataChannel::~FtpDataChannel() {
    close();
}

void FtpDataChannel::connectTo(const QString& host, quint16 port, const FtpProxy& proxy) {
    auto* link = new ProxiedSocket(this);
    link_ = link;
    connect(link, &ProxiedSocket::ready, this, [this, link] { take(link->socket()); });
    connect(link, &ProxiedSocket::failed, this, [this](const QString& description) {
        emit failed(QStringLiteral("Cannot open the data connection: ") + description);
    });
    link->connectTo(host, port, proxy);
}

bool FtpDataChannel::listen(const QHostAddress& local, const QHostAddress& allowedPeer) {
    listener_ = new QTcpServer(this);
    listener_->setProxy(QNetworkProxy::NoProxy);
    allowedPeer_ = allowedPeer;
    connect(listener_, &QTcpServer::newConnection, this, &FtpDataChannel::acceptPending);
    // Port 0: the system picks a free one, always above the privileged range.
    return listener_->listen(local, 0);
}

quint16 FtpDataChannel::listenPort() const {
    return listener_ ? listener_->serverPort() : 0;
}

void FtpDataChannel::acceptPending() {
    while (QTcpSocket* incoming = listener_->nextPendingConnection()) {
        if (socket_ || !incoming->peerAddress().isEqual(allowedPeer_)) {
            emit logLine(QStringLiteral("Refused a data connection from %1; only the server may connect.")
                             .arg(incoming->peerAddress().toString()));
            incoming->abort();
            incoming->deleteLater();
            continue;
        }
        listener_->close();
        incoming->setParent(this);
        take(incoming);
    }
}

void FtpDataChannel::take(QTcpSocket* socket) {
    socket_ = socket;
    // Bytes wait in the kernel rather than in our memory when the disk is slower
    // than the network: memory stays the same whatever the file's size.
    socket->setReadBufferSize(kReadBufferBytes);
    connect(socket, &QTcpSocket::readyRead, this, &FtpDataChannel::readyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &FtpDataChannel::bytesWritten);
    connect(socket, &QTcpSocket::disconnected, this, &FtpDataChannel::closedByPeer);
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
        // The server closing the connection at the end of a transfer is the
        // ordinary end, reported by disconnected().
        if (socket->error() == QAbstractSocket::RemoteHostClosedError) return;
        emit failed(QStringLiteral("The data connection failed: ") + socket->errorString());
    });
    emit connected();
    if (socket->bytesAvailable() > 0) emit readyRead();
    if (socket->state() != QAbstractSocket::ConnectedState) emit closedByPeer();
}

void FtpDataChannel::finishSending() {
    if (socket_) socket_->disconnectFromHost();
}

void FtpDataChannel::close() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
    if (listener_) listener_->close();
    if (link_) link_->disconnect(this);
}
