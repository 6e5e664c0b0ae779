#include "support/HttpFileResponder.h"

#include <algorithm>

namespace {

using Range = HttpFileResponder::Range;

std::optional<qint64> decimal(const QByteArray& text) {
    if (text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

Range part(qint64 first, qint64 last) {
    return {Range::Kind::Part, first, last};
}

}  // namespace

HttpFileResponder::HttpFileResponder(QByteArray content, Options options)
    : state_(std::make_shared<State>(State{std::move(content), std::move(options)})) {}

HttpFileResponder::Range HttpFileResponder::parseRange(const QByteArray& value, qint64 size) {
    if (value.isNull()) return {};
    const QByteArray rangeText = value.trimmed();
    const QByteArray unit = "bytes=";
    // Several ranges at once are not served; the client never asks for them.
    if (!rangeText.startsWith(unit) || rangeText.contains(',')) return {Range::Kind::Malformed};
    const QByteArray set = rangeText.mid(unit.size()).trimmed();
    const qsizetype dash = set.indexOf('-');
    if (dash < 0) return {Range::Kind::Malformed};
    const QByteArray firstText = set.left(dash).trimmed();
    const QByteArray lastText = set.mid(dash + 1).trimmed();

    if (firstText.isEmpty()) {  // "-n": the last n bytes
        const auto suffix = decimal(lastText);
        if (!suffix) return {Range::Kind::Malformed};
        if (*suffix == 0 || size == 0) return {Range::Kind::Unsatisfiable};
        return part(std::max<qint64>(0, size - *suffix), size - 1);
    }
    const auto first = decimal(firstText);
    if (!first) return {Range::Kind::Malformed};
    std::optional<qint64> last = size - 1;
    if (!lastText.isEmpty()) {
        last = decimal(lastText);
        if (!last || *last < *first) return {Range::Kind::Malformed};
    }
    if (*first >= size) return {Range::Kind::Unsatisfiable};
    return part(*first, std::min(*last, size - 1));
}

ScriptedHttpServer::Reply HttpFileResponder::operator()(
    const ScriptedHttpServer::Request& request) {
    State& state = *state_;
    const Options& options = state.options;
    const qint64 size = state.content.size();
    Range range = options.ignoreRanges ? Range{} : parseRange(request.header("Range"), size);
    if (range.kind == Range::Kind::Malformed && !options.rejectBadRanges) range = Range{};

    ScriptedHttpServer::Reply reply;
    const QByteArray closing = "Connection: close";
    switch (range.kind) {
        case Range::Kind::Whole:
            reply = ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 200 OK", state.content, {"Content-Type: application/octet-stream"});
            if (!options.ignoreRanges) reply.headers.append("Accept-Ranges: bytes");
            reply.headers.append(closing);
            reply.headers.append(options.extraHeaders);
            break;
        case Range::Kind::Part:
            reply = ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 206 Partial Content",
                state.content.mid(range.first, range.last - range.first + 1),
                {"Content-Type: application/octet-stream"});
            reply.headers.append("Content-Range: bytes " + QByteArray::number(range.first) + '-' +
                                 QByteArray::number(range.last) + '/' + QByteArray::number(size));
            reply.headers.append(closing);
            reply.headers.append(options.extraHeaders);
            break;
        case Range::Kind::Unsatisfiable:
        case Range::Kind::Malformed:
            reply = ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 416 Range Not Satisfiable", {},
                {"Content-Range: bytes */" + QByteArray::number(size), closing});
            break;
    }
    reply.bytesPerTick = options.bytesPerTick;
    if (!state.cutDone && options.closeEarlyWhen && options.closeEarlyWhen(request)) {
        state.cutDone = true;
        reply.closeAfterBytes = reply.headerSize() + options.closeAfterBodyBytes;
    }
    return reply;
}
