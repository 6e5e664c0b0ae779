// Downloads of the selection and the manual receive against the scripted
// server: a folder merges into an existing local folder, a hostile name never
// leaves the chosen folder, an error ends the selection; and the texts the
// transfer events show.
#include "FakeKarvoWindow.h"
#include "ftpclient/ScriptedComponentFixture.h"
#include "ftpclient/transfers/DownloadSelection.h"
#include "ftpclient/transfers/ListDrag.h"
#include "ftpclient/transfers/ManualTransfer.h"
#include "ftpclient/transfers/TransferEvents.h"
#include "support/ScriptedDialogs.h"

#include <QMimeData>
#include <QUrl>

namespace {

class DownloadSelectionTest : public ScriptedComponentFixture {
protected:
    void SetUp() override {
        ScriptedComponentFixture::SetUp();
        ScriptedDialogs::current().clear();
        ASSERT_TRUE(QDir(local.path()).mkdir(QStringLiteral("here")));
        window.localFolder = localPath(QStringLiteral("here")) + u'/';
    }

    QString here(const QString& name) const { return localPath(QStringLiteral("here/") + name); }

    FakeKarvoWindow window{ftp};
    TransferEvents events{ftp, window};
};

TEST_F(DownloadSelectionTest, AFolderMergesIntoTheLocalFolderOfItsName) {
    server.addFile(QStringLiteral("docs/new.txt"), "new");
    server.addFile(QStringLiteral("docs/old.txt"), "remote copy");
    server.addFile(QStringLiteral("docs/deeper/d.txt"), "deep");
    server.addFile(QStringLiteral("single.bin"), "single");
    ASSERT_TRUE(QDir().mkpath(here(QStringLiteral("docs"))));
    ASSERT_TRUE(writeWholeFile(here(QStringLiteral("docs/old.txt")), "my local copy"));
    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("docs")),
                         FakeKarvoWindow::file(QStringLiteral("single.bin"))};
    auto& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Dialogs::Answer::Yes);  // subfolders too
    dialogs.answerMessage(Dialogs::Answer::No);   // keep old.txt
    connectOk();
    DownloadSelection(window).Download();

    ASSERT_EQ(dialogs.calls().size(), 2u);
    EXPECT_EQ(dialogs.calls()[0].text,
              QStringLiteral("Do you want to receive any subfolders that are contained in the 'docs' folder?"));
    EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("FTP Client[Confirm]"));
    EXPECT_EQ(dialogs.calls()[1].text, QStringLiteral("old.txt already exits. Do you want to replace it?"));
    EXPECT_EQ(readFile(here(QStringLiteral("docs/old.txt"))), "my local copy");
    EXPECT_EQ(readFile(here(QStringLiteral("docs/new.txt"))), "new");
    EXPECT_EQ(readFile(here(QStringLiteral("docs/deeper/d.txt"))), "deep");
    EXPECT_EQ(readFile(here(QStringLiteral("single.bin"))), "single");
    EXPECT_TRUE(window.log.contains(QStringLiteral("old.txt was skipped. Reason code: 0x1")));
    EXPECT_EQ(window.status.last(), QStringLiteral("File download(s) complete."));
    EXPECT_EQ(window.localRefreshes, 1);
    EXPECT_FALSE(window.abortEnabled);
    EXPECT_EQ(window.busyDepth, 0);
}

TEST_F(DownloadSelectionTest, HostileNamesNeverLeaveTheChosenFolder) {
    server.addFile(QStringLiteral("docs/fine.txt"), "fine");
    server.setListing(QStringLiteral("/docs"),
                      "-rw-r--r-- 1 ftp ftp 4 Jan 01 00:00 fine.txt\r\n"
                      "-rw-r--r-- 1 ftp ftp 4 Jan 01 00:00 ../evil.txt\r\n"
                      "drwxr-xr-x 1 ftp ftp 0 Jan 01 00:00 ..\r\n");
    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("docs")),
                         FakeKarvoWindow::file(QStringLiteral("../outside.txt"))};
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::No);
    connectOk();
    DownloadSelection(window).Download();
    EXPECT_EQ(readFile(here(QStringLiteral("docs/fine.txt"))), "fine");
    EXPECT_EQ(localEntries(), QStringList{QStringLiteral("here")});
    EXPECT_FALSE(QFileInfo::exists(here(QStringLiteral("evil.txt"))));
    EXPECT_TRUE(window.log.contains(QStringLiteral("../outside.txt was skipped. Reason code: 0x2")));
    EXPECT_FALSE(sent().contains("RETR ../outside.txt"));
}

