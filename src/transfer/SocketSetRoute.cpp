// The way of a SocketSet's connection to its server along the set's route: the
// tunnel an HTTP proxy opens with CONNECT, and the TLS handshake with the server's
// certificate checked for the host name. Until these are done an element is not
// "connected"; when one of them fails the element is closed and its error names
// the reason. Over TLS, what arrives is decrypted here before "data arrival".
#include "transfer/SocketSet.h"

#include <QTcpSocket>

void SocketSet::startAlongRoute(int i) {
    Element& element = elements_[i];
    if (route_.viaProxy()) {
        element.phase = route_.tls ? Phase::AwaitingTunnel : Phase::Ready;
        element.socket->connectToHost(route_.proxyHost, route_.proxyPort);
        return;
    }
    element.phase = route_.tls ? Phase::Handshake : Phase::Ready;
    element.socket->connectToHost(element.host, element.port);
}

void SocketSet::routeStepConnected(int i) {
    Element& element = elements_[i];
    if (element.phase == Phase::Handshake) {
        startHandshake(i);
        return;
    }
    const QByteArray authority = element.host.toUtf8() + ':' + QByteArray::number(element.port);
    QByteArray request = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n";
    if (!route_.proxyAuthorization.isEmpty())
        request += "Proxy-Authorization: " + route_.proxyAuthorization + "\r\n";
    request += "\r\n";
    element.socket->write(request);
}

void SocketSet::readTunnelReply(int i) {
    // A proxy's answer to CONNECT is a status line and a few header lines.
    constexpr qsizetype kMaxReplyBytes = 64 * 1024;
    Element& element = elements_[i];
    element.tunnelReply += element.socket->readAll();
    const qsizetype headerEnd = element.tunnelReply.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (element.tunnelReply.size() > kMaxReplyBytes)
            failElement(i, kProxyRefused, QStringLiteral("The proxy's answer to CONNECT is too long."));
        return;
    }
    const qsizetype lineEnd = element.tunnelReply.indexOf("\r\n");
    const QByteArray statusLine = element.tunnelReply.left(lineEnd);
    const qsizetype blank = statusLine.indexOf(' ');
    if (blank < 0 || statusLine.mid(blank + 1, 3) != "200") {
        failElement(i, kProxyRefused, QString::fromLatin1(statusLine));
        return;
    }
    element.tunnelReply.clear();
    element.phase = Phase::Handshake;
    startHandshake(i);
}

void SocketSet::startHandshake(int i) {
    Element& element = elements_[i];
    element.tls = std::make_unique<TlsSession>(*route_.tlsContext, element.socket, element.host);
    continueHandshake(i);
}

void SocketSet::continueHandshake(int i) {
    Element& element = elements_[i];
    if (!element.tls) return;  // still on the way to the server
    switch (element.tls->handshake()) {
        case TlsSession::Step::Pending:
            return;
        case TlsSession::Step::Failed:
            failElement(i, element.tls->certificateRefused() ? kCertificateRefused : kTlsFailed,
                        element.tls->failure());
            return;
        case TlsSession::Step::Done:
            element.phase = Phase::Ready;
            emit connected(i);
            return;
    }
}

bool SocketSet::decryptArrived(int i, qint64 limit) {
    Element& element = elements_[i];
    if (element.tls->decrypt(element.plain, limit)) return true;
    failElement(i, kTlsFailed, element.tls->failure());
    return false;
}

void SocketSet::failElement(int i, int number, QString description) {
    drop(elements_[i]);
    emit error(i, number, description);
}
