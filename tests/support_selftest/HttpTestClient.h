#pragma once

#include "support/WaitFor.h"

#include <QHostAddress>
#include <QList>
#include <QTcpSocket>

// A bare socket client for checking the HTTP test peers: sends bytes as given
// and keeps every read apart, so tests can see how a reply was cut up.
class HttpTestClient {
public:
    explicit HttpTestClient(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_,
                         [this] { reads_.append(socket_.readAll()); });
        QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_, [this] { closed_ = true; });
        socket_.connectToHost(QHostAddress::LocalHost, port);
        connected_ = waitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState; });
    }

    bool isConnected() const { return connected_; }
    void send(const QByteArray& bytes) {
        socket_.write(bytes);
        socket_.flush();
    }

    const QList<QByteArray>& reads() const { return reads_; }
    QByteArray received() const { return reads_.join(); }
    bool closed() const { return closed_; }

    bool waitForClose() {
        return waitFor([this] { return closed_; });
    }
    bool waitForBytes(qsizetype count) {
        return waitFor([this, count] { return received().size() >= count; });
    }
    // Until one whole reply with a "Content-Length:" is in (for servers that keep
    // the connection open afterwards).
    bool waitForReply() {
        return waitFor([this] {
            const QByteArray data = received();
            const qsizetype end = data.indexOf("\r\n\r\n");
            if (end < 0) return false;
            const QByteArray head = data.left(end).toLower();
            const qsizetype at = head.indexOf("\r\ncontent-length:");
            if (at < 0) return closed_;
            const qsizetype lineEnd = head.indexOf("\r\n", at + 2);
            const qint64 length =
                head.mid(at + 17, lineEnd < 0 ? -1 : lineEnd - at - 17).trimmed().toLongLong();
            return data.size() - end - 4 >= length;
        });
    }

private:
    QList<QByteArray> reads_;
    bool closed_ = false;
    bool connected_ = false;
    QTcpSocket socket_;  // last, so it goes before the state its handlers write
};

// Status line, header block and body of a reply as received.
struct ReceivedReply {
    QByteArray statusLine;
    QByteArray head;  // from the status line to the blank line, lower-cased
    QByteArray body;

    explicit ReceivedReply(const QByteArray& data) {
        const qsizetype end = data.indexOf("\r\n\r\n");
        const QByteArray rawHead = end < 0 ? data : data.left(end);
        statusLine = rawHead.left(rawHead.indexOf("\r\n"));
        head = rawHead.toLower() + "\r\n";
        body = end < 0 ? QByteArray() : data.mid(end + 4);
    }
    bool hasLine(const QByteArray& line) const {
        return head.contains("\r\n" + line.toLower() + "\r\n");
    }
};
