#pragma once

#include "support/WaitFor.h"

#include <QHostAddress>
#include <QTcpSocket>

// How many connections the code under test has opened to `server` so far (a
// scripted HTTP or FTP server), -1 when the server takes none. A marker
// connection made now queues behind every connection opened before it, so once
// the server has taken the marker it has taken those too: "none" is a finding,
// not a look taken before the event loop has run.
template <class Server>
int connectionsSoFar(const Server& server) {
    const int before = server.connectionCount();
    QTcpSocket marker;
    marker.connectToHost(QHostAddress::LocalHost, server.port());
    if (!waitFor([&] { return server.connectionCount() > before; })) return -1;
    return server.connectionCount() - 1;
}
