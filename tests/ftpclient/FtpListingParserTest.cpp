// The listing parser against lines real servers send, one table grouped by who
// sends them. Each row's name carries a number and its family, so a failure
// names its row; the lines are also the fuzzer's seeds.
#include "ftpclient/component/FtpListingParser.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    const char* name;
    QByteArray line;
    // Empty: the line yields no item.
    QByteArray item;
    int type = FtpItem::File;
    qint64 size = 0;
    // "yyyy-MM-dd HH:mm" local time; empty: not checked.
    const char* when = "";
    const char* target = "";
};

// The listing is read on 2024-06-15 at noon: dates without a year fall in 2024,
// unless that lies more than a day ahead.
const QDateTime kNow(QDate(2024, 6, 15), QTime(12, 0));

const Row kUnixRows[] = {
    // GNU ls as vsftpd, pyftpdlib and proftpd send it.
    {"01-unix file", "-rw-r--r--    1 1000     1000         1234 Mar 05 14:07 report.pdf", "report.pdf",
     FtpItem::File, 1234, "2024-03-05 14:07"},
    {"02-unix dir", "drwxr-xr-x    2 ftp      ftp          4096 Jan 01  2020 pub", "pub", FtpItem::Folder, 0,
     "2020-01-01 00:00"},
    {"03-unix link", "lrwxrwxrwx    1 0        0               7 Jun 14 09:00 latest -> v1.2.3", "latest",
     FtpItem::Link, 7, "2024-06-14 09:00", "v1.2.3"},
    {"04-unix spaces in name", "-rw-r--r-- 1 user group 5 Feb 29 23:59 two  spaces and end ", "two  spaces and end ",
     FtpItem::File, 5, "2024-02-29 23:59"},
    {"05-unix date ahead is last year", "-rw-r--r-- 1 u g 10 Dec 24 18:00 xmas.txt", "xmas.txt", FtpItem::File, 10,
     "2023-12-24 18:00"},
    {"06-unix tomorrow stays this year", "-rw-r--r-- 1 u g 10 Jun 16 08:00 soon.txt", "soon.txt", FtpItem::File, 10,
     "2024-06-16 08:00"},
    {"07-unix large file", "-rw-r--r-- 1 u g 5368709120 Jan 02 2023 disk.img", "disk.img", FtpItem::File,
     5368709120LL, "2023-01-02 00:00"},
    {"08-unix day without padding", "-rw-r--r-- 1 u g 1 Jun  1 10:00 a", "a", FtpItem::File, 1, "2024-06-01 10:00"},
    // Owner and group variants.
    {"09-unix-nogroup file", "-rw-r--r-- 1 ftp 512 Apr 01 12:00 nogroup.txt", "nogroup.txt", FtpItem::File, 512,
     "2024-04-01 12:00"},
    {"10-unix-acl mark", "-rw-r--r--+ 1 u g 3 May 05 05:05 acl", "acl", FtpItem::File, 3},
    {"11-unix-selinux mark", "drwxr-xr-x. 3 u g 60 May 05 05:05 ctx", "ctx", FtpItem::Folder, 0},
    {"12-unix-setuid sticky", "drwxrwxrwt 9 root root 4096 May 05 05:05 tmp", "tmp", FtpItem::Folder, 0},
    {"13-unix long-iso", "-rw-r--r-- 1 u g 42 2022-11-30 08:15 iso.txt", "iso.txt", FtpItem::File, 42,
     "2022-11-30 08:15"},
    {"14-unix name like a date", "-rw-r--r-- 1 u g 9 Jan 01 00:00 Jan 01 00:00 x", "Jan 01 00:00 x", FtpItem::File, 9},
    {"15-unix link with spaces", "lrwxrwxrwx 1 u g 4 Jan 01 00:00 my link -> my target", "my link", FtpItem::Link, 4,
     "", "my target"},
    {"16-unix uppercase month", "-rw-r--r-- 1 u g 1 JAN 03 2021 upper", "upper", FtpItem::File, 1, "2021-01-03 00:00"},
    // Lines that are not entries.
    {"17-unix total", "total 48", ""},
    {"18-unix dot", "drwxr-xr-x 2 u g 4096 Jan 01 00:00 .", ""},
    {"19-unix dotdot", "drwxr-xr-x 2 u g 4096 Jan 01 00:00 ..", ""},
    {"20-unix banner", "Welcome to the archive", ""},
    {"21-unix bad mode", "xrw-r--r-- 1 u g 1 Jan 01 00:00 bad", ""},
    {"22-unix no name", "-rw-r--r-- 1 u g 1 Jan 01 00:00", ""},
    {"23-unix bad day", "-rw-r--r-- 1 u g 1 Jan 123 00:00 bad", ""},
    {"24-unix bad month day", "-rw-r--r-- 1 u g 1 Feb 31 2020 bad", ""},
    // Names a hostile server may send: the parser keeps them; the component judges.
    {"25-unix hostile parent", "-rw-r--r-- 1 u g 1 Jan 01 00:00 ../escape", "../escape", FtpItem::File, 1},
    {"26-unix hostile absolute", "-rw-r--r-- 1 u g 1 Jan 01 00:00 /etc/passwd", "/etc/passwd", FtpItem::File, 1},
    {"27-unix latin1 name", "-rw-r--r-- 1 u g 1 Jan 01 00:00 caf\xe9.txt", "caf\xe9.txt", FtpItem::File, 1},
    {"28-unix utf8 name", "-rw-r--r-- 1 u g 1 Jan 01 00:00 \xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9", FtpItem::File, 1},
};

