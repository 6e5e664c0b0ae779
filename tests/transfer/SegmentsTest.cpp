// Segment set-up, exact ranges, reconnection, fallback and resume of an existing file.
#include "DownloadFixture.h"
#include "support/ConnectionsSoFar.h"
#include "support/HttpFileResponder.h"
#include "support/ScriptedHttpServer.h"

#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace {

using Reply = ScriptedHttpServer::Reply;

class SegmentsTest : public DownloadFixture {
protected:
    // Segment requests in order of their segment number: "first-last".
    static QList<QByteArray> segmentRanges(const ScriptedHttpServer& server) {
        QList<std::pair<QByteArray, QByteArray>> bySegment;
        for (const auto& request : server.requests()) {
            const QByteArray agent = request.header("User-Agent");
            if (agent.startsWith("Ostel Segment "))
                bySegment.append({agent, request.header("Range").mid(6)});
        }
        std::stable_sort(bySegment.begin(), bySegment.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        QList<QByteArray> ranges;
        for (const auto& entry : bySegment) ranges << entry.second;
        return ranges;
    }
};

TEST_F(SegmentsTest, TwelveMiBGetsFourSegmentsOfThreeMiB) {
    Settings.Segment = 1;
    const QByteArray data = patternBytes(12 * 1024 * 1024, 8);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(server.url(QStringLiteral("big")), target());
    ASSERT_TRUE(waitForOutcome(60000));
    expectFile(target(), data);
    EXPECT_EQ(dl.SegCount, 4);
    const QList<QByteArray> expected = {"0-3145727", "3145728-6291455", "6291456-9437183",
                                        "9437184-12582911"};
    EXPECT_EQ(segmentRanges(server), expected);
    // The question of a 200 probe, word for word.
    ASSERT_FALSE(ScriptedDialogs::current().calls().empty());
    EXPECT_EQ(ScriptedDialogs::current().calls().front().text,
              QStringLiteral("If you use segemnted downloading,you will not be able to resume after "
                             "stopping (you still be able to resume after pausing, and more segments "
                             "will cause the program solwer),Use Segemnted?!"));
    EXPECT_EQ(ScriptedDialogs::current().calls().front().buttons, Dialogs::Buttons::YesNo);
    // Every bar is laid out for four segments.
    EXPECT_TRUE(dl.ProgressBar1.Visible);
    EXPECT_EQ(dl.PVProgressBar[3].Left, 4600 / 4 * 3 + 120);
    EXPECT_EQ(dl.PVProgressBar[3].Width, 1150);
    EXPECT_FALSE(dl.PVProgressBar[4].Visible);
}

TEST_F(SegmentsTest, SizeBandsChooseTheSegmentCount) {
    Settings.Segment = 1;
    // Small thresholds keep the files small; the bands join like the defaults do.
    Settings.SegmentSize1 = 100;
    Settings.SegmentSize2 = 200;
    Settings.SegmentSize3 = 201;
    Settings.SegmentSize4 = 300;
    Settings.SegmentSize5 = 301;
    Settings.SegmentSize6 = 400;
    Settings.SegmentSize7 = 401;
    Settings.SegmentSize8 = 500;
    Settings.SegmentSize9 = 501;
    const std::pair<int, int> cases[] = {{99, 0},  {100, 2}, {200, 2}, {201, 3}, {300, 3},
                                         {301, 4}, {400, 4}, {401, 5}, {500, 5}, {501, 6},
                                         {5000, 6}};
    for (const auto& [size, segments] : cases) {
        SCOPED_TRACE(size);
        const QByteArray data = patternBytes(size, 9);
        ScriptedHttpServer server;
        server.setHandler(HttpFileResponder(data, {.rejectBadRanges = true}));
        if (segments) ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
        frmDownload& dl = start(server.url(QStringLiteral("f")), target());
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        EXPECT_EQ(dl.SegCount, segments);
        EXPECT_EQ(segmentRanges(server).size(), std::max(segments, 1));
        QFile::remove(target());
    }
    // After a 206 probe the question has its own words.
    QString lastQuestion;
    for (const auto& call : ScriptedDialogs::current().calls())
        if (call.buttons == Dialogs::Buttons::YesNo) lastQuestion = call.text;
    EXPECT_EQ(lastQuestion,
              QStringLiteral("If you use segemnted downloading, you will not be able to resume after "
                             "stopping(you still be able to resume after pausing),Use Segemnted?!"));
}

TEST_F(SegmentsTest, AnsweringNoGivesOneConnection) {
    Settings.Segment = 1;
    const QByteArray data = patternBytes(3 * 1024 * 1024, 10);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::No);
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    expectFile(target(), data);
    EXPECT_EQ(dl.SegCount, 0);
    EXPECT_EQ(segmentRanges(server), QList<QByteArray>{"0-3145727"});
}

