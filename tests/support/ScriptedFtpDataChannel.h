#pragma once

#include "support/ScriptedFtpTransfer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;
class QTimer;

// One data connection of the scripted FTP server: passive (it listens on a free
// loopback port and takes the client's first connection) or active (it connects
// to the address of PORT). It carries one transfer, then it is thrown away.
class ScriptedFtpDataChannel : public QObject {
    Q_OBJECT
public:
    explicit ScriptedFtpDataChannel(QObject* parent);

    // Passive: listens on `address` (the control connection's own) and returns the
    // port to announce, 0 when no port could be had.
    quint16 listen(const QHostAddress& address);
    // Active: where open() connects.
    void setTarget(const QHostAddress& host, quint16 port);

    // Emits opened() once the connection stands, or failed().
    void open();
    // Sends `payload` as the plan says; finished() follows unless it stalls.
    void send(const QByteArray& payload, const ScriptedFtpTransfer& plan);
    // Takes everything until the client closes, then finished().
    void receive();
    QByteArray received() const { return received_; }

signals:
    void opened();
    void failed();
    void sent(qint64 bytes);
    // `complete` is false when the client closed the connection before the end.
    void finished(bool complete);

private:
    void takeConnection();
    void watch();
    void sendTo(qint64 end);
    void finish(bool complete);

    QTcpServer* listener_ = nullptr;
    QTcpSocket* socket_ = nullptr;
    QTimer* ticker_ = nullptr;
    QHostAddress host_;
    quint16 port_ = 0;
    bool openWanted_ = false;
    bool sending_ = false;
    bool receiving_ = false;
    bool closing_ = false;
    bool done_ = false;
    QByteArray payload_;
    qint64 position_ = 0;
    qint64 end_ = 0;
    bool stalls_ = false;
    QByteArray received_;
};
