#pragma once

#include "ftpclient/component/FtpProxy.h"
#include "ftpclient/component/FtpReply.h"
#include "common/FtpReplyReader.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>

class ProxiedSocket;

// The wire of the control connection: sends command lines and cuts what comes
// back into whole replies. It knows nothing of the order of a dialogue; the
// jobs do. Every line sent and received is offered for the log, with the
// argument of PASS and ACCT masked.
class FtpControlConnection : public QObject {
    Q_OBJECT
public:
    explicit FtpControlConnection(QObject* parent = nullptr);

    // opened() once bytes can flow (the greeting arrives as the first reply), or lost().
    void open(const QString& host, quint16 port, const FtpProxy& proxy);
    // One command; the line end is added here. A line holding CR, LF or NUL is
    // refused (false) and nothing is sent: it would end the command early and
    // start another one.
    bool send(const QByteArray& line);
    void close();
    bool isOpen() const;

    // The address the connection really goes to (the server, or the proxy), and ours.
    QHostAddress peerAddress() const;
    QHostAddress localAddress() const;
    // Commands sent whose final (non-1xx) reply has not arrived yet.
    int outstanding() const { return outstanding_; }

signals:
    void opened();
    void replied(const FtpReply& reply);
    // The connection failed, broke or was closed by the server.
    void lost(const QString& description);
    void logLine(const QString& line);
    // Bytes arrived: the server is alive.
    void activity();

private:
    void readReplies();

    QPointer<ProxiedSocket> link_;
    FtpReplyReader reader_;
    bool open_ = false;
    int outstanding_ = 0;
};
