#pragma once

#include "transfer/ConnectionRoute.h"
#include "transfer/TlsSession.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

// An indexed set of event-driven TCP sockets, the way the download window uses
// them: element 0 always exists, element k is created when the set has exactly k
// elements, and every event names the element it comes from. A local close raises
// no event; closing a closed element does nothing. Each connect or accept gets a
// fresh socket object, so no event of an earlier connection can reach the handler
// of a later one.
//
// The set's route (ConnectionRoute) says how connectTo reaches its server: over
// TLS, through an HTTP proxy, or both (a CONNECT tunnel). "connected" is raised
// once the element can carry the request: after the TLS handshake, and after the
// proxy has opened the tunnel. Failures of these steps come as errors with the
// numbers below; everything else carries QAbstractSocket's error numbers.
class SocketSet : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Listening = 2, Connecting = 6, Connected = 7 };

    // The server's certificate was refused (expired, wrong host, unknown issuer ...).
    static constexpr int kCertificateRefused = 1001;
    // TLS failed for another reason: the handshake (the server speaks no TLS ...),
    // or later a record that does not decrypt.
    static constexpr int kTlsFailed = 1002;
    // The proxy answered CONNECT with another status than 200; the description is
    // its status line.
    static constexpr int kProxyRefused = 1003;
    // Errors that trying again cannot mend.
    static bool IsFinal(int number) {
        return number == kCertificateRefused || number == kTlsFailed || number == kProxyRefused;
    }

    // The most unread bytes a connection holds in memory. A reader that falls
    // behind leaves the rest in the kernel, and TCP holds the peer back, so a
    // download's memory depends neither on its speed nor on its size.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;
    // What all connections of the program together hold at most, shared out
    // evenly, but no connection less than kMinReadBufferBytes. Every turn of the
    // event loop reads at most one buffer per connection, so this also bounds the
    // work between two timer ticks when a hundred connections are busy at once.
    static constexpr qint64 kReadBudgetBytes = 4 * 1024 * 1024;
    static constexpr qint64 kMinReadBufferBytes = 32 * 1024;
    // The buffer of each connection while `connections` are open.
    static qint64 ReadBufferBytesFor(int connections);
    // Connections open in all socket sets of the program.
    static int OpenConnections() { return openConnections_; }

    explicit SocketSet(const QString& name, QObject* parent = nullptr);
    ~SocketSet() override;

    const QString& name() const { return name_; }
    int count() const { return static_cast<int>(elements_.size()); }
    int ubound() const { return count() - 1; }
    // Creates element k when the set has exactly k elements; otherwise nothing.
    void create(int k);
    // Closes and removes element k (k > 0); element 0 always stays.
    void remove(int k);

    // How later connects reach their server; connections already made keep theirs.
    void setRoute(ConnectionRoute route) { route_ = std::move(route); }
    const ConnectionRoute& route() const { return route_; }

    // Connects element i to host:port along the set's route.
    void connectTo(int i, const QString& host, quint16 port);
    void close(int i);
    void closeAll();
    // Queues the whole text for sending.
    void send(int i, const QByteArray& data);
    // Reads what has arrived, at most kReadBufferBytes, into buffer (resized to
    // what was read, so one buffer serves every block without a fresh allocation).
    // Bytes left over come with another dataArrival. Over TLS these are the
    // decrypted bytes, held within the same bounds.
    void readInto(int i, QByteArray& buffer);
    int state(int i) const;
    QString localIP(int i) const;
    // The address of the other end of a connected element, in the same form.
    QString peerIP(int i) const;
    // Holds at most `bytes` unread bytes of element i (0: no limit of its own);
    // beyond that nothing more is read and the peer waits. The shared buffer size
    // (ReadBufferBytesFor) is never exceeded.
    void setReadLimit(int i, qint64 bytes);
    // A TLS connection of element i ended without the server's close alert.
    bool endedWithoutCloseAlert(int i) const {
        return valid(i) && elements_[i].tls && elements_[i].tls->endedWithoutCloseAlert();
    }
    // Listens on 127.0.0.1-or-any port for one incoming connection; false when the
    // port cannot be bound.
    bool listen(int i, const QString& address, quint16 port);
    quint16 listeningPort(int i) const;
    // Takes the pending incoming connection of element i onto element i and stops
    // listening. With `onlyFrom` given, a connection from any other address is
    // closed instead and the element goes on listening; false then.
    bool accept(int i, const QString& onlyFrom = QString());

signals:
    void connected(int index);
    void dataArrival(int index, qint64 bytesTotal);
    void closedByPeer(int index);
    void error(int index, int number, const QString& description);
    void connectionRequest(int index);

private:
    // Where a connection along the route stands before it can carry requests.
    enum class Phase { Ready, AwaitingTunnel, Handshake };
    struct Element {
        QTcpSocket* socket = nullptr;
        QTcpServer* server = nullptr;
        Phase phase = Phase::Ready;
        QString host;  // the server's name, for CONNECT and the certificate check
        quint16 port = 0;
        QByteArray tunnelReply;
        qint64 readLimit = 0;             // setReadLimit's; 0: none
        std::unique_ptr<TlsSession> tls;  // over TLS, once the handshake begins
        QByteArray plain;                 // over TLS: decrypted, not yet read
    };
    bool valid(int i) const { return i >= 0 && i < count(); }
    void attach(int i, QTcpSocket* socket);
    void onConnected(QTcpSocket* socket);
    void onReadyRead(QTcpSocket* socket);
    // Raises dataArrival for what the socket holds (over TLS: decrypts it first),
    // from the event loop.
    void deliverLater(QTcpSocket* socket);
    // The most unread bytes the element holds now: its share of the read budget
    // for the connections open now, within its own read limit.
    qint64 readBufferBytes(const Element& element) const;
    // Sizes the element's read buffer for the connections open now.
    void sizeReadBuffer(const Element& element);
    void drop(Element& element);

    // Along the route (SocketSetRoute.cpp): the first connect of element i, the
    // tunnel request once the proxy is reached, the proxy's answer, the TLS
    // handshake, what arrives over TLS, and the end of a failed tunnel or handshake.
    void startAlongRoute(int i);
    void routeStepConnected(int i);
    void readTunnelReply(int i);
    void startHandshake(int i);
    void continueHandshake(int i);
    // Decrypts what arrived on element i until it holds `limit` plain bytes
    // unread; false when the element failed.
    bool decryptArrived(int i, qint64 limit);
    void failElement(int i, int number, QString description);
    int indexOfSocket(const QObject* socket) const;
    int indexOfServer(const QObject* server) const;

    static inline int openConnections_ = 0;

    QString name_;
    ConnectionRoute route_;
    std::vector<Element> elements_;
};
