// The download window's face, offscreen, over a real transfer.
#include "FaceFixture.h"
#include "common/QStringPrinter.h"
#include "common/Tray.h"
#include "queue/faces/ReportView.h"
#include "queue/faces/SegmentBars.h"
#include "queue/faces/frmDownloadFace.h"
#include "queue/faces/frmServerData.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestData.h"
#include "transfer/frmDownload.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

class frmDownloadFaceTest : public FaceFixture {
protected:
    void SetUp() override {
        FaceFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
        LangFile = QStringLiteral("English.ini");
        // Four segments for anything above 10 bytes.
        Settings.Segment = 1;
        Settings.SegmentSize1 = 1;
        Settings.SegmentSize2 = 2;
        Settings.SegmentSize3 = 3;
        Settings.SegmentSize4 = 4;
        Settings.SegmentSize5 = 5;
        Settings.SegmentSize6 = 1e12;
        data_ = patternBytes(3'000'000, 11);
        server_.setHandler(
            HttpFileResponder(data_, {.rejectBadRanges = true, .bytesPerTick = 2000}));
    }

    // A segmented download started through the queue, running, with its face.
    frmDownloadFace* startSegmented() {
        ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
        main->Queue.AddDownload(server_.url(QStringLiteral("big-file.iso")),
                                dir_.filePath("big-file.iso"), -1);
        window = main->Queue.DownloadSlots[0];
        EXPECT_TRUE(window);
        if (!window) return nullptr;
        EXPECT_TRUE(waitFor([&] {
            return window->SegCount == 4 && window->tmrUpdate.isActive() &&
                   window->ProgressBar1.Value >= 3;
        }));
        const QList<frmDownloadFace*> faces = face->DownloadFaces();
        EXPECT_EQ(faces.size(), 1);
        return faces.value(0);
    }

    QTemporaryDir dir_;
    QByteArray data_;
    ScriptedHttpServer server_;
    QPointer<frmDownload> window;
};

TEST_F(frmDownloadFaceTest, ShowsTheSegmentedTransferAsItRuns) {
    frmDownloadFace* f = startSegmented();
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->isVisible());
    // Two rate ticks: the figures have values.
    ASSERT_TRUE(waitFor([&] { return window->Rate > 0; }, 20000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^big-file\\.iso \\[\\d+%\\]$"))
                    .match(f->windowTitle())
                    .hasMatch())
        << f->windowTitle().toStdString();
    EXPECT_EQ(f->windowTitle(), window->Caption);
    EXPECT_EQ(f->txtURL->text(), server_.url(QStringLiteral("big-file.iso")));
    EXPECT_EQ(f->txtSaveTo->text(), dir_.filePath("big-file.iso"));
    EXPECT_EQ(f->lblStatus->text(), QStringLiteral("Downloading..."));
    EXPECT_EQ(f->lblFileSize->text(), window->lblFileSize);
    EXPECT_EQ(f->lblTransferRate->text(), window->lblTransferRate);
    EXPECT_EQ(f->lblPer->text(), window->lblPer);
    EXPECT_EQ(f->lblResume->text(), QStringLiteral("** Resume Supported **"));
    EXPECT_TRUE(f->ProgressBar1->isVisible());
    EXPECT_EQ(f->ProgressBar1->value(), window->ProgressBar1.Value);
    // Four bars side by side, left to right, none overlapping, all inside the row.
    f->RefreshControls();
    int right = -1;
    for (int i = 0; i < SegmentBars::kBars; ++i) {
        QProgressBar* bar = f->PVProgressBar->bar(i);
        EXPECT_EQ(bar->isVisible(), i < 4) << i;
        if (i >= 4) continue;
        EXPECT_GT(bar->x(), right) << i;
        EXPECT_NEAR(bar->width(), f->PVProgressBar->width() * 1150 / 4840, 2) << i;
        right = bar->geometry().right();
        EXPECT_EQ(bar->value(), window->PVProgressBar[i].Value) << i;
    }
    EXPECT_LE(right, f->PVProgressBar->width());
    EXPECT_FALSE(f->cmdOpen->isVisible());
    EXPECT_EQ(f->cmdPause->text(), QStringLiteral("&Pause"));
    EXPECT_EQ(f->cmdStop->text(), QStringLiteral("&Stop"));
    screenshot(*f, QStringLiteral("download-window.png"));

    QTest::mouseClick(f->cmdPause, Qt::LeftButton);
    EXPECT_EQ(window->cmdPause.Caption, QStringLiteral("&Resume"));
    EXPECT_EQ(f->cmdPause->text(), QStringLiteral("&Resume"));
    EXPECT_FALSE(f->cmdStop->isEnabled());
    EXPECT_EQ(f->lblStatus->text(), QStringLiteral("Paused/Stopped"));
    QTest::mouseClick(f->cmdPause, Qt::LeftButton);
    EXPECT_TRUE(window->tmrUpdate.isActive());

    // Stop asks first in segmented mode.
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    QTest::mouseClick(f->cmdStop, Qt::LeftButton);
    EXPECT_EQ(f->cmdStop->text(), QStringLiteral("&Close"));
    EXPECT_TRUE(f->cmdOpen->isVisible());
    EXPECT_TRUE(f->cmdGotoDir->isVisible());
    EXPECT_FALSE(f->cmdPause->isEnabled());

    // Close unloads the window; its face goes with it.
    QPointer<frmDownloadFace> guard = f;
    QTest::mouseClick(f->cmdStop, Qt::LeftButton);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->outcome(), frmDownload::Outcome::Unloaded);
    EXPECT_FALSE(main->Queue.DownloadSlots[0]);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    EXPECT_FALSE(guard);
}

