#include "transfer/SocketSet.h"

#include "transfer/TlsErrorText.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
// The kernel's buffer of a connection: a fast peer goes on sending while the loop
// serves other connections. It is kernel memory; the process holds at most
// kReadBufferBytes of it at a time.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
}  // namespace

SocketSet::SocketSet(const QString& name, QObject* parent)
    : QObject(parent), name_(name), elements_(1) {}

SocketSet::~SocketSet() {
    for (Element& element : elements_) drop(element);
}

void SocketSet::create(int k) {
    if (k == count()) elements_.emplace_back();
}

void SocketSet::remove(int k) {
    if (k <= 0 || !valid(k)) return;
    drop(elements_[k]);
    // Elements keep their indices: only the last one really leaves the set; an
    // inner one stays as a closed element.
    if (k == ubound()) elements_.pop_back();
}

void SocketSet::drop(Element& element) {
    if (element.socket) {
        element.socket->disconnect(this);
        element.socket->abort();
        element.socket->deleteLater();
        element.socket = nullptr;
        --openConnections_;
    }
    element.readLimit = 0;
    element.phase = Phase::Ready;
    element.tunnelReply.clear();
    element.certificateProblem.clear();
    if (element.server) {
        element.server->disconnect(this);
        element.server->close();
        element.server->deleteLater();
        element.server = nullptr;
    }
}

int SocketSet::indexOfSocket(const QObject* socket) const {
    for (int i = 0; i < count(); ++i)
        if (elements_[i].socket == socket) return i;
    return -1;
}

int SocketSet::indexOfServer(const QObject* server) const {
    for (int i = 0; i < count(); ++i)
        if (elements_[i].server == server) return i;
    return -1;
}

qint64 SocketSet::ReadBufferBytesFor(int connections) {
    return qBound(kMinReadBufferBytes, kReadBudgetBytes / qMax(1, connections), kReadBufferBytes);
}

void SocketSet::sizeReadBuffer(const Element& element) {
    qint64 bytes = ReadBufferBytesFor(openConnections_);
    if (element.readLimit > 0) bytes = qMin(bytes, element.readLimit);
    element.socket->setReadBufferSize(bytes);
}

void SocketSet::attach(int i, QTcpSocket* socket) {
    socket->setParent(this);
    elements_[i].socket = socket;
    ++openConnections_;
    sizeReadBuffer(elements_[i]);
    connect(socket, &QTcpSocket::connected, this, [this, socket] { onConnected(socket); });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        const int index = indexOfSocket(socket);
        if (index < 0) return;
        // Bytes that arrived together with the close are delivered first.
        if (elements_[index].phase == Phase::Ready && socket->bytesAvailable() > 0)
            emit dataArrival(index, socket->bytesAvailable());
        if (indexOfSocket(socket) == index) emit closedByPeer(index);
    });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError code) {
                // The peer closing is reported through disconnected().
                if (code == QAbstractSocket::RemoteHostClosedError) return;
                const int index = indexOfSocket(socket);
                if (index < 0) return;
                if (code == QAbstractSocket::SslHandshakeFailedError) {
                    const Element& element = elements_[index];
                    if (!element.certificateProblem.isEmpty()) {
                        failElement(index, kCertificateRefused, element.certificateProblem);
                    } else {
                        failElement(index, kTlsFailed,
                                    QStringLiteral("TLS handshake with %1 failed: %2")
                                        .arg(element.host, socket->errorString()));
                    }
                    return;
                }
                emit error(index, static_cast<int>(code), socket->errorString());
            });
}

void SocketSet::attachTls(QTcpSocket* socket) {
    auto* tls = static_cast<QSslSocket*>(socket);
    connect(tls, &QSslSocket::encrypted, this, [this, socket] {
        const int index = indexOfSocket(socket);
        if (index < 0) return;
        elements_[index].phase = Phase::Ready;
        emit connected(index);
    });
    // Never ignored: the handshake then fails, and the error handler names these.
    connect(tls, &QSslSocket::sslErrors, this, [this, socket](const QList<QSslError>& errors) {
        const int index = indexOfSocket(socket);
        if (index >= 0)
            elements_[index].certificateProblem = CertificateRefusedText(elements_[index].host, errors);
    });
}

void SocketSet::onConnected(QTcpSocket* socket) {
    const int index = indexOfSocket(socket);
    if (index < 0) return;
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    Element& element = elements_[index];
    switch (element.phase) {
        case Phase::AwaitingTunnel: {
            const QByteArray authority =
                element.host.toUtf8() + ':' + QByteArray::number(element.port);
            QByteArray request = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n";
            if (!route_.proxyAuthorization.isEmpty())
                request += "Proxy-Authorization: " + route_.proxyAuthorization + "\r\n";
            request += "\r\n";
            socket->write(request);
            return;
        }
        case Phase::Handshake:
            return;  // "connected" follows the handshake
        case Phase::Ready:
            emit connected(index);
            return;
    }
}

void SocketSet::onReadyRead(QTcpSocket* socket) {
    const int index = indexOfSocket(socket);
    if (index < 0) return;
    if (elements_[index].phase == Phase::AwaitingTunnel) {
        readTunnelReply(index);
        return;
    }
    if (elements_[index].phase == Phase::Ready) emit dataArrival(index, socket->bytesAvailable());
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
    auto* tls = static_cast<QSslSocket*>(element.socket);
    tls->setPeerVerifyName(element.host);
    tls->startClientEncryption();
}

