// The local list: what a folder lists as, navigation by the path box,
// double-click and Up, filters, view modes, and the desktop's actions.
#include "KarvoMainFixture.h"
#include "ftpclient/browsing/clsLocalPaths.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace {

using karvo::clsLocalPaths;
using karvo::FileRow;

class frmMainLocalTest : public KarvoMainFixture {
protected:
    void SetUp() override {
        KarvoMainFixture::SetUp();
        const QString base = folder.path();
        ASSERT_TRUE(QDir(base).mkpath(QStringLiteral("Docs/inner")));
        ASSERT_TRUE(QDir(base).mkpath(QStringLiteral("docs")));
        ASSERT_TRUE(writeWholeFile(base + QStringLiteral("/b.TXT"), "12345"));
        ASSERT_TRUE(writeWholeFile(base + QStringLiteral("/a.bin"), "x"));
        ASSERT_TRUE(writeWholeFile(base + QStringLiteral("/.hidden"), ""));
        ASSERT_TRUE(
            QFile::link(base + QStringLiteral("/nowhere"), base + QStringLiteral("/broken")));
        startUp();
        ASSERT_TRUE(main->ChangeCurrentLocalFolder(base));
        main->RefreshLocal();
    }

    QString path(const QString& relative = QString()) const {
        return QDir::cleanPath(folder.path()) + QLatin1Char('/') + relative;
    }

    QTemporaryDir folder;
};

TEST_F(frmMainLocalTest, FoldersAndFilesListInTheirRealCase) {
    EXPECT_EQ(localNames(), (QStringList{QStringLiteral(".hidden"), QStringLiteral("a.bin"),
                                         QStringLiteral("b.TXT"), QStringLiteral("broken"),
                                         QStringLiteral("Docs"), QStringLiteral("docs")}));
    const auto& list = main->lstLocalFileList;
    const FileRow& docs = list.At(list.IndexOf(QStringLiteral("Docs")));
    EXPECT_EQ(docs.icon, FileRow::Folder);
    EXPECT_EQ(docs.sizeText, QString());
    EXPECT_EQ(docs.typeText, QStringLiteral("D"));
    EXPECT_FALSE(docs.dateText.isEmpty());
    const FileRow& text = list.At(list.IndexOf(QStringLiteral("b.TXT")));
    EXPECT_EQ(text.icon, FileRow::File);
    EXPECT_EQ(text.sizeText, QStringLiteral("5"));
    EXPECT_EQ(text.typeText, QStringLiteral("F"));
    // A link that leads nowhere is listed as a file and the listing goes on.
    EXPECT_EQ(list.At(list.IndexOf(QStringLiteral("broken"))).icon, FileRow::File);
    EXPECT_EQ(main->cboLocalPath.Text(), path());
    EXPECT_EQ(main->lblStatus, QStringLiteral("Local folder changed to ") + path());
}

TEST_F(frmMainLocalTest, ThePathBoxHoldsEachFolderOnceAndTellsCaseApart) {
    const qsizetype before = main->cboLocalPath.Entries().size();
    for (const QString& name :
         {QStringLiteral("Docs"), QStringLiteral("docs"), QStringLiteral("Docs")}) {
        main->cboLocalPath_Enter(path(name));
        EXPECT_EQ(main->sCurrentLocalPath, path(name) + QLatin1Char('/'));
    }
    main->cboLocalPath_Enter(path());
    EXPECT_EQ(main->cboLocalPath.Entries().size(), before + 2);
    EXPECT_TRUE(main->cboLocalPath.Entries().contains(path(QStringLiteral("Docs/"))));
    EXPECT_TRUE(main->cboLocalPath.Entries().contains(path(QStringLiteral("docs/"))));

    // A folder that is not there: logged, and the box shows the folder that still is current.
    main->cboLocalPath_Enter(path(QStringLiteral("missing")));
    EXPECT_EQ(main->lstConnectionInfo.value(main->lstConnectionInfo.size() - 1),
              QStringLiteral("Error while attempting to change current local folder to '") +
                  path(QStringLiteral("missing")) +
                  QStringLiteral("'. Description: No such file or directory"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Could not change current local folder."));
    EXPECT_EQ(main->sCurrentLocalPath, path());
    EXPECT_EQ(main->cboLocalPath.Text(), path());
}

TEST_F(frmMainLocalTest, DoubleClickEntersFoldersAndOffersFilesForUpload) {
    selectLocal(QStringLiteral("Docs"));
    main->lstLocalFileList_DblClick();
    EXPECT_EQ(main->sCurrentLocalPath, path(QStringLiteral("Docs/")));
    EXPECT_EQ(localNames(), QStringList{QStringLiteral("inner")});
    EXPECT_EQ(main->lblStatus, QStringLiteral("Local folder changed."));

    main->RunCommand(QStringLiteral("IDC_FS_LocalUpLevel"));
    EXPECT_EQ(main->sCurrentLocalPath, path());
    selectLocal(QStringLiteral("a.bin"));
    dialogs.allowOkMessages();
    main->lstLocalFileList_DblClick();
    EXPECT_EQ(messageTexts(),
              QStringList{QStringLiteral("Cannot upload file(s) when not connected.")});

    connectToServer();
    selectLocal(QStringLiteral("a.bin"));
    dialogs.clear();
    dialogs.answerMessage(Dialogs::Answer::No);
    main->lstLocalFileList_DblClick();
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("Upload file 'a.bin'?"));
    EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("FTP Client[Confirm]"));
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Question);
    EXPECT_EQ(main->lblStatus, QStringLiteral("File(s) not uploaded to FTP server."));
    EXPECT_FALSE(commandsRun.contains(QStringLiteral("IDC_FS_Upload")));
    dialogs.answerMessage(Dialogs::Answer::Yes);
    main->lstLocalFileList_DblClick();
    EXPECT_TRUE(commandsRun.contains(QStringLiteral("IDC_FS_Upload")));
}

