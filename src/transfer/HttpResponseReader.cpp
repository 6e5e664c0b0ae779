#include "transfer/HttpResponseReader.h"

#include <QLocale>
#include <cstring>

namespace {

QByteArray trimmed(const QByteArray& text) { return text.trimmed(); }

std::optional<qint64> parseDecimal(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    qint64 value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value > (Q_INT64_C(0x7fffffffffffffff) - 9) / 10) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

void HttpResponseReader::reset() { *this = HttpResponseReader(); }

int HttpResponseReader::ParseStatusCode(const QByteArray& reply) {
    const int blank = reply.indexOf(' ');
    if (blank < 0) return 0;
    const QByteArray digits = reply.mid(blank + 1, 3);
    if (digits.size() != 3) return 0;
    int code = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

std::optional<qint64> HttpResponseReader::RetryAfterSeconds(const QByteArray& value,
                                                            const QDateTime& now) {
    if (const std::optional<qint64> seconds = parseDecimal(value)) return seconds;
    // The date forms, in the order HTTP/1.1 prefers them, without the day's name
    // (a two-digit year would make it disagree with the date's own). asctime pads
    // a one-digit day with a blank, which simplified() folds away.
    const QString text = QString::fromLatin1(value).simplified().section(QLatin1Char(' '), 1);
    static const char* const formats[] = {"dd MMM yyyy HH:mm:ss 'GMT'", "dd-MMM-yy HH:mm:ss 'GMT'",
                                          "MMM d HH:mm:ss yyyy"};
    for (const char* format : formats) {
        QDateTime when = QLocale::c().toDateTime(text, QLatin1String(format));
        if (!when.isValid()) continue;
        when.setTimeSpec(Qt::UTC);
        // A two-digit year names this century or the last, never the one before.
        if (when.date().year() < 1970) when = when.addYears(100);
        return qMax<qint64>(0, now.secsTo(when));
    }
    return std::nullopt;
}

QByteArray HttpResponseReader::fieldOf(const QByteArray& header, const QByteArray& name) {
    qsizetype lineStart = 0;
    while (lineStart < header.size()) {
        qsizetype lineEnd = header.indexOf('\n', lineStart);
        if (lineEnd < 0) lineEnd = header.size();
        qsizetype contentEnd = lineEnd;
        if (contentEnd > lineStart && header[contentEnd - 1] == '\r') --contentEnd;
        const qsizetype colon = header.indexOf(':', lineStart);
        if (colon > lineStart && colon < contentEnd && colon - lineStart == name.size() &&
            qstrnicmp(header.constData() + lineStart, name.constData(), name.size()) == 0) {
            return trimmed(header.mid(colon + 1, contentEnd - colon - 1));
        }
        lineStart = lineEnd + 1;
    }
    return {};
}

QByteArray HttpResponseReader::field(const QByteArray& name) const { return fieldOf(header_, name); }

std::optional<HttpResponseReader::ContentRange> HttpResponseReader::contentRange() const {
    const QByteArray value = field("Content-Range");
    if (!value.toLower().startsWith("bytes")) return std::nullopt;
    QByteArray rest = value.mid(5).trimmed();
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0) return std::nullopt;
    ContentRange range;
    const QByteArray span = rest.left(slash).trimmed();
    const QByteArray total = rest.mid(slash + 1).trimmed();
    if (total != "*") {
        range.total = parseDecimal(total);
        if (!range.total) return std::nullopt;
    }
    if (span != "*") {
        const qsizetype dash = span.indexOf('-');
        if (dash < 0) return std::nullopt;
        range.first = parseDecimal(span.left(dash));
        range.last = parseDecimal(span.mid(dash + 1));
        if (!range.first || !range.last || *range.last < *range.first) return std::nullopt;
    }
    return range;
}

bool HttpResponseReader::parseHeader() {
    statusCode_ = ParseStatusCode(header_);
    if (!header_.startsWith("HTTP/")) return false;
    const QByteArray coding = field("Transfer-Encoding").toLower();
    contentLength_ = parseDecimal(field("Content-Length"));
    if (!field("Content-Length").isEmpty() && !contentLength_) return false;
    const bool noBody = statusCode_ == 204 || statusCode_ == 304 || (statusCode_ >= 100 && statusCode_ < 200);
    if (noBody) {
        framing_ = Framing::Length;
        bodyLeft_ = 0;
        contentLength_ = 0;
    } else if (coding.contains("chunked")) {
        framing_ = Framing::Chunked;
        contentLength_.reset();
    } else if (contentLength_) {
        framing_ = Framing::Length;
        bodyLeft_ = *contentLength_;
    } else {
        framing_ = Framing::UntilClose;
    }
    return true;
}

HttpResponseReader::Result HttpResponseReader::feed(const char* data, qint64 size) {
    Result result;
    if (ended_ || size <= 0) {
        result.messageComplete = ended_;
        return result;
    }
    if (!headerDone_) {
        const qsizetype searchFrom = qMax<qsizetype>(0, pending_.size() - 3);
        pending_.append(data, size);
        if (!takeHeader(searchFrom, result)) return result;
        const QByteArray rest = pending_.mid(bodyStart_);
        pending_.clear();
        // The body part of this block lives in the header buffer; copy it once.
        decoded_ = rest;
        if (framing_ == Framing::Chunked) {
            const QByteArray chunked = decoded_;
            decoded_.clear();
            decodeChunked(chunked.constData(), chunked.size(), result);
        } else {
            takeBody(decoded_.constData(), decoded_.size(), result);
        }
        if (framing_ == Framing::Length && bodyLeft_ == 0) {
            ended_ = true;
            result.messageComplete = true;
        }
        return result;
    }
    if (framing_ == Framing::Chunked) {
        decodeChunked(data, size, result);
    } else {
        takeBody(data, size, result);
    }
    return result;
}

// Looks for the end of the final response's header in pending_, dropping the
// interim responses in front of it. True once that header is complete and usable.
bool HttpResponseReader::takeHeader(qsizetype searchFrom, Result& result) {
    // Where the response being looked at begins; what lies before it is interim.
    qsizetype from = 0;
    for (;;) {
        // Bytes held before this feed hold no blank line: searching starts in the new ones.
        const qsizetype start = qMax(from, searchFrom);
        qsizetype end = pending_.indexOf("\r\n\r\n", start);
        qsizetype bodyStart = end >= 0 ? end + 4 : -1;
        // Some servers end header lines with a bare LF; whichever blank line comes
        // first ends the header.
        const qsizetype lf = pending_.indexOf("\n\n", start);
        if (lf >= 0 && (end < 0 || lf < end)) {
            end = lf;
            bodyStart = lf + 2;
        }
        if (end < 0) {
            pending_.remove(0, from);
            if (interimBytes_ + pending_.size() > kMaxHeaderBytes) result.malformed = true;
            return false;
        }
        const QByteArray header = pending_.mid(from, end - from);
        const int code = ParseStatusCode(header);
        // 101 would switch protocols, which no request of ours asks for: it is
        // taken as the final response, one without a rule.
        if (header.startsWith("HTTP/") && code >= 100 && code < 200 && code != 101) {
            interim_.append(header);
            interimBytes_ += bodyStart - from;
            from = bodyStart;
            if (interimBytes_ > kMaxHeaderBytes) {
                result.malformed = true;
                ended_ = true;
                return false;
            }
            continue;
        }
        header_ = header;
        bodyStart_ = bodyStart;
        headerDone_ = true;
        result.headerCompleted = true;
        if (!parseHeader()) {
            result.malformed = true;
            ended_ = true;
            return false;
        }
        return true;
    }
}

void HttpResponseReader::takeBody(const char* data, qint64 size, Result& result) {
    if (framing_ == Framing::Length) {
        const qint64 take = qMin(size, bodyLeft_);
        bodyLeft_ -= take;
        result.body = data;
        result.bodySize = take;
        if (bodyLeft_ == 0) {
            ended_ = true;
            result.messageComplete = true;
        }
    } else {
        result.body = data;
        result.bodySize = size;
    }
}

void HttpResponseReader::decodeChunked(const char* data, qint64 size, Result& result) {
    decoded_.resize(0);
    qint64 pos = 0;
    while (pos < size && chunkState_ != ChunkState::Done) {
        switch (chunkState_) {
            case ChunkState::Size:
            case ChunkState::Trailer:
            case ChunkState::DataEnd: {
                const char* nl = static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
                const qint64 upto = nl ? (nl - data) : size;
                chunkLine_.append(data + pos, upto - pos);
                if (chunkLine_.size() > 4096) {
                    result.malformed = true;
                    ended_ = true;
                    return;
                }
                pos = nl ? upto + 1 : size;
                if (!nl) break;
                QByteArray line = chunkLine_.trimmed();
                chunkLine_.clear();
                if (chunkState_ == ChunkState::DataEnd) {
                    chunkState_ = ChunkState::Size;
                    if (!line.isEmpty()) {
                        result.malformed = true;
                        ended_ = true;
                        return;
                    }
                } else if (chunkState_ == ChunkState::Trailer) {
                    if (line.isEmpty()) chunkState_ = ChunkState::Done;
                } else {
                    const qsizetype semi = line.indexOf(';');
                    if (semi >= 0) line.truncate(semi);
                    bool ok = false;
                    const qint64 chunkSize = line.trimmed().toLongLong(&ok, 16);
                    if (!ok || chunkSize < 0) {
                        result.malformed = true;
                        ended_ = true;
                        return;
                    }
                    chunkLeft_ = chunkSize;
                    chunkState_ = chunkSize == 0 ? ChunkState::Trailer : ChunkState::Data;
                }
                break;
            }
            case ChunkState::Data: {
                const qint64 take = qMin(size - pos, chunkLeft_);
                decoded_.append(data + pos, take);
                pos += take;
                chunkLeft_ -= take;
                if (chunkLeft_ == 0) chunkState_ = ChunkState::DataEnd;
                break;
            }
            case ChunkState::Done:
                break;
        }
    }
    result.body = decoded_.constData();
    result.bodySize = decoded_.size();
    if (chunkState_ == ChunkState::Done) {
        ended_ = true;
        result.messageComplete = true;
    }
}
