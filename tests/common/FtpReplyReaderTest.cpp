// Cutting the control connection's bytes into whole replies, however the network
// hands them over.
#include "common/FtpReplyReader.h"

#include <gtest/gtest.h>
#include <QList>

namespace {

QList<QByteArray> replies(const QList<QByteArray>& pieces) {
    FtpReplyReader reader;
    QList<QByteArray> out;
    for (const QByteArray& piece : pieces) {
        reader.feed(piece);
        while (const auto reply = reader.next()) out << *reply;
    }
    return out;
}

TEST(FtpReplyReaderTest, CutsWholeReplies) {
    const struct {
        const char* name;
        QList<QByteArray> pieces;
        QList<QByteArray> expected;
    } cases[] = {
        {"one", {"220 Ready.\r\n"}, {"220 Ready.\r\n"}},
        {"split in the code", {"2", "20 Re", "ady.\r\n"}, {"220 Ready.\r\n"}},
        {"split between CR and LF", {"220 Ready.\r", "\n"}, {"220 Ready.\r\n"}},
        {"two in one block",
         {"150 Opening.\r\n226 Done.\r\n"},
         {"150 Opening.\r\n", "226 Done.\r\n"}},
        {"one and a half",
         {"150 Opening.\r\n22", "6 Done.\r\n"},
         {"150 Opening.\r\n", "226 Done.\r\n"}},
        {"multi-line",
         {"220-Welcome\r\n220-to it\r\n220 Ready.\r\n"},
         {"220-Welcome\r\n220-to it\r\n220 Ready.\r\n"}},
        {"multi-line split",
         {"230-Hello\r\n", " more text\r\n230", " Logged in.\r\n331 x\r\n"},
         {"230-Hello\r\n more text\r\n230 Logged in.\r\n", "331 x\r\n"}},
        {"multi-line with another code inside",
         {"220-Welcome\r\n331 not the end\r\n220 Ready.\r\n"},
         {"220-Welcome\r\n331 not the end\r\n220 Ready.\r\n"}},
        {"bare LF", {"220 Ready.\n331 Password.\n"}, {"220 Ready.\n", "331 Password.\n"}},
        {"code alone", {"220\r\n"}, {"220\r\n"}},
        {"not a reply", {"hello\r\n"}, {"hello\r\n"}},
        {"incomplete", {"220 Rea"}, {}},
        {"incomplete multi-line", {"220-Welcome\r\n220-more\r\n"}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(replies(c.pieces), c.expected) << c.name;
}

TEST(FtpReplyReaderTest, NeverWaitsForeverOnALineWithoutEnd) {
    const QByteArray endless(70000, 'x');
    EXPECT_EQ(replies({endless}), QList<QByteArray>{endless});
    const QByteArray endlessReply = "220-Welcome\r\n" + QByteArray(70000, 'y') + "\r\n";
    EXPECT_EQ(replies({endlessReply}), QList<QByteArray>{endlessReply});
}

TEST(FtpReplyReaderTest, ResetDropsWhatWasPending) {
    FtpReplyReader reader;
    reader.feed("150 Opening.\r\n226 Do");
    reader.reset();
    reader.feed("220 Ready.\r\n");
    EXPECT_EQ(reader.next(), QByteArray("220 Ready.\r\n"));
    EXPECT_FALSE(reader.next());
}

}  // namespace
