#include "transfer/SocketSet.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <limits>

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
    // The TLS session reads and writes through the socket: it goes first.
    element.tls.reset();
    element.plain.clear();
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

qint64 SocketSet::readBufferBytes(const Element& element) const {
    const qint64 share = ReadBufferBytesFor(openConnections_);
    return element.readLimit > 0 ? qMin(share, element.readLimit) : share;
}

void SocketSet::sizeReadBuffer(const Element& element) {
    // Over TLS this bounds the encrypted bytes; decryptArrived bounds the plain ones.
    element.socket->setReadBufferSize(readBufferBytes(element));
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
        Element& element = elements_[index];
        // Bytes that arrived together with the close are delivered first, all of
        // them: no more than the socket's buffer held. (A server that refuses the
        // handshake says so in an alert, read as it arrived; one that only closes is
        // closed, as before the handshake.)
        if (element.phase == Phase::Ready) {
            if (element.tls && !decryptArrived(index, std::numeric_limits<qint64>::max())) return;
            const qint64 arrived = element.tls ? element.plain.size() : socket->bytesAvailable();
            if (arrived > 0) emit dataArrival(index, arrived);
        }
        if (indexOfSocket(socket) == index) emit closedByPeer(index);
    });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError code) {
                // The peer closing is reported through disconnected().
                if (code == QAbstractSocket::RemoteHostClosedError) return;
                const int index = indexOfSocket(socket);
                if (index < 0) return;
                emit error(index, static_cast<int>(code), socket->errorString());
            });
}

void SocketSet::onConnected(QTcpSocket* socket) {
    const int index = indexOfSocket(socket);
    if (index < 0) return;
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    if (elements_[index].phase == Phase::Ready) {
        emit connected(index);
        return;
    }
    // The tunnel or the handshake comes first; "connected" follows them.
    routeStepConnected(index);
}

void SocketSet::onReadyRead(QTcpSocket* socket) {
    const int index = indexOfSocket(socket);
    if (index < 0) return;
    Element& element = elements_[index];
    switch (element.phase) {
        case Phase::AwaitingTunnel:
            readTunnelReply(index);
            return;
        case Phase::Handshake:
            continueHandshake(index);
            return;
        case Phase::Ready:
            if (!element.tls) {
                emit dataArrival(index, socket->bytesAvailable());
                return;
            }
            // A part of a record brings nothing to read yet.
            if (decryptArrived(index, readBufferBytes(element)) && !element.plain.isEmpty())
                emit dataArrival(index, element.plain.size());
            return;
    }
}

void SocketSet::connectTo(int i, const QString& host, quint16 port) {
    if (!valid(i)) return;
    drop(elements_[i]);
    Element& element = elements_[i];
    element.host = host;
    element.port = port;
    auto* socket = new QTcpSocket(this);
    // Only the route decides where a connection goes, never the environment.
    socket->setProxy(QNetworkProxy::NoProxy);
    attach(i, socket);
    startAlongRoute(i);
}

void SocketSet::close(int i) {
    if (valid(i)) drop(elements_[i]);
}

void SocketSet::closeAll() {
    for (Element& element : elements_) drop(element);
}

void SocketSet::send(int i, const QByteArray& data) {
    if (!valid(i) || !elements_[i].socket) return;
    Element& element = elements_[i];
    if (!element.tls) {
        element.socket->write(data);
    } else if (!element.tls->encrypt(data)) {
        // Reported once the sender has returned, as the socket's own errors are.
        QTcpSocket* socket = element.socket;
        QMetaObject::invokeMethod(
            this,
            [this, socket, failure = element.tls->failure()] {
                const int index = indexOfSocket(socket);
                if (index >= 0) failElement(index, kTlsFailed, failure);
            },
            Qt::QueuedConnection);
    }
}

void SocketSet::readInto(int i, QByteArray& buffer) {
    if (!valid(i) || !elements_[i].socket) {
        buffer.clear();
        return;
    }
    if (Element& element = elements_[i]; element.tls) {
        // The decrypted bytes change places with the caller's buffer, whose room
        // takes the next ones.
        buffer.swap(element.plain);
        element.plain.resize(0);
        sizeReadBuffer(element);
        // Decrypting stopped at the limit: what the socket or the session still
        // holds was announced before, and no new arrival would announce it again.
        if (element.socket->bytesAvailable() > 0 || element.tls->hasPending())
            deliverLater(element.socket);
        return;
    }
    QTcpSocket* socket = elements_[i].socket;
    const qint64 available = qMin(socket->bytesAvailable(), kReadBufferBytes);
    buffer.resize(available);
    const qint64 got = available > 0 ? socket->read(buffer.data(), available) : 0;
    buffer.resize(got > 0 ? got : 0);
    // Other connections may have opened or closed since: the share changes.
    sizeReadBuffer(elements_[i]);
    // Bytes left beyond one block come with an arrival of their own: no new
    // arrival from the socket would announce them.
    if (socket->bytesAvailable() > 0) deliverLater(socket);
}

void SocketSet::deliverLater(QTcpSocket* socket) {
    QMetaObject::invokeMethod(
        this,
        [this, socket = QPointer<QTcpSocket>(socket)] {
            if (!socket) return;
            const int index = indexOfSocket(socket);
            if (index < 0 || elements_[index].phase != Phase::Ready) return;
            Element& element = elements_[index];
            if (!element.tls) {
                if (socket->bytesAvailable() > 0) emit dataArrival(index, socket->bytesAvailable());
                return;
            }
            if (decryptArrived(index, readBufferBytes(element)) && !element.plain.isEmpty())
                emit dataArrival(index, element.plain.size());
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
