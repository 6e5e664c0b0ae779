// The progress journal's reader on any bytes: what it accepts can never place a
// write outside the file or before a segment's start, and it reads back what it
// writes.
#include "transfer/ProgressJournal.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<ProgressJournal> journal = ProgressJournal::parse(text);
    if (!journal) return 0;
    check(!journal->segments.isEmpty() && journal->segments.size() <= ProgressJournal::kMaxSegments);
    qint64 start = 0;
    for (const ProgressJournal::Segment& segment : journal->segments) {
        check(segment.start == start);
        check(segment.start <= segment.next && segment.next <= segment.end);
        start = segment.end;
    }
    check(start == journal->size);
    check(ProgressJournal::parse(journal->toText()) == journal);
    return 0;
}
