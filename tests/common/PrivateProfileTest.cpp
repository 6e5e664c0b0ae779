// INI files read and written the way the desktop's private-profile calls do it.
#include "common/PrivateProfile.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QFile>
#include "QStringPrinter.h"

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override { path = root.file("English.ini"); }
    void writeFile(const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray fileBytes() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }
    QString get(const QString& section, const QString& key, int bufferSize = 500) const {
        return PrivateProfile::GetString(section, key, "<def>", bufferSize, path);
    }

    TempRoot root;
    QString path;
};

TEST_F(PrivateProfileTest, ReadsTheWayTheDesktopCallDoes) {
    writeFile(
        "; comment=not a key\r\n"
        "[Zu]\r\n"
        "01008=Total rate\r\n"
        "  04012  =   Pause  \r\n"
        "Quoted=\"kept quotes\"\r\n"
        "Empty=\r\n"
        "Equals=a=b\r\n"
        "NoEquals\r\n"
        "01008=second occurrence\r\n"
        "Tab=\tx\t\r\n"
        "Nbsp=\xC2\xA0y\xC2\xA0\r\n"
        "[zu]\r\n"
        "Later=in a second section of the same name\r\n"
        "  [ Other ]  \n"
        "Key=other\n");
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"Zu", "01008", "Total rate"},
        {"zU", "01008", "Total rate"},
        {"Zu", "04012", "Pause"},
        {"Zu", " 04012 ", "Pause"},
        {"Zu", "quoted", "\"kept quotes\""},
        {"Zu", "Empty", ""},
        {"Zu", "Equals", "a=b"},
        {"Zu", "NoEquals", "<def>"},
        {"Zu", "Tab", "x"},
        {"Zu", "Nbsp", QString::fromUtf8("\xC2\xA0y\xC2\xA0")},
        {"Zu", "Later", "<def>"},
        {"Zu", "Missing", "<def>"},
        {"OTHER", "key", "other"},
        {"Missing", "01008", "<def>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(get(c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST_F(PrivateProfileTest, CutsValuesAndDefaultsToTheBuffer) {
    writeFile("[Zu]\r\nLong=" + QByteArray(600, 'x') +
              "\r\nShort=abc\r\nPair=a\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(get("Zu", "Long"), QString(499, u'x'));
    EXPECT_EQ(get("Zu", "Short", 4), "abc");
    EXPECT_EQ(get("Zu", "Short", 3), "ab");
    EXPECT_EQ(get("Zu", "Short", 1), "");
    EXPECT_EQ(get("Zu", "Short", 0), "");
    EXPECT_EQ(get("Zu", "Missing", 3), "<d");
    EXPECT_EQ(get("Zu", "Pair", 3), "a");  // half a character pair is not returned
    EXPECT_EQ(get("Zu", "Pair", 4), QString::fromUtf8("a\xF0\x9F\x98\x80"));
}

TEST_F(PrivateProfileTest, AMissingFileGivesTheDefault) {
    EXPECT_EQ(get("Zu", "01008"), "<def>");
    EXPECT_EQ(PrivateProfile::GetString("Zu", "k", "", 50, root.file("no/such/file.ini")), "");
}

TEST_F(PrivateProfileTest, ReadsSingleByteCodePageFiles) {
    writeFile("[PROFILE]\r\nsname=Caf\xE9\r\n");
    EXPECT_EQ(get("PROFILE", "sname"), QString::fromUtf8("Café"));
    ASSERT_TRUE(PrivateProfile::WriteString("PROFILE", "port", "21", path));
    EXPECT_EQ(fileBytes(), "[PROFILE]\r\nsname=Caf\xE9\r\nport=21\r\n");
    // The only byte that is not UTF-8 may be the file's last.
    writeFile("[PROFILE]\r\nsname=Caf\xE9");
    EXPECT_EQ(get("PROFILE", "sname"), QString::fromUtf8("Café"));
}

TEST_F(PrivateProfileTest, ATextBeyondTheCodePageTurnsTheFileIntoUtf8) {
    writeFile("\xEF\xBB\xBF[PROFILE]\r\nsname=Caf\xE9\r\n");
    ASSERT_TRUE(PrivateProfile::WriteString("PROFILE", "id", QString::fromUtf8("日本"), path));
    EXPECT_EQ(fileBytes(),
              "\xEF\xBB\xBF[PROFILE]\r\nsname=Caf\xC3\xA9\r\nid=\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    EXPECT_EQ(get("PROFILE", "sname"), QString::fromUtf8("Café"));
    EXPECT_EQ(get("PROFILE", "id"), QString::fromUtf8("日本"));
}

TEST_F(PrivateProfileTest, WritesANewFileWithCrLfLines) {
    ASSERT_TRUE(PrivateProfile::WriteString("PROFILE", "sname", "My site", path));
    ASSERT_TRUE(PrivateProfile::WriteString("PROFILE", "port", "21", path));
    ASSERT_TRUE(PrivateProfile::WriteString("Second", "x", QString::fromUtf8("ü"), path));
    EXPECT_EQ(fileBytes(), "[PROFILE]\r\nsname=My site\r\nport=21\r\n[Second]\r\nx=\xC3\xBC\r\n");
}

TEST_F(PrivateProfileTest, ReplacesOnlyTheLineItWrites) {
    writeFile(
        "; kept comment\r\n"
        "[Zu]\r\n"
        "  Keep  =  spaced  \r\n"
        "Key=old\r\n"
        "\r\n"
        "[Other]\r\n"
        "Key=untouched");
    ASSERT_TRUE(PrivateProfile::WriteString("zu", "KEY", "new", path));
    ASSERT_TRUE(PrivateProfile::WriteString("Zu", "Added", "1", path));
    ASSERT_TRUE(PrivateProfile::WriteString("Other", "Added", "2", path));
    EXPECT_EQ(fileBytes(),
              "; kept comment\r\n"
              "[Zu]\r\n"
              "  Keep  =  spaced  \r\n"
              "Key=new\r\n"
              "Added=1\r\n"
              "\r\n"
              "[Other]\r\n"
              "Key=untouched\r\n"
              "Added=2\r\n");
    EXPECT_EQ(get("Zu", "Key"), "new");
}

TEST_F(PrivateProfileTest, KeepsTheLineEndsOfAnLfFile) {
    writeFile("[Zu]\nA=1\n");
    ASSERT_TRUE(PrivateProfile::WriteString("Zu", "B", "2", path));
    ASSERT_TRUE(PrivateProfile::WriteString("New", "C", "3", path));
    EXPECT_EQ(fileBytes(), "[Zu]\nA=1\nB=2\n[New]\nC=3\n");
}

TEST_F(PrivateProfileTest, RefusesWhatWouldNotReadBackAndLeavesTheFile) {
    writeFile("[Zu]\r\nA=1\r\n");
    const QString bad[][3] = {
        {"Zu", "A", "line\r\nB=injected"},
        {"Zu", "A=B", "1"},
        {"Zu", "", "1"},
        {"Zu", "[X]", "1"},
        {"Zu", ";c", "1"},
        {"Z]u", "A", "1"},
        {"Z\nu", "A", "1"},
        {"", "A", "1"},
    };
    for (const auto& b : bad)
        EXPECT_FALSE(PrivateProfile::WriteString(b[0], b[1], b[2], path))
            << b[0].toStdString() << "|" << b[1].toStdString();
    EXPECT_EQ(fileBytes(), "[Zu]\r\nA=1\r\n");
    EXPECT_FALSE(PrivateProfile::WriteString("Zu", "A", "1", root.file("no/such/folder.ini")));
}

TEST_F(PrivateProfileTest, ValuesRoundTripApartFromTheOuterBlanks) {
    const QString values[] = {"",
                              "x",
                              "a=b;c",
                              "\"quoted\"",
                              QString::fromUtf8("日本語"),
                              "[not a section]",
                              QString(2000, u'v')};
    for (const QString& value : values) {
        ASSERT_TRUE(PrivateProfile::WriteString("S", "K", value, path));
        EXPECT_EQ(PrivateProfile::GetString("S", "K", "<def>", 5000, path), value);
    }
    ASSERT_TRUE(PrivateProfile::WriteString("S", "K", "  padded  ", path));
    EXPECT_EQ(get("S", "K"), "padded");
}

}  // namespace
