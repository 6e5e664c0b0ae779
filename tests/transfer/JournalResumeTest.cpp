// Downloads that continue from their progress journal, journals that cannot be
// used, and a server file that changed between the runs.
#include "DownloadFixture.h"
#include "FtpFixture.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedHttpServer.h"
#include "transfer/JournalWriter.h"

#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

namespace {

using Reply = ScriptedHttpServer::Reply;
using Segment = ProgressJournal::Segment;

QString journalOf(const QString& target) {
    return ProgressJournal::PathFor(target);
}

// Once the writer is done with it.
std::optional<ProgressJournal> journalOnDisk(const QString& target) {
    JournalWriter::instance().wait(journalOf(target));
    bool damaged = false;
    return ProgressJournal::read(journalOf(target), damaged);
}

ProgressJournal journalFor(const QString& url, qint64 size, QList<Segment> segments,
                           const QByteArray& etag = {}) {
    ProgressJournal journal;
    journal.url = url;
    journal.size = size;
    journal.etag = etag;
    journal.segments = std::move(segments);
    return journal;
}

// The file a segmented download leaves: each segment's bytes up to its next one,
// holes between them.
QByteArray leftBy(const QByteArray& data, const QList<Segment>& segments) {
    qint64 length = 0;
    for (const Segment& s : segments) length = std::max(length, s.next);
    QByteArray file(length, '\0');
    for (const Segment& s : segments) file.replace(s.start, s.next - s.start, data.mid(s.start, s.next - s.start));
    return file;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every byte the journal counts is the expected one.
void expectCountedBytes(const ProgressJournal& journal, const QString& path, const QByteArray& expected) {
    const QByteArray onDisk = fileBytes(path);
    for (const Segment& s : journal.segments) {
        SCOPED_TRACE(s.start);
        ASSERT_GE(onDisk.size(), s.next);
        EXPECT_TRUE(onDisk.mid(s.start, s.next - s.start) == expected.mid(s.start, s.next - s.start));
    }
}

// The requests of the segments, in arrival order.
QList<ScriptedHttpServer::Request> segmentRequests(const ScriptedHttpServer& server) {
    QList<ScriptedHttpServer::Request> requests;
    for (const auto& request : server.requests())
        if (request.header("User-Agent").startsWith("Ostel Segment ")) requests << request;
    return requests;
}

class JournalResumeTest : public DownloadFixture {
protected:
    void SetUp() override {
        DownloadFixture::SetUp();
        // 1000 bytes and more: three segments.
        Settings.SegmentSize1 = 1000;
        Settings.SegmentSize2 = 1000;
        Settings.SegmentSize3 = 1001;
        Settings.SegmentSize4 = 100000000;
    }
};

TEST_F(JournalResumeTest, StoppedSegmentsContinueFromTheirJournal) {
    Settings.Segment = 1;
    const QByteArray data = patternBytes(300000, 60);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.bytesPerTick = 1000, .extraHeaders = {"ETag: \"v1\""}}));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // segmented
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegCount == 3; }));

    // Written at the set-up, before a byte came; the owner's alone.
    std::optional<ProgressJournal> journal = journalOnDisk(target());
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->segments, (QList<Segment>{{0, 100000, 0}, {100000, 200000, 100000}, {200000, 300000, 200000}}));
    EXPECT_EQ(journal->etag, "\"v1\"");
    EXPECT_EQ(journal->url, dl.URL);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(journalOf(target())).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const auto each = [&](const std::function<bool(int)>& holds) {
        for (int k = 0; k < 3; ++k)
            if (!holds(k)) return false;
        return true;
    };
    ASSERT_TRUE(waitFor([&] { return each([&](int k) { return dl.SegNext[k] - 1 - dl.SegStart[k] > 20000; }); }));
    dl.tmrUpdate_Timer();
    journal = journalOnDisk(target());
    ASSERT_TRUE(journal);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(journal->segments[k].next, dl.SegNext[k] - 1);

    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);  // stop?
    dl.StopMe();
    journal = journalOnDisk(target());
    ASSERT_TRUE(journal);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(journal->segments[k].next, dl.SegNext[k] - 1);
    expectCountedBytes(*journal, target(), data);
    const qsizetype firstRun = segmentRequests(server).size();

    // Another run continues every segment from its own next byte less the rollback.
    ScriptedDialogs::current().clear();
    ScriptedDialogs::current().allowOkMessages();
    start(server.url(QStringLiteral("f")), target(), -1);
    ASSERT_TRUE(waitForOutcome(30000));
    expectFile(target(), data);
    EXPECT_FALSE(QFileInfo::exists(journalOf(target())));
    // No question: the journal settled the segments.
    for (const auto& call : ScriptedDialogs::current().calls()) EXPECT_EQ(call.buttons, Dialogs::Buttons::OK);
    const QList<ScriptedHttpServer::Request> requests = segmentRequests(server).mid(firstRun);
    ASSERT_EQ(requests.size(), 3);
    for (const auto& request : requests) {
        const int k = request.header("User-Agent").back() - '0';
        const Segment& s = journal->segments[k];
        EXPECT_EQ(request.header("Range"), "bytes=" + QByteArray::number(std::max(s.start, s.next - 4096)) + "-" +
                                               QByteArray::number(s.end - 1));
        EXPECT_EQ(request.header("If-Range"), "\"v1\"");
    }
}

