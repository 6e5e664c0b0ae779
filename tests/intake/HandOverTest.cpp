// The hand-over channel end to end: lumet-send into a running receiver that
// feeds the add-address flow, the reserved "MENU" texts, Lumet not running,
// and senders that misbehave.
#include "IntakeFixture.h"
#include "common/AppPaths.h"
#include "common/HandOverSender.h"
#include "intake/faces/AddressIntake.h"
#include "intake/HandOverConnection.h"
#include "intake/faces/frmFileFace.h"
#include "intake/frmZuLocater.h"
#include "support/TempRoot.h"
#include "support/WaitFor.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <cstring>

namespace {

class HandOverTest : public IntakeFixture {
protected:
    // A receiver that records each address and runs the OK step on it.
    std::unique_ptr<frmZuLocater> loadReceiver() {
        auto receiver = std::make_unique<frmZuLocater>([this](const QString& address) {
            received << address;
            frmURL(queue).DownLoadURL(address);
        });
        EXPECT_TRUE(receiver->Load());
        return receiver;
    }

    // Runs lumet-send while this thread's event loop keeps the receiver going;
    // the exit code and the merged output.
    static std::pair<int, QString> send(const QString& address) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(LUMET_SEND_BINARY), {address});
        if (!process.waitForStarted(10000) ||
            !waitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) {
            process.kill();
            process.waitForFinished();
            return {-1, {}};
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAll()).trimmed()};
    }

    static std::unique_ptr<QLocalSocket> connectClient() {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(HandOverSender::socketPath());
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }

    const std::pair<int, QString> taken{0, QStringLiteral("Lumet took the address.")};
    const std::pair<int, QString> notRunning{1, QStringLiteral("Lumet is not running.")};
    TempRoot root_;  // a runtime folder of this test's own
    QStringList received;
};

TEST_F(HandOverTest, LumetSendEndsInTheAddFlowEachTime) {
    const auto receiver = loadReceiver();
    const QString address = QStringLiteral("http://server/dir/ä b.zip");
    // Sent twice, handled twice.
    EXPECT_EQ(send(address), taken);
    EXPECT_EQ(send(address), taken);
    const auto later = RecordingQueue::later(address, inFolder(QStringLiteral("ä b.zip")));
    EXPECT_EQ(queue.calls, std::vector({later, later}));
    EXPECT_EQ(received, QStringList({address, address}));
    EXPECT_EQ(receiver->txtChager(), QString());

    // Refusals are the dialog's own; the sender still learns it was taken.
    ScriptedDialogs::current().allowOkMessages();
    EXPECT_EQ(send(QStringLiteral("http://server/a.zip?x=1&y=%20")), taken);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Inavlid URL: Invalid File URL...")});
    EXPECT_EQ(received.last(), QStringLiteral("http://server/a.zip?x=1&y=%20"));
}

TEST_F(HandOverTest, MenuAndEmptyTextsDoNothing) {
    const auto receiver = loadReceiver();
    for (const char* text : {"MENU", "MENUhttp://server/a.zip", ""})
        EXPECT_EQ(send(QLatin1String(text)), taken) << text;
    EXPECT_TRUE(received.isEmpty());
    EXPECT_TRUE(queue.calls.empty());

    // Only the four capitals are the command form.
    ScriptedDialogs::current().allowOkMessages();
    EXPECT_EQ(send(QStringLiteral("menuhttp://server/a.zip")), taken);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(": Invalid URL")});
}

