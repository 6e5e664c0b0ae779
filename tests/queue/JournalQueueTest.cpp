// The progress journal on the desktop: a segmented download ended with the
// program continues from its History.ini row segment by segment, and a file that
// changed on the server is offered a fresh start.
#include "QueueFixture.h"
#include "common/QStringPrinter.h"
#include "support/HttpFileResponder.h"
#include "support/TestData.h"

#include <QFileInfo>
#include <algorithm>

namespace {

using Segment = ProgressJournal::Segment;

std::optional<ProgressJournal> journalOf(const QString& target) {
    bool damaged = false;
    return ProgressJournal::read(ProgressJournal::PathFor(target), damaged);
}

class JournalQueueTest : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        // 1001 bytes and more: three segments.
        Settings.Segment = 1;
        Settings.SegmentSize1 = 1000;
        Settings.SegmentSize2 = 1000;
        Settings.SegmentSize3 = 1001;
        Settings.SegmentSize4 = 1e12;
    }
};

TEST_F(JournalQueueTest, ASegmentedRowFromHistoryContinuesEverySegmentAfterTheProgramEnded) {
    const QByteArray data = patternBytes(600000, 80);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.bytesPerTick = 1000, .extraHeaders = {"ETag: \"a1\""}}));
    const QString url = server.url(QStringLiteral("f.bin"));
    const QString file = target(QStringLiteral("f.bin"));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // segmented?
    queue.AddDownload(url, file, -1);
    const QPointer<frmDownload> window = queue.DownloadSlots[0];
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitFor([&] {
        if (window->SegCount != 3) return false;
        for (int k = 0; k < 3; ++k)
            if (window->SegNext[k] - 1 - window->SegStart[k] < 20000) return false;
        return true;
    }, 30000));

    // The program ends as the tray's Close ends it.
    queue.BeginShutdown();
    queue.SaveHistory();
    queue.UnloadAllDownloads();
    const std::optional<ProgressJournal> journal = journalOf(file);
    ASSERT_TRUE(journal);
    ASSERT_EQ(journal->segments.size(), 3);
    QFile part(file);
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    const QByteArray onDisk = part.readAll();
    part.close();
    for (const Segment& s : journal->segments) {
        SCOPED_TRACE(s.start);
        EXPECT_GE(s.next - s.start, 20000);
        EXPECT_TRUE(onDisk.mid(s.start, s.next - s.start) == data.mid(s.start, s.next - s.start));
    }

    // The next start of the program: the row comes from History.ini and is
    // started again with "resume" as the existing-file choice.
    server.setHandler(HttpFileResponder(data, {.extraHeaders = {"ETag: \"a1\""}}));
    const qsizetype before = server.requests().size();
    ScriptedDialogs::current().clear();
    ScriptedDialogs::current().allowOkMessages();
    DownloadQueue restarted;
    restarted.LoadHistory();
    ASSERT_EQ(restarted.lstMain.Count(), 1);
    EXPECT_EQ(restarted.lstMain.At(0)->SubItem(6), url);
    restarted.AskExistChoice = [] { return -1; };
    restarted.lstMain.SetSelected(0, true);
    restarted.ReDownload();
    ASSERT_TRUE(waitFor([&] { return restarted.lstComplete.Count() == 1; }, 30000));
    EXPECT_EQ(restarted.lstMain.Count(), 0);
    EXPECT_EQ(readWholeFile(file), data);
    EXPECT_FALSE(QFileInfo::exists(ProgressJournal::PathFor(file)));
    // No segmented question: the journal settled the segments.
    for (const auto& call : ScriptedDialogs::current().calls()) EXPECT_EQ(call.buttons, Dialogs::Buttons::OK);
    QList<QByteArray> ranges;
    for (qsizetype r = before; r < server.requests().size(); ++r) {
        const auto& request = server.requests()[r];
        if (request.header("User-Agent").startsWith("Ostel Segment ")) ranges << request.header("Range");
    }
    std::sort(ranges.begin(), ranges.end());
    QList<QByteArray> expected;
    for (const Segment& s : journal->segments)
        expected << "bytes=" + QByteArray::number(std::max(s.start, s.next - Settings.Rollback)) + "-" +
                        QByteArray::number(s.end - 1);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ranges, expected);
}

