// Starting, restarting and choosing slots for downloads.
#include "QueueFixture.h"
#include "common/QStringPrinter.h"
#include "support/ConnectionsSoFar.h"
#include "support/HttpFileResponder.h"
#include "support/TestData.h"

#include <QFile>

namespace {

using DownloadQueueTest = QueueFixture;

const QString kLimitMessage = QStringLiteral("You exceed maximum number of downloads");
const QString kBusyMessage = QStringLiteral("Selected file is already in downloading process");

TEST_F(DownloadQueueTest, TheTwentyFirstStartIsRefusedButMayBeAddedForLater) {
    ScriptedDialogs::current().allowOkMessages();
    addLaterRows(20);
    queue.AddDownload(silentUrl(QStringLiteral("x.bin")), target(QStringLiteral("x.bin")), -1);
    ASSERT_EQ(dialogCalls().size(), 1u);
    EXPECT_EQ(dialogCalls()[0].text, kLimitMessage);
    EXPECT_EQ(dialogCalls()[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(queue.lstMain.Count(), 20);
    EXPECT_EQ(windowCount(), 0);

    queue.RedownloadRow(silentUrl(QStringLiteral("f5.bin")), target(QStringLiteral("f5.bin")), 5,
                        queue.lstMain.At(4));
    EXPECT_EQ(dialogCalls().size(), 2u);
    EXPECT_EQ(windowCount(), 0);

    queue.AddLaterDownload(silentUrl(QStringLiteral("y.bin")), target(QStringLiteral("y.bin")));
    ASSERT_EQ(queue.lstMain.Count(), 21);
    const ListRowPtr row = queue.lstMain.At(20);
    EXPECT_EQ(row->SmallIcon, 1);
    const QStringList expected = {target(QStringLiteral("y.bin")),
                                  QStringLiteral("0%"),
                                  QStringLiteral("N/A"),
                                  QStringLiteral("N/A"),
                                  QStringLiteral("Not Downloaded"),
                                  silentUrl(QStringLiteral("y.bin")),
                                  QString()};
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(row->SubItem(k), expected[k - 1]) << k;
    EXPECT_EQ(ExistChoice, -2);
}

TEST_F(DownloadQueueTest, ANewDownloadTakesTheSlotOfTheRowCountAndAddsARow) {
    addLaterRows(3);
    std::vector<frmDownload*> shown;
    QObject::connect(&queue, &DownloadQueue::windowShown,
                     [&](frmDownload* w) { shown.push_back(w); });
    const QString url = silentUrl(QStringLiteral("new.bin"));
    queue.AddDownload(url, target(QStringLiteral("new.bin")), -1);

    ASSERT_EQ(queue.lstMain.Count(), 4);
    frmDownload* window = queue.DownloadSlots[3];
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(window->Index, 3);
    EXPECT_EQ(shown, std::vector<frmDownload*>{window});
    const ListRowPtr row = queue.lstMain.At(3);
    EXPECT_EQ(window->ListItem, row);
    EXPECT_EQ(row->SmallIcon, 1);
    EXPECT_EQ(row->SubItem(1), target(QStringLiteral("new.bin")));
    EXPECT_EQ(row->SubItem(2), QStringLiteral("0%"));
    for (int k = 3; k <= 5; ++k) EXPECT_EQ(row->SubItem(k), QStringLiteral("N/A")) << k;
    EXPECT_EQ(row->SubItem(6), url);
    EXPECT_EQ(row->SubItem(7), QString());
    EXPECT_EQ(window->SavePath, target(QStringLiteral("new.bin")));
    EXPECT_EQ(window->URL, url);
    EXPECT_EQ(window->Port, silent_.port());
    // Started: connecting to the server.
    EXPECT_TRUE(waitFor([&] { return silent_.connectionCount() == 1; }));
    EXPECT_TRUE(DownloadQueue::IsBusy(window));
}

TEST_F(DownloadQueueTest, ARestartedRowKeepsItsPlaceAndUsesTheSlotBeforeIt) {
    ScriptedDialogs::current().allowOkMessages();
    addLaterRows(5);
    const ListRowPtr row5 = queue.lstMain.At(4);
    queue.RedownloadRow(silentUrl(QStringLiteral("f5.bin")), target(QStringLiteral("f5.bin")), 5,
                        row5);
    EXPECT_EQ(queue.lstMain.Count(), 5);
    ASSERT_NE(queue.DownloadSlots[4], nullptr);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(queue.DownloadSlots[4]->ListItem, row5);
    EXPECT_EQ(queue.DownloadSlots[4]->Index, 4);
    // The row keeps its texts until the window writes.
    EXPECT_EQ(row5->SubItem(5), QStringLiteral("Not Downloaded"));

    // Asked again while that download still runs: refused, no second window.
    queue.RedownloadRow(silentUrl(QStringLiteral("f5.bin")), target(QStringLiteral("f5.bin")), 5,
                        row5);
    ASSERT_EQ(dialogCalls().size(), 1u);
    EXPECT_EQ(dialogCalls()[0].text, kBusyMessage);
    EXPECT_EQ(windowCount(), 1);
}

TEST_F(DownloadQueueTest, APositiveRowIndexReportsIntoThatRowAndLeavesARunningOneAlone) {
    addLaterRows(4);
    const ListRowPtr row2 = queue.lstMain.At(1);
    queue.AddDownload(silentUrl(QStringLiteral("f2.bin")), target(QStringLiteral("f2.bin")), 2);
    EXPECT_EQ(queue.lstMain.Count(), 4);
    frmDownload* window = queue.DownloadSlots[1];
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ListItem, row2);
    // The scheduler restarts rows by position; a row already downloading is skipped quietly.
    queue.AddDownload(silentUrl(QStringLiteral("f2.bin")), target(QStringLiteral("f2.bin")), 2);
    EXPECT_EQ(queue.DownloadSlots[1], window);
    EXPECT_EQ(windowCount(), 1);
    EXPECT_TRUE(dialogCalls().empty());
}

TEST_F(DownloadQueueTest, ReDownloadSkipsRowsInProgressAndStopsAtAnEmptyAddress) {
    ScriptedDialogs::current().allowOkMessages();
    addLaterRows(5);
    queue.RedownloadRow(silentUrl(QStringLiteral("f2.bin")), target(QStringLiteral("f2.bin")), 2,
                        queue.lstMain.At(1));
    frmDownload* second = queue.DownloadSlots[1];
    queue.lstMain.At(3)->setSubItem(6, QString());
    queue.SelectAll();
    queue.ReDownload();
    // Row 1 started, row 2 refused with the message, row 3 started, row 4 ended the loop.
    EXPECT_EQ(queue.DownloadSlots[1], second);
    ASSERT_EQ(dialogCalls().size(), 1u);
    EXPECT_EQ(dialogCalls()[0].text, kBusyMessage);
    EXPECT_EQ(dialogCalls()[0].icon, Dialogs::Icon::Critical);
    ASSERT_NE(queue.DownloadSlots[0], nullptr);
    ASSERT_NE(queue.DownloadSlots[2], nullptr);
    EXPECT_EQ(queue.DownloadSlots[0]->ListItem, queue.lstMain.At(0));
    EXPECT_EQ(queue.DownloadSlots[2]->ListItem, queue.lstMain.At(2));
    EXPECT_EQ(windowCount(), 3);
    EXPECT_EQ(queue.lstMain.Count(), 5);
}

TEST_F(DownloadQueueTest, ReDownloadTakesTheAddressFromItsScheme) {
    const QString url =
        silentUrl(QStringLiteral("a.bin")).replace(QStringLiteral("http"), QStringLiteral("HTTP"));
    const QString ftp = QStringLiteral("ftp://127.0.0.1:%1/b.bin").arg(silent_.port());
    const QString secure = QStringLiteral("Https://127.0.0.1:%1/c.bin").arg(silent_.port());
    for (const QString& address : {url, ftp, secure}) {
        queue.UnloadAllDownloads();
        queue.ClearQueue();
        queue.AddLaterDownload(QStringLiteral("saved from ") + address,
                               target(QStringLiteral("a.bin")));
        queue.SelectAll();
        queue.ReDownload();
        ASSERT_NE(queue.DownloadSlots[0], nullptr) << address.toStdString();
        EXPECT_EQ(queue.DownloadSlots[0]->URL, address);
        // The row keeps what it had.
        EXPECT_EQ(queue.lstMain.At(0)->SubItem(6), QStringLiteral("saved from ") + address);
    }
}

TEST_F(DownloadQueueTest, CompleteRowsAreDownloadedAgainAsNewRows) {
    const ListRowPtr done = queue.lstComplete.Add(4);
    done->setSubItem(1, target(QStringLiteral("done.bin")));
    done->setSubItem(6, silentUrl(QStringLiteral("done.bin")));
    const ListRowPtr empty = queue.lstComplete.Add(4);
    queue.lstComplete.SetAllSelected(true);
    queue.ReDownloadComplete();
    EXPECT_EQ(queue.lstComplete.Count(), 2);
    ASSERT_EQ(queue.lstMain.Count(), 1);
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(6), silentUrl(QStringLiteral("done.bin")));
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(1), target(QStringLiteral("done.bin")));
    EXPECT_EQ(windowCount(), 1);
}

