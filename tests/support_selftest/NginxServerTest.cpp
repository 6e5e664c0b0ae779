#include "support/NginxServer.h"

#include "support/Sha256.h"
#include "support/TestData.h"
#include "support_selftest/HttpTestClient.h"

#include <gtest/gtest.h>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {

ReceivedReply fetch(quint16 port, const QByteArray& target, const QByteArray& range) {
    HttpTestClient client(port);
    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!range.isNull()) request += "Range: " + range + "\r\n";
    client.send(request + "\r\n");
    EXPECT_TRUE(client.waitForReply());
    return ReceivedReply(client.received());
}

TEST(NginxServer, ServesWholeFileRangesAndExtraLocations) {
    QTemporaryDir root;
    const QByteArray file = patternBytes(300'000, 9);
    ASSERT_TRUE(writeWholeFile(root.filePath("file.bin"), file));
    NginxServer nginx({.documentRoot = root.path(),
                       .limitRate = 16'000'000,
                       .extraLocations = {"location = /old { return 302 /file.bin; }"}});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    EXPECT_TRUE(nginx.configText().contains("limit_rate 16000000;"));

    const ReceivedReply whole = fetch(nginx.port(), "/file.bin", {});
    EXPECT_EQ(whole.statusLine, "HTTP/1.1 200 OK");
    EXPECT_EQ(sha256Hex(whole.body), sha256Hex(file));

    const ReceivedReply part = fetch(nginx.port(), "/file.bin", "bytes=1000-1999");
    EXPECT_EQ(part.statusLine, "HTTP/1.1 206 Partial Content");
    EXPECT_TRUE(part.hasLine("Content-Range: bytes 1000-1999/300000"));
    EXPECT_EQ(part.body, file.mid(1000, 1000));

    // The client's first probe asks "bytes=-"; nginx refuses it.
    const ReceivedReply probe = fetch(nginx.port(), "/file.bin", "bytes=-");
    EXPECT_EQ(probe.statusLine, "HTTP/1.1 416 Requested Range Not Satisfiable");
    EXPECT_TRUE(probe.hasLine("Content-Range: bytes */300000"));

    const ReceivedReply moved = fetch(nginx.port(), "/old", {});
    EXPECT_EQ(moved.statusLine, "HTTP/1.1 302 Moved Temporarily");
    EXPECT_TRUE(moved.head.contains(
        "\r\nlocation: http://127.0.0.1:" + QByteArray::number(nginx.port()) + "/file.bin\r\n"));
}

TEST(NginxServer, StopEndsTheServer) {
    QTemporaryDir root;
    NginxServer nginx({.documentRoot = root.path()});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    EXPECT_FALSE(nginx.configText().contains("limit_rate"));
    const quint16 port = nginx.port();
    nginx.stop();
    EXPECT_FALSE(nginx.isRunning());
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(socket.waitForConnected(2000));
}

TEST(NginxServer, ReportsAMissingDocumentRoot) {
    NginxServer nginx({.documentRoot = "/nonexistent/vk-root"});
    EXPECT_FALSE(nginx.start());
    EXPECT_TRUE(nginx.errorString().contains("/nonexistent/vk-root"));
}

}  // namespace
