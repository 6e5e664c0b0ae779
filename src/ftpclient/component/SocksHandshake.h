#pragma once

#include "ftpclient/component/FtpProxy.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;

// The client side of a SOCKS 4/4a or SOCKS 5 CONNECT on a socket that already
// stands to the proxy. It reads exactly the proxy's reply bytes, so whatever the
// far end sends right after the handshake stays in the socket for its owner.
//
// SOCKS 4 sends an IPv4 address; a host name goes as SOCKS 4a for the proxy to
// resolve. SOCKS 5 offers "no authentication" and, when a user name is set,
// user/password (RFC 1929); host names are sent as names.
class SocksHandshake : public QObject {
    Q_OBJECT
public:
    SocksHandshake(QTcpSocket* socket, const FtpProxy& proxy, QObject* parent = nullptr);

    // Asks the proxy to connect to host:port; succeeded() or failed() follows.
    void start(const QString& host, quint16 port);

signals:
    void succeeded();
    void failed(const QString& description);

private:
    enum class Step { Idle, Socks4Reply, MethodReply, AuthReply, ConnectReplyHead, ConnectReplyTail, Done };

    void read();
    void sendConnect5();
    void fail(const QString& description);

    QTcpSocket* socket_;
    FtpProxy proxy_;
    QString host_;
    quint16 port_ = 0;
    Step step_ = Step::Idle;
    qint64 tailBytes_ = 0;
};
