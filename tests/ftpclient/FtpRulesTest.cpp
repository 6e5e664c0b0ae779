// The small rules under the component, as tables: masks, names that may become
// local files, line ends in pieces, what the log shows, and the replies that
// carry values.
#include "common/FtpReplies.h"
#include "ftpclient/component/FtpLineEnds.h"
#include "ftpclient/component/FtpNames.h"
#include "ftpclient/component/FtpText.h"

#include <gtest/gtest.h>

namespace {

TEST(FtpRulesTest, MasksMatchWithoutCaseAndStarDotStarMatchesAll) {
    const struct {
        const char* mask;
        const char* name;
        bool matches;
    } rows[] = {
        {"", "anything", true},       {"*", "", true},           {"*.*", "README", true},
        {"*.TXT", "notes.txt", true}, {"*.txt", "notes.txt.gz", false}, {"a?c", "abc", true},
        {"a?c", "ac", false},         {"*b*b*", "abxxb", true},  {"*b*b*", "ab", false},
        {"data_*_2024.csv", "data_x_y_2024.csv", true}, {"[a]", "a", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FtpNames::matches(QString::fromUtf8(row.mask), QString::fromUtf8(row.name)), row.matches)
            << row.mask << " / " << row.name;
    }
}

TEST(FtpRulesTest, OnlySingleComponentNamesMayBecomeLocalFiles) {
    const struct {
        QString name;
        bool safe;
    } rows[] = {
        {QStringLiteral("ok.txt"), true},   {QStringLiteral(".hidden"), true}, {QStringLiteral("..."), true},
        {QStringLiteral("a\\b"), true},     {QString(), false},                {QStringLiteral("."), false},
        {QStringLiteral(".."), false},      {QStringLiteral("../x"), false},   {QStringLiteral("a/b"), false},
        {QStringLiteral("/etc/x"), false},  {QStringLiteral("x/"), false},     {QStringLiteral("n\0ul"), false},
    };
    for (const auto& row : rows) EXPECT_EQ(FtpNames::isSafeLocalName(row.name), row.safe) << row.name.toStdString();
}

TEST(FtpRulesTest, LineEndsConvertWhateverThePieces) {
    const struct {
        FtpLineEnds::Direction direction;
        QByteArray in;
        QByteArray out;
    } rows[] = {
        {FtpLineEnds::Direction::ToLocal, "a\r\nb\r\n", "a\nb\n"},
        {FtpLineEnds::Direction::ToLocal, "lone\rcr\r", "lone\rcr\r"},
        {FtpLineEnds::Direction::ToLocal, "\r\r\n", "\r\n"},
        {FtpLineEnds::Direction::ToNetwork, "a\nb\n", "a\r\nb\r\n"},
        {FtpLineEnds::Direction::ToNetwork, "dos\r\nunix\n", "dos\r\nunix\r\n"},
        {FtpLineEnds::Direction::ToNetwork, "\n\n", "\r\n\r\n"},
    };
    for (const auto& row : rows) {
        for (int step = 1; step <= row.in.size(); ++step) {
            FtpLineEnds converter(row.direction);
            QByteArray out;
            for (qsizetype at = 0; at < row.in.size(); at += step) out += converter.convert(row.in.mid(at, step));
            out += converter.finish();
            EXPECT_EQ(out, row.out) << row.in.toStdString() << " in pieces of " << step;
        }
    }
}

TEST(FtpRulesTest, LogMasksPasswordsAndAccountsAndDropsControlCharacters) {
    EXPECT_EQ(FtpText::forLog("PASS secret"), QStringLiteral("PASS ****"));
    EXPECT_EQ(FtpText::forLog("pass secret\r\n"), QStringLiteral("PASS ****"));
    EXPECT_EQ(FtpText::forLog("ACCT billing-42"), QStringLiteral("ACCT ****"));
    EXPECT_EQ(FtpText::forLog("USER karvo"), QStringLiteral("USER karvo"));
    EXPECT_EQ(FtpText::forDisplay("550 bad\x1b[2Jname\x07\tok"), QStringLiteral("550 bad[2Jname\tok"));
    EXPECT_TRUE(FtpText::breaksCommand("a\rb"));
    EXPECT_TRUE(FtpText::breaksCommand(QByteArray("a\0b", 3)));
    EXPECT_FALSE(FtpText::breaksCommand("a b\t"));
}

TEST(FtpRulesTest, RepliesWithValues) {
    EXPECT_EQ(extendedPassivePort("229 Entering Extended Passive Mode (|||6446|)").value_or(0), 6446);
    EXPECT_EQ(extendedPassivePort("229 ok (!!!21!)").value_or(0), 21);
    EXPECT_FALSE(extendedPassivePort("229 (|||0|)"));
    EXPECT_FALSE(extendedPassivePort("229 (|||70000|)"));
    EXPECT_FALSE(extendedPassivePort("229 (||6446|)"));
    EXPECT_FALSE(extendedPassivePort("229 no parentheses"));
    const std::optional<PassiveTarget> target = passiveTarget("227 Entering Passive Mode (10,0,0,5,4,1).");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->address, QStringLiteral("10.0.0.5"));
    EXPECT_EQ(target->port, 1025);
    EXPECT_EQ(announcedSize("150 Opening BINARY mode data connection for x (5368709120 bytes).").value_or(0),
              5368709120LL);
}

}  // namespace
