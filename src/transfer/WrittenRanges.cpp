#include "transfer/WrittenRanges.h"

#include <algorithm>

void WrittenRanges::add(qint64 first, qint64 end) {
    if (end <= first) return;
    std::vector<Range> merged;
    merged.reserve(ranges_.size() + 1);
    Range added{first, end};
    for (const Range& range : ranges_) {
        if (range.second < added.first || range.first > added.second) {
            merged.push_back(range);
        } else {
            // Touching or overlapping: one range.
            added = {std::min(added.first, range.first), std::max(added.second, range.second)};
        }
    }
    merged.push_back(added);
    std::sort(merged.begin(), merged.end());
    ranges_ = std::move(merged);
}

void WrittenRanges::cutAt(qint64 length) {
    std::vector<Range> kept;
    for (const Range& range : ranges_)
        if (range.first < length) kept.push_back({range.first, std::min(range.second, length)});
    ranges_ = std::move(kept);
}

qint64 WrittenRanges::reachFrom(qint64 offset) const {
    for (const Range& range : ranges_)
        if (range.first <= offset && offset < range.second) return range.second;
    return offset;
}

std::vector<WrittenRanges::Range> WrittenRanges::overlaps(qint64 first, qint64 end) const {
    std::vector<Range> parts;
    for (const Range& range : ranges_) {
        const qint64 a = std::max(first, range.first);
        const qint64 b = std::min(end, range.second);
        if (a < b) parts.push_back({a, b});
    }
    return parts;
}