TEST_F(frmMainLocalTest, UpStopsAtTheRoot) {
    main->cboLocalPath_Enter(QStringLiteral("/usr"));
    main->RunCommand(QStringLiteral("IDC_FS_LocalUpLevel"));
    EXPECT_EQ(main->sCurrentLocalPath, QStringLiteral("/"));
    const int rows = main->lstLocalFileList.Count();
    main->RunCommand(QStringLiteral("IDC_FS_LocalUpLevel"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Local path already at root folder."));
    EXPECT_EQ(main->sCurrentLocalPath, QStringLiteral("/"));
    EXPECT_EQ(main->lstLocalFileList.Count(), rows);
}

TEST_F(frmMainLocalTest, TheFilterListsWhatMatchesAndAnEmptyAnswerChangesNothing) {
    dialogs.answerText(QStringLiteral("*.txt"));
    main->RunCommand(QStringLiteral("IDC_FS_LDirFilters"));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("Please enter the type ex: *.gif"));
    EXPECT_EQ(dialogs.calls()[0].title,
              QStringLiteral("Define Type For Local Server Directory Listing"));
    EXPECT_EQ(localNames(), QStringList{QStringLiteral("b.TXT")});

    dialogs.clear();
    dialogs.answerText(std::nullopt);
    dialogs.allowOkMessages();
    main->RunCommand(QStringLiteral("IDC_FS_LDirFilters"));
    EXPECT_EQ(messageTexts().value(1), QStringLiteral("No command entered, quiting"));
    EXPECT_EQ(localNames(), QStringList{QStringLiteral("b.TXT")});
    main->LocalAllFiles();
    EXPECT_EQ(main->lstLocalFileList.Count(), 6);
}

TEST_F(frmMainLocalTest, ViewModesOpenFindAndProperties) {
    const std::pair<const char*, int> views[] = {{"IDC_FS_LocalLargeIcons", 0},
                                                 {"IDC_FS_LocalSmallIcons", 1},
                                                 {"IDC_FS_LocalListIcons", 2},
                                                 {"IDC_FS_LocalDetailsIcons", 3}};
    for (const auto& [name, view] : views) {
        main->RunCommand(QString::fromLatin1(name));
        EXPECT_EQ(main->lstLocalFileList.View(), view) << name;
        EXPECT_EQ(main->lstRemoteFileList.View(), 3);
    }
    main->RunCommand(QStringLiteral("IDC_FS_RemoteListIcons"));
    EXPECT_EQ(main->lstRemoteFileList.View(), 2);

    dialogs.allowOkMessages();
    main->RunCommand(QStringLiteral("IDC_FS_Properties"));
    EXPECT_EQ(messageTexts(),
              QStringList{QStringLiteral("Properties of what, Please select an item?")});
    selectLocal(QStringLiteral("b.TXT"));
    main->RunCommand(QStringLiteral("IDC_FS_Properties"));
    main->RunCommand(QStringLiteral("IDC_FS_OpenFile"));
    main->RunCommand(QStringLiteral("IDC_FS_FindFile"));
    EXPECT_EQ(desktop, (QStringList{QStringLiteral("properties ") + path(QStringLiteral("b.TXT")),
                                    QStringLiteral("open ") + path(QStringLiteral("b.TXT")),
                                    QStringLiteral("folder ") + path()}));
}

TEST_F(frmMainLocalTest, SelectionDrivesTheLocalCommands) {
    selectLocal(QStringLiteral("a.bin"));
    EXPECT_TRUE(main->Controls.miDeleteLocalFile && main->Controls.miRenameLocalFile);
    EXPECT_FALSE(main->Controls.cmdSend);
    selectLocal(QStringLiteral("Docs"));
    EXPECT_FALSE(main->Controls.miDeleteLocalFile || main->Controls.miRenameLocalFile);
    connectToServer();
    EXPECT_TRUE(main->Controls.cmdSend);
    main->RefreshLocal();
    EXPECT_FALSE(main->Controls.cmdSend);
}

TEST(clsLocalPathsTest, AFolderThatCannotBeReadIsReportedAndEndsTheListing) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.clear();
    dialogs.allowOkMessages();
    clsLocalPaths paths;
    QSignalSpy entries(&paths, &clsLocalPaths::UpdateLocalEntry);
    QSignalSpy folders(&paths, &clsLocalPaths::AddToLocalPaths);
    EXPECT_FALSE(paths.RetrieveLocalFolderContents(QStringLiteral("/no/such/folder/")));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text,
              QStringLiteral("Cannot read the contents of /no/such/folder/"));
    EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("FTP Client[Error]"));
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(entries.count(), 0);
    EXPECT_EQ(folders.count(), 0);
}

