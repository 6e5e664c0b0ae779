// "History.ini": both lists across a restart.
#include "QueueFixture.h"
#include "common/AppPaths.h"
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "queue/HistoryFile.h"
#include "support/TestData.h"

#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

ListRowPtr addRow(ReportList& list, int icon, const QStringList& items) {
    const ListRowPtr row = list.Add(icon);
    for (int k = 1; k <= items.size(); ++k) row->setSubItem(k, items[k - 1]);
    return row;
}

QStringList itemsOf(const ListRowPtr& row) {
    QStringList items;
    for (int k = 1; k <= 7; ++k) items << row->SubItem(k);
    return items;
}

const QStringList kRunning = {"/d/a.zip",       "45%",           "1.00 MB", "460.80 KB",
                              "Downloading...", "http://h/a.zip"};
const QStringList kLater = {"/d/b.iso", "0%", "N/A", "N/A", "Not Downloaded", "ftp://h/b.iso"};
const QStringList kDone = {"/d/c.txt",         "100%",          "10 Bytes", "10 Bytes",
                           "Download Success", "http://h/c.txt"};

const QByteArray kFile =
    "/d/a.zip\r\n45%\r\n1.00 MB\r\n460.80 KB\r\nDownloading...\r\nhttp://h/a.zip\r\n12/8/25\r\n"
    "/d/b.iso\r\n0%\r\nN/A\r\nN/A\r\nNot Downloaded\r\nftp://h/b.iso\r\n12/8/25\r\n"
    "Complete List\r\n"
    "/d/c.txt\r\n100%\r\n10 Bytes\r\n10 Bytes\r\nDownload Success\r\nhttp://h/c.txt\r\n12/8/25\r\n"
    "Finish History\r\n";

class HistoryTest : public QueueFixture {
protected:
    void fillLists() {
        addRow(queue.lstMain, 1, kRunning);
        addRow(queue.lstMain, 1, kLater);
        addRow(queue.lstComplete, 4, kDone);
    }
    QString historyPath() const { return AppFilePath(QStringLiteral("History.ini")); }
};

TEST_F(HistoryTest, RecordsAreSevenLinesWithTheSaveDateBetweenTwoMarkers) {
    fillLists();
    EXPECT_EQ(HistoryFile::Serialize(queue.lstMain, queue.lstComplete, QStringLiteral("12/8/25")),
              kFile);
}

TEST_F(HistoryTest, ARoundTripRestoresBothListsAndPausesWhatWasRunning) {
    fillLists();
    queue.SaveHistory(QDate(2025, 12, 8));
    const QString date = QLocale().toString(QDate(2025, 12, 8), QLocale::ShortFormat);
    QByteArray expected = kFile;
    expected.replace("12/8/25", date.toUtf8());
    EXPECT_EQ(readAll(historyPath()), expected);

    DownloadQueue restarted;
    addRow(restarted.lstMain, 1, {"stale row"});
    restarted.LoadHistory();
    ASSERT_EQ(restarted.lstMain.Count(), 2);
    ASSERT_EQ(restarted.lstComplete.Count(), 1);
    QStringList paused = kRunning;
    paused[4] = QStringLiteral("Paused/Stoped");
    EXPECT_EQ(itemsOf(restarted.lstMain.At(0)), paused + QStringList{date});
    EXPECT_EQ(itemsOf(restarted.lstMain.At(1)), kLater + QStringList{date});
    EXPECT_EQ(itemsOf(restarted.lstComplete.At(0)), kDone + QStringList{date});
    EXPECT_EQ(restarted.lstMain.At(0)->SmallIcon, 1);
    EXPECT_EQ(restarted.lstComplete.At(0)->SmallIcon, 4);
}

TEST_F(HistoryTest, SavingOnAnotherDayChangesOnlyTheDateLines) {
    fillLists();
    queue.SaveHistory(QDate(2025, 12, 8));
    const QList<QByteArray> first = readAll(historyPath()).split('\n');
    queue.SaveHistory(QDate(2026, 1, 2));
    const QList<QByteArray> second = readAll(historyPath()).split('\n');
    ASSERT_EQ(first.size(), second.size());
    for (int i = 0; i < first.size(); ++i) {
        const bool dateLine = (i < 14 && i % 7 == 6) || i == 21;
        EXPECT_EQ(first[i] != second[i], dateLine) << i << " " << first[i].constData();
    }
}

TEST_F(HistoryTest, EmptyListsLeaveNoFileAndAMissingFileChangesNothing) {
    fillLists();
    queue.SaveHistory();
    ASSERT_TRUE(QFile::exists(historyPath()));
    queue.ClearQueue();
    queue.RemoveAllComplete();
    queue.SaveHistory();
    EXPECT_FALSE(QFile::exists(historyPath()));

    DownloadQueue restarted;
    addRow(restarted.lstMain, 1, {"kept"});
    restarted.LoadHistory();
    ASSERT_EQ(restarted.lstMain.Count(), 1);
    EXPECT_EQ(restarted.lstMain.At(0)->SubItem(1), QStringLiteral("kept"));
    EXPECT_FALSE(QDir(AppPaths::programFolder()).entryList(QDir::Files).contains("History.ini"));
}

TEST_F(HistoryTest, TheLanguageIsStoredOnTheSide) {
    LangFile = QStringLiteral("Deutsch.ini");
    queue.SaveHistory();
    EXPECT_EQ(CRegister().REGGetSetting(
                  HKEY_CURRENT_USER,
                  QStringLiteral(
                      "\\Software\\VB and VBA Program Settings\\Vornel Download Manager\\Language"),
                  QStringLiteral("Name")),
              QStringLiteral("Deutsch.ini"));
}

