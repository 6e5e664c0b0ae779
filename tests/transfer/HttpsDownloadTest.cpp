// Secure downloads: the same requests inside TLS, one connection, segments and
// resume from a real nginx, certificates refused with their reason, and redirects
// between http:// and https://.
#include "TlsDownloadFixture.h"
#include "common/QStringPrinter.h"
#include "support/HttpFileResponder.h"
#include "support/NginxServer.h"
#include "support/ScriptedHttpServer.h"
#include "transfer/ProgressJournal.h"

#include <QFile>
#include <QRegularExpression>

namespace {

using Reply = ScriptedHttpServer::Reply;

class HttpsTest : public TlsDownloadFixture {
protected:
    static NginxServer::Options tlsServer(const QString& root, const TestCertificates::Pair& pair,
                                          qint64 limitRate = 0) {
        return {.documentRoot = root, .limitRate = limitRate, .certificate = pair.certificate,
                .certificateKey = pair.key};
    }

    static QStringList accessLog(const NginxServer& nginx) {
        QFile log(nginx.accessLogPath());
        if (!log.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
};

TEST_F(HttpsTest, RequestBytesInsideTlsAreThoseOfPlainHttp) {
    // The proxy login never goes into a TLS connection, where only the server reads it.
    Settings.UseProxy = true;
    Settings.LoginProxy = true;
    Settings.UserID = QStringLiteral("anna");
    const QByteArray data = patternBytes(1000, 60);
    ScriptedHttpServer server;
    ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
    server.setHandler(HttpFileResponder(data));
    frmDownload& dl = start(server.url(QStringLiteral("dir/a b.zip")), target());
    EXPECT_TRUE(dl.IsHTTP && dl.IsHTTPS && !dl.IsFTP);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[0].raw,
              QByteArray("GET /dir/a%20b.zip HTTP/1.1\r\n"
                         "Host: 127.0.0.1\r\n"
                         "Range: bytes=-\r\n"
                         "User-Agent: Zu\r\n"
                         "Referer: 127.0.0.1\r\n"
                         "Accept: *.*, */*\r\n"
                         "\r\n"));
    EXPECT_EQ(server.requests()[1].raw,
              QByteArray("GET /dir/a%20b.zip HTTP/1.1\r\n"
                         "Host: 127.0.0.1\r\n"
                         "Range: bytes=0-999\r\n"
                         "User-Agent: Ostel Segment 0\r\n"
                         "Accept:  */*\r\n"
                         "\r\n"));
}

TEST_F(HttpsTest, RangeNotSatisfiableProbesAgainOverTls) {
    const QByteArray data = patternBytes(5000, 61);
    ScriptedHttpServer server;
    ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
    server.setHandler(HttpFileResponder(data, {.rejectBadRanges = true}));
    start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[0].header("Range"), QByteArray("bytes=-"));
    EXPECT_EQ(server.requests()[1].header("Range"), QByteArray("bytes=0-"));
    EXPECT_EQ(server.requests()[2].header("Range"), QByteArray("bytes=0-4999"));
}

TEST_F(HttpsTest, OneConnectionSixSegmentsAndResumeFromNginx) {
    const QByteArray small = publish(QStringLiteral("small.bin"), 1500000, 62);
    const QByteArray large = publish(QStringLiteral("large.bin"), 24 * 1024 * 1024 + 77, 63);
    NginxServer nginx(tlsServer(docs_.path(), certificates_->server()));
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();

    start(nginx.url(QStringLiteral("small.bin")), target(QStringLiteral("small.bin")));
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(QStringLiteral("small.bin")), small);

    Settings.Segment = 1;
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(nginx.url(QStringLiteral("large.bin")), target(QStringLiteral("large.bin")));
    ASSERT_TRUE(waitForOutcome(120000));
    expectFile(target(QStringLiteral("large.bin")), large);
    EXPECT_EQ(dl.SegCount, 6);

