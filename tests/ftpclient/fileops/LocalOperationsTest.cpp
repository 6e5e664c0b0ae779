// The local file operations on a temporary folder, with a trash of their own:
// Erase removes files and empty folders and offers the trash for the rest,
// the trash takes files and folders, emptying it asks first and follows no
// link, a rename never replaces what exists.
#include "common/EnvironmentGuard.h"
#include "common/QStringPrinter.h"
#include "ftpclient/fileops/LocalOperations.h"
#include "ftpclient/fileops/LocalTrash.h"
#include "ftpclient/transfers/FakeKarvoWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class LocalOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        env_.set("HOME", home_.path().toLocal8Bit());
        env_.set("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit());
        ASSERT_TRUE(QDir().mkpath(home_.filePath(QStringLiteral("data"))));
        ASSERT_TRUE(QDir().mkpath(home_.filePath(QStringLiteral("work"))));
        window.localFolder = home_.filePath(QStringLiteral("work")) + u'/';
        ScriptedDialogs::current().clear();
    }

    QString work(const QString& name) const { return home_.filePath(QStringLiteral("work/") + name); }
    QString trash() const { return home_.filePath(QStringLiteral("data/Trash")); }
    QStringList trashed() const {
        return QDir(trash() + QStringLiteral("/files")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static void answer(std::initializer_list<Dialogs::Answer> answers) {
        for (Dialogs::Answer a : answers) ScriptedDialogs::current().answerMessage(a);
    }
    static const std::vector<ScriptedDialogs::Call>& calls() { return ScriptedDialogs::current().calls(); }

    QTemporaryDir home_;
    EnvironmentGuard env_;
    FtpComponent ftp_;
    FakeKarvoWindow window{ftp_};
    LocalOperations operations{window};
};

TEST_F(LocalOperationsTest, EraseRemovesFilesAndEmptyFoldersAndAsksBeforeTrashingTheRest) {
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("a.txt")), "a"));
    ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("empty"))));
    ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("full"))));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("full/inside.txt")), "inside"));
    ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("kept"))));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("kept/inside.txt")), "inside"));
    window.localRows = {FakeKarvoWindow::file(QStringLiteral("a.txt")), FakeKarvoWindow::folder(QStringLiteral("empty")),
                        FakeKarvoWindow::folder(QStringLiteral("full")), FakeKarvoWindow::folder(QStringLiteral("kept"))};
    answer({Dialogs::Answer::Yes, Dialogs::Answer::Yes, Dialogs::Answer::No});
    operations.Erase();

    ASSERT_EQ(calls().size(), 3u);
    EXPECT_EQ(calls()[0].text, QStringLiteral("Are you sure you want to delete the selected local file(s)?"));
    EXPECT_EQ(calls()[0].title, QStringLiteral("FTP Client[Confirm]"));
    EXPECT_EQ(calls()[1].text, QStringLiteral("The folder '") + work(QStringLiteral("full")) +
                                   QStringLiteral("' is not empty. Do you want to send it to the recycle bin?"));
    EXPECT_FALSE(QFileInfo::exists(work(QStringLiteral("a.txt"))));
    EXPECT_FALSE(QFileInfo::exists(work(QStringLiteral("empty"))));
    EXPECT_FALSE(QFileInfo::exists(work(QStringLiteral("full"))));
    EXPECT_EQ(trashed(), QStringList{QStringLiteral("full")});
    EXPECT_EQ(readWholeFile(trash() + QStringLiteral("/files/full/inside.txt")), "inside");
    EXPECT_EQ(readWholeFile(work(QStringLiteral("kept/inside.txt"))), "inside");
    EXPECT_EQ(window.status.last(), QStringLiteral("Local file(s) not deleted: kept"));
    EXPECT_EQ(window.localRefreshes, 1);
}

TEST_F(LocalOperationsTest, EraseOfALinkRemovesTheLinkOnly) {
    ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("target"))));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("target/t.txt")), "t"));
    ASSERT_TRUE(QFile::link(work(QStringLiteral("target")), work(QStringLiteral("link"))));
    window.localRows = {FakeKarvoWindow::folder(QStringLiteral("link"))};
    answer({Dialogs::Answer::Yes});
    operations.Erase();
    EXPECT_FALSE(QFileInfo(work(QStringLiteral("link"))).isSymLink());
    EXPECT_EQ(readWholeFile(work(QStringLiteral("target/t.txt"))), "t");
    EXPECT_EQ(window.status.last(), QStringLiteral("Local file(s) deleted."));
}

TEST_F(LocalOperationsTest, NoToEraseDeletesNothing) {
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("a.txt")), "a"));
    window.localRows = {FakeKarvoWindow::file(QStringLiteral("a.txt"))};
    answer({Dialogs::Answer::No});
    operations.Erase();
    EXPECT_TRUE(QFileInfo::exists(work(QStringLiteral("a.txt"))));
    EXPECT_EQ(window.status.last(), QStringLiteral("Local file(s) not deleted."));
}

