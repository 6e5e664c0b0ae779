// The intake's dialogs offscreen: the add-address dialog's keys and clipboard,
// the folder picker, and drops onto the main window's widgets.
#include "IntakeFixture.h"
#include "core/Language.h"
#include "intake/faces/AddressIntake.h"
#include "intake/faces/frmDir.h"
#include "intake/faces/frmURLFace.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

using FacesTest = IntakeFixture;

TEST_F(FacesTest, EnterInTheAddressBoxRunsOkOnce) {
    ScriptedDialogs::current().allowOkMessages();
    Settings.ClipboardMonitoring = false;
    frmURL logic(queue);
    frmURLFace face(logic);
    face.show();
    // Keys go where focus sends them: to the drop-down, which hands them to its line.
    QTest::keyClicks(face.txtURL, QStringLiteral("server/a.zip"));
    QTest::keyClick(face.txtURL, Qt::Key_Return);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(": Invalid URL")});
    EXPECT_TRUE(face.isVisible());

    face.txtURL->setEditText(QString());
    QTest::keyClicks(face.txtURL, QStringLiteral("http://server/a.zip"));
    QTest::keyClick(face.txtURL, Qt::Key_Return);
    EXPECT_EQ(queue.calls, std::vector{RecordingQueue::later(QStringLiteral("http://server/a.zip"),
                                                             inFolder(QStringLiteral("a.zip")))});
    EXPECT_EQ(face.result(), QDialog::Accepted);
    EXPECT_FALSE(face.isVisible());
}

// Enter and OK take the text shown, never an entry of the address history: the
// clipboard's address (wholly selected) and a typed one that begins like an entry.
TEST_F(FacesTest, EnterAndOkTakeTheTextShownNotTheHistory) {
    queue.lstComplete.Add(4)->setSubItem(6, QStringLiteral("http://old/first.zip"));
    queue.lstComplete.Add(4)->setSubItem(6, QStringLiteral("http://old/second.zip"));
    QGuiApplication::clipboard()->setText(QStringLiteral("http://new/clip.zip"));
    Settings.ClipboardMonitoring = true;
    struct Case {
        const char* typed;  // replaces the clipboard's text when set
        bool byEnter;
        const char* taken;
    };
    for (const Case c : {Case{nullptr, true, "http://new/clip.zip"},
                         Case{nullptr, false, "http://new/clip.zip"},
                         Case{"http://old/f.zip", true, "http://old/f.zip"}}) {
        queue.calls.clear();
        frmURL logic(queue);
        frmURLFace face(logic);
        face.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
        if (c.typed) {
            face.txtURL->clearEditText();
            QTest::keyClicks(face.txtURL, QLatin1String(c.typed));
        }
        if (c.byEnter)
            QTest::keyClick(face.txtURL, Qt::Key_Return);
        else
            face.cmdOK->click();
        const QString taken = QLatin1String(c.taken);
        EXPECT_EQ(queue.calls, std::vector{RecordingQueue::later(
                                   taken, inFolder(taken.mid(taken.lastIndexOf(u'/') + 1)))})
            << c.taken << c.byEnter;
    }
}

TEST_F(FacesTest, TheDialogOpensWithHistoryAndClipboard) {
    queue.lstComplete.Add(4)->setSubItem(6, QStringLiteral("http://c/1.zip"));
    queue.addRow(QStringLiteral("http://d/2.zip"), {}, QStringLiteral("5%"));
    QGuiApplication::clipboard()->setText(QStringLiteral("  see ftp://s/a.zip\n"));
    Settings.ClipboardMonitoring = true;
    frmURL logic(queue);
    frmURLFace face(logic);
    ASSERT_EQ(face.txtURL->count(), 2);
    EXPECT_EQ(face.txtURL->itemText(0), QStringLiteral("http://c/1.zip"));
    EXPECT_EQ(face.txtURL->itemText(1), QStringLiteral("http://d/2.zip"));
    EXPECT_EQ(face.txtURL->currentText(), QStringLiteral("see ftp://s/a.zip"));
    EXPECT_EQ(face.txtURL->lineEdit()->selectedText(), QStringLiteral("see ftp://s/a.zip"));
    // Off, or without the scheme as written, the box starts empty.
    for (const auto& [monitoring, text] :
         {std::pair{false, "http://s/a.zip"}, {true, "HTTP://s/a.zip"}}) {
        Settings.ClipboardMonitoring = monitoring;
        frmURL other(queue);
        other.Form_Load(QLatin1String(text));
        EXPECT_EQ(other.txtURL, QString()) << text;
    }
}

TEST_F(FacesTest, TrayEnterUrlShowsTheDialogWithoutWaiting) {
    Settings.ClipboardMonitoring = false;
    QWidget mainWindow;
    AddressIntake intake(queue, &mainWindow);
    intake.EnterURL();
    const auto dialogs = mainWindow.findChildren<frmURLFace*>();
    ASSERT_EQ(dialogs.size(), 1);
    QPointer<frmURLFace> face = dialogs[0];
    EXPECT_TRUE(face->isVisible());
    EXPECT_FALSE(face->isModal());
    face->txtURL->setEditText(QStringLiteral("http://server/a.zip"));
    face->cmdOK->click();
    EXPECT_EQ(queue.calls, std::vector{RecordingQueue::later(QStringLiteral("http://server/a.zip"),
                                                             inFolder(QStringLiteral("a.zip")))});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(face.isNull());
}

TEST_F(FacesTest, FolderPickerYieldsTheSelectedOrNewFolder) {
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("a/b")));
    frmDir picker;
    picker.show();
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Select Directory"));
    EXPECT_EQ(picker.layoutDirection(), Qt::LeftToRight);
    picker.SelectFolder(inFolder(QStringLiteral("a/b")));
    EXPECT_EQ(picker.txtPath->text(), inFolder(QStringLiteral("a/b")));
    picker.Command1->click();
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picker.ResultPath, inFolder(QStringLiteral("a/b")));

    // New folders go under the selected one; Cancel keeps the previous result.
    picker.show();
    for (const char* name : {"a/New Folder", "a/New Folder (2)"}) {
        picker.SelectFolder(inFolder(QStringLiteral("a")));
        ASSERT_TRUE(picker.NewFolder());
        EXPECT_TRUE(QFileInfo(inFolder(QLatin1String(name))).isDir());
        EXPECT_EQ(picker.txtPath->text(), inFolder(QLatin1String(name)));
    }
    picker.Command2->click();
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picker.ResultPath, inFolder(QStringLiteral("a/b")));
}

TEST_F(FacesTest, FolderPickerCaptionsComeFromTheLanguageFile) {
    TempRoot root;
    QDir().mkpath(LanguageFolder());
    ASSERT_TRUE(writeWholeFile(LanguageFolder() + QStringLiteral("Arabic.ini"),
                               "[Zu]\r\n03000=Folder?\r\n02006=Yes\r\n05004=No\r\n"));
    LangFile = QStringLiteral("Arabic.ini");
    frmDir picker;
    picker.Command2->setText(QStringLiteral("Set by caller"));
    picker.show();
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Folder?"));
    EXPECT_EQ(picker.Command1->text(), QStringLiteral("Yes"));
    EXPECT_EQ(picker.Command2->text(), QStringLiteral("Set by caller"));
    EXPECT_EQ(picker.layoutDirection(), Qt::RightToLeft);
}

}  // namespace