// Written elsewhere and renamed into place: a save that cannot finish (here: a file
// size limit) leaves the previous history as it was.
TEST_F(HistoryTest, ASaveThatFailsHalfwayKeepsThePreviousFile) {
    fillLists();
    queue.SaveHistory();
    const QByteArray before = readAll(historyPath());
    for (int i = 0; i < 300; ++i) addRow(queue.lstComplete, 4, kDone);

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    queue.SaveHistory();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(readAll(historyPath()), before);
    EXPECT_EQ(QDir(AppPaths::programFolder()).entryList({"History.ini*"}, QDir::Files),
              QStringList{"History.ini"});
}

// A History.ini that cannot be read holds rows this run never saw: it stays, the
// lists are saved beside it, and the log says where.
TEST_F(HistoryTest, AnUnreadableFileIsKeptAndTheListsGoBesideIt) {
    // A folder in its place: unreadable even for root.
    ASSERT_TRUE(QDir().mkpath(historyPath()));
    DownloadQueue restarted;
    restarted.LoadHistory();
    EXPECT_EQ(restarted.lstMain.Count(), 0);
    restarted.SaveHistory(QDate(2025, 12, 8));
    EXPECT_FALSE(QFile::exists(historyPath() + QStringLiteral(".new")));  // nothing to save
    EXPECT_TRUE(QFileInfo(historyPath()).isDir());

    addRow(restarted.lstMain, 1, kLater);
    restarted.SaveHistory(QDate(2025, 12, 8));
    EXPECT_TRUE(QFileInfo(historyPath()).isDir());
    const QString date = QLocale().toString(QDate(2025, 12, 8), QLocale::ShortFormat);
    EXPECT_EQ(readAll(historyPath() + QStringLiteral(".new")),
              (kLater.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") + date +
               QStringLiteral("\r\nComplete List\r\nFinish History\r\n"))
                  .toUtf8());
    const QByteArray log = readAll(AppFilePath(QStringLiteral("errorlog.txt")));
    EXPECT_TRUE(log.contains("Method: LoadHistory")) << log.constData();
    EXPECT_TRUE(log.contains(QFile::encodeName(historyPath()) + ".new")) << log.constData();
}

struct ParseCase {
    const char* name;
    QByteArray content;
    QList<QStringList> downloads;
    QList<QStringList> complete;
};

// Damaged files load what they hold; nothing hangs or crashes.
TEST(HistoryParseTest, DamagedFilesLoadWhatTheyHold) {
    const QStringList a = {"/a", "1%", "3", "4", "5", "http://h/a", "d"};
    const QStringList b = {"/b", "2%", "3", "4", "5", "http://h/b", "d"};
    const QByteArray recordA = "/a\r\n1%\r\n3\r\n4\r\n5\r\nhttp://h/a\r\nd\r\n";
    const QByteArray recordB = "/b\r\n2%\r\n3\r\n4\r\n5\r\nhttp://h/b\r\nd\r\n";
    const ParseCase cases[] = {
        {"only the markers", "Complete List\r\nFinish History\r\n", {}, {}},
        {"empty file", "", {}, {}},
        {"cut inside a download record", recordA + "/b\r\n2%\r\n3\r\n", {a, {"/b", "2%", "3"}}, {}},
        {"cut between records", recordA, {a}, {}},
        {"cut inside a complete record",
         recordA + "Complete List\r\n" + recordB.left(11),
         {a},
         {{"/b", "2%", "3"}}},
        {"no closing marker", "Complete List\r\n" + recordB, {}, {b}},
        {"marker inside a record drops it",
         "/x\r\n9%\r\nComplete List\r\n" + recordB + "Finish History\r\n",
         {},
         {b}},
        {"finish marker inside a complete record",
         "Complete List\r\n/x\r\nFinish History\r\n",
         {},
         {}},
        {"lines ended by LF alone",
         QByteArray(recordA).replace("\r\n", "\n") + "Complete List\nFinish History",
         {a},
         {}},
        {"text after the last marker is ignored",
         "Complete List\r\nFinish History\r\n" + recordA,
         {},
         {}},
    };
    for (const ParseCase& c : cases) {
        ReportList downloads;
        ReportList complete;
        addRow(downloads, 1, {"old"});
        HistoryFile::Parse(c.content, downloads, complete);
        QList<QStringList> gotDownloads;
        for (const ListRowPtr& row : downloads.Rows()) gotDownloads << itemsOf(row).mid(0, 7);
        QList<QStringList> gotComplete;
        for (const ListRowPtr& row : complete.Rows()) gotComplete << itemsOf(row);
        const auto padded = [](QList<QStringList> rows) {
            for (QStringList& row : rows)
                while (row.size() < 7) row << QString();
            return rows;
        };
        EXPECT_EQ(gotDownloads, padded(c.downloads)) << c.name;
        EXPECT_EQ(gotComplete, padded(c.complete)) << c.name;
    }
}

TEST(HistoryParseTest, AFileInASingleByteCodePageReadsAsLatin1) {
    ReportList downloads;
    ReportList complete;
    HistoryFile::Parse(
        "/d/caf\xE9.txt\r\n0%\r\nN/A\r\nN/A\r\nx\r\nhttp://h/\r\nd\r\nComplete List\r\n", downloads,
        complete);
    ASSERT_EQ(downloads.Count(), 1);
    EXPECT_EQ(downloads.At(0)->SubItem(1), QStringLiteral("/d/café.txt"));
}

}  // namespace
