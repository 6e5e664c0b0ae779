// The operations as the main window runs them: the dispatcher's command
// strings reach the transfers and file operations with the lists' selections,
// and the window's face gives them their dialogs, the transfer type group,
// the custom command's field and drag and drop. A drop from another program
// uploads what was dropped, never the local list's selection. With
// VK_SCREENSHOT_DIR set, a transfer in progress and the options dialog are
// saved as pictures.
#include "ftpclient/KarvoMainFixture.h"
#include "ftpclient/commands/faces/CustomCommandFields.h"
#include "ftpclient/commands/faces/f2rmRemoteChangeMode.h"
#include "ftpclient/faces/FileListView.h"
#include "ftpclient/faces/frmMainFace.h"
#include "ftpclient/options/faces/frmOptionsFace.h"
#include "ftpclient/options/frmOptions.h"
#include "ftpclient/transfers/ListDrag.h"
#include "ftpclient/transfers/faces/fraTransfer.h"
#include "ftpclient/transfers/faces/frmExist.h"
#include "support/Sha256.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace {

void screenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name))) << name.toStdString();
}

// Runs `act` on the first visible top-level widget of type T once it is open
// (it is modal: the code that opened it waits meanwhile).
template <typename T>
void whenOpen(std::function<void(T&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act, tries] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<T*>(widget);
            if (!dialog || !dialog->isVisible()) continue;
            poll->stop();
            poll->deleteLater();
            act(*dialog);
            return;
        }
        if (++*tries > 500) {
            ADD_FAILURE() << "the dialog did not open";
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

class KarvoWindowOperationsTest : public KarvoMainFixture {
protected:
    void SetUp() override {
        KarvoMainFixture::SetUp();
        ASSERT_TRUE(local.isValid());
        startUp();
        connectToServer();
        ASSERT_TRUE(main->ChangeCurrentLocalFolder(local.path()));
        main->RefreshLocal();
    }

    void putLocal(const QString& name, const QByteArray& data) {
        ASSERT_TRUE(writeWholeFile(local.filePath(name), data));
        main->RefreshLocal();
    }

    QTemporaryDir local;
};

TEST_F(KarvoWindowOperationsTest, TheCommandStringsRunTheOperationsOnTheSelection) {
    putLocal(QStringLiteral("a.bin"), patternBytes(5000, 1));
    putLocal(QStringLiteral("b.bin"), "not selected");
    selectLocal(QStringLiteral("a.bin"));
    main->RunCommand(QStringLiteral("IDC_FS_Upload"));
    EXPECT_EQ(server.files().value(QStringLiteral("/a.bin")), patternBytes(5000, 1));
    EXPECT_FALSE(server.files().contains(QStringLiteral("/b.bin")));
    EXPECT_TRUE(remoteNames().contains(QStringLiteral("a.bin")));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Upload complete"));
    EXPECT_FALSE(main->Controls.cmdAbort);

    dialogs.answerText(QStringLiteral("made"));
    main->RunCommand(QStringLiteral("IDC_FS_RCreateFolder"));
    EXPECT_TRUE(remoteNames().contains(QStringLiteral("made")));

    selectRemote(QStringLiteral("a.bin"));
    dialogs.answerMessage(Dialogs::Answer::Yes);
    main->RunCommand(QStringLiteral("IDC_FS_RDelete"));
    EXPECT_FALSE(server.files().contains(QStringLiteral("/a.bin")));
    EXPECT_FALSE(remoteNames().contains(QStringLiteral("a.bin")));
    EXPECT_FALSE(main->DeletionCoverShown);

    server.addFile(QStringLiteral("c.txt"), "c");
    main->RefreshRemote();
    selectRemote(QStringLiteral("c.txt"));
    main->RunCommand(QStringLiteral("IDC_FS_Download"));
    EXPECT_EQ(readWholeFile(local.filePath(QStringLiteral("c.txt"))), "c");
    EXPECT_TRUE(localNames().contains(QStringLiteral("c.txt")));
    EXPECT_EQ(main->lblStatus, QStringLiteral("File download(s) complete."));
}

// --- With the window's face

class KarvoFaceOperationsTest : public KarvoWindowOperationsTest {
protected:
    void SetUp() override {
        KarvoMainFixture::SetUp();
        ASSERT_TRUE(local.isValid());
        // Saving the options writes or removes the start-up entry.
        environment.set("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        face = std::make_unique<karvo::frmMainFace>(*main);
        // The fixture's recorders stand in for the desktop.
        main->hooks.showConnectionInfo = [this](karvo::frmConnectionInfo& info) {
            if (fillDialog) fillDialog(info);
        };
        main->hooks.showTray = [this](bool shown) { trayShown = shown; };
        startUp();
        connectToServer();
        ASSERT_TRUE(main->ChangeCurrentLocalFolder(local.path()));
        main->RefreshLocal();
        face->show();
    }
    void TearDown() override {
        face.reset();
        KarvoMainFixture::TearDown();
    }

    // Sends a drag over and a drop onto the report view of `view`; whether the
    // drop was taken.
    static bool drop(karvo::FileListView* view, QMimeData* data) {
        QWidget* viewport = view->reportView()->viewport();
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropEvent);
        return dropEvent.isAccepted();
    }

    std::unique_ptr<karvo::frmMainFace> face;
};

TEST_F(KarvoFaceOperationsTest, ADropFromOutsideUploadsTheDroppedFilesNotTheSelection) {
    putLocal(QStringLiteral("selected.bin"), "selected");
    selectLocal(QStringLiteral("selected.bin"));
    QTemporaryDir elsewhere;
    ASSERT_TRUE(writeWholeFile(elsewhere.filePath(QStringLiteral("dropped.bin")), "dropped"));

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(elsewhere.filePath(QStringLiteral("dropped.bin")))});
    EXPECT_TRUE(drop(face->lstRemoteFileList, &files));
    ASSERT_TRUE(waitFor([&] { return server.files().contains(QStringLiteral("/dropped.bin")); }));
    EXPECT_EQ(server.files().value(QStringLiteral("/dropped.bin")), "dropped");
    EXPECT_FALSE(server.files().contains(QStringLiteral("/selected.bin")));

    // Text, and files dropped on the local list, are not taken.
    QMimeData text;
    text.setText(QStringLiteral("selected.bin"));
    EXPECT_FALSE(drop(face->lstRemoteFileList, &text));
    EXPECT_FALSE(drop(face->lstLocalFileList, &files));

    // The local list's own drag uploads its selection.
    std::unique_ptr<QMimeData> fromLocal(ListDrag::dragData(ListDrag::List::Local, {QStringLiteral("selected.bin")}));
    EXPECT_FALSE(drop(face->lstLocalFileList, fromLocal.get()));
    EXPECT_TRUE(drop(face->lstRemoteFileList, fromLocal.get()));
    ASSERT_TRUE(waitFor([&] { return server.files().contains(QStringLiteral("/selected.bin")); }));
}

