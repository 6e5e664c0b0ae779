#include "ftpclient/component/ProxiedSocket.h"

#include "ftpclient/component/SocksHandshake.h"

#include <QNetworkProxy>
#include <QTcpSocket>

ProxiedSocket::ProxiedSocket(QObject* parent) : QObject(parent), socket_(new QTcpSocket(this)) {
    socket_->setProxy(QNetworkProxy::NoProxy);
}

void ProxiedSocket::connectTo(const QString& host, quint16 port, const FtpProxy& proxy) {
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (!ready_) emit failed(socket_->errorString());
    });
    if (!proxy.isUsed()) {
        connect(socket_, &QTcpSocket::connected, this, [this] {
            ready_ = true;
            emit ready();
        });
        socket_->connectToHost(host, port);
        return;
    }
    handshake_ = new SocksHandshake(socket_, proxy, this);
    connect(handshake_, &SocksHandshake::succeeded, this, [this] {
        handshake_->deleteLater();
        handshake_ = nullptr;
        ready_ = true;
        emit ready();
    });
    connect(handshake_, &SocksHandshake::failed, this,
            [this](const QString& description) { emit failed(description); });
    connect(socket_, &QTcpSocket::connected, this,
            [this, host, port] { handshake_->start(host, port); });
    socket_->connectToHost(proxy.host, proxy.port);
}
