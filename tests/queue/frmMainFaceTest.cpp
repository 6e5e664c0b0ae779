// The main window's face, offscreen: lists, menus, toolbar, drops, status bar.
#include "FaceFixture.h"
#include "common/AppPaths.h"
#include "common/QStringPrinter.h"
#include "common/Tray.h"
#include "queue/faces/ReportListModel.h"
#include "queue/faces/ReportView.h"
#include "queue/faces/ToolbarFace.h"
#include "queue/faces/TrayMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace {

using frmMainFaceTest = FaceFixture;

// The caption as shown, without the "&" of its mnemonic.
QString shown(QString text) {
    return text.remove(u'&');
}

QStringList visibleTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("-") : shown(action->text()));
    return texts;
}

QStringList hiddenTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isVisible()) texts << shown(action->text());
    return texts;
}

QAction* actionNamed(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (shown(action->text()) == text) return action;
    return nullptr;
}

// The letter after "&", lower-cased; null when the caption has none.
QChar mnemonic(const QString& text) {
    const qsizetype at = text.indexOf(u'&');
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
}

void addRow(ReportList& list, int icon, const QStringList& items) {
    const ListRowPtr row = list.Add(icon);
    for (int k = 1; k <= items.size(); ++k) row->setSubItem(k, items[k - 1]);
}

// Sends a drag carrying data over the widget and drops it; true when accepted.
bool drop(QWidget* target, QMimeData* data) {
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropEvent(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropEvent);
    return dropEvent.isAccepted();
}

TEST_F(frmMainFaceTest, StartsWithBothListsHiddenAndTheToolbarRevealsThem) {
    ASSERT_TRUE(main->Startup());
    face->show();
    EXPECT_EQ(face->windowTitle(), QStringLiteral("Vornel Download Manager"));
    EXPECT_EQ(face->Tray1->TrayToolTip, QStringLiteral("Vornel Download Manager"));
    EXPECT_TRUE(face->Tray1->IsVisible());
    EXPECT_TRUE(face->DownloadsPanel()->isHidden());
    EXPECT_TRUE(face->CompletePanel()->isHidden());

    QAction* downloads = face->Toolbar->actionFor(QStringLiteral("IDC_FS_ShowB"));
    QAction* complete = face->Toolbar->actionFor(QStringLiteral("IDC_FS_ShowC"));
    ASSERT_TRUE(downloads && complete);
    EXPECT_FALSE(downloads->isChecked());
    downloads->trigger();
    EXPECT_TRUE(face->DownloadsPanel()->isVisible());
    complete->trigger();
    EXPECT_TRUE(face->CompletePanel()->isVisible());
    downloads->trigger();
    EXPECT_TRUE(face->DownloadsPanel()->isHidden());
    // The command from elsewhere (another face, the dispatcher) moves the button too.
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    EXPECT_TRUE(downloads->isChecked());
    EXPECT_TRUE(face->DownloadsPanel()->isVisible());
}

TEST_F(frmMainFaceTest, TheListsShowTheirRowsInTheirColumns) {
    DownloadQueue& queue = main->Queue;
    addRow(queue.lstMain, 1,
           {"/d/a.zip", "45%", "1.00 MB", "460.80 KB", "Downloading...", "http://h/a.zip", "d"});
    addRow(queue.lstComplete, 4, {"/d/c.txt", "100%"});
    QAbstractItemModel* model = face->lstMain->model();
    ASSERT_EQ(model->rowCount(), 1);
    ASSERT_EQ(model->columnCount(), 8);
    QStringList captions;
    for (int c = 0; c < 8; ++c) captions << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(captions,
              (QStringList{"", "Filename", "%", "Size", "Recieved", "Status", "URL", "Date"}));
    captions.clear();
    for (int c = 0; c < 8; ++c)
        captions << face->lstComplete->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(captions,
              (QStringList{"", "Complete", "%", "Size", "Recieved", "Status", "URL", "Date"}));
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(model->index(0, k).data().toString(), queue.lstMain.At(0)->SubItem(k)) << k;
    EXPECT_FALSE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(face->lstComplete->model()->index(0, 1).data().toString(),
              QStringLiteral("/d/c.txt"));
    EXPECT_TRUE(face->lstMain->isColumnHidden(7));
    EXPECT_EQ(face->lstMain->columnWidth(1), 3705 / 15);
    EXPECT_EQ(face->lstMain->columnWidth(6), 5998 / 15);

    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    queue.lstMain.At(0)->setSubItem(2, QStringLiteral("46%"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("46%"));
    queue.lstMain.Clear();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(frmMainFaceTest, AHeaderClickSortsAndASecondOneReverses) {
    DownloadQueue& queue = main->Queue;
    for (const char* name : {"b", "a", "c"}) addRow(queue.lstMain, 1, {QLatin1String(name)});
    face->show();
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    QHeaderView* header = face->lstMain->header();
    const QPoint onFilename(header->sectionViewportPosition(1) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onFilename);
    QAbstractItemModel* model = face->lstMain->model();
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("a"));
    EXPECT_EQ(model->index(2, 1).data().toString(), QStringLiteral("c"));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onFilename);
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("c"));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
}

