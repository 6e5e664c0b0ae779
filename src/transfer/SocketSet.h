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
    // Every byte that has arrived and not been read.
    QByteArray readAll(int i);
    // Reads into buffer (resized to what was read); avoids a fresh allocation per block.
    void readInto(int i, QByteArray& buffer);
    int state(int i) const;
    QString localIP(int i) const;
    // The address of the other end of a connected element, in the same form.
    QString peerIP(int i) const;
    // Holds at most `bytes` unread bytes of element i (0: no limit); beyond that
    // nothing more is read and the peer waits.
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
        std::unique_ptr<TlsSession> tls;  // over TLS, once the handshake begins
        QByteArray plain;                 // over TLS: decrypted, not yet read
    };
    bool valid(int i) const { return i >= 0 && i < count(); }
    void attach(int i, QTcpSocket* socket);
    void onConnected(QTcpSocket* socket);
    void onReadyRead(QTcpSocket* socket);
    void drop(Element& element);

    // Along the route (SocketSetRoute.cpp): the first connect of element i, the
    // tunnel request once the proxy is reached, the proxy's answer, the TLS
    // handshake, what arrives over TLS, and the end of a failed tunnel or handshake.
    void startAlongRoute(int i);
    void routeStepConnected(int i);
    void readTunnelReply(int i);
    void startHandshake(int i);
    void continueHandshake(int i);
    // Decrypts what arrived on element i; false when the element failed.
    bool decryptArrived(int i);
    void failElement(int i, int number, QString description);
    int indexOfSocket(const QObject* socket) const;
    int indexOfServer(const QObject* server) const;

    QString name_;
    ConnectionRoute route_;
    std::vector<Element> elements_;
};
