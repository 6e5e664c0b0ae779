// karvoie-host as a browser runs it: length-prefixed JSON on standard input and
// output, addresses handed to a receiver over the hand-over socket.
#include "browserhelper/NativeMessageReader.h"
#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"
#include "common/HandOverSender.h"
#include "common/QStringPrinter.h"
#include "intake/frmZuLocater.h"
#include "support/TempRoot.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QLocalServer>
#include <QProcess>
#include <cstring>

namespace {

QByteArray frame(const QByteArray& json) {
    return NativeMessageReader::frame(json);
}

QByteArray navigate(int id, const QString& url, const char* method = "GET") {
    return frame(
        QStringLiteral(R"({"type":"navigate","id":%1,"window":1,"url":"%2","method":"%3"})")
            .arg(id)
            .arg(url, QLatin1String(method))
            .toUtf8());
}

class KarvoIEHostProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE,
                                   BrowserHelperIds::kHelperObjectsKey + BrowserHelperIds::kClassId,
                                   QString(), QString());
        host.start(QStringLiteral(KARVOIE_HOST_BINARY), {});
        ASSERT_TRUE(host.waitForStarted(10000));
    }
    void TearDown() override {
        host.kill();
        host.waitForFinished(10000);
    }
    void write(const QByteArray& bytes) {
        host.write(bytes);
        host.waitForBytesWritten(10000);
    }
    // The answers that arrived once `count` are whole (or the time is up).
    QList<QByteArray> answers(int count, int timeoutMs = 30000) {
        QList<QByteArray> whole;
        waitFor(
            [&] {
                output += host.readAllStandardOutput();
                quint32 length = 0;
                while (output.size() >= 4 && (std::memcpy(&length, output.constData(), 4),
                                              output.size() >= 4 + qsizetype(length))) {
                    whole << output.mid(4, length);
                    output.remove(0, 4 + length);
                }
                return whole.size() >= count;
            },
            timeoutMs);
        return whole;
    }
    // The exit code once the host ended; -1 for a crash or no end in time.
    int exitCode() {
        waitFor([&] { return host.state() == QProcess::NotRunning; }, 30000);
        output += host.readAllStandardOutput();
        return host.state() == QProcess::NotRunning && host.exitStatus() == QProcess::NormalExit
                   ? host.exitCode()
                   : -1;
    }

    TempRoot root;
    QProcess host;
    QByteArray output;
};

TEST_F(KarvoIEHostProcessTest, AnswersEveryMessageInOrderAndHandsOverOnlyPlainGets) {
    QStringList received;
    frmZuLocater receiver([&](const QString& address) { received << address; });
    ASSERT_TRUE(receiver.Load());
    const QString address = QStringLiteral("http://example.org/Grüße/файл.zip");
    // Then broken JSON, a navigation without its window, a form sent, a window closed.
    write(navigate(1, address) + frame("{\"type\":") +
          frame(R"({"type":"navigate","id":3,"url":"http://example.org/b.zip"})") +
          navigate(4, QStringLiteral("http://example.org/form.zip"), "POST") +
          frame(R"({"type":"detach","window":1,"id":5})"));
    EXPECT_EQ(answers(5),
              (QList<QByteArray>{R"({"cancel":true,"id":1})", R"({"cancel":false})",
                                 R"({"cancel":false,"id":3})", R"({"cancel":false,"id":4})",
                                 R"({"cancel":false,"id":5})"}));
    EXPECT_EQ(received, QStringList{address});
    host.closeWriteChannel();
    EXPECT_EQ(exitCode(), 0);
    EXPECT_TRUE(output.isEmpty());
}

TEST_F(KarvoIEHostProcessTest, AMessageSplitAcrossWritesIsAnsweredOnceAndKeptWithoutLumet) {
    const QByteArray bytes = navigate(7, QStringLiteral("http://example.org/a.zip"));
    // Inside the length, at its end, inside the text, the rest.
    for (const auto& [from, length] : {std::pair{0, 2}, {2, 2}, {4, 26}, {30, -1}})
        write(bytes.mid(from, length));
    EXPECT_EQ(answers(1), QList<QByteArray>{R"({"cancel":false,"id":7})"});
}

TEST_F(KarvoIEHostProcessTest, AnOversizedMessageEndsTheHostAfterTheAnswersBeforeIt) {
    const quint32 oversized = NativeMessageReader::kMaxMessageBytes + 1;
    write(frame(R"({"type":"attach","window":1,"id":1})") +
          QByteArray(reinterpret_cast<const char*>(&oversized), 4) + QByteArray(4096, '{') +
          frame(R"({"type":"attach","window":2,"id":2})"));
    EXPECT_EQ(answers(1), QList<QByteArray>{R"({"cancel":false,"id":1})"});
    EXPECT_EQ(exitCode(), 1);
    EXPECT_TRUE(output.isEmpty());
}

TEST_F(KarvoIEHostProcessTest, ALumetThatNeverAnswersIsWaitedForOnlySoLong) {
    // Takes the address and never acknowledges it, as a hung Lumet would.
    QLocalServer silent;
    QLocalServer::removeServer(HandOverSender::socketPath());
    ASSERT_TRUE(silent.listen(HandOverSender::socketPath()));
    write(navigate(1, QStringLiteral("http://example.org/a.zip")));
    EXPECT_EQ(answers(1, 30000), QList<QByteArray>{R"({"cancel":false,"id":1})"});
}

}  // namespace
