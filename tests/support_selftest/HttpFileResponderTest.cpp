#include "support/HttpFileResponder.h"

#include "support/ScriptedHttpServer.h"
#include "support/TestData.h"
#include "support_selftest/HttpTestClient.h"

#include <gtest/gtest.h>

namespace {

using Kind = HttpFileResponder::Range::Kind;

QByteArray get(const QByteArray& range) {
    QByteArray request = "GET /file.bin HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!range.isNull()) request += "Range: " + range + "\r\n";
    return request + "\r\n";
}

ReceivedReply fetch(ScriptedHttpServer& server, const QByteArray& range) {
    HttpTestClient client(server.port());
    client.send(get(range));
    EXPECT_TRUE(client.waitForClose());
    return ReceivedReply(client.received());
}

TEST(HttpFileResponder, ParsesRangeForms) {
    struct Case {
        const char* value;
        qint64 size;
        Kind kind;
        qint64 first;
        qint64 last;
    };
    const Case cases[] = {
        {nullptr, 1000, Kind::Whole, 0, -1},
        {"bytes=0-9", 1000, Kind::Part, 0, 9},
        {"bytes=5-", 1000, Kind::Part, 5, 999},
        {"bytes=990-5000", 1000, Kind::Part, 990, 999},
        {"bytes=-10", 1000, Kind::Part, 990, 999},
        {"bytes=-5000", 1000, Kind::Part, 0, 999},
        {"bytes=3000000000-3000000009", 4000000000, Kind::Part, 3000000000, 3000000009},
        {"bytes=1000-", 1000, Kind::Unsatisfiable, 0, -1},
        {"bytes=0-", 0, Kind::Unsatisfiable, 0, -1},
        {"bytes=-0", 1000, Kind::Unsatisfiable, 0, -1},
        {"bytes=-", 1000, Kind::Malformed, 0, -1},
        {"bytes=5-4", 1000, Kind::Malformed, 0, -1},
        {"bytes=0--1", 1000, Kind::Malformed, 0, -1},
        {"bytes=0-1,5-6", 1000, Kind::Malformed, 0, -1},
        {"items=0-1", 1000, Kind::Malformed, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(no Range)");
        const auto range = HttpFileResponder::parseRange(QByteArray(c.value), c.size);
        EXPECT_EQ(range.kind, c.kind);
        if (c.kind == Kind::Part) {
            EXPECT_EQ(range.first, c.first);
            EXPECT_EQ(range.last, c.last);
        }
    }
}

TEST(HttpFileResponder, AnswersWithTheRightStatusAndBytes) {
    const QByteArray file = patternBytes(5000, 1);
    struct Case {
        const char* name;
        HttpFileResponder::Options options;
        QByteArray range;
        QByteArray status;
        QByteArray contentRange;  // empty: none expected
        QByteArray body;
    };
    const QByteArray ok = "HTTP/1.1 200 OK";
    const QByteArray partial = "HTTP/1.1 206 Partial Content";
    const QByteArray unsatisfiable = "HTTP/1.1 416 Range Not Satisfiable";
    const Case cases[] = {
        {"no range", {}, {}, ok, {}, file},
        {"closed range", {}, "bytes=10-19", partial, "bytes 10-19/5000", file.mid(10, 10)},
        {"open range", {}, "bytes=4990-", partial, "bytes 4990-4999/5000", file.right(10)},
        {"past the end", {}, "bytes=6000-", unsatisfiable, "bytes */5000", {}},
        {"bad range ignored", {}, "bytes=-", ok, {}, file},
        {"bad range rejected",
         {.rejectBadRanges = true},
         "bytes=-",
         unsatisfiable,
         "bytes */5000",
         {}},
        {"ranges ignored", {.ignoreRanges = true}, "bytes=10-19", ok, {}, file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server;
        server.setHandler(HttpFileResponder(file, c.options));
        const ReceivedReply reply = fetch(server, c.range);
        EXPECT_EQ(reply.statusLine, c.status);
        EXPECT_TRUE(reply.hasLine("Content-Length: " + QByteArray::number(c.body.size())));
        if (c.contentRange.isEmpty())
            EXPECT_FALSE(reply.head.contains("content-range:"));
        else
            EXPECT_TRUE(reply.hasLine("Content-Range: " + c.contentRange));
        EXPECT_EQ(reply.body, c.body);
    }
}

TEST(HttpFileResponder, FirstProbeRejectedThenFullRangeServed) {
    const QByteArray file = patternBytes(777, 2);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(file, {.rejectBadRanges = true}));
    const ReceivedReply probe = fetch(server, "bytes=-");
    const ReceivedReply again = fetch(server, "bytes=0-");
    EXPECT_EQ(probe.statusLine, "HTTP/1.1 416 Range Not Satisfiable");
    EXPECT_TRUE(probe.hasLine("Content-Range: bytes */777"));
    EXPECT_EQ(again.statusLine, "HTTP/1.1 206 Partial Content");
    EXPECT_TRUE(again.hasLine("Content-Range: bytes 0-776/777"));
    EXPECT_EQ(again.body, file);
}

TEST(HttpFileResponder, CutsTheFirstMatchingRequestOnly) {
    const QByteArray file = patternBytes(1000, 3);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(file, {.closeEarlyWhen =
                                                   [](const ScriptedHttpServer::Request& request) {
                                                       return request.header("Range") ==
                                                              "bytes=100-199";
                                                   },
                                               .closeAfterBodyBytes = 30}));
    const ReceivedReply other = fetch(server, "bytes=0-99");
    const ReceivedReply cut = fetch(server, "bytes=100-199");
    const ReceivedReply again = fetch(server, "bytes=100-199");
    EXPECT_EQ(other.body, file.left(100));
    EXPECT_EQ(cut.statusLine, "HTTP/1.1 206 Partial Content");
    EXPECT_EQ(cut.body, file.mid(100, 30));
    EXPECT_EQ(again.body, file.mid(100, 100));
}

}  // namespace
