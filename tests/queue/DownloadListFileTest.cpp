// The list file of `lumet --get-list`: one row per line, the way people write
// them by hand and by script.
#include "common/QStringPrinter.h"
#include "queue/DownloadListFile.h"

#include <gtest/gtest.h>

namespace {

const QDir kBase(QStringLiteral("/base/dir"));

struct Row {
    const char* name;
    QByteArray line;  // without its LF
    // An entry: address and absolute target. A bad line: reason (address empty).
    QString address;
    QString target;
    QString reason = {};
};

const Row kRows[] = {
    {"01-plain absolute target", "http://h/a.bin\t/abs/a.bin", "http://h/a.bin", "/abs/a.bin"},
    {"02-relative target from the base", "http://h/b.bin\tb.bin", "http://h/b.bin", "/base/dir/b.bin"},
    {"03-CR LF line end", "ftp://u:p@h/c.iso\tsub/c.iso\r", "ftp://u:p@h/c.iso", "/base/dir/sub/c.iso"},
    {"04-blank line", "", {}, {}},
    {"05-blanks and a tab only", "   \t  ", {}, {}},
    {"06-comment", "# the next ones are mirrors", {}, {}},
    {"07-indented comment", "   #\thttp://h/x\tx", {}, {}},
    {"08-blanks around both fields", "  https://h/d.bin  \t  d.bin  ", "https://h/d.bin",
     "/base/dir/d.bin"},
    {"09-scheme in capitals", "HTTP://H/e.bin\te.bin", "HTTP://H/e.bin", "/base/dir/e.bin"},
    {"10-non-ASCII address and path", "http://h/gr%C3%BC%C3%9Fe.txt\tГрüße/файл 1.txt",
     "http://h/gr%C3%BC%C3%9Fe.txt", QStringLiteral("/base/dir/Грüße/файл 1.txt")},
    {"11-no tab", "http://h/f.bin f.bin", {}, {}, "no tab between the address and the target"},
    {"12-empty address", "\tg.bin", {}, {}, "the address is empty"},
    {"13-empty target", "http://h/g.bin\t  ", {}, {}, "the target is empty"},
    {"14-scheme Lumet does not fetch", "gopher://h/g\tg", {}, {},
     "the address must begin with http://, https:// or ftp://"},
    {"15-no scheme", "h/g.bin\tg.bin", {}, {}, "the address must begin with http://, https:// or ftp://"},
    {"16-second tab in the target", "http://h/g.bin\tg\tbin", {}, {}, "the line holds control characters"},
    {"17-control character in the address", "http://h/g\x01.bin\tg.bin", {}, {},
     "the line holds control characters"},
    {"18-bytes that are not UTF-8", "http://h/g.bin\tg\xff\xfe.bin", {}, {}, "the line is not UTF-8 text"},
    {"19-target of an earlier line", "http://other/a.bin\t/abs/a.bin", {}, {},
     "line 1 already saves to /abs/a.bin"},
    {"20-same target spelt otherwise", "http://h/b2.bin\t./x/../b.bin", {}, {},
     "line 2 already saves to /base/dir/b.bin"},
    {"21-target beginning with a colon", "http://h/r.bin\t:/r.bin", "http://h/r.bin", "/base/dir/:/r.bin"},
    {"22-last line without LF", "http://h/z.bin\tz.bin", "http://h/z.bin", "/base/dir/z.bin"},
};

TEST(DownloadListFileTest, EveryLineOfAListIsAnEntryIsSkippedOrIsNamedAsBad) {
    QByteArray content;
    for (const Row& row : kRows) content += row.line + '\n';
    content.chop(1);
    const DownloadListFile list = DownloadListFile::Parse(content, kBase);

    auto entry = list.entries().begin();
    auto bad = list.badLines().begin();
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        const Row& row = kRows[i];
        SCOPED_TRACE(row.name);
        const int number = i + 1;
        if (!row.reason.isEmpty()) {
            ASSERT_NE(bad, list.badLines().end());
            EXPECT_EQ(bad->line, number);
            EXPECT_EQ(bad->reason, row.reason);
            ++bad;
        } else if (!row.address.isEmpty()) {
            ASSERT_NE(entry, list.entries().end());
            EXPECT_EQ(entry->line, number);
            EXPECT_EQ(entry->address, row.address);
            EXPECT_EQ(entry->target, row.target);
            ++entry;
        }
    }
    EXPECT_EQ(entry, list.entries().end());
    EXPECT_EQ(bad, list.badLines().end());
}

TEST(DownloadListFileTest, AByteOrderMarkAndAnEmptyOrLineEndOnlyFileAreNoLines) {
    const DownloadListFile marked =
        DownloadListFile::Parse("\xEF\xBB\xBFhttp://h/a\ta\r\n\r\n", kBase);
    ASSERT_EQ(marked.entries().size(), 1u);
    EXPECT_EQ(marked.entries()[0].address, QStringLiteral("http://h/a"));
    EXPECT_TRUE(marked.badLines().empty());

    for (const QByteArray& nothing : {QByteArray(), QByteArray("\n\n"), QByteArray("\xEF\xBB\xBF")}) {
        const DownloadListFile list = DownloadListFile::Parse(nothing, kBase);
        EXPECT_TRUE(list.entries().empty());
        EXPECT_TRUE(list.badLines().empty());
    }
    // Line numbers count every line, the skipped ones too.
    const DownloadListFile counted = DownloadListFile::Parse("#\n\nbad\nhttp://h/a\ta\n", kBase);
    ASSERT_EQ(counted.badLines().size(), 1u);
    EXPECT_EQ(counted.badLines()[0].line, 3);
    ASSERT_EQ(counted.entries().size(), 1u);
    EXPECT_EQ(counted.entries()[0].line, 4);
}

}  // namespace
