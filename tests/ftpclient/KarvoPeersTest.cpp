// The main window against other real peers: a LIST-only server with links
// (vsftpd), and connecting through real SOCKS proxies with the firewall values
// of the hive (Dante for SOCKS 4, microsocks for SOCKS 5 with a login).
#include "KarvoMainFixture.h"
#include "ftpclient/main/KarvoSettings.h"
#include "support/PyFtpdServer.h"
#include "support/SocksProxyServer.h"
#include "support/VsftpdServer.h"

#include <QDir>
#include <QFile>

namespace {

using karvo::FileRow;

class KarvoPeersTest : public KarvoMainFixture {
protected:
    void quickConnect(quint16 port, const QString& user, const QString& password) {
        main->txtQaddress = QStringLiteral("127.0.0.1");
        main->txtQport = QString::number(port);
        main->txtQuser = user;
        main->txtQpassword = password;
        main->cmdQConnect_Click();
    }
};

TEST_F(KarvoPeersTest, LinksOnAListOnlyServerOpenAsFoldersOrAreFetched) {
    VsftpdServer vsftpd;
    ASSERT_TRUE(vsftpd.start()) << vsftpd.errorString().toStdString();
    const QString pub = vsftpd.rootPath() + QStringLiteral("/pub");
    ASSERT_TRUE(QDir(pub).mkpath(QStringLiteral("dir")));
    ASSERT_TRUE(writeWholeFile(pub + QStringLiteral("/dir/in-dir.txt"), "in"));
    ASSERT_TRUE(writeWholeFile(pub + QStringLiteral("/file.txt"), "file"));
    ASSERT_TRUE(QFile::link(QStringLiteral("dir"), pub + QStringLiteral("/linkdir")));
    ASSERT_TRUE(QFile::link(QStringLiteral("file.txt"), pub + QStringLiteral("/linkfile")));
    startUp();
    quickConnect(vsftpd.port(), vsftpd.user(), vsftpd.password());
    ASSERT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    // This server names its folders by their real paths (no chroot).
    const QString top =
        main->cboRemotePath.Text() == QLatin1String("/") ? QString() : main->cboRemotePath.Text();
    selectRemote(QStringLiteral("pub"));
    main->lstRemoteFileList_DblClick();
    ASSERT_EQ(main->cboRemotePath.Text(), top + QStringLiteral("/pub"));
    const auto& list = main->lstRemoteFileList;
    ASSERT_GE(list.IndexOf(QStringLiteral("linkdir")), 0) << remoteNames().join(' ').toStdString();
    EXPECT_EQ(list.At(list.IndexOf(QStringLiteral("linkdir"))).icon, FileRow::Link);
    EXPECT_EQ(list.At(list.IndexOf(QStringLiteral("linkfile"))).icon, FileRow::Link);
    EXPECT_EQ(list.At(list.IndexOf(QStringLiteral("dir"))).icon, FileRow::Folder);

    selectRemote(QStringLiteral("linkfile"));
    main->lstRemoteFileList_DblClick();
    EXPECT_EQ(commandsRun.value(commandsRun.size() - 1), QStringLiteral("IDC_FS_Download"));
    EXPECT_EQ(readWholeFile(localFolder.filePath(QStringLiteral("linkfile"))), QByteArray("file"));
    EXPECT_EQ(main->cboRemotePath.Text(), top + QStringLiteral("/pub"));

    selectRemote(QStringLiteral("linkdir"));
    main->lstRemoteFileList_DblClick();
    EXPECT_EQ(main->lblStatus, QStringLiteral("Changed current remote folder."));
    EXPECT_EQ(main->cboRemotePath.Text(),
              top + QStringLiteral("/pub/dir"));  // the server names the folder the link leads to
    EXPECT_EQ(remoteNames(), QStringList{QStringLiteral("in-dir.txt")});
    for (const QString& line : main->lstConnectionInfo)
        EXPECT_FALSE(line.startsWith(QLatin1String("Error")));
}

struct ProxyRow {
    const char* name;
    SocksProxyServer::Kind kind;
    const char* type;
    bool login;
};

class KarvoProxyTest : public KarvoPeersTest, public ::testing::WithParamInterface<ProxyRow> {};

TEST_P(KarvoProxyTest, ConnectsThroughTheFirewallOfTheHive) {
    const ProxyRow& row = GetParam();
    PyFtpdServer pyftpd;
    ASSERT_TRUE(pyftpd.start()) << pyftpd.errorString().toStdString();
    ASSERT_TRUE(pyftpd.putFile(QStringLiteral("through-the-proxy.txt"), "p"));
    SocksProxyServer proxy(row.kind);
    ASSERT_TRUE(proxy.start()) << proxy.errorString().toStdString();
    KarvoSettings::Write(QStringLiteral("Firewall Use"), QStringLiteral("1"));
    KarvoSettings::Write(QStringLiteral("Firewall Type"), QString::fromLatin1(row.type));
    KarvoSettings::Write(QStringLiteral("Firewall Host Name"), QStringLiteral("127.0.0.1"));
    KarvoSettings::Write(QStringLiteral("Firewall Proxy Port"), QString::number(proxy.port()));
    if (row.login) {
        KarvoSettings::Write(QStringLiteral("Firewall User Name"), proxy.user());
        KarvoSettings::Write(QStringLiteral("Firewall Password"), proxy.password());
    }
    startUp();
    quickConnect(pyftpd.port(), pyftpd.user(), pyftpd.password());
    ASSERT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"))
        << main->lstConnectionInfo.join('\n').toStdString();
    EXPECT_EQ(main->xFtp.firewallType, row.type == QLatin1String("SOCKS 4") ? 4 : 5);
    EXPECT_EQ(remoteNames(), QStringList{QStringLiteral("through-the-proxy.txt")});
    main->RunCommand(QStringLiteral("IDC_FS_Disconnect"));

    // The proxy really was in the path: without it nothing gets through.
    proxy.stop();
    quickConnect(pyftpd.port(), pyftpd.user(), pyftpd.password());
    EXPECT_EQ(main->lblStatus, QStringLiteral("Could not connect to 127.0.0.1"));
    EXPECT_EQ(main->lstRemoteFileList.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Proxies, KarvoProxyTest,
    ::testing::Values(ProxyRow{"dante_socks4", SocksProxyServer::Kind::Dante, "SOCKS 4", false},
                      ProxyRow{"microsocks_socks5_login", SocksProxyServer::Kind::Microsocks,
                               "SOCKS 5", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