TEST_F(HandOverTest, WithoutLumetTheSenderFailsAtOnce) {
    EXPECT_EQ(send(QStringLiteral("http://server/a.zip")), notRunning);

    // A socket file left behind by a Lumet that crashed ...
    const QByteArray path = QFile::encodeName(HandOverSender::socketPath());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    EXPECT_EQ(send(QStringLiteral("http://server/a.zip")), notRunning);

    // ... is replaced by the next Lumet, which removes its own when it ends.
    auto receiver = loadReceiver();
    struct stat info {};
    ASSERT_EQ(::stat(path.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);  // this user only
    EXPECT_EQ(send(QStringLiteral("http://server/a.zip")), taken);
    receiver.reset();
    EXPECT_FALSE(QFile::exists(HandOverSender::socketPath()));
    EXPECT_EQ(send(QStringLiteral("http://server/a.zip")), notRunning);
}

TEST_F(HandOverTest, SilentAndEndlessSendersAreDroppedWithoutBlocking) {
    const auto receiver = loadReceiver();
    receiver->setReadTimeout(300);
    const auto silent = connectClient();
    const auto endless = connectClient();
    endless->write(QByteArray(4 * 1024 * 1024, 'a'));

    // Others are served while those two hang on.
    EXPECT_EQ(send(QStringLiteral("http://server/a.zip")), taken);
    for (QLocalSocket* socket : {silent.get(), endless.get()}) {
        ASSERT_TRUE(waitFor([&] { return socket->state() == QLocalSocket::UnconnectedState; }));
        EXPECT_EQ(socket->bytesAvailable(), 0);  // no acknowledgement
    }
    EXPECT_EQ(received, QStringList{QStringLiteral("http://server/a.zip")});
}

// A message box of the add flow runs the event loop; an address arriving then
// waits for the first one to finish instead of running the flow inside it.
TEST_F(HandOverTest, AddressesAreHandledOneAtATime) {
    std::unique_ptr<QLocalSocket> second;
    int depth = 0;
    QStringList order;
    frmZuLocater* self = nullptr;
    const auto secondIsIn = [&] {
        for (const HandOverConnection* connection : self->findChildren<HandOverConnection*>())
            if (connection->address() == QLatin1String("second")) return true;
        return false;
    };
    frmZuLocater receiver([&](const QString& address) {
        order << address + QString::number(++depth);
        if (address == QLatin1String("first")) {
            second = connectClient();
            second->write(QByteArray("second\0", 7));
            // A message box stays open until the second address has come in whole.
            EXPECT_TRUE(waitFor(secondIsIn));
        }
        --depth;
    });
    self = &receiver;
    ASSERT_TRUE(receiver.Load());
    const auto first = connectClient();
    first->write(QByteArray("first\0", 6));
    ASSERT_TRUE(
        waitFor([&] { return second && second->bytesAvailable() && first->bytesAvailable(); }));
    EXPECT_EQ(order, QStringList({QStringLiteral("first1"), QStringLiteral("second1")}));
}

// The program ends while an address's dialog is open: the receiver unloads under
// the handler, which goes on running the event loop. The sender is dropped
// unanswered, and nothing that went is used afterwards.
TEST_F(HandOverTest, UnloadingWhileAnAddressIsHandledDropsItsSender) {
    int handled = 0;
    std::unique_ptr<frmZuLocater> receiver;
    receiver = std::make_unique<frmZuLocater>([&](const QString&) {
        ++handled;
        QList<QPointer<HandOverConnection>> connections;
        for (HandOverConnection* connection : receiver->findChildren<HandOverConnection*>())
            connections << connection;
        receiver->Unload();
        // Aborted now and deleted from the event loop: the socket's own code may
        // still be on the stack.
        for (const QPointer<HandOverConnection>& connection : connections)
            EXPECT_TRUE(connection);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        waitFor([] { return false; }, 100);  // the dialog is still open
    });
    ASSERT_TRUE(receiver->Load());
    const auto client = connectClient();
    client->write(QByteArray("http://server/a.zip\0", 20));
    ASSERT_TRUE(waitFor([&] { return client->state() == QLocalSocket::UnconnectedState; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(client->bytesAvailable(), 0);
    EXPECT_FALSE(receiver->isLoaded());
}

TEST_F(HandOverTest, TheFirstAddressOpensTheSavePromptOwnedByTheMainWindow) {
    QWidget mainWindow;
    AddressIntake intake(queue, &mainWindow);
    frmZuLocater receiver([&](const QString& address) { intake.DownLoadURL(address); });
    ASSERT_TRUE(receiver.Load());
    FirstAddressDone = false;
    const QString target = inFolder(QStringLiteral("chosen.zip"));
    ScriptedDialogs::current().answerText(target);

    EXPECT_EQ(send(QStringLiteral("http://server/a.zip")), taken);
    const auto prompts = mainWindow.findChildren<frmFileFace*>();
    ASSERT_EQ(prompts.size(), 1);
    EXPECT_TRUE(prompts[0]->isVisible());
    prompts[0]->cmdBeginDown->click();
    EXPECT_EQ(queue.calls,
              std::vector{RecordingQueue::start(QStringLiteral("http://server/a.zip"), target)});
}

}  // namespace