TEST_F(KarvoFaceOperationsTest, ADownloadShowsItsProgress) {
    const QByteArray big = patternBytes(3 * 1024 * 1024, 2);
    server.addFile(QStringLiteral("big.bin"), big);
    putLocal(QStringLiteral("notes.txt"), "notes\n");
    putLocal(QStringLiteral("photo.jpg"), patternBytes(48000, 5));
    ASSERT_TRUE(QDir(local.path()).mkdir(QStringLiteral("projects")));
    main->RefreshLocal();
    ScriptedFtpTransfer slow;
    slow.bytesPerTick = 64 * 1024;
    server.setTransfer(slow);
    main->RefreshRemote();
    selectRemote(QStringLiteral("big.bin"));
    bool shot = false;
    QString shownStatus;
    QObject::connect(main.get(), &karvo::frmMain::progressChanged, face.get(), [&](int percent) {
        if (shot || percent < 40 || percent > 90) return;
        shot = true;
        shownStatus = main->lblStatus;
        screenshot(*face, QStringLiteral("karvo-transfer.png"));
    });
    main->RunCommand(QStringLiteral("IDC_FS_Download"));
    EXPECT_TRUE(shot);
    EXPECT_TRUE(shownStatus.startsWith(QStringLiteral("Downloading file 'big.bin' ("))) << shownStatus.toStdString();
    EXPECT_TRUE(shownStatus.endsWith(QStringLiteral(" of 3072K)"))) << shownStatus.toStdString();
    EXPECT_EQ(sha256OfFile(local.filePath(QStringLiteral("big.bin"))), sha256Hex(big));
    EXPECT_EQ(main->ProgressBar1, 0);
}