    // A file that holds the first 700 000 bytes goes on from there, "Rollback" and
    // one byte earlier (from byte 695 903).
    ASSERT_TRUE(writeWholeFile(target(QStringLiteral("small.bin")), small.left(700000)));
    start(nginx.url(QStringLiteral("small.bin")), target(QStringLiteral("small.bin")), -1);
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(QStringLiteral("small.bin")), small);
    const QString last = accessLog(nginx).value(accessLog(nginx).size() - 1);
    EXPECT_TRUE(last.contains(QStringLiteral("\" 206 %1 ").arg(small.size() - (700000 - 4096 - 1))))
        << last.toStdString();
}

TEST_F(HttpsTest, PausedSegmentsResumeOverTls) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 1000;
    Settings.SegmentSize2 = 10 * 1024 * 1024;
    const QByteArray data = publish(QStringLiteral("f.bin"), 3 * 1024 * 1024, 64);
    NginxServer nginx(tlsServer(docs_.path(), certificates_->server(), 2 * 1024 * 1024));
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(nginx.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegCount == 2 && dl.ReceivedBytes() > 300000; }, 30000));
    dl.Pause_Resume();
    waitFor([] { return false; }, 100);
    dl.Pause_Resume();
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(), data);
}

// A download stopped halfway goes on from its journal over TLS as over plain
// HTTP: from the rollback point, with the server's tag in "If-Range:"; a server
// whose tag changed meanwhile is refused before a byte is written.
TEST_F(HttpsTest, JournalResumeAndIfRangeOverTls) {
    const QByteArray data = patternBytes(20000, 69);
    const struct {
        const char* name;
        QByteArray serverTag;
        bool completes;
    } rows[] = {{"same file", "\"v1\"", true}, {"changed file", "\"v2\"", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedHttpServer server;
        ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
        server.setHandler(HttpFileResponder(data, {.extraHeaders = {"ETag: " + row.serverTag}}));
        ProgressJournal journal;
        journal.url = server.url(QStringLiteral("f"));
        journal.size = data.size();
        journal.etag = "\"v1\"";
        journal.segments = {{0, data.size(), 10000}};
        ASSERT_TRUE(writeWholeFile(target(), data.left(10000)));
        ASSERT_TRUE(journal.write(ProgressJournal::PathFor(target())));
        frmDownload& dl = start(journal.url, target(), -1);
        ASSERT_TRUE(waitForOutcome(30000));
        if (!row.completes) {
            EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
            EXPECT_EQ(dl.lblStatus, QStringLiteral("The file on the server has changed since this download began."));
            ASSERT_EQ(server.requests().size(), 1);  // the probe alone
            continue;
        }
        expectFile(target(), data);
        ASSERT_EQ(server.requests().size(), 2);
        EXPECT_EQ(server.requests()[1].header("Range"), QByteArray("bytes=5904-19999"));
        EXPECT_EQ(server.requests()[1].header("If-Range"), QByteArray("\"v1\""));
    }
}

// A refused certificate ends the download at once with its reason; not one
// request reaches the server, and nothing is saved.
TEST_F(HttpsTest, RefusedCertificatesEndWithTheirReason) {
    publish(QStringLiteral("f.bin"), 1000, 65);
    const struct {
        const char* name;
        TestCertificates::Pair pair;
        bool trustTheAuthority;
        const char* status;
    } cases[] = {
        {"wrong host", certificates_->wrongHost(), true,
         "TLS certificate of 127.0.0.1 refused: wrong host."},
        {"unknown issuer", certificates_->unknownIssuer(), true,
         "TLS certificate of 127.0.0.1 refused: unknown issuer."},
        {"expired", certificates_->expired(), true, "TLS certificate of 127.0.0.1 refused: expired."},
        {"authority not named", certificates_->server(), false,
         "TLS certificate of 127.0.0.1 refused: unknown issuer."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings.CAFile = c.trustTheAuthority ? certificates_->authorityFile() : QString();
        NginxServer nginx(tlsServer(docs_.path(), c.pair));
        ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
        frmDownload& dl = start(nginx.url(QStringLiteral("f.bin")), target());
        ASSERT_TRUE(waitForOutcome(30000));
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
        EXPECT_EQ(dl.lblStatus, QLatin1String(c.status));
        EXPECT_EQ(dl.ListItem->SubItem(5), QLatin1String(c.status));
        EXPECT_EQ(dl.RetryCount, 0);
        EXPECT_FALSE(dl.tmrTimeOut.isActive());
        EXPECT_FALSE(QFile::exists(target()));
        EXPECT_TRUE(accessLog(nginx).isEmpty()) << accessLog(nginx).join(u'\n').toStdString();
    }
}

// A server that speaks no TLS on a secure address (it answers the handshake with
// "400 Bad Request"): the handshake fails, which no retry mends.
TEST_F(HttpsTest, AServerWithoutTlsEndsTheDownload) {
    publish(QStringLiteral("f.bin"), 1000, 67);
    NginxServer plain({.documentRoot = docs_.path()});
    ASSERT_TRUE(plain.start()) << plain.errorString().toStdString();
    QString address = plain.url(QStringLiteral("f.bin"));
    address.replace(QStringLiteral("http://"), QStringLiteral("https://"));
    frmDownload& dl = start(address, target());
    ASSERT_TRUE(waitForOutcome(30000));
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
    EXPECT_TRUE(dl.lblStatus.startsWith(QStringLiteral("TLS handshake with 127.0.0.1 failed: ")))
        << dl.lblStatus.toStdString();
    EXPECT_EQ(dl.RetryCount, 0);
    EXPECT_FALSE(QFile::exists(target()));
}

// A TLS connection that ends before the body has all its bytes is no complete
// file: the download asks again for what is missing.
TEST_F(HttpsTest, ACutConnectionIsNoCompleteFile) {
    const QByteArray data = patternBytes(300000, 68);
    ScriptedHttpServer server;
    ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
    server.setHandler(HttpFileResponder(
        data, {.closeEarlyWhen =
                   [](const ScriptedHttpServer::Request& r) {
                       return r.header("User-Agent") == "Ostel Segment 0";
                   },
               .closeAfterBodyBytes = 123456}));
    frmDownload& dl = start(server.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Completed);
    expectFile(target(), data);
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[2].header("Range"), QByteArray("bytes=123456-299999"));
}

// Where the size is unknown the body runs until the connection ends, and over TLS
// only the server's close alert tells that end from a cut connection: without
// it the download fails instead of keeping a file that may be short. A known
// size needs no alert: a connection cut without one is asked again for the rest.
TEST_F(HttpsTest, TheCloseAlertEndsABodyOfUnknownSize) {
    const QByteArray data = patternBytes(70000, 69);
    for (const bool alert : {true, false}) {
        SCOPED_TRACE(alert ? "with the close alert" : "without the close alert");
        ScriptedHttpServer server;
        ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
        server.setHandler([&](const ScriptedHttpServer::Request&) {
            Reply reply = Reply::make("HTTP/1.0 200 OK", {"Content-Type: application/octet-stream"}, data);
            reply.closeWithoutTlsAlert = !alert;
            return reply;
        });
        QFile::remove(target());
        frmDownload& dl = start(server.url(QStringLiteral("gen")), target());
        ASSERT_TRUE(waitForOutcome(30000));
        if (alert) {
            expectFile(target(), data);
            continue;
        }
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
        EXPECT_EQ(dl.lblStatus, QStringLiteral("TLS connection with 127.0.0.1 ended without the server's close "
                                               "alert: the file may be incomplete."));
        EXPECT_EQ(dl.ListItem->SubItem(5), dl.lblStatus);
    }

    ScriptedHttpServer server;
    ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
    HttpFileResponder files(data, {.closeEarlyWhen =
                                       [](const ScriptedHttpServer::Request& r) {
                                           return r.header("User-Agent") == "Ostel Segment 0";
                                       },
                                   .closeAfterBodyBytes = 30000});
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        Reply reply = files(request);
        reply.closeWithoutTlsAlert = true;
        return reply;
    });
    frmDownload& dl = start(server.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Completed);
    expectFile(target(), data);
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[2].header("Range"), QByteArray("bytes=30000-69999"));
}

