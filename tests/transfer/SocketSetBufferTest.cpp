// What a connection may hold in memory: never more unread bytes than the socket
// set's cap, however far behind the reader is, in plain text or over TLS; the
// rest waits in the peer.
#include "support/TestCertificates.h"
#include "support/TestData.h"
#include "support/WaitFor.h"
#include "transfer/SocketSet.h"
#include "transfer/TlsContext.h"

#include <QFile>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
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

// What the server still holds for the reader: plain, and over TLS encrypted too.
qint64 heldBack(QTcpSocket* peer) {
    const auto* tls = qobject_cast<QSslSocket*>(peer);
    return peer->bytesToWrite() + (tls ? tls->encryptedBytesToWrite() : 0);
}

// The server sends far more than the kernel's buffers on both ends take to the
// first connection along the route; the reader reads nothing for a while, then
// everything.
void expectSlowReaderHeldToTheCap(QTcpServer& server, const ConnectionRoute& route) {
    const QByteArray data = patternBytes(32 * 1024 * 1024, 17);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket* peer = nullptr;
    const auto take = [&] {
        if (peer) return;
        peer = server.nextPendingConnection();
        if (peer) peer->write(data);
    };
    // A TLS server hands the connection out once its handshake is done.
    QObject::connect(&server, &QTcpServer::newConnection, take);
    QObject::connect(&server, &QTcpServer::pendingConnectionAvailable, take);

    SocketSet set(QStringLiteral("wsHTTP"));
    set.setRoute(route);
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
    QString failure;
    QObject::connect(&set, &SocketSet::error, [&](int, int, const QString& text) { failure = text; });
    set.connectTo(0, QStringLiteral("127.0.0.1"), server.serverPort());
    const qint64 cap = SocketSet::ReadBufferBytesFor(SocketSet::OpenConnections());

    // The reader is busy elsewhere: bytes pile up to the cap and stop there.
    ASSERT_TRUE(waitFor([&] { return largestUnread >= cap || !failure.isEmpty(); }, 60000));
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    for (int i = 0; i < 200; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(largestUnread, cap);
    ASSERT_NE(peer, nullptr);
    EXPECT_GT(heldBack(peer), 0) << "the peer should be held back";

    // Once read, the rest comes, in blocks no larger than the cap, every byte in
    // order: what the cap left in the socket is announced again.
    reading = true;
    readOnce();
    ASSERT_TRUE(
        waitFor([&] { return received.size() >= data.size() || !failure.isEmpty(); }, 120000));
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_LE(largestUnread, cap);
    EXPECT_LE(largestBlock, cap);
    EXPECT_TRUE(received == data);
}

TEST(SocketSetBufferTest, ASlowReaderCannotMakeAConnectionsBufferGrowPastItsCap) {
    QTcpServer server;
    expectSlowReaderHeldToTheCap(server, ConnectionRoute{});
}

TEST(SocketSetBufferTest, OverTlsASlowReaderCannotMakeTheDecryptedBytesGrowPastTheCap) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.make()) << certificates.error().toStdString();
    QFile certificate(certificates.server().certificate);
    QFile key(certificates.server().key);
    ASSERT_TRUE(certificate.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(certificate.readAll(), QSsl::Pem));
    configuration.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    QSslServer server;
    server.setSslConfiguration(configuration);

    QString error;
    ConnectionRoute route;
    route.tls = true;
    route.tlsContext = TlsContext::Create(certificates.authorityFile(), &error);
    ASSERT_TRUE(route.tlsContext) << error.toStdString();
    expectSlowReaderHeldToTheCap(server, route);
}

}  // namespace
