#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QtGlobal>
#include <optional>

// Reads one HTTP response from the bytes of one connection, however the bytes are
// split across reads: the header is collected up to the first blank line, then the
// body is framed by Content-Length, by chunked transfer coding (decoded here) or by
// the end of the connection. Interim responses (1xx other than 101: 100 Continue,
// 102 Processing, 103 Early Hints, unknown ones) come before the final response
// and are skipped; their headers are kept for the log.
class HttpResponseReader {
public:
    enum class Framing { Length, Chunked, UntilClose };

    struct Result {
        bool headerCompleted = false;  // the header became complete during this feed
        const char* body = nullptr;    // body bytes of this feed (valid until the next feed)
        qint64 bodySize = 0;
        bool messageComplete = false;  // the body has ended (length reached, last chunk)
        bool malformed = false;        // the peer sent something that is not HTTP
    };

    void reset();
    Result feed(const char* data, qint64 size);

    bool headerComplete() const { return headerDone_; }
    // The headers of the interim responses skipped before the final one.
    const QList<QByteArray>& interimHeaders() const { return interim_; }
    // The header text without the blank line that ends it.
    const QByteArray& header() const { return header_; }
    int statusCode() const { return statusCode_; }
    Framing framing() const { return framing_; }
    // Content-Length of the response, when given.
    std::optional<qint64> contentLength() const { return contentLength_; }
    // The value of the named header field (matched at a line start, without
    // regard to case; surrounding blanks removed); empty when absent.
    QByteArray field(const QByteArray& name) const;

    struct ContentRange {
        std::optional<qint64> first;  // absent for "bytes */N"
        std::optional<qint64> last;
        std::optional<qint64> total;  // absent for ".../*"
    };
    std::optional<ContentRange> contentRange() const;

    // Text of a header field of an arbitrary header text (same matching as field()).
    static QByteArray fieldOf(const QByteArray& header, const QByteArray& name);
    // The three characters after the first blank as a number, 0 when they are not one.
    static int ParseStatusCode(const QByteArray& reply);
    // The wait a "Retry-After:" value asks for, in whole seconds from now: a number
    // of seconds, or an HTTP date (the three forms HTTP/1.1 allows). Nothing when
    // the value is neither; 0 for a date that has passed.
    static std::optional<qint64> RetryAfterSeconds(const QByteArray& value, const QDateTime& now);

    // A header that never ends is not a response we can use; nor are interim
    // responses that keep coming.
    static constexpr qint64 kMaxHeaderBytes = 64 * 1024;

private:
    bool takeHeader(qsizetype searchFrom, Result& result);
    bool parseHeader();
    void takeBody(const char* data, qint64 size, Result& result);
    void decodeChunked(const char* data, qint64 size, Result& result);

    bool headerDone_ = false;
    QByteArray header_;
    QByteArray pending_;  // header bytes collected so far
    QList<QByteArray> interim_;
    qint64 interimBytes_ = 0;
    qsizetype bodyStart_ = 0;  // in pending_, once the header is complete
    int statusCode_ = 0;
    Framing framing_ = Framing::UntilClose;
    std::optional<qint64> contentLength_;
    qint64 bodyLeft_ = 0;
    bool ended_ = false;

    enum class ChunkState { Size, Data, DataEnd, Trailer, Done };
    ChunkState chunkState_ = ChunkState::Size;
    QByteArray chunkLine_;
    qint64 chunkLeft_ = 0;
    QByteArray decoded_;
};
