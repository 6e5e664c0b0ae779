// The hand-over receiver's reader on any bytes a sender writes and then closes:
// the address is the text before the first NUL when that NUL comes within the
// bound, and the sender then gets its one acknowledgement byte; otherwise the
// sender is dropped unanswered. The first byte picks the bound (1 to 64 bytes).
#include "intake/HandOverConnection.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QLocalSocket>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 65536) return 0;
    const qint64 maxBytes = 1 + data[0] % 64;
    const QByteArray sent(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    int ends[2];
    check(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0);
    auto* socket = new QLocalSocket;
    check(socket->setSocketDescriptor(ends[0]));
    check(::write(ends[1], sent.constData(), size_t(sent.size())) == sent.size());
    ::shutdown(ends[1], SHUT_WR);

    HandOverConnection connection(socket, maxBytes, 60000);
    bool read = false;
    bool finished = false;
    QString address;
    QObject::connect(&connection, &HandOverConnection::addressRead, [&](HandOverConnection* c) {
        read = true;
        address = c->address();
        c->acknowledge();
    });
    QObject::connect(&connection, &HandOverConnection::finished, [&] { finished = true; });
    for (int pass = 0; pass < 10000 && !finished; ++pass) QCoreApplication::processEvents();
    check(finished);

    char answer[2] = {};
    const ssize_t answered = ::read(ends[1], answer, sizeof answer);
    ::close(ends[1]);
    const qsizetype nul = sent.indexOf('\0');
    if (nul >= 0 && nul <= maxBytes) {
        check(read && address == QString::fromUtf8(sent.left(nul)));
        check(answered == 1 && answer[0] == '\x06');
    } else {
        check(!read && answered <= 0);
    }
    return 0;
}