TEST_F(frmDownloadFaceTest, ServerDataShowsTheConversationAndCopiesIt) {
    frmDownloadFace* f = startSegmented();
    ASSERT_TRUE(f);
    QStringList entries;
    for (QAction* action : f->mnuMore->actions()) entries << action->text();
    EXPECT_EQ(f->mnuMore->title(), QStringLiteral("&More Options"));
    EXPECT_EQ(entries, QStringList{"&Server Data"});

    auto* data = qobject_cast<frmServerData*>(f->interactdata_mnu_Click());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->windowTitle(), QStringLiteral("Server Interaction Info"));
    EXPECT_EQ(data->cmdCopyClip->text(), QStringLiteral("&Copy to Clipboard"));
    EXPECT_EQ(data->cmdExit->text(), QStringLiteral("E&xit"));
    // The text box ends its lines in LF alone.
    const QString shown = QString::fromLatin1(window->TransferLog)
                              .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(data->txtServerData->toPlainText(), shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("HTTP/1.1 206")));
    QTest::mouseClick(data->cmdCopyClip, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);

    // An empty conversation copies an empty text.
    data->txtServerData->clear();
    data->cmdCopyClip_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());

    QPointer<frmServerData> guard = data;
    QTest::mouseClick(data->cmdExit, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard);
    EXPECT_TRUE(window);
}

TEST_F(frmDownloadFaceTest, HideWithoutANotificationAreaMinimisesAndClosingUnloads) {
    frmDownloadFace* f = startSegmented();
    ASSERT_TRUE(f);
    ASSERT_FALSE(Tray::Available());
    QTest::mouseClick(f->cmdHide, Qt::LeftButton);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->isMinimized());
    f->Tray1_Click();
    EXPECT_FALSE(f->isMinimized());
    EXPECT_FALSE(f->Tray1->IsVisible());

    ScriptedDialogs::current().allowOkMessages();
    f->close();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->outcome(), frmDownload::Outcome::Unloaded);
    EXPECT_EQ(window->lblStatus, QStringLiteral("Transfer Stopped"));
    EXPECT_FALSE(window->tmrUpdate.isActive());
}

// Every window opens wholly inside the screen's available area. A finished, a
// failed (404) and a stopped download window each show a caption on every
// button and can be closed with their Close button.
TEST_F(frmDownloadFaceTest, WindowsFitTheScreenAndEveryEndStateCanBeClosed) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const auto inside = [&](QWidget* widget) {
        const QRect frame = widget->frameGeometry();
        EXPECT_TRUE(area.contains(frame))
            << widget->windowTitle().toStdString() << ": " << frame.x() << "," << frame.y() << " "
            << frame.width() << "x" << frame.height();
    };
    main->hooks.loadSettings = nullptr;
    Settings.Segment = 0;
    ASSERT_TRUE(main->Startup());
    face->show();
    inside(face.get());

    ScriptedHttpServer small;
    small.setHandler(HttpFileResponder(patternBytes(3000, 2)));
    ScriptedHttpServer missing;
    missing.setHandler([](const ScriptedHttpServer::Request&) {
        return ScriptedHttpServer::Reply::withLength("HTTP/1.1 404 Not Found", "gone", {});
    });
    ScriptedDialogs::current().allowOkMessages();  // "Download Successful."
    DownloadQueue& queue = main->Queue;
    queue.AddDownload(small.url(QStringLiteral("done.bin")), dir_.filePath("done.bin"), -1);
    queue.AddDownload(missing.url(QStringLiteral("gone.bin")), dir_.filePath("gone.bin"), -1);
    queue.AddDownload(server_.url(QStringLiteral("held.bin")), dir_.filePath("held.bin"), -1);
    const QPointer<frmDownload> done = queue.DownloadSlots[0];
    const QPointer<frmDownload> gone = queue.DownloadSlots[1];
    const QPointer<frmDownload> held = queue.DownloadSlots[2];
    ASSERT_TRUE(done && gone && held);
    ASSERT_TRUE(waitFor([&] {
        return done->outcome() == frmDownload::Outcome::Completed &&
               gone->outcome() == frmDownload::Outcome::Failed && held->tmrUpdate.isActive();
    }));
    held->StopMe();
    QCoreApplication::processEvents();

    const QList<frmDownloadFace*> faces = face->DownloadFaces();
    ASSERT_EQ(faces.size(), 3);
    for (frmDownloadFace* f : faces) {
        SCOPED_TRACE(f->windowTitle().toStdString());
        inside(f);
        for (const QPushButton* button : f->findChildren<QPushButton*>()) {
            if (button->isVisible()) {
                EXPECT_FALSE(button->text().isEmpty());
            }
        }
        // Open and Go To Dir once there is a file.
        const bool failed = f->window() == gone;
        EXPECT_EQ(f->cmdOpen->isVisible(), !failed);
        EXPECT_EQ(f->cmdGotoDir->isVisible(), !failed);
        EXPECT_TRUE(f->cmdStop->isVisible());
        EXPECT_TRUE(f->cmdStop->isEnabled());
        EXPECT_EQ(f->cmdStop->text(), QStringLiteral("&Close"));
        QWidget* data = f->interactdata_mnu_Click();
        inside(data);
        data->close();
    }
    screenshot(*faces[0], QStringLiteral("download-window-done.png"));
    for (frmDownloadFace* f : faces) QTest::mouseClick(f->cmdStop, Qt::LeftButton);
    for (const auto& window : {done, gone, held})
        EXPECT_EQ(window->outcome(), frmDownload::Outcome::Unloaded);
}