TEST_F(SegmentsTest, JustBelowTheFirstThresholdAsksNothing) {
    Settings.Segment = 1;
    const QByteArray data = patternBytes(2 * 1024 * 1024 - 1, 11);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome(30000));
    expectFile(target(), data);
    EXPECT_EQ(dl.SegCount, 0);
    EXPECT_TRUE(ScriptedDialogs::current().calls().size() == 1);  // only "Download Successful."
}

TEST_F(SegmentsTest, EarlyCloseOfOneSegmentReconnectsForTheMissingBytes) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 1000;
    Settings.SegmentSize2 = 100000;
    const QByteArray data = patternBytes(90000, 12);  // two segments of 45000
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(
        data, {.closeEarlyWhen =
                   [](const ScriptedHttpServer::Request& r) {
                       return r.header("User-Agent") == "Ostel Segment 1";
                   },
               .closeAfterBodyBytes = 12345}));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    const QList<QByteArray> ranges = segmentRanges(server);
    ASSERT_EQ(ranges.size(), 3);
    EXPECT_EQ(ranges[0], QByteArray("0-44999"));
    EXPECT_EQ(ranges[1], QByteArray("45000-89999"));
    EXPECT_EQ(ranges[2], QByteArray::number(45000 + 12345) + "-89999");
}

// One segment's socket error is not the end of the download: the other segment
// goes on, and the stall rule takes the failed one up again. Without the stall
// rule the download ends, failed, once nothing runs any more.
TEST_F(SegmentsTest, ASegmentsSocketErrorIsNotTheDownloadsEnd) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 1000;
    Settings.SegmentSize2 = 1000000;
    const QByteArray data = patternBytes(200000, 16);  // two segments of 100000
    quint16 nobodyListens;
    {
        ScriptedHttpServer gone;
        nobodyListens = gone.port();
    }
    for (const bool stallRule : {true, false}) {
        SCOPED_TRACE(stallRule ? "with the stall rule" : "without it");
        Settings.StopResume = stallRule;
        ScriptedHttpServer server;
        server.setHandler(HttpFileResponder(data, {.bytesPerTick = 2000}));
        ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
        const QString out = target(stallRule ? QStringLiteral("a.bin") : QStringLiteral("b.bin"));
        frmDownload& dl = start(server.url(QStringLiteral("f")), out);
        ASSERT_TRUE(waitFor([&] { return dl.SegCount == 2 && dl.SegNext[1] > dl.SegStart[1] + 1000; }));
        // Segment 1's connection fails: it is made anew to a port where nobody listens.
        dl.wsHTTP.connectTo(1, QStringLiteral("127.0.0.1"), nobodyListens);
        ASSERT_TRUE(waitFor([&] { return dl.wsHTTP.state(1) == SocketSet::Closed; }));
        ASSERT_TRUE(waitFor([&] {
            return dl.SegNext[0] - 1 == dl.SegStart[1] || dl.outcome() != frmDownload::Outcome::Running;
        }));
        if (stallRule) {
            EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Running);
            dl.tmrUpdate2_Timer();
            dl.tmrReconnect_Timer();  // nothing arrives: pause
            dl.tmrReconnect_Timer();  // and resume
            ASSERT_TRUE(waitForOutcome());
            expectFile(out, data);
        } else {
            ASSERT_TRUE(waitForOutcome());
            EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Failed);
            EXPECT_EQ(dl.lblStatus, QStringLiteral("Connection refused"));
        }
    }
}

TEST_F(SegmentsTest, ServerIgnoringRangesFallsBackToOneConnection) {
    Settings.Segment = 1;
    Settings.SegmentSize1 = 1000;
    Settings.SegmentSize2 = 1000000;
    const QByteArray data = patternBytes(200000, 13);
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data, {.ignoreRanges = true}));
    ScriptedDialogs::current().answerMessage(Dialogs::Answer::Yes);
    frmDownload& dl = start(server.url(QStringLiteral("f")), target());
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
    EXPECT_EQ(dl.SegCount, 0);
}

