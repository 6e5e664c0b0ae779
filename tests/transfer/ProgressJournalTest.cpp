// The progress journal's text: what is written, and every damaged form of it
// that must count as no journal.
#include "transfer/ProgressJournal.h"

#include "support/TempRoot.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QByteArray kGood =
    "Lumet progress journal 1\n"
    "url http://127.0.0.1:8080/a b.bin\n"
    "size 300\n"
    "etag \"5f-12c\"\n"
    "last-modified Mon, 08 Dec 2025 23:09:00 GMT\n"
    "segment 0 100 40\n"
    "segment 100 200 200\n"
    "segment 200 300 200\n"
    "end\n";

TEST(ProgressJournalTest, WritesTheTextItReads) {
    ProgressJournal journal;
    journal.url = QStringLiteral("http://127.0.0.1:8080/a b.bin");
    journal.size = 300;
    journal.etag = "\"5f-12c\"";
    journal.lastModified = "Mon, 08 Dec 2025 23:09:00 GMT";
    journal.segments = {{0, 100, 40}, {100, 200, 200}, {200, 300, 200}};
    EXPECT_EQ(journal.toText(), kGood);
    EXPECT_EQ(ProgressJournal::parse(kGood), journal);
    EXPECT_FALSE(journal.complete());

    // One connection, no validators, a file of more than 4 GiB; the lines may come
    // in another order.
    const QByteArray single =
        "Lumet progress journal 1\nsize 5000000000\nsegment 0 5000000000 4999999999\n"
        "url ftp://h/f\nend\n";
    const std::optional<ProgressJournal> read = ProgressJournal::parse(single);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->segments.size(), 1);
    EXPECT_EQ(read->segments[0].next, 4999999999);
    EXPECT_TRUE(read->etag.isEmpty());
    EXPECT_EQ(ProgressJournal::parse(read->toText()), read);

    EXPECT_TRUE(ProgressJournal::parse(
                    "Lumet progress journal 1\nurl u\nsize 0\nsegment 0 0 0\nend\n")->complete());
}

TEST(ProgressJournalTest, DamagedTextIsNoJournal) {
    const auto replaced = [](const QByteArray& from, const QByteArray& to) {
        return QByteArray(kGood).replace(from, to);
    };
    const struct {
        const char* name;
        QByteArray text;
    } rows[] = {
        {"empty", ""},
        {"another first line", replaced("journal 1", "journal 2")},
        {"no end", replaced("end\n", "")},
        {"cut in a line", kGood.left(kGood.indexOf("segment 100") + 11)},
        {"no line end at the end", kGood.chopped(1)},
        {"lines ended by CR LF", replaced("\n", "\r\n")},
        {"text after end", kGood + "segment 0 1 1\n"},
        {"unknown line", replaced("end\n", "owner me\nend\n")},
        {"a key without value", replaced("etag \"5f-12c\"", "etag ")},
        {"a line without blank", replaced("size 300", "size")},
        {"no address", replaced("url http://127.0.0.1:8080/a b.bin\n", "")},
        {"two addresses", replaced("size 300\n", "size 300\nurl http://x/\n")},
        {"no size", replaced("size 300\n", "")},
        {"two sizes", replaced("size 300\n", "size 300\nsize 300\n")},
        {"two tags", replaced("size 300\n", "size 300\netag x\n")},
        {"a tag with a control character", replaced("\"5f-12c\"", "\"5f\r-12c\"")},
        {"a date with a tab", replaced("Mon, 08", "Mon,\t08")},
        {"no segment", replaced("segment 0 100 40\nsegment 100 200 200\nsegment 200 300 200\n", "")},
        {"seven segments", "Lumet progress journal 1\nurl u\nsize 7\nsegment 0 1 0\nsegment 1 2 1\n"
                           "segment 2 3 2\nsegment 3 4 3\nsegment 4 5 4\nsegment 5 6 5\n"
                           "segment 6 7 6\nend\n"},
        {"two numbers", replaced("segment 0 100 40", "segment 0 100")},
        {"four numbers", replaced("segment 0 100 40", "segment 0 100 40 1")},
        {"two blanks", replaced("segment 0 100 40", "segment 0  100 40")},
        {"a sign", replaced("segment 0 100 40", "segment 0 100 -40")},
        {"not a number", replaced("size 300", "size 3e2")},
        {"nineteen digits", replaced("size 300", "size 1000000000000000300")},
        {"first segment not at 0", replaced("segment 0 100 40", "segment 1 100 40")},
        {"a gap", replaced("segment 100 200 200", "segment 101 200 200")},
        {"an overlap", replaced("segment 100 200 200", "segment 99 200 200")},
        {"ends before the size", replaced("size 300", "size 301")},
        {"ends past the size", replaced("size 300", "size 299")},
        {"next before the segment", replaced("segment 100 200 200", "segment 100 200 99")},
        {"next past the segment", replaced("segment 0 100 40", "segment 0 100 101")},
        {"ends before it starts", "Lumet progress journal 1\nurl u\nsize 0\nsegment 0 5 0\n"
                                  "segment 5 0 0\nend\n"},
        {"larger than a journal", replaced("url ", "url " + QByteArray(17000, 'a'))},
        {"a NUL byte", replaced("size 300", QByteArray("size 3\0" "00", 9))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(ProgressJournal::parse(row.text));
    }
    // The rows differ from the good text only where their names say.
    EXPECT_TRUE(ProgressJournal::parse(kGood));
}

TEST(ProgressJournalTest, FileIsTheOwnersAndRemovalTakesLeftovers) {
    TempRoot root;
    const QString path = ProgressJournal::PathFor(root.file("f.bin"));
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("f.bin.lumet"));
    bool damaged = true;
    EXPECT_FALSE(ProgressJournal::read(path, damaged));
    EXPECT_FALSE(damaged);

    ASSERT_TRUE(ProgressJournal::parse(kGood)->write(path));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ProgressJournal::read(path, damaged), ProgressJournal::parse(kGood));

    QFile cut(path);
    ASSERT_TRUE(cut.resize(40));
    EXPECT_FALSE(ProgressJournal::read(path, damaged));
    EXPECT_TRUE(damaged);

    // What a write killed halfway leaves, beside a journal of another file.
    const QString leftover = path + QStringLiteral(".tmp.123.0.part");
    const QString other = root.file("g.bin.lumet.tmp.5.0.part");
    for (const QString& name : {leftover, other}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ProgressJournal::remove(path);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFileInfo::exists(other));
}

}  // namespace