TEST_F(HttpsTest, AnUnreadableCertificateFileEndsTheDownload) {
    const QString notPem = dir_.filePath(QStringLiteral("not-a-certificate.pem"));
    ASSERT_TRUE(writeWholeFile(notPem, "hello"));
    const struct {
        QString file;
        QString status;
    } cases[] = {
        {dir_.filePath(QStringLiteral("missing.pem")),
         QStringLiteral("Cannot read the certificate file %1: No such file or directory")
             .arg(dir_.filePath(QStringLiteral("missing.pem")))},
        {notPem, QStringLiteral("The certificate file %1 holds no PEM certificate.").arg(notPem)},
    };
    ScriptedHttpServer server;
    ASSERT_TRUE(server.useTls(certificates_->server().certificate, certificates_->server().key));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        Settings.CAFile = c.file;
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
        EXPECT_EQ(dl.lblStatus, c.status);
    }
    waitFor([] { return false; }, 100);
    EXPECT_EQ(server.connectionCount(), 0);
}

// http:// to https:// is always followed; https:// to http:// only when
// "AllowDowngrade" says so, and otherwise the plain server is never asked.
TEST_F(HttpsTest, RedirectsBothWays) {
    const QByteArray data = publish(QStringLiteral("f.bin"), 40000, 66);
    NginxServer secure(tlsServer(docs_.path(), certificates_->server()));
    ASSERT_TRUE(secure.start()) << secure.errorString().toStdString();
    NginxServer plain({.documentRoot = docs_.path()});
    ASSERT_TRUE(plain.start()) << plain.errorString().toStdString();

    ScriptedHttpServer up;
    up.setHandler([&](const ScriptedHttpServer::Request&) {
        return Reply::withLength("HTTP/1.1 301 Moved Permanently", {},
                                 {"Location: " + secure.url(QStringLiteral("f.bin")).toLatin1()});
    });
    frmDownload& upgraded = start(up.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    expectFile(target(), data);
    EXPECT_TRUE(upgraded.IsHTTPS);
    EXPECT_EQ(upgraded.Port, secure.port());

    ScriptedHttpServer down;
    ASSERT_TRUE(down.useTls(certificates_->server().certificate, certificates_->server().key));
    down.setHandler([&](const ScriptedHttpServer::Request&) {
        return Reply::withLength("HTTP/1.1 302 Found", {},
                                 {"Location: " + plain.url(QStringLiteral("f.bin")).toLatin1()});
    });
    QFile::remove(target());
    frmDownload& refused = start(down.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    EXPECT_EQ(refused.outcome(), frmDownload::Outcome::Failed);
    EXPECT_EQ(refused.lblStatus,
              QStringLiteral("The server redirected from a secure (https) address to an insecure one "
                             "(%1); the setting \"AllowDowngrade\" allows that.")
                  .arg(plain.url(QStringLiteral("f.bin"))));
    EXPECT_TRUE(accessLog(plain).isEmpty());
    EXPECT_FALSE(QFile::exists(target()));

    Settings.AllowDowngrade = true;
    frmDownload& allowed = start(down.url(QStringLiteral("f.bin")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    expectFile(target(), data);
    EXPECT_FALSE(allowed.IsHTTPS);
    EXPECT_TRUE(accessLog(plain).last().contains(QStringLiteral("Ostel Segment 0")));
}

}  // namespace
