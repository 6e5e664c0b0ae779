// Folder synchronisation both ways, by size and by date: which files go (a
// table of decisions), then the same rules against the scripted server with
// listings whose dates we choose. A local file is replaced only through the
// replace question; nothing is ever deleted.
#include "FakeKarvoWindow.h"
#include "ftpclient/ScriptedComponentFixture.h"
#include "ftpclient/transfers/FolderSync.h"
#include "ftpclient/transfers/KarvoRegistry.h"
#include "ftpclient/transfers/SyncDecision.h"
#include "ftpclient/transfers/TransferEvents.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"

#include <map>

namespace {

const QDateTime kOld(QDate(2020, 1, 1), QTime(0, 0));
const QDateTime kListed(QDate(2021, 3, 5), QTime(0, 0));
const QDateTime kNew(QDate(2022, 7, 8), QTime(0, 0));

TEST(SyncDecisionTest, WhichFilesGo) {
    struct Row {
        const char* name;
        SyncDecision::Facts facts;
        bool bySize;
        bool transfer;
    };
    const Row rows[] = {
        {"missing target", {false, 5, kListed, 0, {}}, false, true},
        {"by size, equal", {true, 5, kNew, 5, kOld}, true, false},
        {"by size, differs", {true, 5, kOld, 6, kNew}, true, true},
        {"by date, source later", {true, 5, kNew, 5, kListed}, false, true},
        {"by date, source older", {true, 5, kOld, 9, kListed}, false, false},
        {"by date, same minute", {true, 5, kListed.addSecs(50), 5, kListed}, false, false},
        {"by date, next minute", {true, 5, kListed.addSecs(60), 5, kListed}, false, true},
        {"by date, unknown date, sizes differ", {true, 5, kListed, 6, {}}, false, true},
        {"by date, unknown date, sizes equal", {true, 5, kListed, 5, {}}, false, false},
    };
    for (const Row& row : rows) EXPECT_EQ(SyncDecision::transfer(row.facts, row.bySize), row.transfer) << row.name;
}

struct SyncFile {
    QByteArray data;
    QDateTime time;
};

struct SyncRow {
    const char* name;
    bool down;
    bool bySize;
    std::map<QString, SyncFile> local;
    std::map<QString, SyncFile> remote;
    // Answers to "… already exits. Do you want to replace it?", in order.
    std::vector<Dialogs::Answer> replace;
    // RETR or STOR lines, in order.
    QList<QByteArray> transfers;
    std::map<QString, QByteArray> localAfter;
    std::map<QString, QByteArray> remoteAfter;
};

void PrintTo(const SyncRow& row, std::ostream* os) {
    *os << row.name;
}

QByteArray listingLine(const QString& name, const SyncFile& file) {
    return "-rw-r--r-- 1 ftp ftp " + QByteArray::number(file.data.size()) + ' ' +
           QLocale::c().toString(file.time, QStringLiteral("MMM dd yyyy")).toLatin1() + ' ' +
           name.toUtf8() + "\r\n";
}

class FolderSyncTest : public ScriptedComponentFixture, public ::testing::WithParamInterface<SyncRow> {
protected:
    TempRoot root_;
};

TEST_P(FolderSyncTest, TransfersWhatDiffers) {
    const SyncRow& row = GetParam();
    ScriptedDialogs::current().clear();
    KarvoRegistry::save(QStringLiteral("DIR SYNC BY FILE SIZE"), row.bySize ? QStringLiteral("1") : QStringLiteral("0"));
    QByteArray listing;
    for (const auto& [name, file] : row.remote) {
        server.addFile(u'/' + name, file.data);
        listing += listingLine(name, file);
    }
    // A folder on either side is never entered.
    server.addFolder(QStringLiteral("folder"));
    listing += "drwxr-xr-x 1 ftp ftp 0 Jan 01 2021 folder\r\n";
    server.setListing(QStringLiteral("/"), listing);
    ASSERT_TRUE(QDir(local.path()).mkdir(QStringLiteral("localfolder")));
    for (const auto& [name, file] : row.local) {
        ASSERT_TRUE(writeWholeFile(localPath(name), file.data));
        QFile handle(localPath(name));
        ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
        ASSERT_TRUE(handle.setFileTime(file.time, QFileDevice::FileModificationTime));
    }
    for (Dialogs::Answer answer : row.replace) ScriptedDialogs::current().answerMessage(answer);

    FakeKarvoWindow window(ftp);
    window.localFolder = local.path() + u'/';
    window.remotePath = QStringLiteral("/");
    TransferEvents events(ftp, window);
    connectOk();
    if (row.down) FolderSync(window).SynchronizeDown();
    else FolderSync(window).SynchronizeUp();

    QList<QByteArray> transfers;
    for (const QByteArray& line : sent())
        if (line.startsWith("RETR") || line.startsWith("STOR")) transfers << line;
    EXPECT_EQ(transfers, row.transfers);
    EXPECT_EQ(ScriptedDialogs::current().calls().size(), row.replace.size());
    for (const auto& call : ScriptedDialogs::current().calls())
        EXPECT_TRUE(call.text.endsWith(QStringLiteral(" already exits. Do you want to replace it?")));
    for (const auto& [name, data] : row.localAfter) EXPECT_EQ(readFile(localPath(name)), data) << name.toStdString();
    for (const auto& [name, data] : row.remoteAfter)
        EXPECT_EQ(server.files().value(u'/' + name), data) << name.toStdString();
    EXPECT_EQ(window.status.value(window.status.size() - 1),
              row.down ? QStringLiteral("Local Directory Sync Complete") : QStringLiteral("Remote Directory Sync Complete"));
    EXPECT_EQ(window.localRefreshes, 1);
    EXPECT_EQ(window.remoteRefreshes, 1);
    EXPECT_EQ(window.covers, row.down ? QList<bool>{} : (QList<bool>{true, false}));
    EXPECT_FALSE(sent().contains("CWD folder"));
    EXPECT_FALSE(server.files().contains(QStringLiteral("/localfolder")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderSyncTest,
    ::testing::Values(
        SyncRow{"DownBySize",
                true,
                true,
                {{"same.bin", {"0123456789", kNew}}, {"diff.bin", {"local", kNew}}},
                {{"same.bin", {"abcdefghij", kListed}}, {"diff.bin", {"remote!", kListed}}, {"new.bin", {"new", kListed}}},
                {Dialogs::Answer::Yes},
                {"RETR diff.bin", "RETR new.bin"},
                {{"same.bin", "0123456789"}, {"diff.bin", "remote!"}, {"new.bin", "new"}},
                {}},
        SyncRow{"DownNeverReplacesWithoutTheUsersWord",
                true,
                true,
                {{"diff.bin", {"my edit", kNew}}},
                {{"diff.bin", {"remote!!!", kListed}}},
                {Dialogs::Answer::No},
                {},
                {{"diff.bin", "my edit"}},
                {}},
        SyncRow{"DownByDate",
                true,
                false,
                {{"older.bin", {"old", kOld}}, {"newer.bin", {"newer", kNew}}},
                {{"older.bin", {"remote", kListed}}, {"newer.bin", {"remote", kListed}}, {"new.bin", {"n", kListed}}},
                {Dialogs::Answer::Yes},
                {"RETR new.bin", "RETR older.bin"},
                {{"older.bin", "remote"}, {"newer.bin", "newer"}, {"new.bin", "n"}},
                {}},
        SyncRow{"UpBySize",
                false,
                true,
                {{"same.bin", {"0123456789", kOld}}, {"diff.bin", {"local!!", kOld}}, {"new.bin", {"new", kOld}}},
                {{"same.bin", {"abcdefghij", kListed}}, {"diff.bin", {"remote", kListed}}, {"only.bin", {"x", kListed}}},
                {},
                {"STOR diff.bin", "STOR new.bin"},
                {},
                {{"same.bin", "abcdefghij"}, {"diff.bin", "local!!"}, {"new.bin", "new"}, {"only.bin", "x"}}},
        SyncRow{"UpByDate",
                false,
                false,
                {{"newer.bin", {"newer", kNew}}, {"older.bin", {"old", kOld}}, {"new.bin", {"n", kOld}}},
                {{"newer.bin", {"remote", kListed}}, {"older.bin", {"remote", kListed}}},
                {},
                {"STOR new.bin", "STOR newer.bin"},
                {},
                {{"newer.bin", "newer"}, {"older.bin", "remote"}, {"new.bin", "n"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
