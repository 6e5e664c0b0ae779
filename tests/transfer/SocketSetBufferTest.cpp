// What a connection may hold in memory: never more unread bytes than the socket
// set's cap, however far behind the reader is; the rest waits in the peer.
#include "support/TestData.h"
#include "support/WaitFor.h"
#include "transfer/SocketSet.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

TEST(SocketSetBufferTest, ConnectionsShareTheReadBudgetWithinTheirBounds) {
    const struct {
        int connections;
        qint64 bytes;
    } cases[] = {
        {0, 256 * 1024},   {1, 256 * 1024},         {6, 256 * 1024},          {16, 256 * 1024},
        {17, 246723},      {60, 69905},             {120, 34952},             {128, 32 * 1024},
        {1000, 32 * 1024},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SocketSet::ReadBufferBytesFor(c.connections), c.bytes) << c.connections;
}

TEST(SocketSetBufferTest, ASlowReaderCannotMakeAConnectionsBufferGrowPastItsCap) {
    // Far more than the kernel's buffers on both ends take.
    const QByteArray data = patternBytes(32 * 1024 * 1024, 17);
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket* peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        peer->write(data);
    });

    SocketSet set(QStringLiteral("wsHTTP"));
    bool reading = false;
    qint64 largestUnread = 0;
    qint64 largestBlock = 0;
    QByteArray received;
    QByteArray block;
    const auto readOnce = [&] {
        set.readInto(0, block);
        largestBlock = std::max<qint64>(largestBlock, block.size());
        received += block;
    };
    QObject::connect(&set, &SocketSet::dataArrival, [&](int, qint64 unread) {
        largestUnread = std::max(largestUnread, unread);
        if (reading) readOnce();
    });
    set.connectTo(0, QStringLiteral("127.0.0.1"), server.serverPort());
    const qint64 cap = SocketSet::ReadBufferBytesFor(SocketSet::OpenConnections());

    // The reader is busy elsewhere: bytes pile up to the cap and stop there.
    ASSERT_TRUE(waitFor([&] { return largestUnread >= cap; }, 60000));
    for (int i = 0; i < 200; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(largestUnread, cap);
    ASSERT_NE(peer, nullptr);
    EXPECT_GT(peer->bytesToWrite(), 0) << "the peer should be held back";

    // Once read, the rest comes, in blocks no larger than the cap, every byte in order.
    reading = true;
    readOnce();
    ASSERT_TRUE(waitFor([&] { return received.size() >= data.size(); }, 60000));
    EXPECT_LE(largestUnread, cap);
    EXPECT_LE(largestBlock, cap);
    EXPECT_TRUE(received == data);
}

}  // namespace
