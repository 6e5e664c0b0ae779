#include "CoreFixture.h"

#include "core/modFunctions.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QObject>
#include <cstdint>
#include <limits>

namespace {

// Tests state their locale; the default one comes back afterwards.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

struct SizeText {
    double bytes;
    const char* text;
};

class FormatSizeTest : public ::testing::TestWithParam<SizeText> {
protected:
    LocaleGuard locale_{QLocale(QLocale::English, QLocale::UnitedStates)};
};

TEST_P(FormatSizeTest, ShowsBytesKilobytesOrMegabytes) {
    EXPECT_EQ(FormatSize(GetParam().bytes), QString::fromLatin1(GetParam().text))
        << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(
    English, FormatSizeTest,
    ::testing::Values(SizeText{0, "0 Bytes"}, SizeText{1023, "1023 Bytes"},
                      SizeText{512.5, "512.5 Bytes"}, SizeText{1024, "1.00 KB"},
                      SizeText{1536, "1.50 KB"}, SizeText{1048576, "1024.00 KB"},
                      SizeText{1048577, "1.00 MB"}, SizeText{5.0 * 1073741824, "5,120.00 MB"},
                      SizeText{double(std::int64_t(1) << 53), "8,589,934,592.00 MB"},
                      SizeText{1073741824.0 * 1024, "1,048,576.00 MB"}));

TEST(FormatSizeLocaleTest, MarksFollowTheLocale) {
    LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatSize(1536), QStringLiteral("1,50 KB"));
    EXPECT_EQ(FormatSize(1048576), QStringLiteral("1024,00 KB"));
    EXPECT_EQ(FormatSize(5.0 * 1073741824), QStringLiteral("5.120,00 MB"));
    EXPECT_EQ(FormatSize(0.5), QStringLiteral("0,5 Bytes"));
}

TEST(FormatSizeLocaleTest, CLocaleStillGroupsMegabytes) {
    LocaleGuard c(QLocale::c());
    EXPECT_EQ(FormatSize(5.0 * 1073741824), QStringLiteral("5,120.00 MB"));
    EXPECT_EQ(FormatSize(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("0 Bytes"));
}

struct SecondsText {
    double seconds;
    const char* text;
};

class FormatSecondsTest : public ::testing::TestWithParam<SecondsText> {};

TEST_P(FormatSecondsTest, ShowsHoursMinutesSeconds) {
    EXPECT_EQ(FormatSeconds(GetParam().seconds), QString::fromLatin1(GetParam().text))
        << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatSecondsTest,
    ::testing::Values(SecondsText{0, "00:00:00"}, SecondsText{5.7, "00:00:05"},
                      SecondsText{59.9, "00:00:59"}, SecondsText{60, "00:01:00"},
                      SecondsText{3725, "01:02:05"}, SecondsText{3599.99, "00:59:59"},
                      SecondsText{86399, "23:59:59"}, SecondsText{86400, "24:00:00"},
                      SecondsText{97384, "27:03:04"}, SecondsText{360000, "100:00:00"},
                      SecondsText{-3, "00:00:00"},
                      SecondsText{std::numeric_limits<double>::infinity(), "00:00:00"}));

struct HeaderCase {
    const char* text;
    const char* label;
    const char* value;
};

class HeaderFieldValueTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderFieldValueTest, TakesTheValueAfterTheLabel) {
    EXPECT_EQ(HeaderFieldValue(GetParam().text, GetParam().label), QByteArray(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderFieldValueTest,
    ::testing::Values(
        HeaderCase{"HTTP/1.1 200 OK\r\nContent-Length: 1234\r\n\r\n", "Content-Length:", "1234"},
        HeaderCase{"HTTP/1.1 200 OK\r\ncontent-length: 99\r\n\r\n", "Content-Length:", "99"},
        HeaderCase{"HTTP/1.1 302\r\nLocation: http://x/y z\r\nA: b\r\n",
                   "Location:", "http://x/y z"},
        HeaderCase{"HTTP/1.1 200 OK\r\nServer: x\r\n\r\n", "Content-Length:", ""},
        HeaderCase{"", "Content-Length:", ""},
        HeaderCase{"HTTP/1.1 200 OK\r\nContent-Length:", "Content-Length:", ""},
        HeaderCase{"HTTP/1.1 200 OK\r\nContent-Length: ", "Content-Length:", ""},
        HeaderCase{"Content-Length: 77", "Content-Length:", "77"},
        HeaderCase{"A: 1\r\nContent-Length: 5\r\nContent-Length: 6\r\n", "Content-Length:", "5"}));

TEST(TimeDiffTest, BorrowsFromTheLaterTime) {
    SystemTime later{.wHour = 10};
    const SystemTime earlier{.wHour = 9, .wMinute = 59, .wSecond = 59, .wMilliseconds = 999};
    const SystemTime diff = TimeDiff(later, earlier);
    EXPECT_EQ(diff.wHour, 0);
    EXPECT_EQ(diff.wMinute, 0);
    EXPECT_EQ(diff.wSecond, 0);
    EXPECT_EQ(diff.wMilliseconds, 1);
    // The borrows stay in the caller's record.
    EXPECT_EQ(later.wHour, 9);
    EXPECT_EQ(later.wMinute, 59);
    EXPECT_EQ(later.wSecond, 59);
    EXPECT_EQ(later.wMilliseconds, 1000);
}

TEST(TimeDiffTest, NoDayBorrowAcrossMidnight) {
    SystemTime later{.wYear = 2024, .wDay = 2, .wHour = 0, .wMinute = 30};
    const SystemTime earlier{.wHour = 23, .wMinute = 15, .wSecond = 10};
    const SystemTime diff = TimeDiff(later, earlier);
    EXPECT_EQ(diff.wHour, -23);
    EXPECT_EQ(diff.wMinute, 14);
    EXPECT_EQ(diff.wSecond, 50);
    EXPECT_EQ(diff.wYear, 0);
    EXPECT_EQ(diff.wDay, 0);
}

class FileHelpersTest : public CoreFixture {
protected:
    QString file(const QString& name) const { return root_.file(name); }
};

TEST_F(FileHelpersTest, ExistenceTests) {
    writeFile(file(QStringLiteral("f.bin")), "abc");
    writeFile(file(QStringLiteral(".hidden")), "");
    ASSERT_TRUE(QFile::link(file(QStringLiteral("f.bin")), file(QStringLiteral("link"))));
    ASSERT_TRUE(QFile::link(file(QStringLiteral("gone")), file(QStringLiteral("dangling"))));

    EXPECT_TRUE(FileExists(file(QStringLiteral("f.bin"))));
    EXPECT_TRUE(FileExists(file(QStringLiteral(".hidden"))));
    EXPECT_TRUE(FileExists(file(QStringLiteral("link"))));
    EXPECT_FALSE(FileExists(root_.path()));
    EXPECT_FALSE(FileExists(file(QStringLiteral("gone"))));
    EXPECT_FALSE(FileExists(file(QStringLiteral("dangling"))));
    EXPECT_FALSE(FileExists(QString()));

    EXPECT_TRUE(FileIsReadable(file(QStringLiteral("f.bin"))));
    EXPECT_TRUE(FileIsReadable(file(QStringLiteral(".hidden"))));
    EXPECT_FALSE(FileIsReadable(file(QStringLiteral("gone"))));
    EXPECT_FALSE(FileIsReadable(root_.path()));
}

TEST_F(FileHelpersTest, KillAndCopyIgnoreErrors) {
    writeFile(file(QStringLiteral("a")), "new");
    writeFile(file(QStringLiteral("b")), "old content");
    CopyFileQuiet(file(QStringLiteral("a")), file(QStringLiteral("b")));
    EXPECT_EQ(readFile(file(QStringLiteral("b"))), QByteArray("new"));
    CopyFileQuiet(file(QStringLiteral("missing")), file(QStringLiteral("c")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("c"))));

    KillFileQuiet(file(QStringLiteral("a")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("a"))));
    KillFileQuiet(file(QStringLiteral("a")));
    ASSERT_TRUE(QDir().mkdir(file(QStringLiteral("folder"))));
    KillFileQuiet(file(QStringLiteral("folder")));
    EXPECT_TRUE(QFileInfo(file(QStringLiteral("folder"))).isDir());
}

TEST(AddTrailingBackslashTest, AppendsTheSeparatorOnce) {
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/dl")), QStringLiteral("/dl/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/dl/")), QStringLiteral("/dl/"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/dl/ ")), QStringLiteral("/dl/ "));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/dl ")), QStringLiteral("/dl /"));
    EXPECT_EQ(AddTrailingBackslash(QStringLiteral("/")), QStringLiteral("/"));
}

class Face : public QObject {
    Q_OBJECT
public:
    int repaints = 0;
public slots:
    void RefreshControls() { ++repaints; }
};

TEST(RefreshControlsTest, CallsTheFacesSlotAndLeavesOthersAlone) {
    Face face;
    RefreshControls(&face);
    RefreshControls(&face);
    EXPECT_EQ(face.repaints, 2);
    QObject logicOnly;
    RefreshControls(&logicOnly);
    RefreshControls(nullptr);
}

}  // namespace

#include "modFunctionsTest.moc"
