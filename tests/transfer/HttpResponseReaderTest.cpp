#include "transfer/HttpResponseReader.h"

#include <gtest/gtest.h>

namespace {

struct Collected {
    bool header = false;
    bool complete = false;
    bool malformed = false;
    QByteArray body;
};

// Feeds the reply in pieces cut at the given offsets and collects what comes out.
Collected feedInPieces(HttpResponseReader& reader, const QByteArray& reply, std::vector<int> cuts) {
    Collected out;
    cuts.push_back(static_cast<int>(reply.size()));
    int from = 0;
    for (int cut : cuts) {
        const QByteArray piece = reply.mid(from, cut - from);
        from = cut;
        const auto result = reader.feed(piece.constData(), piece.size());
        out.header |= result.headerCompleted;
        out.complete |= result.messageComplete;
        out.malformed |= result.malformed;
        if (result.bodySize > 0) out.body.append(result.body, result.bodySize);
    }
    return out;
}

TEST(HttpResponseReader, HeaderSplitAcrossReadsNeverReachesTheBody) {
    const QByteArray reply =
        "HTTP/1.1 206 Partial Content\r\nContent-Type: text/plain\r\nContent-Length: 10\r\n"
        "Content-Range: bytes 0-9/20\r\n\r\n0123456789";
    // Every cut position, including inside the blank line that ends the header.
    for (int cut = 1; cut < reply.size(); ++cut) {
        HttpResponseReader reader;
        const Collected got = feedInPieces(reader, reply, {cut});
        EXPECT_TRUE(got.header) << cut;
        EXPECT_TRUE(got.complete) << cut;
        EXPECT_EQ(got.body, QByteArray("0123456789")) << "cut at " << cut;
        EXPECT_EQ(reader.statusCode(), 206);
        ASSERT_TRUE(reader.contentRange());
        EXPECT_EQ(*reader.contentRange()->first, 0);
        EXPECT_EQ(*reader.contentRange()->total, 20);
    }
}

TEST(HttpResponseReader, BodyThatLooksLikeAHeaderIsBody) {
    const QByteArray body = "Content-Type: x\r\n\r\nLocation: y\r\n";
    const QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\n\r\n" + body;
    HttpResponseReader reader;
    EXPECT_EQ(feedInPieces(reader, reply, {30, 40}).body, body);
}

TEST(HttpResponseReader, ChunkedBodyIsDecodedAcrossAnySplit) {
    const QByteArray reply =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
        "4\r\nWiki\r\n6;ext=1\r\npedia \r\nE\r\nin \r\n\r\nchunks.\r\n0\r\nX-Trailer: 1\r\n\r\n";
    for (int cut = 1; cut < reply.size(); cut += 3) {
        HttpResponseReader reader;
        const Collected got = feedInPieces(reader, reply, {cut, qMin(cut + 7, int(reply.size()))});
        EXPECT_EQ(got.body, QByteArray("Wikipedia in \r\n\r\nchunks.")) << cut;
        EXPECT_TRUE(got.complete) << cut;
        EXPECT_FALSE(got.malformed);
    }
}

TEST(HttpResponseReader, FramingFollowsTheHeader) {
    struct Case {
        const char* header;
        HttpResponseReader::Framing framing;
        qint64 length;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 5", HttpResponseReader::Framing::Length, 5},
        {"HTTP/1.1 200 OK\r\ncontent-length:7", HttpResponseReader::Framing::Length, 7},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 5",
         HttpResponseReader::Framing::Chunked, -1},
        {"HTTP/1.0 200 OK\r\nServer: x", HttpResponseReader::Framing::UntilClose, -1},
        {"HTTP/1.1 204 No Content", HttpResponseReader::Framing::Length, 0},
    };
    for (const Case& c : cases) {
        HttpResponseReader reader;
        const QByteArray reply = QByteArray(c.header) + "\r\n\r\n";
        feedInPieces(reader, reply, {});
        EXPECT_EQ(reader.framing(), c.framing) << c.header;
        EXPECT_EQ(reader.contentLength().value_or(-1), c.length) << c.header;
    }
}