TEST_F(DownloadQueueTest, ABusySlotIsNotTakenOverByANewDownload) {
    for (const char* name : {"a.bin", "b.bin"})
        queue.AddDownload(silentUrl(QLatin1String(name)), target(QLatin1String(name)), -1);
    frmDownload* first = queue.DownloadSlots[0];
    frmDownload* second = queue.DownloadSlots[1];
    // Clearing the list leaves the windows running; the row count points at slot 0 again.
    queue.ClearQueue();
    queue.AddDownload(silentUrl(QStringLiteral("c.bin")), target(QStringLiteral("c.bin")), -1);
    EXPECT_EQ(queue.DownloadSlots[0], first);
    EXPECT_EQ(queue.DownloadSlots[1], second);
    ASSERT_NE(queue.DownloadSlots[2], nullptr);
    EXPECT_EQ(queue.DownloadSlots[2]->URL, silentUrl(QStringLiteral("c.bin")));
    EXPECT_EQ(first->URL, silentUrl(QStringLiteral("a.bin")));

    // A finished window gives its slot up.
    first->StopDown();
    queue.ClearQueue();
    queue.AddDownload(silentUrl(QStringLiteral("d.bin")), target(QStringLiteral("d.bin")), -1);
    ASSERT_NE(queue.DownloadSlots[0], nullptr);
    EXPECT_EQ(queue.DownloadSlots[0]->URL, silentUrl(QStringLiteral("d.bin")));
    EXPECT_EQ(windowCount(), 3);
}

