// The FTP reply reader on any bytes: however the control connection's bytes are
// split across reads, the same replies come out, whole and in order, and together
// they are exactly the bytes that went in, up to the last incomplete reply. The
// size of a 150 reply and the port of a 227 or 229 reply read from each are
// numbers the reply holds: a size never negative, an extended port never 0.
#include "common/FtpReplies.h"
#include "common/FtpReplyReader.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

QList<QByteArray> replies(const QByteArray& bytes, int step) {
    FtpReplyReader reader;
    QList<QByteArray> out;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        reader.feed(bytes.mid(at, step));
        while (auto reply = reader.next()) out << *reply;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int step = 1 + data[0] % 61;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const QList<QByteArray> whole = replies(bytes, qMax<qsizetype>(1, bytes.size()));
    const QList<QByteArray> pieces = replies(bytes, step);
    check(whole == pieces);
    check(bytes.startsWith(whole.join()));
    for (const QByteArray& reply : whole) {
        if (const auto size = announcedSize(reply))
            check(*size >= 0 && reply.contains(QByteArray::number(*size)));
        if (passiveTarget(reply)) check(reply.contains('(') && reply.contains(')'));
        check(extendedPassivePort(reply).value_or(1) > 0);
    }
    return 0;
}
