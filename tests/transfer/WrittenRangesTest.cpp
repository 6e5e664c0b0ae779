// The ranges known to be on disk: merging, what a block overlaps, how far the
// bytes reach from a segment's start, and a cut.
#include "transfer/WrittenRanges.h"

#include <gtest/gtest.h>

namespace {

using Ranges = std::vector<WrittenRanges::Range>;

TEST(WrittenRangesTest, MergesOverlapsReachesAndCuts) {
    WrittenRanges ranges;
    ranges.add(100, 200);
    ranges.add(300, 400);
    ranges.add(200, 250);  // touching: one range
    ranges.add(10, 10);    // empty: nothing
    EXPECT_EQ(ranges.ranges(), (Ranges{{100, 250}, {300, 400}}));

    const struct {
        qint64 first, end;
        Ranges parts;
    } blocks[] = {
        {0, 100, {}},
        {0, 101, {{100, 101}}},
        {240, 310, {{240, 250}, {300, 310}}},
        {250, 300, {}},
        {399, 5000, {{399, 400}}},
    };
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.first);
        EXPECT_EQ(ranges.overlaps(block.first, block.end), block.parts);
    }

    EXPECT_EQ(ranges.reachFrom(100), 250);
    EXPECT_EQ(ranges.reachFrom(249), 250);
    EXPECT_EQ(ranges.reachFrom(250), 250);  // not on disk: reaches nowhere
    EXPECT_EQ(ranges.reachFrom(0), 0);

    ranges.add(240, 310);  // bridges the gap
    EXPECT_EQ(ranges.ranges(), (Ranges{{100, 400}}));
    ranges.cutAt(150);
    EXPECT_EQ(ranges.ranges(), (Ranges{{100, 150}}));
    ranges.cutAt(100);
    EXPECT_TRUE(ranges.isEmpty());
}

}  // namespace
