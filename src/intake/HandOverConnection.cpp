#include "intake/HandOverConnection.h"

#include "common/HandOverSender.h"

#include <QLocalSocket>

HandOverConnection::HandOverConnection(QLocalSocket* socket, qint64 maxBytes, int timeoutMs,
                                       QObject* parent)
    : QObject(parent), socket_(socket), maxBytes_(maxBytes) {
    socket_->setParent(this);
    // Qt stops taking bytes from the system once its buffer holds this much.
    socket_->setReadBufferSize(maxBytes_ + 1);
    connect(socket_, &QLocalSocket::readyRead, this, &HandOverConnection::onReadyRead);
    connect(socket_, &QLocalSocket::disconnected, this, &HandOverConnection::onDisconnected);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &HandOverConnection::drop);
    deadline_.start(timeoutMs);
}

void HandOverConnection::onReadyRead() {
    if (read_ || finished_) return;
    buffer_ += socket_->read(maxBytes_ + 1 - buffer_.size());
    const qsizetype nul = buffer_.indexOf('\0');
    if (nul < 0) {
        if (buffer_.size() > maxBytes_) drop();
        return;
    }
    read_ = true;
    deadline_.stop();
    address_ = QString::fromUtf8(buffer_.left(nul));
    buffer_.clear();
    emit addressRead(this);
}

void HandOverConnection::onDisconnected() {
    // An address that arrived whole is handled even when its sender is gone.
    if (!read_) drop();
}

void HandOverConnection::acknowledge() {
    if (finished_) return;
    if (socket_->state() == QLocalSocket::ConnectedState) {
        socket_->write(QByteArray(1, HandOverSender::kAcknowledge));
        socket_->flush();
        socket_->disconnectFromServer();
    }
    finished_ = true;
    emit finished(this);
}

void HandOverConnection::abort() {
    finished_ = true;
    deadline_.stop();
    socket_->abort();
}

void HandOverConnection::drop() {
    if (finished_) return;
    finished_ = true;
    deadline_.stop();
    socket_->abort();
    emit finished(this);
}
