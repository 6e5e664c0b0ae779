// karvoie-host as a browser runs it: length-prefixed JSON on its standard input and
// output, addresses handed to a running receiver over the hand-over socket.
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
#include <QLocalSocket>
#include <QProcess>
#include <cstring>
#include <optional>

namespace {

QByteArray frame(const QByteArray& json) {
    return NativeMessageReader::frame(json);
}

// The host started with this test's installation folder; its answers read back
// frame by frame.
class HostProcess {
public:
    HostProcess() {
        process_.start(QStringLiteral(KARVOIE_HOST_BINARY), {});
        EXPECT_TRUE(process_.waitForStarted(10000));
    }
    ~HostProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }

    void write(const QByteArray& bytes) {
        process_.write(bytes);
        process_.waitForBytesWritten(10000);
    }
    void closeInput() { process_.closeWriteChannel(); }

    // The next answer; nothing when none comes within the time.
    std::optional<QByteArray> answer(int timeoutMs = 30000) {
        const auto whole = [this] {
            output_ += process_.readAllStandardOutput();
            if (output_.size() < 4) return false;
            quint32 length = 0;
            std::memcpy(&length, output_.constData(), 4);
            return output_.size() >= 4 + qsizetype(length);
        };
        if (!waitFor(whole, timeoutMs)) return std::nullopt;
        quint32 length = 0;
        std::memcpy(&length, output_.constData(), 4);
        const QByteArray message = output_.mid(4, length);
        output_.remove(0, 4 + length);
        return message;
    }

    // Waits for the host to end; its exit code, -1 for a crash or no end in time.
    int exitCode(int timeoutMs = 30000) {
        if (!waitFor([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs))
            return -1;
        output_ += process_.readAllStandardOutput();
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    QByteArray unreadOutput() const { return output_; }
    QString errors() { return QString::fromUtf8(process_.readAllStandardError()); }

private:
    QProcess process_;
    QByteArray output_;
};

class KarvoIEHostProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CRegister().REGSaveSetting(
            HKEY_LOCAL_MACHINE, BrowserHelperIds::kHelperObjectsKey + BrowserHelperIds::kClassId,
            QString(), QString()));
    }
    std::unique_ptr<frmZuLocater> loadReceiver() {
        auto receiver =
            std::make_unique<frmZuLocater>([this](const QString& address) { received << address; });
        EXPECT_TRUE(receiver->Load());
        return receiver;
    }
    static QByteArray navigate(int id, const QString& url) {
        return QStringLiteral(R"({"type":"navigate","id":%1,"window":1,"url":"%2","kind":"main"})")
            .arg(id)
            .arg(url)
            .toUtf8();
    }

    TempRoot root;
    QStringList received;
};

TEST_F(KarvoIEHostProcessTest, AnswersEveryMessageInOrderAndHandsOverTheAddressWhole) {
    const auto receiver = loadReceiver();
    const QString address = QStringLiteral("http://example.org/Grüße/файл.zip");
    HostProcess host;
    host.write(frame(navigate(1, address)) + frame("{\"type\":") +
               frame(navigate(3, QStringLiteral("http://example.org/page.html"))) +
               frame(R"({"type":"detach","window":1,"id":4})"));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":true,"id":1})"));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":false})"));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":false,"id":3})"));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":false,"id":4})"));
    EXPECT_EQ(received, QStringList{address});
    host.closeInput();
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_TRUE(host.unreadOutput().isEmpty());
}

TEST_F(KarvoIEHostProcessTest, AMessageSplitAcrossWritesIsAnsweredOnce) {
    const auto receiver = loadReceiver();
    HostProcess host;
    const QByteArray bytes = frame(navigate(7, QStringLiteral("http://example.org/a.zip")));
    // Inside the length, at its end, inside the text, the rest.
    for (const auto& [from, length] : {std::pair{0, 2}, {2, 2}, {4, 26}, {30, -1}})
        host.write(bytes.mid(from, length));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":true,"id":7})"));
    host.closeInput();
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_TRUE(host.unreadOutput().isEmpty());
}

TEST_F(KarvoIEHostProcessTest, WithLumetNotRunningTheBrowserKeepsTheDownload) {
    HostProcess host;
    host.write(frame(navigate(1, QStringLiteral("http://example.org/a.zip"))));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":false,"id":1})"));
}

TEST_F(KarvoIEHostProcessTest, AnOversizedMessageEndsTheHostAfterTheAnswersBeforeIt) {
    HostProcess host;
    const quint32 oversized = NativeMessageReader::kMaxMessageBytes + 1;
    host.write(frame(R"({"type":"attach","window":1,"id":1})") +
               QByteArray(reinterpret_cast<const char*>(&oversized), 4) + QByteArray(4096, '{') +
               frame(R"({"type":"attach","window":2,"id":2})"));
    EXPECT_EQ(host.answer(), QByteArray(R"({"cancel":false,"id":1})"));
    EXPECT_EQ(host.exitCode(), 1);
    EXPECT_TRUE(host.unreadOutput().isEmpty());
    EXPECT_TRUE(host.errors().contains(QLatin1String("beyond the limit")));
}

TEST_F(KarvoIEHostProcessTest, ALumetThatNeverAnswersIsWaitedForOnlySoLong) {
    // Accepts the hand-over and never acknowledges it, as a hung Lumet would.
    QLocalServer silent;
    QLocalServer::removeServer(HandOverSender::socketPath());
    ASSERT_TRUE(silent.listen(HandOverSender::socketPath()));
    HostProcess host;
    host.write(frame(navigate(1, QStringLiteral("http://example.org/a.zip"))));
    EXPECT_EQ(host.answer(30000), QByteArray(R"({"cancel":false,"id":1})"));
}

}  // namespace
