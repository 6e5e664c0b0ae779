#include "ftpclient/component/SocksHandshake.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

QByteArray portBytes(quint16 port) {
    return QByteArray(1, char(port >> 8)) + char(port & 0xff);
}

QString socks5Reason(int code) {
    switch (code) {
    case 1: return QStringLiteral("general failure");
    case 2: return QStringLiteral("connection not allowed by ruleset");
    case 3: return QStringLiteral("network unreachable");
    case 4: return QStringLiteral("host unreachable");
    case 5: return QStringLiteral("connection refused");
    case 6: return QStringLiteral("TTL expired");
    case 7: return QStringLiteral("command not supported");
    case 8: return QStringLiteral("address type not supported");
    default: return QStringLiteral("error %1").arg(code);
    }
}

}  // namespace

SocksHandshake::SocksHandshake(QTcpSocket* socket, const FtpProxy& proxy, QObject* parent)
    : QObject(parent), socket_(socket), proxy_(proxy) {
    connect(socket_, &QTcpSocket::readyRead, this, &SocksHandshake::read);
}

void SocksHandshake::start(const QString& host, quint16 port) {
    host_ = host;
    port_ = port;
    if (proxy_.type == 4) {
        const QByteArray user = proxy_.userName.toUtf8();
        QByteArray request = QByteArray("\x04\x01", 2) + portBytes(port);
        QHostAddress address;
        if (address.setAddress(host) && address.protocol() == QAbstractSocket::IPv4Protocol) {
            const quint32 ip = address.toIPv4Address();
            request += char(ip >> 24);
            request += char(ip >> 16);
            request += char(ip >> 8);
            request += char(ip);
            request += user + '\0';
        } else {
            // SOCKS 4a: the address 0.0.0.x tells the proxy that a name follows.
            request += QByteArray("\0\0\0\x01", 4) + user + '\0' + host.toUtf8() + '\0';
        }
        step_ = Step::Socks4Reply;
        socket_->write(request);
        return;
    }
    QByteArray greeting = proxy_.userName.isEmpty() ? QByteArray("\x05\x01\x00", 3)
                                                    : QByteArray("\x05\x02\x00\x02", 4);
    step_ = Step::MethodReply;
    socket_->write(greeting);
}

void SocksHandshake::sendConnect5() {
    QByteArray request("\x05\x01\x00", 3);
    QHostAddress address;
    if (address.setAddress(host_) && address.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 ip = address.toIPv4Address();
        request += '\x01';
        request += char(ip >> 24);
        request += char(ip >> 16);
        request += char(ip >> 8);
        request += char(ip);
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        const Q_IPV6ADDR ip = address.toIPv6Address();
        request += '\x04';
        request += QByteArray(reinterpret_cast<const char*>(ip.c), 16);
    } else {
        const QByteArray name = host_.toUtf8();
        if (name.size() > 255) return fail(QStringLiteral("host name too long for SOCKS 5"));
        request += '\x03';
        request += char(name.size());
        request += name;
    }
    request += portBytes(port_);
    step_ = Step::ConnectReplyHead;
    socket_->write(request);
}

void SocksHandshake::read() {
    // Each step takes its reply only once it is whole, and nothing beyond it.
    for (;;) {
        switch (step_) {
        case Step::Idle:
        case Step::Done:
            return;
        case Step::Socks4Reply: {
            if (socket_->bytesAvailable() < 8) return;
            const QByteArray reply = socket_->read(8);
            if (reply[1] != '\x5a')
                return fail(QStringLiteral("the SOCKS 4 proxy refused the connection (code %1)")
                                .arg(quint8(reply[1])));
            step_ = Step::Done;
            emit succeeded();
            return;
        }
        case Step::MethodReply: {
            if (socket_->bytesAvailable() < 2) return;
            const QByteArray reply = socket_->read(2);
            if (reply[0] != '\x05') return fail(QStringLiteral("the proxy does not speak SOCKS 5"));
            if (reply[1] == '\x00') {
                sendConnect5();
            } else if (reply[1] == '\x02' && !proxy_.userName.isEmpty()) {
                const QByteArray user = proxy_.userName.toUtf8().left(255);
                const QByteArray password = proxy_.password.toUtf8().left(255);
                step_ = Step::AuthReply;
                socket_->write(QByteArray(1, '\x01') + char(user.size()) + user +
                               char(password.size()) + password);
            } else {
                return fail(QStringLiteral("the SOCKS 5 proxy accepts none of our login methods"));
            }
            break;
        }
        case Step::AuthReply: {
            if (socket_->bytesAvailable() < 2) return;
            const QByteArray reply = socket_->read(2);
            if (reply[1] != '\x00')
                return fail(QStringLiteral("the SOCKS 5 proxy refused the user name or password"));
            sendConnect5();
            break;
        }
        case Step::ConnectReplyHead: {
            if (socket_->bytesAvailable() < 5) return;
            const QByteArray head = socket_->peek(5);
            if (head[0] != '\x05') return fail(QStringLiteral("the proxy does not speak SOCKS 5"));
            if (head[1] != '\x00')
                return fail(QStringLiteral("the SOCKS 5 proxy could not connect: ") +
                            socks5Reason(quint8(head[1])));
            // Version, reply, reserved, address type, the address, two port bytes.
            const char type = head[3];
            const qint64 address = type == '\x01'   ? 4
                                   : type == '\x04' ? 16
                                   : type == '\x03' ? 1 + quint8(head[4])
                                                    : -1;
            if (address < 0) return fail(QStringLiteral("the SOCKS 5 proxy sent a malformed reply"));
            tailBytes_ = 4 + address + 2;
            step_ = Step::ConnectReplyTail;
            break;
        }
        case Step::ConnectReplyTail:
            if (socket_->bytesAvailable() < tailBytes_) return;
            socket_->read(tailBytes_);
            step_ = Step::Done;
            emit succeeded();
            return;
        }
    }
}

void SocksHandshake::fail(const QString& description) {
    step_ = Step::Done;
    emit failed(description);
}
