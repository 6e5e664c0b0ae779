// karvo against real servers, directly and through real SOCKS proxies: a tree
// goes down with --mirror and back up with --mirror-up, checked by SHA-256.
// One smoke test per peer; the paths themselves are covered by the scripted rows.
#include "KarvoProcess.h"
#include "common/CRegister.h"
#include "support/PyFtpdServer.h"
#include "support/Sha256.h"
#include "support/SocksProxyServer.h"
#include "support/TestData.h"
#include "support/VsftpdServer.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

enum class Server { Pyftpdlib, Vsftpd };
enum class Proxy { None, DanteSocks4, DanteSocks5, MicrosocksSocks5, HiveSocks5 };

struct Peer {
    Server server;
    Proxy proxy;
};

std::string peerName(const Peer& peer) {
    static const char* servers[] = {"pyftpdlib", "vsftpd"};
    static const char* proxies[] = {"direct", "dante_socks4", "dante_socks5", "microsocks_socks5", "hive_socks5"};
    return std::string(servers[int(peer.server)]) + "_" + proxies[int(peer.proxy)];
}

// Relative path to SHA-256 of every file below `folder`.
QMap<QString, QString> treeHashes(const QString& folder) {
    QMap<QString, QString> hashes;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        hashes.insert(QDir(folder).relativeFilePath(path), sha256OfFile(path));
    }
    return hashes;
}

void makeTree(const QString& root) {
    const QMap<QString, QByteArray> files = {
        {QStringLiteral("big.bin"), patternBytes(3 * 1024 * 1024 + 11, 1)},
        {QStringLiteral("empty.txt"), QByteArray()},
        {QStringLiteral("with space.txt"), "spaced\n"},
        {QStringLiteral("a/one.bin"), patternBytes(70000, 2)},
        {QStringLiteral("a/b/deep.bin"), patternBytes(1, 3)},
        {QStringLiteral("a/b/c/deeper.txt"), "deep\r\nlines\n"},
        {QStringLiteral("z/last.bin"), patternBytes(4096, 4)},
    };
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = QDir(root).filePath(it.key());
        QDir().mkpath(QFileInfo(path).path());
        writeWholeFile(path, it.value());
    }
    QDir().mkpath(QDir(root).filePath(QStringLiteral("empty-folder")));
}

class KarvoRealServersTest : public ::testing::TestWithParam<Peer> {
protected:
    void SetUp() override {
        const Peer peer = GetParam();
        if (peer.server == Server::Pyftpdlib) {
            ASSERT_TRUE(pyftpd_.start()) << pyftpd_.errorString().toStdString();
            port_ = pyftpd_.port();
            login_ = pyftpd_.user() + QLatin1Char(':') + pyftpd_.password() + QLatin1Char('@');
            served_ = pyftpd_.rootPath();
            base_ = QString();
        } else {
            ASSERT_TRUE(vsftpd_.start()) << vsftpd_.errorString().toStdString();
            port_ = vsftpd_.port();
            login_ = QStringLiteral("anonymous:karvo%40example.org@");
            served_ = vsftpd_.rootPath() + QStringLiteral("/pub");
            base_ = QStringLiteral("pub/");
        }
        if (peer.proxy == Proxy::None) return;
        proxy_ = std::make_unique<SocksProxyServer>(peer.proxy == Proxy::DanteSocks4 || peer.proxy == Proxy::DanteSocks5
                                                        ? SocksProxyServer::Kind::Dante
                                                        : SocksProxyServer::Kind::Microsocks);
        ASSERT_TRUE(proxy_->start()) << proxy_->errorString().toStdString();
        const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(proxy_->port());
        switch (peer.proxy) {
        case Proxy::DanteSocks4: proxyOptions_ = {QStringLiteral("--socks4"), hostPort}; break;
        case Proxy::DanteSocks5: proxyOptions_ = {QStringLiteral("--socks5"), hostPort}; break;
        case Proxy::MicrosocksSocks5:
            proxyOptions_ = {QStringLiteral("--socks5"),
                             proxy_->user() + QLatin1Char(':') + proxy_->password() + QLatin1Char('@') + hostPort};
            break;
        case Proxy::HiveSocks5: {
            // The firewall settings of the hive, as the options dialog writes them.
            const QString key = QStringLiteral("\\Software\\VornelKarvo\\FTP4.0\\");
            const CRegister hive;
            hive.REGSaveSetting(HKEY_LOCAL_MACHINE, key, QStringLiteral("Firewall Use"), QStringLiteral("1"));
            hive.REGSaveSetting(HKEY_LOCAL_MACHINE, key, QStringLiteral("Firewall Type"), QStringLiteral("SOCKS 5"));
            hive.REGSaveSetting(HKEY_LOCAL_MACHINE, key, QStringLiteral("Firewall Host Name"), QStringLiteral("127.0.0.1"));
            hive.REGSaveSetting(HKEY_LOCAL_MACHINE, key, QStringLiteral("Firewall Proxy Port"),
                                QString::number(proxy_->port()));
            hive.REGSaveSetting(HKEY_LOCAL_MACHINE, key, QStringLiteral("Firewall User Name"), proxy_->user());
            hive.REGSaveSetting(HKEY_LOCAL_MACHINE, key, QStringLiteral("Firewall Password"), proxy_->password());
            hiveUsed_ = true;
            break;
        }
        case Proxy::None: break;
        }
    }

