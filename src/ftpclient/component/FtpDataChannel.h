#pragma once

#include "ftpclient/component/FtpProxy.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>

class ProxiedSocket;
class QTcpServer;
#include <QTcpSocket>

// The data connection of one transfer or listing. Passive: we connect to the
// server (through the proxy when there is one). Active: we listen, and take the
// first connection that comes from the server's own address; connections from
// anyone else are closed unanswered, and listening stops after the one accepted.
class FtpDataChannel : public QObject {
    Q_OBJECT
public:
    explicit FtpDataChannel(QObject* parent = nullptr);
    ~FtpDataChannel() override;

    void connectTo(const QString& host, quint16 port, const FtpProxy& proxy);
    // Listens on `local`, any free port; false when no port could be had.
    bool listen(const QHostAddress& local, const QHostAddress& allowedPeer);
    quint16 listenPort() const;

    bool isConnected() const { return socket_ != nullptr; }
    // The connected socket; null before connected().
    QTcpSocket* socket() const { return socket_; }
    // Sends what is written, then closes our side.
    void finishSending();
    void close();

signals:
    void connected();
    void readyRead();
    // The other side closed the connection (after all its bytes were read out).
    void closedByPeer();
    void bytesWritten(qint64 bytes);
    void failed(const QString& description);
    void logLine(const QString& line);

private:
    void take(QTcpSocket* socket);
    void acceptPending();

    QPointer<ProxiedSocket> link_;
    QTcpServer* listener_ = nullptr;
    QHostAddress allowedPeer_;
    QPointer<QTcpSocket> socket_;
};
