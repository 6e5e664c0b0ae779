#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class TlsContext;

// How the sockets of a set reach the server they are asked to connect to:
// straight or through an HTTP proxy, in plain text or over TLS. Through a proxy a
// plain connection goes to the proxy, which reads the whole address from the
// request line; a TLS connection asks the proxy for a tunnel (CONNECT) and speaks
// TLS with the server inside it, so the proxy sees neither request nor reply.
struct ConnectionRoute {
    // TLS with the server, its certificate verified for the host name connected to.
    bool tls = false;
    // The HTTP proxy; empty: straight to the server.
    QString proxyHost;
    quint16 proxyPort = 0;
    // The value of "Proxy-Authorization:" sent with CONNECT ("Basic …"); empty: none.
    QByteArray proxyAuthorization;
    // For TLS: the authorities trusted and the rules of the check (set when tls is).
    std::shared_ptr<const TlsContext> tlsContext;

    bool viaProxy() const { return !proxyHost.isEmpty(); }
    // A tunnel through the proxy: requests inside are the server's own.
    bool tunnel() const { return tls && viaProxy(); }
    // Plain requests to a proxy name the whole address in their request line.
    bool absoluteForm() const { return viaProxy() && !tls; }
};
