#include "support/ScriptedHttpConnection.h"

#include "support/AfterPeerRead.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <sys/socket.h>

namespace {

constexpr int kTickMs = 10;

// End of the request head: the first blank line, written CR LF CR LF or (by a
// faulty client) LF LF; 0 while incomplete.
qsizetype requestEnd(const QByteArray& data) {
    const qsizetype crlf = data.indexOf("\r\n\r\n");
    const qsizetype lf = data.indexOf("\n\n");
    if (crlf < 0 && lf < 0) return 0;
    if (lf < 0 || (crlf >= 0 && crlf + 4 <= lf + 2)) return crlf + 4;
    return lf + 2;
}

}  // namespace

ScriptedHttpConnection::ScriptedHttpConnection(QTcpSocket* socket, int number,
                                               ScriptedHttpServer* server)
    : QObject(server), socket_(socket), server_(server), number_(number) {
    socket_->setParent(this);
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        received_ += socket_->readAll();
        readRequests();
    });
    connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    received_ = socket_->readAll();
    readRequests();
}

ScriptedHttpConnection::~ScriptedHttpConnection() {
    socket_->disconnect(this);
    socket_->abort();
}

void ScriptedHttpConnection::close() {
    if (!reply_.closeWithoutTlsAlert) {
        socket_->disconnectFromHost();  // over TLS with the close alert
        return;
    }
    // What was written reaches the kernel, then the sending half of the TCP
    // connection ends under the TLS layer, which never says goodbye.
    for (int i = 0; i < 100 && socket_->bytesToWrite() > 0; ++i) socket_->waitForBytesWritten(50);
    ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
}

bool ScriptedHttpConnection::isOpen() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

void ScriptedHttpConnection::readRequests() {
    while (!replying_ && isOpen()) {
        const qsizetype end = requestEnd(received_);
        if (end == 0) return;
        const QByteArray raw = received_.left(end);
        received_.remove(0, end);
        startReply(server_->answer(raw, number_));
    }
}

void ScriptedHttpConnection::startReply(ScriptedHttpServer::Reply reply) {
    replying_ = true;
    reply_ = std::move(reply);
    out_ = reply_.bytes();
    sent_ = 0;
    stopAt_ = out_.size();
    if (reply_.closeAfterBytes)
        stopAt_ = std::min(stopAt_, std::max<qint64>(0, *reply_.closeAfterBytes));
    if (reply_.stallAfterBytes)
        stopAt_ = std::min(stopAt_, std::max<qint64>(0, *reply_.stallAfterBytes));
    std::sort(reply_.splitAt.begin(), reply_.splitAt.end());
    sendNext();
}

void ScriptedHttpConnection::sendNext() {
    if (!isOpen()) return;
    if (reply_.bytesPerTick > 0 && socket_->bytesToWrite() > 0) {
        QTimer::singleShot(kTickMs, this, &ScriptedHttpConnection::sendNext);
        return;
    }
    qint64 end = stopAt_;
    bool atSplit = false;
    for (qint64 split : reply_.splitAt) {
        if (split > sent_ && split < end) {
            end = split;
            atSplit = true;
            break;
        }
    }
    if (reply_.bytesPerTick > 0 && sent_ + reply_.bytesPerTick < end) {
        end = sent_ + reply_.bytesPerTick;
        atSplit = false;
    }
    if (end > sent_) {
        socket_->write(out_.constData() + sent_, end - sent_);
        socket_->flush();
        sent_ = end;
    }
    if (sent_ == stopAt_) {
        endReply();
    } else if (atSplit) {
        afterPeerRead(socket_, this, [this] { sendNext(); });
    } else {
        QTimer::singleShot(kTickMs, this, &ScriptedHttpConnection::sendNext);
    }
}

void ScriptedHttpConnection::endReply() {
    const bool closes = reply_.closeAfterBytes && *reply_.closeAfterBytes <= stopAt_;
    if (closes) {
        close();
        return;
    }
    const bool stalls = reply_.stallAfterBytes && *reply_.stallAfterBytes <= stopAt_;
    if (stalls) return;  // stays open and silent
    if (!reply_.keepAlive) {
        close();
        return;
    }
    replying_ = false;
    readRequests();
}
