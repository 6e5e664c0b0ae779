#include "common/HandOverSender.h"

#include "common/AppPaths.h"
#include "common/FileDescriptor.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        // No SIGPIPE when Lumet goes away in the middle.
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}

// True when the acknowledgement byte arrives before the deadline.
bool readAcknowledge(int fd, QDeadlineTimer deadline) {
    for (;;) {
        pollfd wait{fd, POLLIN, 0};
        const qint64 remaining = deadline.remainingTime();
        const int ready =
            ::poll(&wait, 1, remaining < 0 ? -1 : int(qMin<qint64>(remaining, 1 << 30)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char answer = 0;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n < 0 && errno == EINTR) continue;
        return n == 1 && answer == HandOverSender::kAcknowledge;
    }
}

}  // namespace

QString HandOverSender::socketPath() {
    const QString folder = AppPaths::runtimeFolder();
    return folder.isEmpty() ? QString() : folder + u'/' + socketName();
}

HandOverSender::Result HandOverSender::send(const QString& address, int waitMs) {
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un peer{};
    peer.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof(peer.sun_path)) return Result::NotRunning;
    std::memcpy(peer.sun_path, path.constData(), size_t(path.size()));

    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) return Result::NotRunning;
    // No socket file, or one left behind by a Lumet that ended without removing it.
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0)
        return Result::NotRunning;

    QByteArray message = address.toUtf8();
    const qsizetype nul = message.indexOf('\0');
    if (nul >= 0) message.truncate(nul);
    message.append('\0');
    if (!sendAll(socket.get(), message)) return Result::NotTaken;

    const QDeadlineTimer deadline =
        waitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(waitMs);
    return readAcknowledge(socket.get(), deadline) ? Result::Taken : Result::NotTaken;
}