void addRow(ReportList& list, int icon, const QStringList& items) {
    const ListRowPtr row = list.Add(icon);
    for (int k = 1; k <= items.size(); ++k) row->setSubItem(k, items[k - 1]);
}

// The main window while a download runs: its row and the total rate follow it.
TEST_F(frmDownloadFaceTest, TheMainWindowFollowsARunningDownload) {
    DownloadQueue& queue = main->Queue;
    // The segment settings of this test stand in for the installation's.
    main->hooks.loadSettings = nullptr;
    ASSERT_TRUE(main->Startup());
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    main->FlashCommand(QStringLiteral("IDC_FS_ShowC"));
    addRow(queue.lstComplete, 4,
           {"/home/anna/Downloads/gimp-2.10.34.tar.bz2", "100%", "30.12 MB", "30.12 MB",
            "Download Success", "http://download.example.org/gimp/gimp-2.10.34.tar.bz2"});
    addRow(queue.lstComplete, 4,
           {"/home/anna/Documents/manual.pdf", "100%", "2.31 MB", "2.31 MB", "Download Success",
            "ftp://docs.example.com/manual.pdf"});
    face->show();
    face->resize(1000, 560);
    ASSERT_TRUE(startSegmented());
    queue.AddLaterDownload(
        QStringLiteral("ftp://ftp.example.org/pub/qt/qt-everywhere-src-6.4.2.tar.xz"),
        QStringLiteral("/home/anna/Downloads/qt-everywhere-src-6.4.2.tar.xz"));
    addRow(queue.lstMain, 1,
           {"/home/anna/Music/podcast-episode-112.mp3", "81%", "48.20 MB", "39.04 MB",
            "Paused/Stoped", "http://media.example.net/podcast/episode-112.mp3"});
    ASSERT_TRUE(waitFor([&] { return window->Rate > 0; }, 20000));
    // One tick by hand, over a rate of our choosing, so that no rate tick comes
    // between it and the checks.
    queue.tmrGraph.stop();
    window->Rate = 123456;
    queue.tmrGraph_Timer();
    EXPECT_EQ(queue.TotalRate, 123456);

    QAbstractItemModel* model = face->lstMain->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, 2).data().toString(), window->lblPer);
    EXPECT_EQ(model->index(0, 3).data().toString(), window->lblFileSize);
    EXPECT_EQ(model->index(0, 5).data().toString(), QStringLiteral("Downloading..."));
    EXPECT_EQ(model->index(1, 5).data().toString(), QStringLiteral("Not Downloaded"));
    EXPECT_EQ(model->index(2, 1).data().toString(),
              QStringLiteral("/home/anna/Music/podcast-episode-112.mp3"));
    EXPECT_EQ(model->index(2, 5).data().toString(), QStringLiteral("Paused/Stoped"));
    QAbstractItemModel* complete = face->lstComplete->model();
    ASSERT_EQ(complete->rowCount(), 2);
    EXPECT_EQ(complete->index(1, 1).data().toString(),
              QStringLiteral("/home/anna/Documents/manual.pdf"));
    EXPECT_EQ(face->lblRate->text(), QStringLiteral("Total Transfer Rate: 123.456 Kbps"));
    EXPECT_FALSE(face->lblActivity->text().isEmpty());
    // The status bar makes room for the longer rate text.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    screenshot(*face, QStringLiteral("main-window.png"));
}

}  // namespace
