#include "support/ScriptedFtpDataChannel.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

ScriptedFtpDataChannel::ScriptedFtpDataChannel(QObject* parent) : QObject(parent) {}

quint16 ScriptedFtpDataChannel::listen(const QHostAddress& address) {
    listener_ = new QTcpServer(this);
    if (!listener_->listen(address, 0)) return 0;
    connect(listener_, &QTcpServer::newConnection, this, &ScriptedFtpDataChannel::takeConnection);
    return listener_->serverPort();
}

void ScriptedFtpDataChannel::setTarget(const QHostAddress& host, quint16 port) {
    host_ = host;
    port_ = port;
}

void ScriptedFtpDataChannel::takeConnection() {
    if (socket_) return;
    socket_ = listener_->nextPendingConnection();
    socket_->setParent(this);
    listener_->close();
    watch();
    if (openWanted_) emit opened();
}

void ScriptedFtpDataChannel::open() {
    openWanted_ = true;
    if (listener_) {
        // The client may have connected before the transfer command came.
        if (socket_) emit opened();
        return;
    }
    socket_ = new QTcpSocket(this);
    const auto refused = connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (!done_) {
            done_ = true;
            emit failed();
        }
    });
    connect(socket_, &QTcpSocket::connected, this, [this, refused] {
        disconnect(refused);
        watch();
        emit opened();
    });
    socket_->connectToHost(host_, port_);
}

void ScriptedFtpDataChannel::watch() {
    connect(socket_, &QTcpSocket::bytesWritten, this, &ScriptedFtpDataChannel::sent);
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        if (receiving_) received_ += socket_->readAll();
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        if (receiving_) received_ += socket_->readAll();
        finish(receiving_ || closing_);
    });
}

void ScriptedFtpDataChannel::send(const QByteArray& payload, const ScriptedFtpTransfer& plan) {
    sending_ = true;
    payload_ = payload;
    end_ = payload.size();
    if (plan.closeAfter >= 0) end_ = std::min(end_, plan.closeAfter);
    stalls_ = plan.stallAfter >= 0;
    if (stalls_) end_ = std::min(end_, plan.stallAfter);
    if (plan.bytesPerTick <= 0) {
        sendTo(end_);
        return;
    }
    ticker_ = new QTimer(this);
    connect(ticker_, &QTimer::timeout, this,
            [this, step = plan.bytesPerTick] { sendTo(std::min(end_, position_ + step)); });
    ticker_->start(plan.tickMs);
    sendTo(std::min(end_, plan.bytesPerTick));
}

void ScriptedFtpDataChannel::sendTo(qint64 end) {
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        finish(false);
        return;
    }
    socket_->write(payload_.constData() + position_, end - position_);
    position_ = end;
    if (position_ < end_) return;
    if (ticker_) ticker_->stop();
    if (stalls_) return;
    closing_ = true;
    socket_->disconnectFromHost();
}

void ScriptedFtpDataChannel::receive() {
    receiving_ = true;
    received_ += socket_->readAll();
    if (socket_->state() != QAbstractSocket::ConnectedState) finish(true);
}

void ScriptedFtpDataChannel::finish(bool complete) {
    // Only once the transfer has begun: a passive client may connect and leave
    // before the transfer command, which the transfer then reports.
    if (done_ || !(sending_ || receiving_)) return;
    done_ = true;
    if (ticker_) ticker_->stop();
    emit finished(complete);
}
