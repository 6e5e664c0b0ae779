#include "support/AfterPeerRead.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr int kPollMs = 1;
constexpr int kMaxPolls = 2000;

// Nothing written waits in our buffers or is unacknowledged by the peer's system.
bool acknowledged(QTcpSocket& socket) {
    socket.flush();
    if (socket.bytesToWrite() > 0) return false;
    int unacknowledged = 0;
    return ::ioctl(int(socket.socketDescriptor()), SIOCOUTQ, &unacknowledged) != 0 ||
           unacknowledged == 0;
}

// A posted call runs in the next pass of the loop, and one posted from it in the
// pass after: the pass between them has read every socket that had data.
void afterTwoPasses(QObject* context, std::function<void()> next) {
    QTimer::singleShot(0, context, [context, next = std::move(next)] {
        QTimer::singleShot(0, context, next);
    });
}

void poll(QPointer<QTcpSocket> socket, QObject* context, int polls, std::function<void()> next) {
    if (socket && socket->state() == QAbstractSocket::ConnectedState && polls < kMaxPolls &&
        !acknowledged(*socket)) {
        QTimer::singleShot(kPollMs, context, [socket, context, polls, next = std::move(next)] {
            poll(socket, context, polls + 1, next);
        });
        return;
    }
    afterTwoPasses(context, std::move(next));
}

}  // namespace

void afterPeerRead(QTcpSocket* socket, QObject* context, std::function<void()> next) {
    poll(socket, context, 0, std::move(next));
}
