#pragma once

#include <QtGlobal>
#include <utility>
#include <vector>

// The byte ranges of a download's file that hold the server's bytes: what this
// download wrote, and what an earlier one left (by its journal, or by the length
// of a file that is being continued). A byte fetched again inside one of them is
// compared with the disk rather than trusted, and the journal's positions are
// read from them, so they never run ahead of what was written. Ranges are
// half-open [first, end), kept sorted and merged.
class WrittenRanges {
public:
    using Range = std::pair<qint64, qint64>;

    void clear() { ranges_.clear(); }
    bool isEmpty() const { return ranges_.empty(); }
    void add(qint64 first, qint64 end);
    // Forgets everything from `length` on (the file was cut there).
    void cutAt(qint64 length);
    // The end of the range that holds `offset`, or `offset` itself when none does:
    // how far the bytes on disk reach without a gap from there.
    qint64 reachFrom(qint64 offset) const;
    // The parts of [first, end) that lie inside the ranges, in order.
    std::vector<Range> overlaps(qint64 first, qint64 end) const;
    const std::vector<Range>& ranges() const { return ranges_; }

private:
    std::vector<Range> ranges_;
};
