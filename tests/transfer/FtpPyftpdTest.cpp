// Downloads from a real FTP server (pyftpdlib): the window itself in both modes
// and with each kind of login, and the headless program.
#include "DownloadFixture.h"
#include "LumetProcess.h"
#include "core/SettingsLists.h"
#include "support/PyFtpdServer.h"


namespace {

class FtpPyftpdTest : public DownloadFixture {
protected:
    void SetUp() override {
        DownloadFixture::SetUp();
        ASSERT_TRUE(ftpd.start()) << ftpd.errorString().toStdString();
    }
    void TearDown() override { SettingsLists::instance().Logins.clear(); }

    QByteArray publish(const QString& path, qint64 size, quint32 seed) {
        const QByteArray data = patternBytes(size, seed);
        EXPECT_TRUE(ftpd.putFile(path, data));
        return data;
    }

    QString url(const QString& path, const QString& login = QString()) const {
        return QStringLiteral("ftp://") + login +
               QStringLiteral("127.0.0.1:%1/%2").arg(ftpd.port()).arg(path);
    }
    QString userLogin() const {
        return ftpd.user() + QLatin1Char(':') + ftpd.password() + QLatin1Char('@');
    }

    PyFtpdServer ftpd;
};

TEST_F(FtpPyftpdTest, BothModesWithEveryKindOfLogin) {
    const QByteArray data = publish(QStringLiteral("pub/data/f.bin"), 3 * 1024 * 1024 + 11, 30);
    const struct {
        const char* name;
        bool passive;
        bool fromAddress;
        bool fromLoginList;
    } cases[] = {
        {"active anonymous", false, false, false},
        {"passive anonymous", true, false, false},
        {"active user in address", false, true, false},
        {"passive user in address", true, true, false},
        {"active login list", false, false, true},
        {"passive login list", true, false, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        Settings.UsePASV = c.passive;
        SettingsLists::instance().Logins.clear();
        if (c.fromLoginList)
            SettingsLists::instance().Logins = {
                {QStringLiteral("127.0.0.1"), ftpd.user(), ftpd.password()}};
        const QString out = target(QStringLiteral("f%1.bin").arg(n++));
        frmDownload& dl = start(
            url(QStringLiteral("pub/data/f.bin"), c.fromAddress ? userLogin() : QString()), out);
        ASSERT_TRUE(waitForOutcome(60000)) << c.name;
        expectFile(out, data);
        EXPECT_EQ(dl.User,
                  c.fromAddress || c.fromLoginList ? ftpd.user() : QStringLiteral("anonymous"))
            << c.name;
        EXPECT_TRUE(dl.TransferLog.contains("230")) << c.name;
    }
}

TEST_F(FtpPyftpdTest, FileNamesWithSpacesAndEscapes) {
    // The address writes a blank as a blank or as %20; the server knows the real name.
    const QByteArray data = publish(QStringLiteral("my files/a b+c.bin"), 5000, 33);
    Settings.UsePASV = true;
    for (const QString& path : {QStringLiteral("my files/a b+c.bin"), QStringLiteral("my%20files/a%20b%2Bc.bin")}) {
        start(url(path), target());
        ASSERT_TRUE(waitForOutcome(60000)) << path.toStdString();
        expectFile(target(), data);
    }
    // An escaped line break never reaches the control connection.
    frmDownload& dl = start(url(QStringLiteral("x%0D%0ADELE%20g.bin")), target(QStringLiteral("x")));
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Invalid address: it contains control characters."));
}

TEST_F(FtpPyftpdTest, ContinuesAPartialFileAndFetchesAnEmptyOne) {
    const QByteArray data = publish(QStringLiteral("g.bin"), 700000, 31);
    ASSERT_TRUE(writeWholeFile(target(), data.left(250000)));
    start(url(QStringLiteral("g.bin")), target(), -1);
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(), data);

    publish(QStringLiteral("empty.bin"), 0, 32);
    Settings.UsePASV = true;
    start(url(QStringLiteral("empty.bin")), target(QStringLiteral("empty.bin")));
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(QStringLiteral("empty.bin")), QByteArray());
}

using FtpHeadlessTest = FtpPyftpdTest;

TEST_F(FtpHeadlessTest, GetsInBothModes) {
    const QByteArray data = publish(QStringLiteral("h.bin"), 2 * 1024 * 1024 + 3, 33);
    const struct {
        const char* name;
        QString address;
        QStringList extra;
        bool loginList;
    } cases[] = {
        {"active anonymous", url(QStringLiteral("h.bin")), {}, false},
        {"passive user in address",
         url(QStringLiteral("h.bin"), userLogin()),
         {QStringLiteral("--set"), QStringLiteral("UsePASV=1")},
         false},
        {"active login from Settings.ini", url(QStringLiteral("h.bin")), {}, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SettingsLists::instance().Logins.clear();
        if (c.loginList)
            SettingsLists::instance().Logins = {
                {QStringLiteral("127.0.0.1"), ftpd.user(), ftpd.password()}};
        ASSERT_TRUE(SettingsLists::instance().SaveToINI());
        const QString out = target(QStringLiteral("h%1.bin").arg(n++));
        const LumetRun run = runLumet(
            QStringList{QStringLiteral("--get"), c.address, QStringLiteral("--save-to"), out} +
            c.extra);
        EXPECT_EQ(run.exitCode, 0) << c.name << run.err.toStdString();
        EXPECT_EQ(sha256OfFile(out), sha256Hex(data)) << c.name;
        EXPECT_TRUE(run.err.contains(QStringLiteral("Download Successful.")))
            << run.err.toStdString();
    }
}

TEST_F(FtpHeadlessTest, MissingFileExitsOne) {
    const LumetRun run = runLumet({QStringLiteral("--get"), url(QStringLiteral("none.bin")),
                           QStringLiteral("--save-to"), target(), QStringLiteral("--set"),
                           QStringLiteral("UsePASV=1")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("File Not Found"))) << run.err.toStdString();

    // A folder is no file: the run ends at once, before any connection.
    const LumetRun folder = runLumet({QStringLiteral("--get"), url(QString()),
                                      QStringLiteral("--save-to"), target()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("Invalid File URL..."))) << folder.err.toStdString();
}

}  // namespace
