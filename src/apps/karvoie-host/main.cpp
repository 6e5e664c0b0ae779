// karvoie-host: the native-messaging host of the KarvoIE browser extensions. The
// browser starts it and writes length-prefixed JSON messages to its standard input;
// each gets one answer on standard output, in the order the messages came. Only
// answers go to standard output; notes go to standard error. It ends when the
// browser closes its input, or at a message longer than the reader accepts.
#include "browserhelper/KarvoIEHost.h"
#include "browserhelper/NativeMessageReader.h"

#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

void note(const QString& text) {
    std::fprintf(stderr, "karvoie-host: %s\n", qPrintable(text));
}

bool writeAll(const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(STDOUT_FILENO, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += n;
    }
    return true;
}

}  // namespace

int main() {
    // A browser that went away is seen as a failed write, not as a signal.
    std::signal(SIGPIPE, SIG_IGN);
    KarvoIEHost host({}, note);
    NativeMessageReader reader;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            note(QStringLiteral("cannot read the browser's messages"));
            return 1;
        }
        if (n == 0) {
            if (reader.pendingBytes() > 0) note(QStringLiteral("the input ended inside a message"));
            return 0;
        }
        reader.feed(QByteArray(buffer, n));
        while (const std::optional<QByteArray> message = reader.next()) {
            if (!writeAll(NativeMessageReader::frame(host.Answer(*message)))) return 0;
        }
        if (reader.oversized()) {
            note(QStringLiteral("a message of %1 bytes is beyond the limit of %2; ending")
                     .arg(reader.announcedLength())
                     .arg(NativeMessageReader::kMaxMessageBytes));
            return 1;
        }
    }
}
