#pragma once

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
class SocketSet : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Listening = 2, Connecting = 6, Connected = 7 };

    explicit SocketSet(const QString& name, QObject* parent = nullptr);
    ~SocketSet() override;

    const QString& name() const { return name_; }
    int count() const { return static_cast<int>(elements_.size()); }
    int ubound() const { return count() - 1; }
    // Creates element k when the set has exactly k elements; otherwise nothing.
    void create(int k);
    // Closes and removes element k (k > 0); element 0 always stays.
    void remove(int k);

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
    struct Element {
        QTcpSocket* socket = nullptr;
        QTcpServer* server = nullptr;
    };
    bool valid(int i) const { return i >= 0 && i < count(); }
    void attach(int i, QTcpSocket* socket);
    void drop(Element& element);
    int indexOfSocket(const QObject* socket) const;
    int indexOfServer(const QObject* server) const;

    QString name_;
    std::vector<Element> elements_;
};