TEST(HttpResponseReader, BytesAfterTheMessageAreNotBody) {
    HttpResponseReader reader;
    const Collected got =
        feedInPieces(reader, "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcHTTP/1.1 200", {});
    EXPECT_EQ(got.body, QByteArray("abc"));
    EXPECT_TRUE(got.complete);
}

TEST(HttpResponseReader, GarbageIsMalformed) {
    const QByteArray cases[] = {
        "SSH-2.0-OpenSSH\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
        QByteArray(HttpResponseReader::kMaxHeaderBytes + 10, 'a'),
        // Interim responses that never end are no better than a header that never ends.
        QByteArray("HTTP/1.1 102 Processing\r\n\r\n").repeated(3000),
    };
    for (const QByteArray& reply : cases) {
        HttpResponseReader reader;
        EXPECT_TRUE(feedInPieces(reader, reply, {}).malformed) << reply.left(40).constData();
    }
}

TEST(HttpResponseReader, RetryAfterInSecondsOrAsADate) {
    const QDateTime now(QDate(2024, 3, 5), QTime(12, 0, 0), Qt::UTC);
    const std::pair<QByteArray, qint64> cases[] = {  // -1: not a Retry-After value
        {"120", 120}, {"Tue, 05 Mar 2024 12:02:30 GMT", 150}, {"Tuesday, 05-Mar-24 12:00:10 GMT", 10},
        {"Tue Mar  5 13:00:00 2024", 3600}, {"Mon, 04 Mar 2024 12:00:00 GMT", 0}, {"-5", -1}, {"soon", -1},
    };
    for (const auto& [value, seconds] : cases)
        EXPECT_EQ(HttpResponseReader::RetryAfterSeconds(value, now).value_or(-1), seconds) << value.constData();
}

TEST(HttpResponseReader, StatusCodeAndFields) {
    EXPECT_EQ(HttpResponseReader::ParseStatusCode("HTTP/1.1 404 Not Found"), 404);
    EXPECT_EQ(HttpResponseReader::ParseStatusCode("HTTP/1.1 4x4 Odd"), 0);
    EXPECT_EQ(HttpResponseReader::ParseStatusCode("garbage"), 0);
    EXPECT_EQ(HttpResponseReader::ParseStatusCode("HTTP/1.1 30"), 0);
    const QByteArray header = "HTTP/1.1 302 Found\r\nX-Location: no\r\nlocation:  /next \r\n";
    EXPECT_EQ(HttpResponseReader::fieldOf(header, "Location"), QByteArray("/next"));
    EXPECT_EQ(HttpResponseReader::fieldOf(header, "Missing"), QByteArray());
}

TEST(HttpResponseReader, ContentRangeForms) {
    struct Case {
        const char* value;
        qint64 first, last, total;  // -1: absent
        bool valid;
    };
    const Case cases[] = {
        {"bytes 100-199/5000", 100, 199, 5000, true},
        {"bytes */0", -1, -1, 0, true},
        {"bytes 0-4/*", 0, 4, -1, true},
        {"bytes 9-4/10", 0, 0, 0, false},
        {"items 0-4/10", 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        HttpResponseReader reader;
        const QByteArray reply =
            "HTTP/1.1 206 P\r\nContent-Range: " + QByteArray(c.value) + "\r\nContent-Length: 0\r\n\r\n";
        reader.feed(reply.constData(), reply.size());
        const auto range = reader.contentRange();
        ASSERT_EQ(range.has_value(), c.valid) << c.value;
        if (!c.valid) continue;
        EXPECT_EQ(range->first.value_or(-1), c.first) << c.value;
        EXPECT_EQ(range->last.value_or(-1), c.last) << c.value;
        EXPECT_EQ(range->total.value_or(-1), c.total) << c.value;
    }
}

}  // namespace