TEST_F(frmMainFaceTest, TheSelectionIsTheRowsSelection) {
    DownloadQueue& queue = main->Queue;
    for (const char* name : {"a", "b", "c"}) addRow(queue.lstMain, 1, {QLatin1String(name)});
    face->show();
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    queue.SelectAll();
    EXPECT_EQ(face->lstMain->selectionModel()->selectedRows().size(), 3);
    queue.DeselectAll();
    EXPECT_TRUE(face->lstMain->selectionModel()->selectedRows().isEmpty());

    const QRect second = face->lstMain->visualRect(face->lstMain->model()->index(1, 1));
    QTest::mouseClick(face->lstMain->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(queue.lstMain.At(0)->Selected);
    EXPECT_TRUE(queue.lstMain.At(1)->Selected);
    // Sorting keeps the selected row selected.
    queue.lstMain_ColumnClick(1);
    queue.lstMain_ColumnClick(1);
    EXPECT_EQ(face->lstMain->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(face->lstMain->selectionModel()->isRowSelected(1, {}));
    face->mnuQueue->popup(QPoint());
    actionNamed(face->mnuQueue, QStringLiteral("Remove Selection"))->trigger();
    face->mnuQueue->hide();
    ASSERT_EQ(queue.lstMain.Count(), 2);
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(1), QStringLiteral("c"));
    EXPECT_EQ(queue.lstMain.At(1)->SubItem(1), QStringLiteral("a"));
}

TEST_F(frmMainFaceTest, RightButtonReleaseOpensTheListsPopUpMenus) {
    addRow(main->Queue.lstMain, 1, {"a"});
    addRow(main->Queue.lstComplete, 4, {"b"});
    face->show();
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    main->FlashCommand(QStringLiteral("IDC_FS_ShowC"));
    QTest::mouseClick(face->lstMain->viewport(), Qt::RightButton, {}, QPoint(20, 5));
    EXPECT_TRUE(face->mnuQueue->isVisible());
    EXPECT_FALSE(face->mnuComplete->isVisible());
    face->mnuQueue->hide();
    QTest::mouseClick(face->lstComplete->viewport(), Qt::RightButton, {}, QPoint(20, 5));
    EXPECT_TRUE(face->mnuComplete->isVisible());
    face->mnuComplete->hide();

    EXPECT_EQ(visibleTexts(face->mnuQueue),
              (QStringList{"Refresh", "Clear Queue", "Select All", "De-Select All",
                           "Re-Download URL...", "Remove Selection"}));
    EXPECT_EQ(hiddenTexts(face->mnuQueue),
              (QStringList{"Pause", "Resume", "Stop", "Pause All", "Resume All", "Stop All"}));
    EXPECT_EQ(visibleTexts(face->mnuComplete),
              (QStringList{"Remove selection", "Remove All", "Re-Download URL..."}));
    actionNamed(face->mnuComplete, QStringLiteral("Remove All"))->trigger();
    EXPECT_EQ(main->Queue.lstComplete.Count(), 0);
    actionNamed(face->mnuQueue, QStringLiteral("Clear Queue"))->trigger();
    EXPECT_EQ(main->Queue.lstMain.Count(), 0);
}

TEST_F(frmMainFaceTest, TheMainMenusAndTheTrayMenu) {
    QStringList menus;
    for (QAction* action : face->menuBar()->actions()) menus << shown(action->text());
    EXPECT_EQ(menus, (QStringList{"File", "Downloads", "Options", "Help"}));
    const auto menu = [&](int i) { return face->menuBar()->actions()[i]->menu(); };
    EXPECT_EQ(visibleTexts(menu(0)), (QStringList{"Add URL", "Exit"}));
    EXPECT_EQ(visibleTexts(menu(1)),
              (QStringList{"Re-Download", "Pause All", "Resume All", "Stop All"}));
    EXPECT_EQ(visibleTexts(menu(2)), (QStringList{"Schedule", "Settings"}));
    EXPECT_EQ(hiddenTexts(menu(2)), (QStringList{"Show Windows", "Hide Windows"}));
    EXPECT_EQ(visibleTexts(menu(3)), (QStringList{"About", "User's Guide"}));

    EXPECT_EQ(face->TRAYMNU->objectName(), QStringLiteral("TRAYMNU"));
    EXPECT_EQ(visibleTexts(face->TRAYMNU),
              (QStringList{"Show Download Status", "-", "Tools", "-", "Close"}));
    EXPECT_EQ(hiddenTexts(face->TRAYMNU), QStringList{"Download Windows"});
    QMenu* tools = actionNamed(face->TRAYMNU, QStringLiteral("Tools"))->menu();
    EXPECT_EQ(visibleTexts(tools),
              (QStringList{"Enter URL", "Settings...", "-", "Pause All", "Resume All"}));
    EXPECT_EQ(hiddenTexts(tools), QStringList{"Drop Target"});

    actionNamed(menu(0), QStringLiteral("Add URL"))->trigger();
    EXPECT_EQ(addUrls, 1);
    face->showMinimized();
    actionNamed(face->TRAYMNU, QStringLiteral("Show Download Status"))->trigger();
    EXPECT_FALSE(face->isMinimized());
    EXPECT_TRUE(face->isVisible());
    actionNamed(face->TRAYMNU, QStringLiteral("Close"))->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(main->IsShutDown());
}

TEST_F(frmMainFaceTest, EveryToolbarButtonSendsACommandTheDispatcherKnows) {
    QStringList sent;
    QObject::connect(face->Toolbar, &ToolbarFace::command,
                     [&](const QString& name) { sent << name; });
    for (QAction* action : face->Toolbar->actions())
        if (!action->isSeparator() &&
            action->data().toString() != QLatin1String("IDC_FS_launchFTP"))
            action->trigger();
    EXPECT_EQ(sent.size(), 11);
    for (const QString& name : sent)
        EXPECT_TRUE(main->Commands().contains(name)) << name.toStdString();
    EXPECT_EQ(addUrls, 1);
    // A press on the bar's empty part moves the window.
    QTest::mousePress(face->Toolbar, Qt::LeftButton, {}, QPoint(face->Toolbar->width() - 2, 2));
    EXPECT_EQ(sent.last(), QStringLiteral("IDC_FS_drag"));
}

TEST_F(frmMainFaceTest, DroppedTextGoesToTheIntakeAndOtherDataIsIgnored) {
    face->show();
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    auto* text = new QMimeData;
    text->setText(QStringLiteral("http://h/a.zip"));
    EXPECT_TRUE(drop(face->lstMain->viewport(), text));
    auto* onToolbar = new QMimeData;
    onToolbar->setText(QStringLiteral("ftp://h/b.zip"));
    EXPECT_TRUE(drop(face->Toolbar, onToolbar));
    auto* binary = new QMimeData;
    binary->setData(QStringLiteral("application/octet-stream"), "xyz");
    EXPECT_FALSE(drop(face->lstMain->viewport(), binary));
    // Taken once the drops have returned.
    EXPECT_TRUE(dropped.isEmpty());
    EXPECT_TRUE(waitFor([&] { return dropped.size() == 2; }));
    EXPECT_EQ(dropped, (QStringList{"http://h/a.zip", "ftp://h/b.zip"}));
    delete text;
    delete onToolbar;
    delete binary;
}

// Ctrl+V adds the clipboard's address; Delete removes the selected rows of the
// list it is pressed in; every menu entry has a mnemonic of its own in its menu.
TEST_F(frmMainFaceTest, PasteDeleteAndMnemonicsFromTheKeyboard) {
    DownloadQueue& queue = main->Queue;
    for (const char* name : {"a", "b", "c"}) addRow(queue.lstMain, 1, {QLatin1String(name)});
    for (const char* name : {"d", "e"}) addRow(queue.lstComplete, 4, {QLatin1String(name)});
    face->show();
    face->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(face.get()));
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    main->FlashCommand(QStringLiteral("IDC_FS_ShowC"));

    const auto column1 = [](const ReportList& list) {
        QStringList texts;
        for (const ListRowPtr& row : list.Rows()) texts << row->SubItem(1);
        return texts;
    };
    face->lstMain->setFocus();
    queue.lstMain.SetSelected(1, true);
    QTest::keyClick(face->lstMain, Qt::Key_Delete);
    EXPECT_EQ(column1(queue.lstMain), (QStringList{"a", "c"}));
    EXPECT_EQ(column1(queue.lstComplete), (QStringList{"d", "e"}));
    face->lstComplete->setFocus();
    queue.lstComplete.SetSelected(0, true);
    QTest::keyClick(face->lstComplete, Qt::Key_Delete);
    EXPECT_EQ(column1(queue.lstComplete), QStringList{"e"});
    EXPECT_EQ(column1(queue.lstMain), (QStringList{"a", "c"}));

    QGuiApplication::clipboard()->setText(QStringLiteral(" http://h/pasted.zip\n"));
    QTest::keyClick(face->lstMain, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dropped, QStringList{"http://h/pasted.zip"});

    QList<const QMenu*> menus = {face->mnuQueue, face->mnuComplete, face->TRAYMNU};
    QString bar;
    for (QAction* action : face->menuBar()->actions()) {
        bar += mnemonic(action->text());
        menus << action->menu();
    }
    menus << actionNamed(face->TRAYMNU, QStringLiteral("Tools"))->menu();
    EXPECT_EQ(bar, QStringLiteral("fdoh"));
    for (const QMenu* menu : menus) {
        QString letters;
        for (const QAction* action : menu->actions()) {
            if (!action->isVisible() || action->isSeparator()) continue;
            const QChar letter = mnemonic(action->text());
            EXPECT_FALSE(letter.isNull()) << action->text().toStdString();
            EXPECT_FALSE(letters.contains(letter)) << action->text().toStdString();
            letters += letter;
        }
    }
}