    void TearDown() override {
        if (hiveUsed_)
            CRegister().REGDeleteSetting(HKEY_LOCAL_MACHINE, QStringLiteral("\\Software\\VornelKarvo\\FTP4.0\\"),
                                         QStringLiteral("Firewall Use"));
    }

    QString url(const QString& path) const {
        return QStringLiteral("ftp://") + login_ + QStringLiteral("127.0.0.1:") + QString::number(port_) +
               QLatin1Char('/') + base_ + path;
    }

    KarvoRun karvo(QStringList arguments) const { return runKarvo(proxyOptions_ + arguments); }

    PyFtpdServer pyftpd_;
    VsftpdServer vsftpd_;
    std::unique_ptr<SocksProxyServer> proxy_;
    QStringList proxyOptions_;
    quint16 port_ = 0;
    QString login_;
    QString served_;
    QString base_;
    bool hiveUsed_ = false;
};

TEST_P(KarvoRealServersTest, MirrorDownAndUpIsByteExact) {
    makeTree(QDir(served_).filePath(QStringLiteral("tree")));
    const QMap<QString, QString> original = treeHashes(QDir(served_).filePath(QStringLiteral("tree")));
    QTemporaryDir local;
    const QString down = local.filePath(QStringLiteral("down"));

    const KarvoRun mirror = karvo({QStringLiteral("--mirror"), url(QStringLiteral("tree")), down});
    ASSERT_EQ(mirror.exitCode, 0) << mirror.err.toStdString();
    EXPECT_EQ(treeHashes(down), original);
    EXPECT_TRUE(QDir(down).exists(QStringLiteral("empty-folder")));

    const KarvoRun up = karvo({QStringLiteral("--mirror-up"), down, url(QStringLiteral("copy"))});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    EXPECT_EQ(treeHashes(QDir(served_).filePath(QStringLiteral("copy"))), original);

    // A second mirror over the first replaces every file and leaves no stray files.
    const KarvoRun again = karvo({QStringLiteral("--mirror"), url(QStringLiteral("copy")), down});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(treeHashes(down), original);

    // The proxy really was in the path: without it nothing gets through.
    if (!proxy_) return;
    proxy_->stop();
    const KarvoRun without = karvo({QStringLiteral("--list"), url(QStringLiteral("tree"))});
    EXPECT_EQ(without.exitCode, 1) << without.out.toStdString();
    EXPECT_TRUE(without.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Peers, KarvoRealServersTest,
                         ::testing::Values(Peer{Server::Pyftpdlib, Proxy::None}, Peer{Server::Vsftpd, Proxy::None},
                                           Peer{Server::Pyftpdlib, Proxy::DanteSocks4},
                                           Peer{Server::Vsftpd, Proxy::DanteSocks4},
                                           Peer{Server::Pyftpdlib, Proxy::DanteSocks5},
                                           Peer{Server::Vsftpd, Proxy::DanteSocks5},
                                           Peer{Server::Pyftpdlib, Proxy::MicrosocksSocks5},
                                           Peer{Server::Vsftpd, Proxy::MicrosocksSocks5},
                                           Peer{Server::Vsftpd, Proxy::HiveSocks5}),
                         [](const auto& info) { return peerName(info.param); });

TEST(KarvoRealServers, ActiveModeAndAsciiAgainstVsftpd) {
    VsftpdServer server;
    ASSERT_TRUE(server.start()) << server.errorString().toStdString();
    const QString pub = server.rootPath() + QStringLiteral("/pub");
    ASSERT_TRUE(writeWholeFile(pub + QStringLiteral("/text.txt"), "one\ntwo\n"));
    ASSERT_TRUE(writeWholeFile(pub + QStringLiteral("/data.bin"), patternBytes(1024 * 1024, 9)));
    QTemporaryDir local;
    const QString base = QStringLiteral("ftp://127.0.0.1:%1/pub/").arg(server.port());

    KarvoRun run = runKarvo({QStringLiteral("--active"), QStringLiteral("--get"), base + QStringLiteral("data.bin"),
                             local.filePath(QStringLiteral("data.bin"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(local.filePath(QStringLiteral("data.bin"))), sha256OfFile(pub + QStringLiteral("/data.bin")));

    // With vsftpd converting too, an ASCII file arrives with its own LF ends.
    run = runKarvo({QStringLiteral("--ascii"), QStringLiteral("--get"), base + QStringLiteral("text.txt"),
                    local.filePath(QStringLiteral("text.txt"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(local.filePath(QStringLiteral("text.txt"))), sha256Hex(QByteArray("one\ntwo\n")));

    run = runKarvo({QStringLiteral("--active"), QStringLiteral("--put"), local.filePath(QStringLiteral("data.bin")),
                    base + QStringLiteral("back.bin")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sha256OfFile(pub + QStringLiteral("/back.bin")), sha256OfFile(pub + QStringLiteral("/data.bin")));
}

}  // namespace