// A journal that cannot be used counts as absent, with one line that says why:
// the file, written as by one connection, continues from its length. A usable
// one sets every segment's position.
TEST_F(JournalResumeTest, UnusableJournalCountsAsAbsent) {
    const QByteArray data = patternBytes(20000, 61);
    const struct {
        const char* name;
        std::function<QByteArray(const QString& url)> journal;
        const char* line;  // after "The progress journal file.bin.lumet is ignored: "
        QList<QByteArray> ranges;  // one per segment
        qint64 local = 10000;  // bytes of the file on disk
    } rows[] = {
        {"damaged", [](const QString&) { return QByteArray("Lumet progress journal 1\nurl "); }, "it is damaged.",
         {"5903-19999"}},
        {"another address",
         [](const QString&) { return journalFor(QStringLiteral("http://127.0.0.1:1/f"), 20000, {{0, 20000, 8000}}).toText(); },
         "it belongs to another address.", {"5903-19999"}},
        {"positions past the file's end",
         [](const QString& url) { return journalFor(url, 20000, {{0, 20000, 15000}}).toText(); },
         "it does not match the file.", {"5903-19999"}},
        {"a file longer than its size",
         [](const QString& url) { return journalFor(url, 8000, {{0, 8000, 6000}}).toText(); },
         "it does not match the file.", {"5903-19999"}},
        {"left by a completed download",
         [](const QString& url) { return journalFor(url, 20000, {{0, 20000, 20000}}).toText(); }, nullptr,
         {"15903-19999"}, 20000},
        {"usable", [](const QString& url) { return journalFor(url, 20000, {{0, 20000, 9000}}).toText(); }, nullptr,
         {"4904-19999"}},
        // Killed before the later segments wrote a byte: they begin past the file's end.
        {"usable, segments without bytes past the file's end",
         [](const QString& url) {
             return journalFor(url, 20000, {{0, 7000, 5000}, {7000, 14000, 7000}, {14000, 20000, 14000}}).toText();
         },
         nullptr, {"904-6999", "7000-13999", "14000-19999"}, 5000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedHttpServer server;
        server.setHandler(HttpFileResponder(data));
        const QString url = server.url(QStringLiteral("f"));
        ASSERT_TRUE(writeWholeFile(target(), data.left(row.local)));
        ASSERT_TRUE(writeWholeFile(journalOf(target()), row.journal(url)));
        frmDownload& dl = start(url, target(), -1);
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        const QByteArray line = "The progress journal file.bin.lumet is ignored: ";
        if (row.line)
            EXPECT_TRUE(dl.TransferLog.contains(line + row.line + "\r\n")) << dl.TransferLog.left(300).toStdString();
        else
            EXPECT_FALSE(dl.TransferLog.contains(line));
        QList<QByteArray> ranges;
        for (const auto& request : segmentRequests(server)) ranges << request.header("Range").mid(6);
        QList<QByteArray> expected = row.ranges;
        std::sort(ranges.begin(), ranges.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ranges, expected);
        EXPECT_FALSE(QFileInfo::exists(journalOf(target())));
    }
}

// Another file on the server is never mixed into the one on disk: the download
// ends with a clear status, the file and its journal as they were.
TEST_F(JournalResumeTest, ChangedServerFileIsRefused) {
    const QByteArray data = patternBytes(20000, 62);
    QByteArray edited = data;
    edited[8000] = char(edited[8000] ^ 0x20);
    const QByteArray longer = data + "xy";
    const auto file = [](const QByteArray& content, const QByteArray& etag) {
        return HttpFileResponder(content, {.extraHeaders = etag.isEmpty() ? QList<QByteArray>{}
                                                                          : QList<QByteArray>{"ETag: " + etag}});
    };
    const struct {
        const char* name;
        QByteArray journalTag;
        HttpFileResponder probe;
        HttpFileResponder segments;
        int segmentRequests;
    } rows[] = {
        {"another tag at the probe", "\"v1\"", file(data, "\"v2\""), file(data, "\"v2\""), 0},
        {"another size at the probe", {}, file(longer, {}), file(longer, {}), 0},
        {"other bytes before the resume point", {}, file(edited, {}), file(edited, {}), 1},
        {"another tag in a segment's reply", "\"v1\"", file(data, "\"v1\""), file(data, "W/\"v2\""), 1},
        {"another size in a segment's range", {}, file(data, {}), file(longer, {}), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedHttpServer server;
        HttpFileResponder probe = row.probe;
        HttpFileResponder segments = row.segments;
        server.setHandler([&](const ScriptedHttpServer::Request& request) {
            return request.header("User-Agent") == "Zu" ? probe(request) : segments(request);
        });
        const QString url = server.url(QStringLiteral("f"));
        const ProgressJournal before = journalFor(url, 20000, {{0, 20000, 10000}}, row.journalTag);
        ASSERT_TRUE(writeWholeFile(target(), data.left(10000)));
        ASSERT_TRUE(before.write(journalOf(target())));
        frmDownload& dl = start(url, target(), -1);
        ASSERT_TRUE(waitForOutcome());
        EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
        EXPECT_TRUE(dl.RemoteChanged());
        EXPECT_EQ(dl.lblStatus, QStringLiteral("The file on the server has changed since this download began."));
        EXPECT_EQ(dl.ListItem->SubItem(5), dl.lblStatus);
        EXPECT_FALSE(dl.cmdPause.Enabled);
        EXPECT_TRUE(fileBytes(target()) == data.left(10000));
        EXPECT_EQ(journalOnDisk(target()), before);
        const QList<ScriptedHttpServer::Request> requests = segmentRequests(server);
        ASSERT_EQ(requests.size(), row.segmentRequests);
        if (!requests.isEmpty()) {
            EXPECT_EQ(requests[0].header("If-Range"), row.journalTag.isEmpty() ? QByteArray() : row.journalTag);
        }
    }
}

// Two segments find their rolled-back bytes unchanged and write on; the third
// finds its changed. What the first two wrote is the new file's: the journal
// goes back to what was on disk before, so nothing of the new file counts.
TEST_F(JournalResumeTest, SegmentsThatWroteOnBeforeAChangeWasFoundCountNothingOfIt) {
    const QByteArray old = patternBytes(300000, 63);
    const QList<Segment> segments = {{0, 100000, 50000}, {100000, 200000, 150000}, {200000, 300000, 250000}};
    QByteArray changed = patternBytes(300000, 64);
    for (const Segment& s : segments.mid(0, 2))
        changed.replace(s.next - 4096, 4096, old.mid(s.next - 4096, 4096));
    ScriptedHttpServer server;
    HttpFileResponder fast(changed);
    HttpFileResponder slow(changed, {.bytesPerTick = 2});
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        return request.header("User-Agent") == "Ostel Segment 2" ? slow(request) : fast(request);
    });
    const QString url = server.url(QStringLiteral("f"));
    const ProgressJournal before = journalFor(url, 300000, segments);
    ASSERT_TRUE(writeWholeFile(target(), leftBy(old, segments)));
    ASSERT_TRUE(before.write(journalOf(target())));

    frmDownload& dl = start(url, target(), -1);
    ASSERT_TRUE(waitForOutcome(30000));
    EXPECT_TRUE(dl.RemoteChanged());
    // The first two did write past where they stood.
    EXPECT_GT(dl.SegNext[0] - 1, 50000);
    EXPECT_GT(dl.SegNext[1] - 1, 150000);
    EXPECT_EQ(journalOnDisk(target()), before);
    expectCountedBytes(before, target(), old);
}

