#pragma once

#include "support/LoopbackDaemon.h"

#include <QString>
#include <QTemporaryDir>

// A real SOCKS proxy as a child of the test on 127.0.0.1 and a free port:
// Dante (danted: SOCKS 4 and SOCKS 5 without a login, CONNECT only) or
// microsocks (SOCKS 5 with the user and password below).
class SocksProxyServer {
public:
    enum class Kind { Dante, Microsocks };

    explicit SocksProxyServer(Kind kind) : kind_(kind) {}
    bool start();
    void stop() { daemon_.stop(); }

    quint16 port() const { return daemon_.port(); }
    QString errorString() const { return daemon_.errorString(); }
    // Microsocks' login.
    QString user() const { return QStringLiteral("socksuser"); }
    QString password() const { return QStringLiteral("Socks-Pass-1"); }

private:
    Kind kind_;
    QTemporaryDir folder_;
    LoopbackDaemon daemon_;
};
