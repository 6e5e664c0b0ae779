#include "transfer/SocketSet.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
// Large enough that a fast loopback peer fills few blocks per event.
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
    }
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

void SocketSet::attach(int i, QTcpSocket* socket) {
    socket->setParent(this);
    elements_[i].socket = socket;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        const int index = indexOfSocket(socket);
        if (index < 0) return;
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                kReceiveBufferBytes);
        emit connected(index);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const int index = indexOfSocket(socket);
        if (index >= 0) emit dataArrival(index, socket->bytesAvailable());
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        const int index = indexOfSocket(socket);
        if (index < 0) return;
        // Bytes that arrived together with the close are delivered first.
        if (socket->bytesAvailable() > 0) emit dataArrival(index, socket->bytesAvailable());
        if (indexOfSocket(socket) == index) emit closedByPeer(index);
    });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError code) {
                // The peer closing is reported through disconnected().
                if (code == QAbstractSocket::RemoteHostClosedError) return;
                const int index = indexOfSocket(socket);
                if (index >= 0) emit error(index, static_cast<int>(code), socket->errorString());
            });
}

void SocketSet::connectTo(int i, const QString& host, quint16 port) {
    if (!valid(i)) return;
    drop(elements_[i]);
    auto* socket = new QTcpSocket(this);
    socket->setReadBufferSize(0);
    attach(i, socket);
    socket->connectToHost(host, port);
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

QByteArray SocketSet::readAll(int i) {
    if (!valid(i) || !elements_[i].socket) return {};
    return elements_[i].socket->readAll();
}

void SocketSet::readInto(int i, QByteArray& buffer) {
    if (!valid(i) || !elements_[i].socket) {
        buffer.clear();
        return;
    }
    QTcpSocket* socket = elements_[i].socket;
    const qint64 available = socket->bytesAvailable();
    buffer.resize(available);
    const qint64 got = available > 0 ? socket->read(buffer.data(), available) : 0;
    buffer.resize(got > 0 ? got : 0);
}

int SocketSet::state(int i) const {
    if (!valid(i)) return Closed;
    const Element& element = elements_[i];
    if (element.socket) {
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
    if (valid(i) && elements_[i].socket) elements_[i].socket->setReadBufferSize(bytes);
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
    incoming->setReadBufferSize(0);
    incoming->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    attach(i, incoming);
    if (incoming->bytesAvailable() > 0) {
        // Data may already be waiting; report it once the handler has returned.
        QMetaObject::invokeMethod(
            this,
            [this, incoming] {
                const int index = indexOfSocket(incoming);
                if (index >= 0 && incoming->bytesAvailable() > 0)
                    emit dataArrival(index, incoming->bytesAvailable());
            },
            Qt::QueuedConnection);
    }
    return true;
}
