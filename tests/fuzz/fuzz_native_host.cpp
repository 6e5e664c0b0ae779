// The native host's reader on any bytes: however the browser's stream is split
// across reads, the same messages come out whole and in order, framed they are
// exactly the bytes that went in (up to an incomplete or oversized frame), and
// every message, however malformed, gets one answer that is a JSON object
// repeating the message's id.
#include "browserhelper/NativeMessageReader.h"
#include "browserhelper/NativeRequest.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

QList<QByteArray> messages(const QByteArray& bytes, qsizetype step, bool& oversized) {
    NativeMessageReader reader;
    QList<QByteArray> out;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        reader.feed(bytes.mid(at, step));
        while (auto message = reader.next()) out << *message;
    }
    oversized = reader.oversized();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int step = 1 + data[0] % 61;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1,
                           static_cast<qsizetype>(size - 1));
    bool oversizedWhole = false;
    bool oversizedPieces = false;
    const QList<QByteArray> whole =
        messages(bytes, qMax<qsizetype>(1, bytes.size()), oversizedWhole);
    const QList<QByteArray> pieces = messages(bytes, step, oversizedPieces);
    check(whole == pieces);
    check(oversizedWhole == oversizedPieces);
    QByteArray framed;
    for (const QByteArray& message : whole) framed += NativeMessageReader::frame(message);
    check(bytes.startsWith(framed));

    for (const QByteArray& message : whole) {
        const NativeRequest request = NativeRequest::Parse(message);
        const QJsonDocument answer = QJsonDocument::fromJson(NativeAnswer(request.id, false));
        check(answer.isObject());
        check(answer.object().value(QLatin1String("cancel")) == QJsonValue(false));
        check(answer.object().value(QLatin1String("id")) == request.id);
        // A navigation acted on names its window and an address the hand-over carries whole.
        if (request.error.isEmpty() && request.type == NativeRequest::Type::Navigate)
            check(request.window && !request.url.isEmpty() && !request.url.contains(QChar(0)));
    }
    return 0;
}
