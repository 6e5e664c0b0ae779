// The remote Delete against the scripted server: a whole tree goes and
// nothing beside it; a link is removed, never entered; a CWD that fails or
// lands elsewhere stops everything at once.
#include "ftpclient/ScriptedComponentFixture.h"
#include "ftpclient/fileops/RemoteOperations.h"
#include "ftpclient/transfers/FakeKarvoWindow.h"
#include "support/ScriptedDialogs.h"

namespace {

class RemoteDeleteTest : public ScriptedComponentFixture {
protected:
    void SetUp() override {
        ScriptedComponentFixture::SetUp();
        ScriptedDialogs::current().clear();
        server.addFile(QStringLiteral("keep.txt"), "beside the tree");
        server.addFile(QStringLiteral("elsewhere/precious.txt"), "a link points here");
        server.addFile(QStringLiteral("top/a.txt"), "a");
        server.addFile(QStringLiteral("top/link"), "");
        server.addFile(QStringLiteral("top/sub/b.txt"), "b");
        server.addFile(QStringLiteral("top/sub2/c.txt"), "c");
        // "." and ".." and a link to a folder outside, as a Unix server lists them.
        server.setListing(QStringLiteral("/top"),
                          "drwxr-xr-x 1 ftp ftp 0 Jan 01 00:00 .\r\n"
                          "drwxr-xr-x 1 ftp ftp 0 Jan 01 00:00 ..\r\n"
                          "-rw-r--r-- 1 ftp ftp 1 Jan 01 00:00 a.txt\r\n"
                          "lrwxrwxrwx 1 ftp ftp 10 Jan 01 00:00 link -> /elsewhere\r\n"
                          "drwxr-xr-x 1 ftp ftp 0 Jan 01 00:00 sub\r\n"
                          "drwxr-xr-x 1 ftp ftp 0 Jan 01 00:00 sub2\r\n");
        window.remoteRows << FakeKarvoWindow::folder(QStringLiteral("top"));
    }

    void deleteSelection() {
        ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
        connectOk();
        RemoteOperations(window).Delete();
    }

    // What was sent from the first line that starts with `from` on.
    QList<QByteArray> sentFrom(const QByteArray& from) const {
        const QList<QByteArray> lines = sent();
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(from)) return lines.mid(i);
        return {};
    }

    QString currentFolder() {
        QString folder;
        EXPECT_EQ(ftp.currentFolder(folder), std::nullopt);
        return folder;
    }

    FakeKarvoWindow window{ftp};
};

TEST_F(RemoteDeleteTest, RemovesTheTreeAndNothingBesideIt) {
    deleteSelection();
    QStringList remaining = server.files().keys();
    EXPECT_EQ(remaining, (QStringList{QStringLiteral("/elsewhere/precious.txt"), QStringLiteral("/keep.txt")}));
    const QList<QByteArray> lines = sent();
    EXPECT_FALSE(lines.contains("CWD link"));
    EXPECT_FALSE(lines.contains("CWD .."));
    EXPECT_FALSE(lines.contains("CWD ."));
    EXPECT_TRUE(lines.contains("DELE link"));
    EXPECT_TRUE(lines.contains("RMD top"));
    EXPECT_TRUE(window.log.isEmpty()) << window.log.join(u'\n').toStdString();
    // It ends in the folder that held the tree, and the list shows it.
    EXPECT_EQ(currentFolder(), QStringLiteral("/"));
    EXPECT_EQ(window.remoteRefreshes, 1);
    EXPECT_EQ(window.covers, (QList<bool>{true, false}));
    EXPECT_EQ(window.busyDepth, 0);
}

TEST_F(RemoteDeleteTest, AFailedChangeIntoAFolderStopsEverything) {
    server.onCommand("CWD", [](const QByteArray& argument) {
        return argument == "sub2" ? ScriptedFtpReply("550 Permission denied.\r\n")
                                  : ScriptedFtpReply::standard();
    });
    deleteSelection();
    // Nothing is sent that deletes after the failing CWD.
    for (const QByteArray& line : sentFrom("CWD sub2"))
        EXPECT_FALSE(line.startsWith("DELE") || line.startsWith("RMD")) << line.toStdString();
    EXPECT_TRUE(server.files().contains(QStringLiteral("/top/sub2/c.txt")));
    EXPECT_TRUE(server.files().contains(QStringLiteral("/keep.txt")));
    EXPECT_TRUE(server.files().contains(QStringLiteral("/elsewhere/precious.txt")));
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Error: 550 Permission denied.")});
    EXPECT_EQ(currentFolder(), QStringLiteral("/"));
    EXPECT_EQ(window.remoteRefreshes, 1);
}

TEST_F(RemoteDeleteTest, AServerThatStaysElsewhereIsNotTrusted) {
    // The server claims to have changed into "sub" but stays in /top.
    server.onCommand("CWD", [](const QByteArray& argument) {
        return argument == "sub" ? ScriptedFtpReply("250 Okay.\r\n") : ScriptedFtpReply::standard();
    });
    deleteSelection();
    for (const QByteArray& line : sentFrom("CWD sub"))
        EXPECT_FALSE(line.startsWith("DELE") || line.startsWith("RMD")) << line.toStdString();
    EXPECT_TRUE(server.files().contains(QStringLiteral("/top/sub/b.txt")));
    EXPECT_TRUE(server.files().contains(QStringLiteral("/top/sub2/c.txt")));
    ASSERT_EQ(window.log.size(), 1);
    EXPECT_TRUE(window.log[0].startsWith(QStringLiteral("Error: The server is in '/top' instead of '/top/sub'")))
        << window.log[0].toStdString();
}

TEST_F(RemoteDeleteTest, ALinkSelectedAtTheTopIsRemovedItself) {
    server.addFile(QStringLiteral("tolink"), "");
    window.remoteRows = {FakeKarvoWindow::link(QStringLiteral("tolink"))};
    deleteSelection();
    EXPECT_TRUE(sent().contains("DELE tolink"));
    EXPECT_FALSE(sent().contains("CWD tolink"));
    EXPECT_FALSE(server.files().contains(QStringLiteral("/tolink")));
    EXPECT_TRUE(server.files().contains(QStringLiteral("/top/a.txt")));
}

TEST_F(RemoteDeleteTest, NoDeletesNothing) {
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::No);
    connectOk();
    RemoteOperations(window).Delete();
    EXPECT_EQ(server.files().size(), 6);
    ASSERT_EQ(ScriptedDialogs::current().calls().size(), 1u);
    EXPECT_EQ(ScriptedDialogs::current().calls()[0].text,
              QStringLiteral("Are you sure you want to delete the selected remote items?"));
    EXPECT_EQ(ScriptedDialogs::current().calls()[0].title, QStringLiteral("FTP Client[Confirm]"));
    EXPECT_EQ(window.covers, (QList<bool>{true, false}));
}

}  // namespace
