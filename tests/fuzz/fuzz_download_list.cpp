// The list file of `lumet --get-list` on any bytes: every line is an entry, a bad
// line or skipped, never two of these; an entry has a download address and an
// absolute target that no other entry has; numbers rise with the lines.
#include "core/UrlParser.h"
#include "core/modFunctions.h"
#include "queue/DownloadListFile.h"

#include <QByteArray>
#include <QSet>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const DownloadListFile list = DownloadListFile::Parse(content, QDir(QStringLiteral("/base")));
    const qsizetype lines = content.count('\n') + 1;
    QSet<int> seen;
    QSet<QString> targets;
    int previous = 0;
    for (const DownloadListFile::Entry& entry : list.entries()) {
        check(entry.line > previous && entry.line <= lines);
        previous = entry.line;
        seen.insert(entry.line);
        check(DownloadSchemeLength(entry.address) > 0);
        check(!ContainsControlCharacters(entry.address) && !ContainsControlCharacters(entry.target));
        check(entry.target.startsWith(u'/'));
        check(!targets.contains(entry.target));
        targets.insert(entry.target);
    }
    previous = 0;
    for (const DownloadListFile::BadLine& bad : list.badLines()) {
        check(bad.line > previous && bad.line <= lines);
        previous = bad.line;
        check(!seen.contains(bad.line) && !bad.reason.isEmpty());
    }
    return 0;
}