const Row kDosRows[] = {
    // IIS and other Windows servers.
    {"30-dos dir", "03-05-24  02:07PM       <DIR>          Reports", "Reports", FtpItem::Folder, 0,
     "2024-03-05 14:07"},
    {"31-dos file", "12-31-99  11:59AM              1048576 setup.exe", "setup.exe", FtpItem::File, 1048576,
     "1999-12-31 11:59"},
    {"32-dos midnight", "01-02-03  12:00AM                   10 midnight.txt", "midnight.txt", FtpItem::File, 10,
     "2003-01-02 00:00"},
    {"33-dos noon", "01-02-03  12:30PM                   10 noon.txt", "noon.txt", FtpItem::File, 10,
     "2003-01-02 12:30"},
    {"34-dos four-digit year 24h", "06-15-2024  18:45                 77 late.log", "late.log", FtpItem::File, 77,
     "2024-06-15 18:45"},
    {"35-dos name with spaces", "07-04-22  09:00AM                 5 My Document.doc", "My Document.doc",
     FtpItem::File, 5},
    {"36-dos size with commas", "07-04-22  09:00AM            1,234,567 big.zip", "big.zip", FtpItem::File, 1234567},
    {"37-dos year 69 is 2069", "01-01-69  01:00AM                 1 y2k.txt", "y2k.txt", FtpItem::File, 1,
     "2069-01-01 01:00"},
    {"38-dos year 70 is 1970", "01-01-70  01:00AM                 1 epoch.txt", "epoch.txt", FtpItem::File, 1,
     "1970-01-01 01:00"},
    {"39-dos bad hour", "01-01-70  13:00PM                 1 bad", ""},
    {"40-dos bad date", "13-45-70  01:00AM                 1 bad", ""},
    {"41-dos hostile", "01-01-70  01:00AM                 1 ..\\..\\x", "..\\..\\x", FtpItem::File, 1},
};

const Row kMlsdRows[] = {
    // pyftpdlib and proftpd (mod_facts).
    {"50-mlsd file", "type=file;size=156;perm=r;modify=20071029155301;unique=8012; music.mp3", "music.mp3",
     FtpItem::File, 156},
    {"51-mlsd dir", "type=dir;sizd=4096;modify=20071127230206;perm=el; ebooks", "ebooks", FtpItem::Folder, 0},
    {"52-mlsd cdir", "type=cdir;modify=20071127230206; .", ""},
    {"53-mlsd pdir", "type=pdir;modify=20071127230206; ..", ""},
    {"54-mlsd proftpd link", "type=OS.unix=slink:/srv/target;size=11;modify=20200101000000; link", "link",
     FtpItem::Link, 11, "", "/srv/target"},
    {"55-mlsd symlink", "Type=OS.unix=symlink;Size=3;Modify=20200101000000; l2", "l2", FtpItem::Link, 3},
    {"56-mlsd spaces", "type=file;size=1; name with  spaces", "name with  spaces", FtpItem::File, 1},
    {"57-mlsd no type", "size=1;modify=20200101000000; x", ""},
    {"58-mlsd no name", "type=file;size=1;", ""},
};