TEST_F(DownloadSelectionTest, AFileInTheWayOfAFolderEndsTheSelection) {
    server.addFile(QStringLiteral("docs/a.txt"), "a");
    server.addFile(QStringLiteral("later.bin"), "later");
    ASSERT_TRUE(writeWholeFile(here(QStringLiteral("docs")), "a file named like the folder"));
    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("docs")),
                         FakeKarvoWindow::file(QStringLiteral("later.bin"))};
    connectOk();
    DownloadSelection(window).Download();
    EXPECT_EQ(window.status.last(), QStringLiteral("Error downloading file(s)."));
    ASSERT_FALSE(window.log.isEmpty());
    EXPECT_TRUE(window.log.last().startsWith(QStringLiteral("Error while downloading file(s). Description: ")));
    EXPECT_FALSE(QFileInfo::exists(here(QStringLiteral("later.bin"))));
    EXPECT_EQ(readFile(here(QStringLiteral("docs"))), "a file named like the folder");
}

TEST_F(DownloadSelectionTest, ManualReceiveWritesUnderTheLastNameOnly) {
    server.addFile(QStringLiteral("sub/x.txt"), "x");
    ScriptedDialogs::current().answerText(QStringLiteral("sub/x.txt"));
    connectOk();
    ManualTransfer(window).Receive();
    const auto& call = ScriptedDialogs::current().calls().at(0);
    EXPECT_EQ(call.text, QStringLiteral("Enter File Name to Receive (Make sure you are in the Remote directory where the file "));
    EXPECT_EQ(call.title, QStringLiteral("Remote Server Custom Command"));
    EXPECT_EQ(readFile(here(QStringLiteral("x.txt"))), "x");
    EXPECT_EQ(window.localRefreshes, 1);
}

TEST_F(DownloadSelectionTest, ManualReceiveWithoutANameSaysSo) {
    ScriptedDialogs::current().answerText(QString());
    ScriptedDialogs::current().allowOkMessages();
    connectOk();
    ManualTransfer(window).Receive();
    ASSERT_EQ(ScriptedDialogs::current().calls().size(), 2u);
    EXPECT_EQ(ScriptedDialogs::current().calls()[1].text, QStringLiteral("No command entered, quiting"));
    EXPECT_EQ(ScriptedDialogs::current().calls()[1].icon, Dialogs::Icon::Information);
    EXPECT_FALSE(sent().contains("RETR "));
}

TEST_F(DownloadSelectionTest, AnAbortEndsTheSelectionAndKeepsTheOldFile) {
    server.addFile(QStringLiteral("big.bin"), patternBytes(500000, 1));
    server.addFile(QStringLiteral("next.bin"), "next");
    ScriptedFtpTransfer stall;
    stall.stallAfter = 100000;
    server.setTransfer(stall);
    ASSERT_TRUE(writeWholeFile(here(QStringLiteral("big.bin")), "the old copy"));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // replace it
    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("big.bin")),
                         FakeKarvoWindow::file(QStringLiteral("next.bin"))};
    // Abort as the button does, once the transfer is under way (the server
    // has stopped sending, so it cannot end by itself).
    QObject::connect(&ftp, &FtpComponent::progress, [this] { ftp.setAbort(true); });
    connectOk();
    DownloadSelection(window).Download();
    EXPECT_EQ(window.log.last(), QStringLiteral("Download successfully aborted."));
    EXPECT_EQ(window.status.last(), QStringLiteral("Download aborted."));
    EXPECT_EQ(readFile(here(QStringLiteral("big.bin"))), "the old copy");
    EXPECT_FALSE(QFileInfo::exists(here(QStringLiteral("next.bin"))));
    EXPECT_EQ(QDir(window.localFolder).entryList(QDir::Files), QStringList{QStringLiteral("big.bin")});
}

