// The HTTP response reader on any bytes: however the bytes are split across
// reads, it finds the same header (after any interim responses), the same body
// and the same end; the body never holds more than the framing allows; a
// Content-Range it reads is a range.
#include "transfer/HttpResponseReader.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

struct Outcome {
    QByteArray header;
    QByteArray body;
    bool complete = false;
    bool malformed = false;
};

Outcome readAll(const QByteArray& reply, int step) {
    HttpResponseReader reader;
    Outcome out;
    for (qsizetype at = 0; at < reply.size() && !out.malformed; at += step) {
        const qsizetype n = qMin<qsizetype>(step, reply.size() - at);
        const auto result = reader.feed(reply.constData() + at, n);
        check(result.bodySize >= 0 && result.bodySize <= qMax<qsizetype>(n, reply.size()));
        if (result.bodySize > 0) out.body.append(result.body, result.bodySize);
        out.complete = out.complete || result.messageComplete;
        out.malformed = out.malformed || result.malformed;
    }
    if (const auto range = reader.contentRange()) {
        check(range->first.has_value() == range->last.has_value());
        check(!range->first || (*range->first >= 0 && *range->first <= *range->last));
        check(range->total.value_or(0) >= 0);
    }
    out.header = reader.header();
    // Whatever a server writes after "Retry-After:", the wait is no time or a time ahead.
    static const QDateTime now(QDate(2024, 3, 5), QTime(12, 0, 0), Qt::UTC);
    check(HttpResponseReader::RetryAfterSeconds(reader.field("Retry-After"), now).value_or(0) >= 0);
    if (reader.framing() == HttpResponseReader::Framing::Length && reader.contentLength())
        check(out.body.size() <= *reader.contentLength());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks the split of the second read pattern.
    const int step = 1 + data[0] % 97;
    const QByteArray reply(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const Outcome whole = readAll(reply, qMax<qsizetype>(1, reply.size()));
    const Outcome pieces = readAll(reply, step);
    // A malformed reply may be noticed at a different point; anything else must agree.
    if (whole.malformed || pieces.malformed) return 0;
    check(whole.header == pieces.header);
    check(whole.body == pieces.body);
    check(whole.complete == pieces.complete);
    return 0;
}