TEST_F(LocalOperationsTest, EveryFolderSelectedGoesToTheTrash) {
    for (const char* name : {"one", "two"}) {
        ASSERT_TRUE(QDir().mkpath(work(QString::fromLatin1(name))));
        ASSERT_TRUE(writeWholeFile(work(QString::fromLatin1(name) + QStringLiteral("/f")), name));
        window.localRows << FakeKarvoWindow::folder(QString::fromLatin1(name));
    }
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("three.txt")), "3"));
    window.localRows << FakeKarvoWindow::file(QStringLiteral("three.txt"));
    answer({Dialogs::Answer::Yes});
    operations.DeleteToRecycleBin();
    EXPECT_EQ(calls().at(0).text, QStringLiteral("do u want to send this files to recycle bin"));
    EXPECT_EQ(trashed(), (QStringList{QStringLiteral("one"), QStringLiteral("three.txt"), QStringLiteral("two")}));
    EXPECT_TRUE(QDir(work(QString())).isEmpty());
    EXPECT_TRUE(window.log.isEmpty()) << window.log.join(u'\n').toStdString();
}

TEST_F(LocalOperationsTest, EmptyingTheTrashAsksAndFollowsNoLink) {
    ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("precious"))));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("precious/p.txt")), "p"));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("junk.txt")), "junk"));
    ASSERT_FALSE(LocalTrash::moveToTrash(work(QStringLiteral("junk.txt"))));
    ASSERT_TRUE(QFile::link(work(QStringLiteral("precious")), trash() + QStringLiteral("/files/link")));
    operations.trashFolders = [this] { return QStringList{trash()}; };

    answer({Dialogs::Answer::No});
    operations.EmptyRecycleBin();
    EXPECT_EQ(calls().at(0).text, QStringLiteral("Empty the recycle bin? This cannot be undone."));
    EXPECT_EQ(trashed().size(), 2);

    answer({Dialogs::Answer::Yes});
    operations.EmptyRecycleBin();
    EXPECT_TRUE(trashed().isEmpty());
    EXPECT_TRUE(QDir(trash() + QStringLiteral("/info")).isEmpty());
    EXPECT_EQ(readWholeFile(work(QStringLiteral("precious/p.txt"))), "p");
    EXPECT_TRUE(window.log.isEmpty()) << window.log.join(u'\n').toStdString();
}

TEST_F(LocalOperationsTest, ATrashFolderThatIsALinkIsLeftAlone) {
    ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("precious"))));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("precious/p.txt")), "p"));
    const QString planted = home_.filePath(QStringLiteral(".Trash-planted"));
    ASSERT_TRUE(QFile::link(work(QStringLiteral("precious")), planted));
    EXPECT_EQ(LocalTrash::empty({planted}).size(), 1);
    EXPECT_EQ(readWholeFile(work(QStringLiteral("precious/p.txt"))), "p");
}

TEST_F(LocalOperationsTest, RenameNeverReplacesAnExistingFile) {
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("a.txt")), "a"));
    ASSERT_TRUE(writeWholeFile(work(QStringLiteral("b.txt")), "b"));
    window.localRows = {FakeKarvoWindow::file(QStringLiteral("a.txt"))};
    auto& dialogs = ScriptedDialogs::current();
    dialogs.allowOkMessages();
    answer({Dialogs::Answer::Yes});
    dialogs.answerText(QStringLiteral("b.txt"));
    operations.Rename();
    EXPECT_EQ(readWholeFile(work(QStringLiteral("b.txt"))), "b");
    EXPECT_EQ(readWholeFile(work(QStringLiteral("a.txt"))), "a");
    ASSERT_EQ(calls().size(), 3u);
    EXPECT_EQ(calls()[0].text, QStringLiteral("Rename local file ") + work(QStringLiteral("a.txt")) + u'?');
    EXPECT_EQ(calls()[1].text, QStringLiteral("Enter the new name for ") + work(QStringLiteral("a.txt")));
    EXPECT_EQ(calls()[1].title, QCoreApplication::applicationName());
    EXPECT_EQ(calls()[2].text, work(QStringLiteral("b.txt")) + QStringLiteral(" already exists."));
    EXPECT_EQ(calls()[2].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(window.status.last(), QStringLiteral("Local file not renamed."));

    answer({Dialogs::Answer::Yes});
    dialogs.answerText(QStringLiteral("c.txt"));
    operations.Rename();
    EXPECT_EQ(readWholeFile(work(QStringLiteral("c.txt"))), "a");
    EXPECT_EQ(window.status.last(), QStringLiteral("Local file renamed."));
}

TEST_F(LocalOperationsTest, CreateFolderSaysWhetherItWasMade) {
    auto& dialogs = ScriptedDialogs::current();
    dialogs.answerText(QStringLiteral("new"));
    operations.CreateFolder();
    EXPECT_TRUE(QFileInfo(work(QStringLiteral("new"))).isDir());
    EXPECT_EQ(window.status.last(), QStringLiteral("Local folder created."));
    dialogs.answerText(QStringLiteral("new"));
    operations.CreateFolder();
    EXPECT_EQ(window.status.last(), QStringLiteral("Local folder not created."));
    EXPECT_EQ(calls()[0].text, QStringLiteral("Enter the name of the local folder you wish to create."));
}

}  // namespace
