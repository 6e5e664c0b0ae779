// The way of a SocketSet's connection to its server along the set's route: the
// socket the route needs, the tunnel an HTTP proxy opens with CONNECT, and the TLS
// handshake with the server's certificate checked for the host name. Until these
// are done an element is not "connected"; when one of them fails the element is
// closed and its error names the reason.
#include "transfer/SocketSet.h"
#include "transfer/TlsErrorText.h"

#include <QSslConfiguration>
#include <QSslSocket>

QTcpSocket* SocketSet::newSocketAlongRoute(const QString& host) {
    if (!route_.tls) return new QTcpSocket(this);
    auto* tls = new QSslSocket(this);
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    if (!route_.caCertificates.isEmpty()) configuration.setCaCertificates(route_.caCertificates);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    tls->setSslConfiguration(configuration);
    tls->setPeerVerifyName(host);
    connect(tls, &QSslSocket::encrypted, this, [this, tls] {
        const int index = indexOfSocket(tls);
        if (index < 0) return;
        elements_[index].phase = Phase::Ready;
        emit connected(index);
    });
    // Never ignored: the handshake then fails, and handshakeFailed names these.
    connect(tls, &QSslSocket::sslErrors, this, [this, tls](const QList<QSslError>& errors) {
        const int index = indexOfSocket(tls);
        if (index >= 0)
            elements_[index].certificateProblem = CertificateRefusedText(elements_[index].host, errors);
    });
    return tls;
}

void SocketSet::startAlongRoute(int i) {
    Element& element = elements_[i];
    if (route_.viaProxy()) {
        element.phase = route_.tls ? Phase::AwaitingTunnel : Phase::Ready;
        element.socket->connectToHost(route_.proxyHost, route_.proxyPort);
    } else if (route_.tls) {
        element.phase = Phase::Handshake;
        static_cast<QSslSocket*>(element.socket)->connectToHostEncrypted(element.host, element.port);
    } else {
        element.phase = Phase::Ready;
        element.socket->connectToHost(element.host, element.port);
    }
}

void SocketSet::routeStepConnected(int i) {
    Element& element = elements_[i];
    if (element.phase != Phase::AwaitingTunnel) return;  // the handshake is under way
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
    static_cast<QSslSocket*>(element.socket)->startClientEncryption();
}

void SocketSet::handshakeFailed(int i) {
    const Element& element = elements_[i];
    if (!element.certificateProblem.isEmpty()) {
        failElement(i, kCertificateRefused, element.certificateProblem);
        return;
    }
    failElement(i, kTlsFailed,
                QStringLiteral("TLS handshake with %1 failed: %2").arg(element.host, element.socket->errorString()));
}

void SocketSet::failElement(int i, int number, QString description) {
    drop(elements_[i]);
    emit error(i, number, description);
}