TEST_F(DownloadQueueTest, AnExistingTargetIsSettledByTheDialogOrTheSchedule) {
    const QString existing = target(QStringLiteral("there.bin"));
    ASSERT_TRUE(writeWholeFile(existing, "old content"));
    int asked = 0;
    queue.AskExistChoice = [&] {
        ++asked;
        return -2;
    };
    queue.AddDownload(silentUrl(QStringLiteral("there.bin")), existing, -1);
    EXPECT_EQ(asked, 1);
    // Skipped: the window unloaded at once and the file is untouched.
    EXPECT_EQ(windowCount(), 0);
    EXPECT_EQ(connectionsSoFar(silent_), 0);
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old content"));

    struct Case {
        std::int16_t schedule;
        std::int32_t exist;
    };
    ScheduledRun = true;
    // Overwrite comes last: it deletes the file.
    for (const Case c : {Case{3, -2}, Case{2, -1}}) {
        ScheduleExistChoice = c.schedule;
        ExistChoice = 99;
        queue.AddDownload(silentUrl(QStringLiteral("there.bin")), existing, -1);
        EXPECT_EQ(ExistChoice, c.exist) << c.schedule;
        queue.UnloadAllDownloads();
    }
    EXPECT_EQ(asked, 1);

    // The program shuts down while the dialog is open: nothing is started.
    ScheduledRun = false;
    queue.AskExistChoice = [&] {
        ++asked;
        queue.UnloadAllDownloads();
        return 0;
    };
    const int rows = queue.lstMain.Count();
    queue.AddDownload(silentUrl(QStringLiteral("late.bin")), existing, -1);
    EXPECT_EQ(queue.lstMain.Count(), rows);
    EXPECT_EQ(windowCount(), 0);

    ScheduledRun = true;
    ScheduleExistChoice = 1;
    queue.AddDownload(silentUrl(QStringLiteral("there.bin")), existing, -1);
    EXPECT_EQ(ExistChoice, 0);
    queue.UnloadAllDownloads();

    // A target that does not exist asks nothing and overwrites.
    ScheduledRun = false;
    ExistChoice = 99;
    queue.AddDownload(silentUrl(QStringLiteral("new.bin")), target(QStringLiteral("new.bin")), -1);
    EXPECT_EQ(ExistChoice, 0);
    EXPECT_EQ(asked, 2);
}