using JournalFtpTest = FtpFixture;

TEST_F(JournalFtpTest, StoppedTransferContinuesFromItsJournalNotFromTheFileLength) {
    const QByteArray data = publish(200000, 65);
    server.setTransfer(throttled(2000));
    frmDownload& dl = start(url(), target());
    ASSERT_TRUE(waitFor([&] { return dl.SegNext[0] > 50000; }));
    dl.StopMe();
    const std::optional<ProgressJournal> journal = journalOnDisk(target());
    ASSERT_TRUE(journal);
    const qint64 next = dl.SegNext[0] - 1;
    EXPECT_EQ(journal->segments, (QList<Segment>{{0, 200000, next}}));
    // Bytes past the journal's position are not trusted, whatever they are.
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(3000, 'z'));
    file.close();

    server.setTransfer({});
    start(url(), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(commandOf("REST", 1), "REST " + QByteArray::number(next - 2 * 4096 + 1) + "\r\n");
    EXPECT_FALSE(QFileInfo::exists(journalOf(target())));
}

TEST_F(JournalFtpTest, AnotherSizeOnTheServerIsRefused) {
    const QByteArray data = patternBytes(200000, 66);
    publish(250000, 66);  // the same first bytes, more of them
    const ProgressJournal before = journalFor(url(), 200000, {{0, 200000, 50000}});
    ASSERT_TRUE(writeWholeFile(target(), data.left(50000)));
    ASSERT_TRUE(before.write(journalOf(target())));
    frmDownload& dl = start(url(), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    EXPECT_TRUE(dl.RemoteChanged());
    EXPECT_EQ(dl.lblStatus, frmDownload::RemoteChangedText());
    EXPECT_TRUE(fileBytes(target()) == data.left(50000));
    EXPECT_EQ(journalOnDisk(target()), before);
}

}  // namespace
