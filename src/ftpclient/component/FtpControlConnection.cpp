#include "ftpclient/component/FtpControlConnection.h"

#include "ftpclient/component/FtpText.h"
#include "ftpclient/component/ProxiedSocket.h"

#include <QTcpSocket>
#include <cctype>

FtpControlConnection::FtpControlConnection(QObject* parent) : QObject(parent) {}

void FtpControlConnection::open(const QString& host, quint16 port, const FtpProxy& proxy) {
    close();
    reader_.reset();
    outstanding_ = 0;
    auto* link = new ProxiedSocket(this);
    link_ = link;
    connect(link, &ProxiedSocket::ready, this, [this, link] {
        if (link != link_) return;
        open_ = true;
        QTcpSocket* socket = link->socket();
        connect(socket, &QTcpSocket::readyRead, this, &FtpControlConnection::readReplies);
        connect(socket, &QTcpSocket::disconnected, this, [this, link] {
            if (link != link_ || !open_) return;
            open_ = false;
            emit lost(QStringLiteral("The server closed the connection."));
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, link, socket] {
            if (link != link_ || !open_) return;
            if (socket->error() == QAbstractSocket::RemoteHostClosedError) return;
            open_ = false;
            emit lost(socket->errorString());
        });
        emit opened();
        // Bytes that came with the proxy's last reply raise no signal of their own.
        readReplies();
    });
    connect(link, &ProxiedSocket::failed, this, [this, link](const QString& description) {
        if (link != link_) return;
        emit lost(description);
    });
    link->connectTo(host, port, proxy);
}

bool FtpControlConnection::send(const QByteArray& line) {
    if (!open_ || FtpText::breaksCommand(line)) return false;
    emit logLine(FtpText::forLog(line));
    link_->socket()->write(line + "\r\n");
    ++outstanding_;
    return true;
}

void FtpControlConnection::close() {
    open_ = false;
    if (!link_) return;
    ProxiedSocket* link = link_;
    link_ = nullptr;
    link->socket()->abort();
    link->deleteLater();
}

bool FtpControlConnection::isOpen() const {
    return open_;
}

QHostAddress FtpControlConnection::peerAddress() const {
    return link_ ? link_->socket()->peerAddress() : QHostAddress();
}

QHostAddress FtpControlConnection::localAddress() const {
    return link_ ? link_->socket()->localAddress() : QHostAddress();
}

void FtpControlConnection::readReplies() {
    if (!link_) return;
    const QByteArray bytes = link_->socket()->readAll();
    if (bytes.isEmpty()) return;
    emit activity();
    reader_.feed(bytes);
    // A reply handler may close the connection: stop once it has.
    const QPointer<ProxiedSocket> link = link_;
    while (link && link == link_) {
        const std::optional<QByteArray> raw = reader_.next();
        if (!raw) break;
        for (const QByteArray& line : raw->split('\n')) {
            if (!line.isEmpty() && line != "\r") emit logLine(FtpText::forDisplay(line));
        }
        const bool coded = raw->size() >= 3 && std::isdigit(quint8(raw->at(0))) &&
                           std::isdigit(quint8(raw->at(1))) && std::isdigit(quint8(raw->at(2)));
        const int code = coded ? raw->left(3).toInt() : 0;
        if (code < 100 || code > 599) {
            open_ = false;
            emit lost(QStringLiteral("The server's reply is not FTP: ") + FtpText::forDisplay(raw->left(80)));
            return;
        }
        if (code >= 200 && outstanding_ > 0) --outstanding_;
        emit replied(FtpReply{code, *raw});
    }
}
