// The desktop window offscreen against a real server (pyftpdlib): a site is
// saved and connected to through the connection dialog's face, both lists are
// filled and navigated with the mouse, the log shows the dialogue without the
// password, and the saved site is there again at the next start. Quick connect
// through the fields. With VK_SCREENSHOT_DIR set, the window and the dialog
// are saved as pictures.
#include "common/QStringPrinter.h"
#include "ftpclient/browsing/FileList.h"
#include "ftpclient/faces/FileListView.h"
#include "ftpclient/faces/KarvoToolbarFace.h"
#include "ftpclient/faces/frmConnectionInfoFace.h"
#include "ftpclient/faces/frmMainFace.h"
#include "ftpclient/main/frmMain.h"
#include "support/PyFtpdServer.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

using karvo::frmConnectionInfoFace;
using karvo::frmMain;
using karvo::frmMainFace;

void screenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name))) << name.toStdString();
}

void type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Runs `act` on the connection dialog once it is open (it is modal: the code
// that opened it waits meanwhile).
void whenDialogOpens(const std::function<void(frmConnectionInfoFace&)>& act) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act, tries] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<frmConnectionInfoFace*>(widget);
            if (!dialog || !dialog->isVisible()) continue;
            poll->stop();
            poll->deleteLater();
            act(*dialog);
            return;
        }
        if (++*tries > 500) {
            ADD_FAILURE() << "the connection dialog did not open";
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

QStringList names(const karvo::FileList& list) {
    QStringList result;
    for (const karvo::FileRow& row : list.Rows()) result << row.name;
    return result;
}

void doubleClickRow(karvo::FileListView* view, const karvo::FileList& list, const QString& name) {
    const QModelIndex index = view->indexOfRow(list.IndexOf(name));
    ASSERT_TRUE(index.isValid()) << name.toStdString();
    QTreeView* tree = view->reportView();
    const QPoint at = tree->visualRect(index).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

class KarvoDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        dialogs.clear();
        dialogs.allowOkMessages();
        ASSERT_TRUE(server.start()) << server.errorString().toStdString();
        ASSERT_TRUE(server.putFile(QStringLiteral("readme.txt"), "read me\n"));
        ASSERT_TRUE(
            server.putFile(QStringLiteral("pub/release-1.0.tar.gz"), patternBytes(70000, 1)));
        ASSERT_TRUE(server.putFile(QStringLiteral("pub/CHANGES"), "changes\n"));
        ASSERT_TRUE(server.putFile(QStringLiteral("pub/docs/guide.html"), "<html/>\n"));
        ASSERT_TRUE(local.isValid());
        ASSERT_TRUE(QDir(local.path()).mkpath(QStringLiteral("Projects/karvo")));
        ASSERT_TRUE(writeWholeFile(local.filePath(QStringLiteral("notes.txt")), "notes"));
        ASSERT_TRUE(
            writeWholeFile(local.filePath(QStringLiteral("photo.jpg")), patternBytes(20000, 2)));
        create();
    }
    void TearDown() override { destroy(); }

    void create() {
        main = std::make_unique<frmMain>();
        main->xFtp.timeLimitMs = 20000;
        face = std::make_unique<frmMainFace>(*main);
        main->hooks.quit = [] {};
        ASSERT_TRUE(main->Startup());
        face->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(face.get()));
    }
    void destroy() {
        if (main && !main->HasExited()) main->Exit();
        face.reset();
        main.reset();
    }

    void showLocalFolder(const QString& path) {
        face->cboLocalPath->lineEdit()->setText(path);
        QTest::keyClick(face->cboLocalPath->lineEdit(), Qt::Key_Return);
    }

    TempRoot root;
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    PyFtpdServer server;
    QTemporaryDir local{QDir::tempPath() + QStringLiteral("/karvo-local-XXXXXX")};
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmMainFace> face;
};

