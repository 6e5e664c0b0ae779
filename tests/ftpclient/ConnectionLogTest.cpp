// The connection log file: its name inside the log folder, the record form,
// user-only modes, one message for failing writes, and the clean-up at start.
#include "common/QStringPrinter.h"
#include "ftpclient/main/ConnectionLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using karvo::ConnectionLog;

namespace {

int mode(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

TEST(ConnectionLogTest, TheFileNameStaysInsideTheLogFolder) {
    const std::pair<QString, QString> rows[] = {
        {QStringLiteral("FTP.LOG"), QStringLiteral("FTP.log")},
        {QStringLiteral("session.txt"), QStringLiteral("session.log")},
        {QStringLiteral("a.b.c"), QStringLiteral("a.b.log")},
        {QStringLiteral("plain"), QStringLiteral("plain.log")},
        {QStringLiteral("../../etc/x.log"), QStringLiteral("x.log")},
        {QStringLiteral("C:\\logs\\win.log"), QStringLiteral("win.log")},
        {QStringLiteral("/tmp/"), QStringLiteral("FTP.log")},
        {QStringLiteral(".."), QStringLiteral("FTP.log")},
        {QString(), QStringLiteral("FTP.log")},
        {QStringLiteral("a\nb.log"), QStringLiteral("ab.log")},
    };
    for (const auto& [setting, name] : rows)
        EXPECT_EQ(ConnectionLog::FileName(setting), name) << setting.toStdString();
}

TEST(ConnectionLogTest, ARecordIsOneQuotedLine) {
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(ConnectionLog::Record(when, QStringLiteral("220 Ready")),
              QByteArray("#2024-03-05 14:07:09#,\"220 Ready\"\n"));
    EXPECT_EQ(ConnectionLog::Record(
                  when, QStringLiteral("257 \"/a \"\"b\"\"\" is\r\ncurrent\x1b[2J\tok")),
              QByteArray(
                  "#2024-03-05 14:07:09#,\"257 \"\"/a \"\"\"\"b\"\"\"\"\"\" iscurrent[2J\tok\"\n"));
}

TEST(ConnectionLogTest, SizeLimitsAreKilobytesWithOrWithoutSeparators) {
    const std::pair<QString, std::optional<qint64>> rows[] = {
        {QStringLiteral("1000"), 1024000},
        {QStringLiteral("1,000"), 1024000},
        {QStringLiteral("1.000"), 1024000},
        {QStringLiteral(" 2 048 "), 2097152},
        {QStringLiteral("0"), 0},
        {QStringLiteral("12kb"), 12288},
        {QStringLiteral("abc"), std::nullopt},
        {QString(), std::nullopt},
        {QStringLiteral(",5"), std::nullopt},
    };
    for (const auto& [text, bytes] : rows)
        EXPECT_EQ(ConnectionLog::SizeLimitBytes(text), bytes) << text.toStdString();
}

TEST(ConnectionLogTest, WritesAppendRecordsToUserOnlyFiles) {
    QTemporaryDir program;
    ConnectionLog log(program.path(), {});
    log.Write(QStringLiteral("USER karvo"));
    log.Write(QStringLiteral("PASS ****"));
    const QString path = program.filePath(QStringLiteral("log/FTP.log"));
    EXPECT_EQ(log.FilePath(), path);
    const QList<QByteArray> lines = readWholeFile(path).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("#,\"USER karvo\"")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("#,\"PASS ****\""));
    EXPECT_EQ(mode(program.filePath(QStringLiteral("log"))), 0700);
    EXPECT_EQ(mode(path), 0600);
}

TEST(ConnectionLogTest, AFailingWriteIsShownOnce) {
    QTemporaryDir program;
    // A file where the folder should be: every write fails.
    ASSERT_TRUE(writeWholeFile(program.filePath(QStringLiteral("log")), "not a folder"));
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.clear();
    dialogs.allowOkMessages();
    ConnectionLog log(program.path(), {});
    for (int i = 0; i < 5; ++i) log.Write(QStringLiteral("line"));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Critical);
    EXPECT_FALSE(dialogs.calls()[0].text.isEmpty());
    EXPECT_TRUE(log.WriteFailed());
}