TEST_F(frmMainFaceTest, TheStatusBarShowsTheTotalRate) {
    addRow(main->Queue.lstMain, 1, {"a"});
    main->Queue.tmrGraph_Timer();
    EXPECT_EQ(face->lblRate->text(), QStringLiteral("Total Transfer Rate: 00.00 Kbps"));
    EXPECT_TRUE(face->lblActivity->text().isEmpty());
}

TEST_F(frmMainFaceTest, WithoutANotificationAreaHidingMinimises) {
    ASSERT_FALSE(Tray::Available());
    face->show();
    main->FlashCommand(QStringLiteral("IDC_FS_tray"));
    EXPECT_TRUE(face->isVisible());
    EXPECT_TRUE(face->isMinimized());
    main->FlashCommand(QStringLiteral("IDC_FS_minimize"));
    EXPECT_TRUE(face->isMinimized());
    face->Tray1->MouseMessage(Tray::kLeftButtonDown);
    EXPECT_FALSE(face->isMinimized());
}

TEST_F(frmMainFaceTest, ClosingTheWindowIsTheShutdown) {
    ASSERT_TRUE(main->Startup());
    addRow(main->Queue.lstComplete, 4, {"/d/c.txt", "100%"});
    face->show();
    face->close();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(main->IsShutDown());
    EXPECT_FALSE(face->Tray1->IsVisible());
    // The Complete row was saved; between it and the end marker only the save date.
    QFile history(AppFilePath(QStringLiteral("History.ini")));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    const QByteArray saved = history.readAll();
    const QByteArray head = "Complete List\r\n/d/c.txt\r\n100%\r\n\r\n\r\n\r\n\r\n";
    const QByteArray tail = "\r\nFinish History\r\n";
    ASSERT_TRUE(saved.startsWith(head) && saved.endsWith(tail)) << saved.constData();
    EXPECT_FALSE(saved.mid(head.size(), saved.size() - head.size() - tail.size()).contains('\n'));
}

}  // namespace