void SocketSet::failElement(int i, int number, QString description) {
    drop(elements_[i]);
    emit error(i, number, description);
}

void SocketSet::connectTo(int i, const QString& host, quint16 port) {
    if (!valid(i)) return;
    drop(elements_[i]);
    Element& element = elements_[i];
    element.host = host;
    element.port = port;
    QTcpSocket* socket = nullptr;
    if (route_.tls) {
        auto* tls = new QSslSocket(this);
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        if (!route_.caCertificates.isEmpty()) configuration.setCaCertificates(route_.caCertificates);
        configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
        tls->setSslConfiguration(configuration);
        tls->setPeerVerifyName(host);
        socket = tls;
    } else {
        socket = new QTcpSocket(this);
    }
    // Only the route decides where a connection goes, never the environment.
    socket->setProxy(QNetworkProxy::NoProxy);
    attach(i, socket);
    if (route_.tls) attachTls(socket);
    if (route_.viaProxy()) {
        element.phase = route_.tls ? Phase::AwaitingTunnel : Phase::Ready;
        socket->connectToHost(route_.proxyHost, route_.proxyPort);
    } else if (route_.tls) {
        element.phase = Phase::Handshake;
        static_cast<QSslSocket*>(socket)->connectToHostEncrypted(host, port);
    } else {
        element.phase = Phase::Ready;
        socket->connectToHost(host, port);
    }
}

void SocketSet::close(int i) {
    if (valid(i)) drop(elements_[i]);
}

void SocketSet::closeAll() {
    for (Element& element : elements_) drop(element);
}

void SocketSet::send(int i, const QByteArray& data) {
    if (valid(i) && elements_[i].socket) elements_[i].socket->write(data);
}

void SocketSet::readInto(int i, QByteArray& buffer) {
    if (!valid(i) || !elements_[i].socket) {
        buffer.clear();
        return;
    }
    QTcpSocket* socket = elements_[i].socket;
    const qint64 available = qMin(socket->bytesAvailable(), kReadBufferBytes);
    buffer.resize(available);
    const qint64 got = available > 0 ? socket->read(buffer.data(), available) : 0;
    buffer.resize(got > 0 ? got : 0);
    // Other connections may have opened or closed since: the share changes.
    sizeReadBuffer(elements_[i]);
    // A TLS socket may hold more decrypted bytes than one block; no new arrival
    // would announce them.
    if (socket->bytesAvailable() > 0) deliverLater(socket);
}

void SocketSet::deliverLater(QTcpSocket* socket) {
    QMetaObject::invokeMethod(
        this,
        [this, socket = QPointer<QTcpSocket>(socket)] {
            const int index = indexOfSocket(socket);
            if (socket && index >= 0 && elements_[index].phase == Phase::Ready &&
                socket->bytesAvailable() > 0)
                emit dataArrival(index, socket->bytesAvailable());
        },
        Qt::QueuedConnection);
}

int SocketSet::state(int i) const {
    if (!valid(i)) return Closed;
    const Element& element = elements_[i];
    if (element.socket) {
        // Until the tunnel and the handshake are done the element is still connecting.
        if (element.phase != Phase::Ready) return Connecting;
        switch (element.socket->state()) {
            case QAbstractSocket::ConnectedState:
                return Connected;
            case QAbstractSocket::UnconnectedState:
                return Closed;
            default:
                return Connecting;
        }
    }
    if (element.server && element.server->isListening()) return Listening;
    return Closed;
}

namespace {
// IPv4 addresses in their dotted form, also when the socket holds them mapped.
QString addressText(const QHostAddress& address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}
}  // namespace

QString SocketSet::localIP(int i) const {
    if (!valid(i) || !elements_[i].socket) return {};
    return addressText(elements_[i].socket->localAddress());
}

QString SocketSet::peerIP(int i) const {
    if (!valid(i) || !elements_[i].socket) return {};
    return addressText(elements_[i].socket->peerAddress());
}

void SocketSet::setReadLimit(int i, qint64 bytes) {
    if (!valid(i) || !elements_[i].socket) return;
    elements_[i].readLimit = qMax<qint64>(0, bytes);
    sizeReadBuffer(elements_[i]);
}

bool SocketSet::listen(int i, const QString& address, quint16 port) {
    if (!valid(i)) return false;
    drop(elements_[i]);
    auto* server = new QTcpServer(this);
    elements_[i].server = server;
    connect(server, &QTcpServer::newConnection, this, [this, server] {
        const int index = indexOfServer(server);
        if (index >= 0) emit connectionRequest(index);
    });
    return server->listen(QHostAddress(address), port);
}

quint16 SocketSet::listeningPort(int i) const {
    if (!valid(i) || !elements_[i].server) return 0;
    return elements_[i].server->serverPort();
}

bool SocketSet::accept(int i, const QString& onlyFrom) {
    if (!valid(i) || !elements_[i].server) return false;
    QTcpServer* server = elements_[i].server;
    QTcpSocket* incoming = server->nextPendingConnection();
    if (incoming && !onlyFrom.isEmpty() && addressText(incoming->peerAddress()) != onlyFrom) {
        incoming->abort();
        incoming->deleteLater();
        return false;
    }
    server->disconnect(this);
    server->close();
    server->deleteLater();
    elements_[i].server = nullptr;
    if (!incoming) return false;
    incoming->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    attach(i, incoming);
    // Data may already be waiting; it is reported once the handler has returned.
    if (incoming->bytesAvailable() > 0) deliverLater(incoming);
    return true;
}