TEST(clsLocalPathsTest, DrivesStartWithTheRootAndHomeAndLeaveOutKernelFileSystems) {
    clsLocalPaths paths;
    QStringList drives;
    QObject::connect(&paths, &clsLocalPaths::LogicalDriveFound,
                     [&](const QString& drive) { drives << drive; });
    paths.RetrieveLogicalDrives();
    ASSERT_GE(drives.size(), 2);
    EXPECT_EQ(drives[0], QStringLiteral("/"));
    EXPECT_EQ(drives[1], QDir::cleanPath(QDir::homePath()) + QLatin1Char('/'));
    EXPECT_EQ(drives.removeDuplicates(), 0);
    for (const QString& drive : drives) {
        EXPECT_TRUE(drive.endsWith(u'/')) << drive.toStdString();
        EXPECT_FALSE(drive.startsWith(QLatin1String("/proc")) ||
                     drive.startsWith(QLatin1String("/sys")))
            << drive.toStdString();
    }
}

TEST(clsLocalPathsTest, ChangesNeverReplaceOrRemoveMoreThanAsked) {
    QTemporaryDir folder;
    const QString a = folder.filePath(QStringLiteral("a"));
    const QString b = folder.filePath(QStringLiteral("b"));
    ASSERT_TRUE(writeWholeFile(a, "first"));
    ASSERT_TRUE(writeWholeFile(b, "second"));
    clsLocalPaths paths;
    EXPECT_FALSE(paths.RenameLocalFile(a, b).isEmpty());
    EXPECT_EQ(readWholeFile(b), QByteArray("second"));
    EXPECT_EQ(paths.RenameLocalFile(a, folder.filePath(QStringLiteral("c"))), QString());
    EXPECT_EQ(readWholeFile(folder.filePath(QStringLiteral("c"))), QByteArray("first"));

    const QString sub = folder.filePath(QStringLiteral("sub"));
    EXPECT_EQ(paths.CreateLocalFolder(sub), QString());
    EXPECT_FALSE(paths.CreateLocalFolder(sub).isEmpty());
    ASSERT_TRUE(writeWholeFile(sub + QStringLiteral("/kept"), "k"));
    EXPECT_FALSE(paths.RemoveLocalFolder(sub).isEmpty());
    EXPECT_FALSE(paths.DeleteLocalFile(sub).isEmpty());
    EXPECT_TRUE(QFile::exists(sub + QStringLiteral("/kept")));
    EXPECT_EQ(paths.DeleteLocalFile(sub + QStringLiteral("/kept")), QString());
    EXPECT_EQ(paths.RemoveLocalFolder(sub), QString());
    EXPECT_FALSE(QDir(sub).exists());
}

}  // namespace