TEST_F(SegmentsTest, ContinuingAnExistingFileAsksFromLengthMinusRollback) {
    const QByteArray data = patternBytes(20000, 14);
    struct Case {
        qint64 existing;
        const char* range;
    };
    // 10 000 bytes with Rollback 4096 continue at byte 5903; 4096 bytes or less start over.
    for (const Case& c : {Case{10000, "5903-19999"}, Case{4096, "0-19999"}, Case{100, "0-19999"}}) {
        SCOPED_TRACE(c.existing);
        ASSERT_TRUE(writeWholeFile(target(), data.left(c.existing)));
        ScriptedHttpServer server;
        server.setHandler(HttpFileResponder(data));
        start(server.url(QStringLiteral("f")), target(), -1);
        ASSERT_TRUE(waitForOutcome());
        expectFile(target(), data);
        EXPECT_EQ(segmentRanges(server), QList<QByteArray>{c.range});
    }
}

TEST_F(SegmentsTest, ContinuingALongerFileLeavesNoStaleTail) {
    const QByteArray data = patternBytes(10000, 15);
    ASSERT_TRUE(writeWholeFile(target(), data + QByteArray(5000, 'Z')));
    ScriptedHttpServer server;
    server.setHandler(HttpFileResponder(data));
    start(server.url(QStringLiteral("f")), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    expectFile(target(), data);
}

TEST_F(SegmentsTest, SkipLeavesTheExistingFileUntouched) {
    ASSERT_TRUE(writeWholeFile(target(), "keep me"));
    ScriptedHttpServer server;
    frmDownload& dl = start(server.url(QStringLiteral("f")), target(), -2);
    EXPECT_EQ(dl.outcome(), frmDownload::Outcome::Unloaded);
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
    EXPECT_EQ(connectionsSoFar(server), 0);
}

// Positions beyond 4 GiB: the end of a sparse 5 GiB file is continued.
TEST_F(SegmentsTest, PositionsAboveFourGiB) {
    const qint64 size = Q_INT64_C(5) * 1024 * 1024 * 1024 + 12345;
    const qint64 have = size - 50000;
    const auto byteAt = [](qint64 offset) { return char((quint64(offset) * 2654435761u) >> 13); };
    {
        QFile file(target());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(::ftruncate(file.handle(), have), 0);
        ASSERT_TRUE(file.seek(have - 10000));
        QByteArray tail(10000, Qt::Uninitialized);
        for (qint64 i = 0; i < tail.size(); ++i) tail[i] = byteAt(have - 10000 + i);
        ASSERT_EQ(file.write(tail), tail.size());
    }
    ScriptedHttpServer server;
    server.setHandler([&](const ScriptedHttpServer::Request& request) {
        const auto range = HttpFileResponder::parseRange(request.header("Range"), size);
        if (range.kind != HttpFileResponder::Range::Kind::Part)
            return Reply::make("HTTP/1.1 200 OK", {"Content-Length: " + QByteArray::number(size)}, {});
        QByteArray body(range.last - range.first + 1, Qt::Uninitialized);
        for (qint64 i = 0; i < body.size(); ++i) body[i] = byteAt(range.first + i);
        return Reply::withLength("HTTP/1.1 206 Partial Content", body,
                                 {"Content-Range: bytes " + QByteArray::number(range.first) + "-" +
                                  QByteArray::number(range.last) + "/" + QByteArray::number(size)});
    });
    frmDownload& dl = start(server.url(QStringLiteral("huge")), target(), -1);
    ASSERT_TRUE(waitForOutcome());
    ASSERT_EQ(dl.outcome(), frmDownload::Outcome::Completed) << dl.lblStatus.toStdString();
    EXPECT_EQ(dl.ContentLength, size);
    EXPECT_EQ(QFileInfo(target()).size(), size);
    EXPECT_EQ(segmentRanges(server),
              QList<QByteArray>{QByteArray::number(have - 4096 - 1) + "-" + QByteArray::number(size - 1)});
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(file.seek(have - 10000));
    const QByteArray got = file.read(size - (have - 10000));
    QByteArray expected(got.size(), Qt::Uninitialized);
    for (qint64 i = 0; i < expected.size(); ++i) expected[i] = byteAt(have - 10000 + i);
    EXPECT_TRUE(got == expected);
}

}  // namespace