QDateTime expectedTime(const Row& row) {
    return QDateTime::fromString(QString::fromLatin1(row.when), QStringLiteral("yyyy-MM-dd HH:mm"));
}

void expectRow(const Row& row, FtpListingParser::Format format) {
    const FtpListingParser parser(format, kNow);
    const std::optional<FtpItem> item = parser.parseLine(row.line);
    if (row.item.isEmpty()) {
        EXPECT_FALSE(item) << row.name;
        return;
    }
    ASSERT_TRUE(item) << row.name;
    EXPECT_EQ(item->rawName, row.item) << row.name;
    EXPECT_EQ(item->type, row.type) << row.name;
    EXPECT_EQ(item->size, row.size) << row.name;
    if (*row.when) {
        EXPECT_EQ(item->dateTime, expectedTime(row)) << row.name;
    }
    EXPECT_EQ(item->linkTarget, QString::fromUtf8(row.target)) << row.name;
}

TEST(FtpListingParserTest, UnixAndDosLinesEachAlone) {
    for (const Row& row : kUnixRows) expectRow(row, FtpListingParser::Format::List);
    for (const Row& row : kDosRows) expectRow(row, FtpListingParser::Format::List);
}

TEST(FtpListingParserTest, MlsdLinesEachAlone) {
    for (const Row& row : kMlsdRows) expectRow(row, FtpListingParser::Format::Mlsd);
}

TEST(FtpListingParserTest, MlsdTimesAreUtcShownLocal) {
    const FtpListingParser parser(FtpListingParser::Format::Mlsd, kNow);
    const std::optional<FtpItem> item = parser.parseLine("type=file;size=1;modify=20240102030405.123; t");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->dateTime.toUTC(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC));
}

TEST(FtpListingParserTest, AllLinesAtOnceInPiecesKeepOrderAndSkipTheRest) {
    // Unix and DOS lines mixed in one listing, CR LF and LF line ends, fed in
    // pieces of 7 bytes, the last line without its line end.
    QByteArray listing;
    QList<QByteArray> expected;
    for (const Row& row : kUnixRows) {
        listing += row.line + "\r\n";
        if (!row.item.isEmpty()) expected << row.item;
    }
    for (const Row& row : kDosRows) {
        listing += row.line + "\n";
        if (!row.item.isEmpty()) expected << row.item;
    }
    listing.chop(1);
    FtpListingParser parser(FtpListingParser::Format::List, kNow);
    for (qsizetype at = 0; at < listing.size(); at += 7) parser.addData(listing.mid(at, 7));
    QList<QByteArray> names;
    for (const FtpItem& item : parser.parse()) names << item.rawName;
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(parser.parse().isEmpty());
}

TEST(FtpListingParserTest, NamesThatAreNotUtf8AreShownAsLatin1AndKeptAsBytes) {
    const FtpListingParser parser(FtpListingParser::Format::List, kNow);
    const std::optional<FtpItem> latin1 = parser.parseLine("-rw-r--r-- 1 u g 1 Jan 01 00:00 caf\xe9");
    const std::optional<FtpItem> utf8 = parser.parseLine("-rw-r--r-- 1 u g 1 Jan 01 00:00 caf\xc3\xa9");
    ASSERT_TRUE(latin1 && utf8);
    EXPECT_EQ(latin1->name, QStringLiteral("café"));
    EXPECT_EQ(utf8->name, QStringLiteral("café"));
    EXPECT_EQ(latin1->rawName, QByteArray("caf\xe9"));
}

}  // namespace