TEST_F(KarvoDesktopTest, ASavedSiteConnectsListsNavigatesAndIsThereAtTheNextStart) {
    showLocalFolder(local.path());
    EXPECT_EQ(names(main->lstLocalFileList),
              (QStringList{QStringLiteral("notes.txt"), QStringLiteral("photo.jpg"),
                           QStringLiteral("Projects")}));

    bool saved = false;
    whenDialogOpens([&](frmConnectionInfoFace& dialog) {
        QTest::mouseClick(dialog.cmdNewSite, Qt::LeftButton);
        EXPECT_EQ(dialog.TabProfiles->currentIndex(), 1);
        type(dialog.txtProfileName, QStringLiteral("Local test server"));
        type(dialog.txtHost, QStringLiteral("127.0.0.1"));
        type(dialog.txtPort, QString::number(server.port()));
        type(dialog.txtUserName, server.user());
        type(dialog.txtPassword, server.password());
        // New Site clears passive mode; this server is used passively.
        EXPECT_FALSE(dialog.chkPassiveMode->isChecked());
        dialog.chkPassiveMode->click();
        QTest::mouseClick(dialog.cmdSaveSite, Qt::LeftButton);
        saved = dialog.tvlPrivate->topLevelItem(0)->childCount() == 1;
        dialog.tvlPrivate->setCurrentItem(dialog.tvlPrivate->topLevelItem(0)->child(0));
        screenshot(dialog, QStringLiteral("karvo-profiles.png"));
        QTest::mouseClick(dialog.cmdConnect, Qt::LeftButton);
    });
    QAction* connectAction = face->Toolbar->actionFor(QStringLiteral("IDC_FS_Connect"));
    ASSERT_TRUE(connectAction);
    connectAction->trigger();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(dialogs.calls().size() == 1 &&
                dialogs.calls()[0].text == QStringLiteral("Profile Saved"));
    ASSERT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    EXPECT_EQ(face->lblStatus->text(), main->lblStatus);
    EXPECT_FALSE(face->cmdConnect->isEnabled());
    EXPECT_TRUE(face->cmdDisconnect->isEnabled());
    EXPECT_EQ(names(main->lstRemoteFileList),
              (QStringList{QStringLiteral("pub"), QStringLiteral("readme.txt")}));
    EXPECT_EQ(face->lstRemoteFileList->reportView()->model()->rowCount(), 2);
    EXPECT_EQ(face->cboRemotePath->currentText(), QStringLiteral("/"));

    // Into the remote folder with a double-click, and into a local one.
    doubleClickRow(face->lstRemoteFileList, main->lstRemoteFileList, QStringLiteral("pub"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Changed current remote folder."));
    EXPECT_EQ(names(main->lstRemoteFileList),
              (QStringList{QStringLiteral("CHANGES"), QStringLiteral("docs"),
                           QStringLiteral("release-1.0.tar.gz")}));
    EXPECT_EQ(face->cboRemotePath->currentText(), QStringLiteral("/pub"));
    face->resize(1000, 660);
    QCoreApplication::processEvents();
    screenshot(*face, QStringLiteral("karvo-main.png"));

    doubleClickRow(face->lstLocalFileList, main->lstLocalFileList, QStringLiteral("Projects"));
    EXPECT_EQ(names(main->lstLocalFileList), QStringList{QStringLiteral("karvo")});
    QTest::mouseClick(face->cmdLoUp, Qt::LeftButton);
    EXPECT_EQ(main->lstLocalFileList.Count(), 3);
    QTest::mouseClick(face->cmdUpFtp, Qt::LeftButton);
    EXPECT_EQ(main->lblStatus, QStringLiteral("Remote path now up one folder."));
    EXPECT_EQ(face->cboRemotePath->currentText(), QStringLiteral("/"));
    face->cboRemotePath->lineEdit()->setText(QStringLiteral("/pub/docs"));
    QTest::keyClick(face->cboRemotePath->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(names(main->lstRemoteFileList), QStringList{QStringLiteral("guide.html")});

    // The log shows the dialogue; the password never.
    QStringList shown;
    for (int i = 0; i < face->lstConnectionInfo->count(); ++i)
        shown << face->lstConnectionInfo->item(i)->text();
    EXPECT_EQ(shown, main->lstConnectionInfo);
    EXPECT_TRUE(shown.contains(QStringLiteral("PASS ****")));
    EXPECT_TRUE(shown.contains(QStringLiteral("PASV")));
    EXPECT_EQ(face->lstConnectionInfo->currentRow(), face->lstConnectionInfo->count() - 1);
    const QByteArray file = readWholeFile(root.file(QStringLiteral("program/log/FTP.log")));
    EXPECT_TRUE(file.contains("\"CWD /pub/docs\""));
    EXPECT_FALSE(file.contains(server.password().toUtf8()));
    EXPECT_FALSE(shown.join('\n').contains(server.password()));

    face->Toolbar->actionFor(QStringLiteral("IDC_FS_Disconnect"))->trigger();
    EXPECT_EQ(main->lblStatus, QStringLiteral("Disconnected from 127.0.0.1"));
    EXPECT_EQ(face->lstRemoteFileList->reportView()->model()->rowCount(), 0);
    EXPECT_TRUE(face->cmdConnect->isEnabled());

    // The next start: the site is in the private tree and connects as saved.
    destroy();
    create();
    dialogs.clear();
    QString host;
    whenDialogOpens([&](frmConnectionInfoFace& dialog) {
        QTest::mouseClick(dialog.TabProfiles, Qt::LeftButton, {},
                          dialog.TabProfiles->tabRect(1).center());
        QTreeWidgetItem* site = dialog.tvlPrivate->topLevelItem(0)->child(0);
        ASSERT_TRUE(site);
        EXPECT_EQ(site->text(0), QStringLiteral("Local test server.Profile"));
        QTest::mouseClick(dialog.tvlPrivate->viewport(), Qt::LeftButton, {},
                          dialog.tvlPrivate->visualItemRect(site).center());
        host = dialog.txtHost->text();
        EXPECT_EQ(dialog.txtPassword->text(), server.password());
        EXPECT_TRUE(dialog.cmdDeleteSite->isEnabled());
        QTest::mouseClick(dialog.cmdConnect, Qt::LeftButton);
    });
    QTest::mouseClick(face->cmdConnect, Qt::LeftButton);
    EXPECT_EQ(host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(KarvoDesktopTest, QuickConnectThroughTheFields) {
    dialogs.clear();
    dialogs.allowOkMessages();
    QTest::mouseClick(face->cmdQConnect, Qt::LeftButton);
    EXPECT_EQ(dialogs.calls().size(), 1u);  // "Please enter conncetion information"
    type(face->txtQaddress, QStringLiteral("127.0.0.1"));
    type(face->txtQport, QStringLiteral("x"));
    EXPECT_EQ(face->txtQport->text(), QStringLiteral("21"));
    type(face->txtQport, QString::number(server.port()));
    type(face->txtQuser, QStringLiteral("anonymous"));
    type(face->txtQpassword, QStringLiteral("guest@example.org"));
    QTest::keyClick(face->txtQpassword, Qt::Key_Return);
    EXPECT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    EXPECT_EQ(names(main->lstRemoteFileList),
              (QStringList{QStringLiteral("pub"), QStringLiteral("readme.txt")}));
    EXPECT_FALSE(face->cmdQConnect->isEnabled());
    EXPECT_TRUE(face->miRemote->isEnabled());
}

TEST_F(KarvoDesktopTest, PanelsViewModesAndClosingTheWindow) {
    EXPECT_TRUE(face->QuickConnectPanel->isVisible());
    EXPECT_TRUE(face->FileListPanel->isVisible());
    EXPECT_TRUE(face->LogPanel->isVisible());
    EXPECT_FALSE(face->CustomCommandPanel->isVisible());
    QAction* files = face->Toolbar->actionFor(QStringLiteral("IDC_FS_HideB"));
    ASSERT_TRUE(files && files->isChecked());
    files->trigger();
    EXPECT_FALSE(face->FileListPanel->isVisible());
    EXPECT_FALSE(face->LogPanel->isVisible());
    main->RunCommand(QStringLiteral("IDC_FS_ShowB"));
    EXPECT_TRUE(files->isChecked());
    EXPECT_TRUE(face->FileListPanel->isVisible());

    face->menuActionFor(QStringLiteral("IDC_FS_LocalLargeIcons"))->trigger();
    EXPECT_EQ(face->lstLocalFileList->currentView(),
              static_cast<QWidget*>(face->lstLocalFileList->iconView()));
    face->menuActionFor(QStringLiteral("IDC_FS_LocalDetailsIcons"))->trigger();
    EXPECT_EQ(face->lstLocalFileList->currentView(),
              static_cast<QWidget*>(face->lstLocalFileList->reportView()));
    // Disconnected, the remote menu is off.
    EXPECT_FALSE(face->miRemote->isEnabled());

    bool quit = false;
    main->hooks.quit = [&] { quit = true; };
    face->close();
    ASSERT_TRUE(waitFor([&] { return quit; }));
    EXPECT_TRUE(main->HasExited());
}

}  // namespace