struct CleanUpRow {
    const char* name;
    ConnectionLog::Settings settings;
    qint64 logSize;
    bool logKept;
    bool otherLogKept;
    bool folderKept;
};

class ConnectionLogCleanUpTest : public ::testing::TestWithParam<CleanUpRow> {};

TEST_P(ConnectionLogCleanUpTest, DeletesOnlyLogFiles) {
    const CleanUpRow& row = GetParam();
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    const QString folder = program.filePath(QStringLiteral("log"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeWholeFile(folder + QStringLiteral("/FTP.log"), QByteArray(row.logSize, 'x')));
    ASSERT_TRUE(writeWholeFile(folder + QStringLiteral("/old.LOG"), "old"));
    // What the user put there and a link out of the folder are not logs of ours.
    ASSERT_TRUE(writeWholeFile(elsewhere.filePath(QStringLiteral("target.log")), "keep"));
    ASSERT_TRUE(QFile::link(elsewhere.filePath(QStringLiteral("target.log")),
                            folder + QStringLiteral("/linked.log")));
    ScriptedDialogs::current().clear();
    ConnectionLog(program.path(), row.settings).CleanUpAtStart();
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
    EXPECT_EQ(QFile::exists(folder + QStringLiteral("/FTP.log")), row.logKept);
    EXPECT_EQ(QFile::exists(folder + QStringLiteral("/old.LOG")), row.otherLogKept);
    EXPECT_EQ(QDir(folder).exists(), row.folderKept);
    EXPECT_EQ(readWholeFile(elsewhere.filePath(QStringLiteral("target.log"))), QByteArray("keep"));
}

ConnectionLog::Settings settings(bool onStartup, bool ifExceeds, const char* limit) {
    ConnectionLog::Settings s;
    s.deleteOnStartup = onStartup;
    s.deleteIfSizeExceeds = ifExceeds;
    s.sizeLimit = QString::fromLatin1(limit);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConnectionLogCleanUpTest,
    ::testing::Values(
        CleanUpRow{"on_startup_every_log_and_the_empty_folder", settings(true, false, "1"), 10,
                   false, false, false},
        CleanUpRow{"neither_rule", settings(false, false, "0"), 5000, true, true, true},
        CleanUpRow{"size_not_exceeded", settings(false, true, "1"), 1024, true, true, true},
        CleanUpRow{"size_exceeded_the_one_log", settings(false, true, "1"), 1025, false, true,
                   true},
        CleanUpRow{"size_with_separator", settings(false, true, "1,000"), 1024001, false, true,
                   true},
        CleanUpRow{"size_not_a_number", settings(false, true, "lots"), 1024001, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectionLogTest, CleanUpKeepsTheFolderWithOtherFilesAndLeavesALinkedFolderAlone) {
    QTemporaryDir program;
    const QString folder = program.filePath(QStringLiteral("log"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/sub.log")));
    ASSERT_TRUE(writeWholeFile(folder + QStringLiteral("/FTP.log"), "x"));
    ASSERT_TRUE(writeWholeFile(folder + QStringLiteral("/notes.txt"), "mine"));
    ScriptedDialogs::current().clear();
    ConnectionLog(program.path(), {}).CleanUpAtStart();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/FTP.log")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/notes.txt")));
    EXPECT_TRUE(QDir(folder + QStringLiteral("/sub.log")).exists());

    // "log" as a link to another folder: nothing there is touched.
    QTemporaryDir other;
    QTemporaryDir linked;
    ASSERT_TRUE(writeWholeFile(other.filePath(QStringLiteral("FTP.log")), "theirs"));
    ASSERT_TRUE(QFile::link(other.path(), linked.filePath(QStringLiteral("log"))));
    ConnectionLog(linked.path(), {}).CleanUpAtStart();
    EXPECT_EQ(readWholeFile(other.filePath(QStringLiteral("FTP.log"))), QByteArray("theirs"));
    // Without a log folder there is nothing to do and nothing to say.
    QTemporaryDir empty;
    ConnectionLog(empty.path(), {}).CleanUpAtStart();
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
}

}  // namespace