// Stop All then Resume All: the stopped segmented download starts again as a
// resume, and its journal carries every segment on.
TEST_F(JournalQueueTest, ResumeAllContinuesAStoppedSegmentedDownload) {
    const QByteArray data = patternBytes(600000, 83);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.bytesPerTick = 1000}));
    const QString file = target(QStringLiteral("f.bin"));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // segmented?
    queue.AddDownload(server.url(QStringLiteral("f.bin")), file, -1);
    const QPointer<frmDownload> window = queue.DownloadSlots[0];
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitFor([&] { return window->SegCount == 3 && window->SegNext[2] - 1 - window->SegStart[2] > 20000; },
                        30000));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // stop?
    queue.StopAll();
    ASSERT_EQ(window->cmdStop.Caption, QStringLiteral("&Close"));

    server.setHandler(HttpFileResponder(data));
    ScriptedDialogs::current().allowOkMessages();
    queue.ResumeAll();
    ASSERT_TRUE(waitFor([&] { return queue.lstComplete.Count() == 1; }, 30000));
    EXPECT_EQ(readWholeFile(file), data);
    EXPECT_FALSE(QFileInfo::exists(ProgressJournal::PathFor(file)));
    // Two questions of the first run, none of the second.
    int questions = 0;
    for (const auto& call : ScriptedDialogs::current().calls()) questions += call.buttons != Dialogs::Buttons::OK;
    EXPECT_EQ(questions, 2);
}

// The question comes once the download has failed; Yes fetches the new file
// from its first byte in the same row, No leaves the old bytes and their journal.
TEST_F(JournalQueueTest, AChangedServerFileIsOfferedAFreshStart) {
    Settings.Segment = 0;
    const QByteArray old = patternBytes(300000, 81);
    const QByteArray newer = patternBytes(300000, 82);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(newer, {.extraHeaders = {"ETag: \"new\""}}));
    const QString url = server.url(QStringLiteral("f.bin"));
    const QString file = target(QStringLiteral("f.bin"));
    ProgressJournal journal;
    journal.url = url;
    journal.size = 300000;
    journal.etag = "\"old\"";
    journal.segments = {{0, 300000, 100000}};
    const QString question = QStringLiteral(
        "The file on the server has changed since this download began.\r\nDownload it again from the start?");

    for (const Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Yes}) {
        const bool yes = answer == Dialogs::Answer::Yes;
        SCOPED_TRACE(yes ? "Yes" : "No");
        ASSERT_TRUE(writeWholeFile(file, old.left(100000)));
        ASSERT_TRUE(journal.write(ProgressJournal::PathFor(file)));
        ScriptedDialogs::current().clear();
        ScriptedDialogs::current().allowOkMessages();
        ScriptedDialogs::current().answerMessage(answer);
        queue.lstMain.Clear();
        queue.AskExistChoice = [] { return -1; };
        queue.AddDownload(url, file, -1);
        ASSERT_TRUE(waitFor([&] {
            return !ScriptedDialogs::current().calls().empty() &&
                   (!yes || queue.lstComplete.Count() == 1);
        }, 30000));
        const auto& calls = ScriptedDialogs::current().calls();
        EXPECT_EQ(calls[0].text, question);
        EXPECT_EQ(calls[0].icon, Dialogs::Icon::Question);
        if (yes) {
            EXPECT_EQ(readWholeFile(file), newer);
            EXPECT_FALSE(QFileInfo::exists(ProgressJournal::PathFor(file)));
            EXPECT_EQ(queue.lstMain.Count(), 0);
        } else {
            EXPECT_EQ(readWholeFile(file), old.left(100000));
            EXPECT_EQ(journalOf(file), journal);
            ASSERT_EQ(queue.lstMain.Count(), 1);
            EXPECT_EQ(queue.lstMain.At(0)->SubItem(5), frmDownload::RemoteChangedText());
        }
    }
}

}  // namespace
