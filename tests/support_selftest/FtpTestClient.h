#pragma once

#include "support/WaitFor.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QTcpSocket>

// A bare FTP control connection driven by hand. Every read is kept apart, so a
// test sees how the server cut its replies into writes.
class FtpTestClient {
public:
    FtpTestClient() {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = socket_.readAll();
            reads_.append(bytes);
            text_ += bytes;
        });
    }

    bool connectTo(quint16 port) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        return waitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState; });
    }

    void send(const QByteArray& line) { socket_.write(line); }

    // The next line the server sent, CR LF included; empty when none came.
    QByteArray reply() {
        if (!waitFor([this] { return text_.indexOf('\n', consumed_) >= 0; })) return {};
        const qsizetype end = text_.indexOf('\n', consumed_) + 1;
        const QByteArray line = text_.mid(consumed_, end - consumed_);
        consumed_ = end;
        return line;
    }

    QByteArray command(const QByteArray& line) {
        send(line);
        return reply();
    }

    bool waitClosed() {
        return waitFor([this] { return socket_.state() == QAbstractSocket::UnconnectedState; });
    }

    const QList<QByteArray>& reads() const { return reads_; }

private:
    QTcpSocket socket_;
    QList<QByteArray> reads_;
    QByteArray text_;
    qsizetype consumed_ = 0;
};

// The port of a 227 reply, 0 when it holds none.
inline quint16 passivePort(const QByteArray& reply) {
    static const QRegularExpression numbers(
        QStringLiteral(R"(\((\d+),(\d+),(\d+),(\d+),(\d+),(\d+)\))"));
    const QRegularExpressionMatch match = numbers.match(QString::fromLatin1(reply));
    return match.hasMatch() ? quint16(match.captured(5).toInt() * 256 + match.captured(6).toInt())
                            : 0;
}

// Everything the peer sends on a data connection until it closes it.
struct FtpDataRead {
    QByteArray data;
    int reads = 0;
    bool closed = false;
};

inline FtpDataRead readUntilClosed(QTcpSocket& data, int timeoutMs = 10000) {
    FtpDataRead result;
    result.closed = waitFor(
        [&] {
            if (data.bytesAvailable() > 0) {
                result.data += data.readAll();
                ++result.reads;
            }
            return data.state() == QAbstractSocket::UnconnectedState && data.bytesAvailable() == 0;
        },
        timeoutMs);
    return result;
}