TEST_F(DownloadSelectionTest, ManualSendSendsTheTypedNameFromTheLocalFolder) {
    ASSERT_TRUE(writeWholeFile(here(QStringLiteral("up.txt")), "up"));
    ScriptedDialogs::current().answerText(QStringLiteral("up.txt"));
    connectOk();
    ManualTransfer(window).Send();
    EXPECT_EQ(ScriptedDialogs::current().calls().at(0).text,
              QStringLiteral("Enter File Name to Send (Make sure you are in the local directory where the file resides, "));
    EXPECT_EQ(server.files().value(QStringLiteral("/up.txt")), "up");
    EXPECT_EQ(window.remoteRefreshes, 1);
    ScriptedDialogs::current().answerText(QStringLiteral("missing.txt"));
    ManualTransfer(window).Send();
    ASSERT_EQ(window.log.size(), 1);
    EXPECT_TRUE(window.log[0].startsWith(QStringLiteral("Error: "))) << window.log[0].toStdString();
}

TEST(TransferEventsTest, Texts) {
    struct Row {
        int state;
        qint64 done;
        qint64 size;
        const char* text;
    };
    const Row rows[] = {
        {FtpComponent::SendingFile, 2047, 10240, "Uploading file 'a.bin' (1 of 10K)"},
        {FtpComponent::SendingFiles, 0, 0, "Uploading file 'a.bin' (0 of 0K)"},
        {FtpComponent::ReceivingFile, 1024, 1023, "Downloading file 'a.bin' (1 of 0K)"},
        {FtpComponent::ReceivingFiles, 5LL << 40, 5LL << 40, "Downloading file 'a.bin' (5368709120 of 5368709120K)"},
        {FtpComponent::Listing, 1, 2, "Processing file 'a.bin' (0 of 0K)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TransferEvents::progressText(row.state, QStringLiteral("a.bin"), row.done, row.size),
                  QString::fromLatin1(row.text));
    EXPECT_EQ(TransferEvents::skipText(QStringLiteral("a"), QStringLiteral("b"), 0x1E),
              QStringLiteral("a was skipped. Reason code: 0x1E"));
    EXPECT_EQ(TransferEvents::skipText(QString(), QStringLiteral("b"), 2),
              QStringLiteral("b was skipped. Reason code: 0x2"));
}

TEST(ListDragTest, DropsAreTakenOnlyFromTheOtherListOrAsFiles) {
    using ListDrag::Action;
    using ListDrag::List;
    std::unique_ptr<QMimeData> fromLocal(ListDrag::dragData(List::Local, {QStringLiteral("a")}));
    std::unique_ptr<QMimeData> fromRemote(ListDrag::dragData(List::Remote, {QStringLiteral("a")}));
    QMimeData text;
    text.setText(QStringLiteral("/etc/passwd"));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.bin")), QUrl::fromLocalFile(QStringLiteral("/tmp/b"))});
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a"))});
    struct Row {
        const char* name;
        const QMimeData* data;
        List target;
        Action action;
    };
    const Row rows[] = {
        {"local list onto remote", fromLocal.get(), List::Remote, Action::UploadSelection},
        {"remote list onto local", fromRemote.get(), List::Local, Action::DownloadSelection},
        {"local list onto itself", fromLocal.get(), List::Local, Action::None},
        {"remote list onto itself", fromRemote.get(), List::Remote, Action::None},
        {"outside text onto remote", &text, List::Remote, Action::None},
        {"outside files onto remote", &files, List::Remote, Action::UploadFiles},
        {"outside files onto local", &files, List::Local, Action::None},
        {"web address onto remote", &web, List::Remote, Action::None},
    };
    for (const Row& row : rows) EXPECT_EQ(ListDrag::dropAction(row.data, row.target), row.action) << row.name;
    EXPECT_EQ(ListDrag::droppedFiles(&files), (QStringList{QStringLiteral("/tmp/a.bin"), QStringLiteral("/tmp/b")}));
}

}  // namespace