// The choice is what the dialog returned: another start may have changed the
// program-wide value while the dialog's loop ran.
TEST_F(DownloadQueueTest, TheExistingFileChoiceIsTheDialogsAnswer) {
    const QString existing = target(QStringLiteral("there.bin"));
    ASSERT_TRUE(writeWholeFile(existing, "old content"));
    queue.AskExistChoice = [] {
        ExistChoice = -1;
        return -2;
    };
    queue.AddDownload(silentUrl(QStringLiteral("there.bin")), existing, -1);
    EXPECT_EQ(windowCount(), 0);
    EXPECT_EQ(ExistChoice, -2);
    EXPECT_EQ(connectionsSoFar(silent_), 0);
    EXPECT_EQ(readWholeFile(existing), QByteArray("old content"));
}

// The "Download Successful." box runs the event loop. What happens meanwhile (a
// new address, the program ending) neither takes the finished window's slot nor
// deletes the window under its handler.
TEST_F(DownloadQueueTest, AFinishedWindowIsBusyUntilItsCompletionHandlerReturns) {
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(patternBytes(5000, 3)));
    for (const bool shutdown : {false, true}) {
        SCOPED_TRACE(shutdown);
        queue.UnloadAllDownloads();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ScriptedDialogs::current().allowOkMessages();
        QPointer<frmDownload> finished;
        int shown = 0;
        ScriptedDialogs::current().whileMessageShown([&](const ScriptedDialogs::Call& call) {
            if (call.text != QLatin1String("Download Successful.")) return;
            ++shown;
            finished = queue.DownloadSlots[0];
            if (shutdown)
                queue.UnloadAllDownloads();
            else  // by the row count its slot would be 0 again
                queue.AddDownload(silentUrl(QStringLiteral("next.bin")),
                                  target(QStringLiteral("next.bin")), -1);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        queue.AddDownload(server.url(QStringLiteral("done.bin")), target(QStringLiteral("done.bin")),
                          -1);
        ASSERT_TRUE(waitFor([&] { return shown == 1; }));
        if (shutdown) {
            EXPECT_FALSE(finished);
            EXPECT_EQ(windowCount(), 0);
            continue;
        }
        ASSERT_TRUE(finished);
        EXPECT_EQ(queue.DownloadSlots[0], finished);
        EXPECT_EQ(finished->outcome(), frmDownload::Outcome::Completed);
        EXPECT_FALSE(finished->CompletionRunning());
        ASSERT_TRUE(queue.DownloadSlots[1]);
        EXPECT_EQ(queue.DownloadSlots[1]->URL, silentUrl(QStringLiteral("next.bin")));
    }
    EXPECT_EQ(readWholeFile(target(QStringLiteral("done.bin"))), patternBytes(5000, 3));
}

// Resuming a file that is complete already completes its Complete row again
// instead of adding a second one.
TEST_F(DownloadQueueTest, ResumingACompleteFileCompletesItsExistingRow) {
    const QByteArray data = patternBytes(9000, 4);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    const QString path = target(QStringLiteral("done.bin"));
    ASSERT_TRUE(writeWholeFile(path, data));
    const ListRowPtr other = queue.lstComplete.Add(4);
    other->setSubItem(1, target(QStringLiteral("other.bin")));
    const ListRowPtr earlier = queue.lstComplete.Add(4);
    for (int k = 1; k <= 7; ++k) earlier->setSubItem(k, QStringLiteral("old %1").arg(k));
    earlier->setSubItem(1, path);
    ScriptedDialogs::current().allowOkMessages();
    queue.AskExistChoice = [] { return -1; };
    const QString url = server.url(QStringLiteral("done.bin"));
    queue.AddDownload(url, path, -1);
    ASSERT_TRUE(waitFor([&] { return queue.lstMain.Count() == 0; }));
    ASSERT_EQ(queue.lstComplete.Count(), 2);
    EXPECT_EQ(queue.lstComplete.At(0), other);
    EXPECT_EQ(queue.lstComplete.At(1), earlier);
    EXPECT_EQ(earlier->SubItem(2), QStringLiteral("100%"));
    EXPECT_EQ(earlier->SubItem(5), QStringLiteral("Download Success"));
    EXPECT_EQ(earlier->SubItem(6), url);
    EXPECT_EQ(readWholeFile(path), data);
}

TEST_F(DownloadQueueTest, LineBreaksNeverReachARow) {
    queue.AddDownload(silentUrl(QStringLiteral("a\r\nb.bin")), target(QStringLiteral("x\ny.bin")),
                      -1);
    queue.AddLaterDownload(QStringLiteral("http://h/\rz.bin"), QStringLiteral("/t/\n\nz.bin"));
    ASSERT_EQ(queue.lstMain.Count(), 2);
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(6), silentUrl(QStringLiteral("ab.bin")));
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(1), target(QStringLiteral("xy.bin")));
    EXPECT_EQ(queue.DownloadSlots[0]->URL, silentUrl(QStringLiteral("ab.bin")));
    EXPECT_EQ(queue.DownloadSlots[0]->SavePath, target(QStringLiteral("xy.bin")));
    EXPECT_EQ(queue.lstMain.At(1)->SubItem(6), QStringLiteral("http://h/z.bin"));
    EXPECT_EQ(queue.lstMain.At(1)->SubItem(1), QStringLiteral("/t/z.bin"));
    // Texts a window writes are cleaned as well.
    queue.lstMain.At(0)->setSubItem(5, QStringLiteral("HTTP/1.1 404 x\nInjected: y"));
    EXPECT_EQ(queue.lstMain.At(0)->SubItem(5), QStringLiteral("HTTP/1.1 404 xInjected: y"));
}

TEST_F(DownloadQueueTest, UnloadAllEmptiesEverySlot) {
    for (const char* name : {"a.bin", "b.bin", "c.bin"})
        queue.AddDownload(silentUrl(QLatin1String(name)), target(QLatin1String(name)), -1);
    QPointer<frmDownload> first = queue.DownloadSlots[0];
    ASSERT_EQ(windowCount(), 3);
    queue.UnloadAllDownloads();
    EXPECT_EQ(windowCount(), 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->outcome(), frmDownload::Outcome::Unloaded);
    // Rows stay.
    EXPECT_EQ(queue.lstMain.Count(), 3);
}

}  // namespace
