// The figures of `lumet --stats`: how late the 500 ms ticks ran, and the peak
// resident memory.
#include "common/ProcessFigures.h"
#include "common/TickLateness.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kMs = 1'000'000;

TEST(TickLatenessTest, LatenessIsCountedFromTheDueTimeAsTheEventLoopSchedulesIt) {
    const struct {
        const char* name;
        std::vector<qint64> ticksMs;     // the moments the timer fired, from begin(0)
        std::vector<qint64> latenessMs;  // what each tick counts
    } cases[] = {
        {"on time", {500, 1000, 1500}, {0, 0, 0}},
        {"one late tick keeps the next on its grid", {530, 1000, 1512}, {30, 0, 12}},
        {"an early tick is not late", {490, 1000}, {0, 0}},
        // Due at 1000, fired at 2200: the ticks due meanwhile are not made up; the
        // next is due one interval after the late one.
        {"a blocked loop counts its wait once", {500, 2200, 2700, 3210}, {0, 1200, 0, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TickLateness lateness;
        lateness.begin(0);
        for (const qint64 at : c.ticksMs) lateness.tick(at * kMs);
        const TickLateness::Summary summary = lateness.summary();
        EXPECT_EQ(summary.ticks, static_cast<int>(c.ticksMs.size()));
        qint64 worst = 0;
        for (const qint64 ms : c.latenessMs) worst = std::max(worst, ms);
        EXPECT_DOUBLE_EQ(summary.maxMs, static_cast<double>(worst));
    }
}

TEST(TickLatenessTest, SummaryGivesMedianNearestRankP99AndMaximum) {
    TickLateness lateness;
    lateness.begin(0);
    // 100 ticks: 97 on time, then 5, 10 and 100 ms late (each back on the grid).
    qint64 due = 500;
    const auto tickLate = [&](qint64 ms) {
        lateness.tick((due + ms) * kMs);
        due += 500;
    };
    for (int i = 0; i < 97; ++i) tickLate(0);
    tickLate(5);
    tickLate(100);
    tickLate(10);
    const TickLateness::Summary summary = lateness.summary();
    EXPECT_EQ(summary.ticks, 100);
    EXPECT_DOUBLE_EQ(summary.medianMs, 0.0);
    // The 99th of 100 sorted values.
    EXPECT_DOUBLE_EQ(summary.p99Ms, 10.0);
    EXPECT_DOUBLE_EQ(summary.maxMs, 100.0);

    TickLateness odd;
    odd.begin(0);
    odd.tick(501 * kMs);
    odd.tick(1003 * kMs);
    odd.tick(1502 * kMs);
    EXPECT_DOUBLE_EQ(odd.summary().medianMs, 2.0);
    EXPECT_DOUBLE_EQ(odd.summary().p99Ms, 3.0);

    TickLateness none;
    none.begin(0);
    EXPECT_EQ(none.summary().ticks, 0);
    EXPECT_DOUBLE_EQ(none.summary().maxMs, 0.0);
}

TEST(TickLatenessTest, TimeOnAndWaitingForACpuAreReadFromSchedstat) {
    const ProcessFigures::CpuTimes times = ProcessFigures::SchedulerTimesFromText("1541696678 11511465300 656\n");
    EXPECT_EQ(times.runningNs, 1541696678);
    EXPECT_EQ(times.waitingNs, 11511465300);
    for (const QByteArray& text : {QByteArray(), QByteArray("12 x 3\n"), QByteArray("12 34\n")})
        EXPECT_EQ(ProcessFigures::SchedulerTimesFromText(text).waitingNs, -1) << text.constData();
    // This process has run.
    EXPECT_GT(ProcessFigures::SchedulerTimes().runningNs, 0);
}

TEST(TickLatenessTest, PeakResidentMemoryIsReadFromTheStatusText) {
    EXPECT_EQ(ProcessFigures::PeakResidentFromStatus("Name:\tlumet\nVmPeak:\t  300000 kB\n"
                                                    "VmHWM:\t   15244 kB\nVmRSS:\t 9000 kB\n"),
              15244 * 1024);
    EXPECT_EQ(ProcessFigures::PeakResidentFromStatus("Name:\tlumet\nVmRSS:\t 9000 kB\n"), -1);
    EXPECT_EQ(ProcessFigures::PeakResidentFromStatus("VmHWM:\t lots kB\n"), -1);
    EXPECT_EQ(ProcessFigures::PeakResidentFromStatus("VmHWM:\t 12 MB\n"), -1);
    // This process: at least what a 4 MiB block it has touched takes.
    std::vector<char> block(4 << 20, 1);
    EXPECT_GE(ProcessFigures::PeakResidentBytes(), static_cast<qint64>(block.size()));
}

}  // namespace