TEST_F(KarvoFaceOperationsTest, TheFileExistsDialogAnswersForTheUpload) {
    putLocal(QStringLiteral("a.bin"), patternBytes(1000, 3));
    putLocal(QStringLiteral("b.bin"), patternBytes(1000, 4));
    server.addFile(QStringLiteral("a.bin"), patternBytes(1000, 3).left(100));
    server.addFile(QStringLiteral("b.bin"), patternBytes(1000, 4).left(200));
    main->lstLocalFileList.SetSelection({main->lstLocalFileList.IndexOf(QStringLiteral("a.bin")),
                                         main->lstLocalFileList.IndexOf(QStringLiteral("b.bin"))});
    int asked = 0;
    whenOpen<karvo::frmExist>([&](karvo::frmExist& dialog) {
        ++asked;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("File Exists!"));
        EXPECT_TRUE(dialog.cmdResume->isEnabled());
        EXPECT_TRUE(dialog.lblDestinationText->text().startsWith(QStringLiteral("Destination File Size: 100 ")));
        dialog.chkAll->setChecked(true);
        dialog.cmdResume->click();
    });
    main->RunCommand(QStringLiteral("IDC_FS_Upload"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(server.files().value(QStringLiteral("/a.bin")), patternBytes(1000, 3));
    EXPECT_EQ(server.files().value(QStringLiteral("/b.bin")), patternBytes(1000, 4));

    // Closing the dialog is Cancel: nothing is sent.
    server.addFile(QStringLiteral("a.bin"), "other");
    main->RefreshRemote();
    selectLocal(QStringLiteral("a.bin"));
    whenOpen<karvo::frmExist>([](karvo::frmExist& dialog) { dialog.close(); });
    main->RunCommand(QStringLiteral("IDC_FS_Upload"));
    EXPECT_EQ(server.files().value(QStringLiteral("/a.bin")), "other");
    EXPECT_EQ(main->lblStatus, QStringLiteral("Upload aborted."));
}

TEST_F(KarvoFaceOperationsTest, OptionsAndPermissionsThroughTheirDialogs) {
    whenOpen<frmOptionsFace>([](frmOptionsFace& dialog) {
        EXPECT_FALSE(dialog.cmdSave->isEnabled());
        // A letter in the size brings back the stored size.
        dialog.optDeleteLogIfSizeExceeds->click();
        dialog.txtLogFileSize->setFocus();
        QTest::keyClicks(dialog.txtLogFileSize, QStringLiteral("x"));
        EXPECT_EQ(dialog.txtLogFileSize->text(), QLocale().toString(qlonglong(1000)));
        dialog.lstExtFiles->setCurrentRow(0);
        dialog.cmdRemove->click();
        EXPECT_TRUE(dialog.cmdSave->isEnabled());
        screenshot(dialog, QStringLiteral("karvo-options.png"));
        dialog.cmdSave->click();
    });
    main->RunCommand(QStringLiteral("IDC_FS_Options"));
    EXPECT_EQ(main->AsciiExtensions.join(u';'), QStringLiteral("htm;html;php;cgi;asp;ini;inf;log"));
    EXPECT_FALSE(main->xFtp.autoAsciiExtensions.contains(QStringLiteral("txt")));

    server.addFile(QStringLiteral("p.txt"), "p");
    server.onCommand("SITE", "200 SITE CHMOD command successful.\r\n");
    main->RefreshRemote();
    selectRemote(QStringLiteral("p.txt"));
    whenOpen<f2rmRemoteChangeMode>([](f2rmRemoteChangeMode& dialog) {
        EXPECT_EQ(dialog.txtNumericValue->text(), QStringLiteral("0"));
        for (QCheckBox* box : {dialog.chkOwnerRead, dialog.chkOwnerWrite, dialog.chkGroupRead}) box->click();
        EXPECT_EQ(dialog.txtNumericValue->text(), QStringLiteral("640"));
        dialog.cmdOK->click();
    });
    main->RunCommand(QStringLiteral("IDC_FS_Chmod"));
    EXPECT_TRUE(sent().contains("SITE CHMOD 640 p.txt"));
}

TEST_F(KarvoFaceOperationsTest, TheFaceCarriesTheTransferTypeAndTheCommandField) {
    EXPECT_TRUE(main->bAutoMode);
    face->TransferFrame->optAscii->click();
    EXPECT_FALSE(main->bAutoMode);
    EXPECT_EQ(main->xFtp.representation, 1);
    EXPECT_TRUE(main->xFtp.autoAsciiExtensions.isEmpty());
    face->TransferFrame->optAuto->click();
    EXPECT_TRUE(main->bAutoMode);
    putLocal(QStringLiteral("x.txt"), "x\n");
    selectLocal(QStringLiteral("x.txt"));
    main->RunCommand(QStringLiteral("IDC_FS_Upload"));
    EXPECT_EQ(server.files().value(QStringLiteral("/x.txt")), "x\r\n");

    // The log takes the file lists' place while the command field is open.
    main->RunCommand(QStringLiteral("IDC_FS_CustomCommand"));
    EXPECT_FALSE(main->PanelShown(karvo::frmMain::FileListPanel));
    EXPECT_TRUE(main->PanelShown(karvo::frmMain::LogPanel));
    EXPECT_TRUE(main->PanelShown(karvo::frmMain::CustomCommandPanel));
    face->CommandFields->txtCommand->setText(QStringLiteral("NOOP"));
    QTest::keyClick(face->CommandFields->txtCommand, Qt::Key_Return);
    EXPECT_EQ(sent().last(), "NOOP");
    EXPECT_TRUE(face->CommandFields->txtCommand->text().isEmpty());
    face->CommandFields->cmdCloseCommand->click();
    EXPECT_TRUE(main->PanelShown(karvo::frmMain::FileListPanel));
    EXPECT_FALSE(main->PanelShown(karvo::frmMain::CustomCommandPanel));
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.CustomCommand")), QStringLiteral("2"));
}

}  // namespace
