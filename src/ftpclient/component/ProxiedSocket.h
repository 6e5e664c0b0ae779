#pragma once

#include "ftpclient/component/FtpProxy.h"

#include <QObject>
#include <QString>

class QTcpSocket;
class SocksHandshake;

// A TCP connection to host:port, directly or through the SOCKS proxy. ready()
// tells that bytes can flow to the far end; failed() that they never will. The
// environment's proxy settings are never applied: only the proxy given here.
class ProxiedSocket : public QObject {
    Q_OBJECT
public:
    explicit ProxiedSocket(QObject* parent = nullptr);

    void connectTo(const QString& host, quint16 port, const FtpProxy& proxy);
    QTcpSocket* socket() const { return socket_; }
    bool isReady() const { return ready_; }

signals:
    void ready();
    void failed(const QString& description);

private:
    QTcpSocket* socket_;
    SocksHandshake* handshake_ = nullptr;
    bool ready_ = false;
};
