#include "support/ScriptedHttpServer.h"

#include "support/WaitFor.h"
#include "support_selftest/HttpTestClient.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using Reply = ScriptedHttpServer::Reply;

const QByteArray kProbe =
    "GET /dir/file.bin HTTP/1.1\r\nHost: 127.0.0.1\r\nRange: bytes=-\r\n"
    "User-Agent: Zu\r\nAccept:  */*\r\n\r\n";

TEST(ScriptedHttpServer, RecordsTheRequestExactlyAsItArrivedAcrossWrites) {
    ScriptedHttpServer server;
    server.enqueue(Reply::withLength("HTTP/1.1 200 OK", "hello", {"X-Test: 1"}));
    HttpTestClient client(server.port());
    ASSERT_TRUE(client.isConnected());
    client.send(kProbe.left(30));  // the head ends only with the second write
    ASSERT_TRUE(waitFor([&] { return server.connectionCount() == 1; }));
    client.send(kProbe.mid(30));
    ASSERT_TRUE(client.waitForClose());

    ASSERT_EQ(server.requests().size(), 1);
    const ScriptedHttpServer::Request& request = server.requests()[0];
    EXPECT_EQ(request.raw, kProbe);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/dir/file.bin");
    EXPECT_EQ(request.version, "HTTP/1.1");
    EXPECT_EQ(request.header("range"), "bytes=-");
    EXPECT_EQ(request.header("ACCEPT"), "*/*");
    EXPECT_FALSE(request.hasHeader("Connection"));
    EXPECT_EQ(request.connection, 1);
    EXPECT_EQ(request.order, 0);
    EXPECT_EQ(client.received(), "HTTP/1.1 200 OK\r\nX-Test: 1\r\nContent-Length: 5\r\n\r\nhello");
    EXPECT_EQ(server.openConnections(), 0);
}

TEST(ScriptedHttpServer, SplitReplyArrivesInSeparateReads) {
    ScriptedHttpServer server;
    Reply reply = Reply::withLength("HTTP/1.1 206 Partial Content", "0123456789",
                                    {"Content-Range: bytes 0-9/10"});
    const QByteArray bytes = reply.bytes();
    // Inside the status line, inside the blank line that ends the head, inside the body.
    const qint64 blankLine = bytes.indexOf("\r\n\r\n") + 2;
    reply.splitAt = {blankLine + 1, 7, bytes.size() - 3};
    server.enqueue(reply);
    HttpTestClient client(server.port());
    client.send(kProbe);
    ASSERT_TRUE(client.waitForClose());

    const QList<QByteArray> expected = {bytes.left(7), bytes.mid(7, blankLine + 1 - 7),
                                        bytes.mid(blankLine + 1, bytes.size() - 3 - blankLine - 1),
                                        bytes.right(3)};
    EXPECT_EQ(client.reads(), expected);
}

TEST(ScriptedHttpServer, CutRepliesEndWhereScripted) {
    struct Case {
        const char* name;
        Reply reply;
        qsizetype expectedBytes;
        bool closes;
    };
    Reply full = Reply::withLength("HTTP/1.1 200 OK", QByteArray(1000, 'x'), {});
    const qsizetype head = full.headerSize();
    Reply cut = full;
    cut.closeAfterBytes = head + 100;
    Reply stalled = full;
    stalled.stallAfterBytes = head - 5;  // stops inside the head
    const Case cases[] = {
        {"whole", full, head + 1000, true},
        {"closed after 100 body bytes", cut, head + 100, true},
        {"hung up at once", Reply::hangUp(), 0, true},
        {"stalled in the head", stalled, head - 5, false},
        {"silent", Reply::silence(), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHttpServer server;
        server.enqueue(c.reply);
        HttpTestClient client(server.port());
        client.send(kProbe);
        if (c.closes) {
            ASSERT_TRUE(client.waitForClose());
        } else {
            ASSERT_TRUE(client.waitForBytes(c.expectedBytes));
            ASSERT_TRUE(waitFor([&] { return server.requests().size() == 1; }));
            // Give a wrongly continuing server the chance to send more or close.
            waitFor([&] { return client.closed() || client.received().size() > c.expectedBytes; },
                    300);
            EXPECT_FALSE(client.closed());
            EXPECT_EQ(server.openConnections(), 1);
        }
        EXPECT_EQ(client.received(), full.bytes().left(c.expectedBytes));
    }
}

TEST(ScriptedHttpServer, KeepAliveAnswersFromQueueThenHandler) {
    ScriptedHttpServer server;
    Reply first = Reply::withLength("HTTP/1.1 200 OK", "one", {});
    first.keepAlive = true;
    server.enqueue(first);
    server.setHandler([](const ScriptedHttpServer::Request& request) {
        return Reply::withLength("HTTP/1.1 200 OK", request.target, {});
    });
    HttpTestClient client(server.port());
    client.send("GET /a HTTP/1.1\r\n\r\nGET /b HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(client.waitForClose());

    EXPECT_EQ(client.received(),
              "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\none"
              "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n/b");
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].target, "/b");
    EXPECT_EQ(server.requests()[1].connection, 1);
    EXPECT_EQ(server.requests()[1].order, 1);
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_EQ(server.queuedReplies(), 0);
}

TEST(ScriptedHttpServer, NumbersConnectionsAndPacesReplies) {
    ScriptedHttpServer server;
    const QByteArray body(1000, 'p');
    Reply paced = Reply::withLength("HTTP/1.1 200 OK", body, {});
    paced.bytesPerTick = 100;
    server.enqueue(Reply::withLength("HTTP/1.1 200 OK", "", {}));
    server.enqueue(paced);
    HttpTestClient first(server.port());
    first.send(kProbe);
    ASSERT_TRUE(first.waitForClose());
    HttpTestClient second(server.port());
    second.send(kProbe);
    ASSERT_TRUE(second.waitForClose());

    EXPECT_EQ(server.connectionCount(), 2);
    EXPECT_EQ(server.requests()[1].connection, 2);
    EXPECT_EQ(second.received(), paced.bytes());
    EXPECT_GE(second.reads().size(), 2);  // not all at once
}

TEST(ScriptedHttpServer, UnscriptedRequestFailsTheTest) {
    ScriptedHttpServer server;
    HttpTestClient client(server.port());
    client.send(kProbe);
    EXPECT_NONFATAL_FAILURE(client.waitForClose(), "no reply scripted");
    EXPECT_TRUE(client.received().startsWith("HTTP/1.1 500 "));
}

}  // namespace
