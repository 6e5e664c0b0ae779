#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QLocalSocket;

// One sender on the hand-over socket: reads its address up to the NUL, without
// ever blocking and within a bounded size and time, and answers it.
class HandOverConnection : public QObject {
    Q_OBJECT
public:
    // Takes the socket over. A sender that has not sent its NUL within maxBytes
    // bytes or timeoutMs is dropped.
    HandOverConnection(QLocalSocket* socket, qint64 maxBytes, int timeoutMs,
                       QObject* parent = nullptr);

    QString address() const { return address_; }
    // Sends the acknowledgement byte and closes; then finished().
    void acknowledge();
    // Drops the sender unanswered, without finished(): the receiver is going.
    void abort();

signals:
    // The whole address has arrived.
    void addressRead(HandOverConnection* connection);
    // The connection is over (answered or dropped); the object may go.
    void finished(HandOverConnection* connection);

private:
    void onReadyRead();
    void onDisconnected();
    void drop();

    QLocalSocket* socket_;
    qint64 maxBytes_;
    QTimer deadline_;
    QByteArray buffer_;
    QString address_;
    bool read_ = false;
    bool finished_ = false;
};
