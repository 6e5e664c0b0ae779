// The save modes, the file-type rules and the composition of the target path.
#include "IntakeFixture.h"
#include "common/AppPaths.h"
#include "core/UrlParser.h"
#include "intake/SaveRules.h"

#include <QDir>
#include <QFileInfo>

namespace {

class SaveRulesTest : public IntakeFixture {
protected:
    // The one call ChooseTarget made, on 6 December 2026.
    RecordingQueue::Call choose(const QString& address) {
        queue.calls.clear();
        ChooseTarget(address, queue, QDate(2026, 12, 6));
        EXPECT_EQ(queue.calls.size(), 1u);
        return queue.calls.empty() ? RecordingQueue::Call{} : queue.calls.front();
    }
};

TEST_F(SaveRulesTest, FixedAndLastFolder) {
    const QString address = QStringLiteral("http://server/dir/a.zip");
    EXPECT_EQ(choose(address), RecordingQueue::start(address, inFolder(QStringLiteral("a.zip"))));
    Settings.SaveSameDir = true;
    for (const char* folder : {"/srv/Down", "/srv/Down/"}) {
        Settings.TextSameDir = QLatin1String(folder);
        EXPECT_EQ(choose(address),
                  RecordingQueue::start(address, QStringLiteral("/srv/Down/a.zip")));
    }
    Settings.TextSameDir.clear();
    EXPECT_EQ(choose(address).target, inFolder(QStringLiteral("a.zip")));

    // The parent of LastDir; without one the user's download folder, never the
    // root or the program's own folder.
    const std::pair<QString, QString> lastFolders[] = {
        {QStringLiteral("/x.bin"), QStringLiteral("/")},
        {QString(), AppPaths::downloadFolder()},
        {QStringLiteral("x.bin"), AppPaths::downloadFolder()},
        {AppPaths::downloadFolder() + u'/', AppPaths::downloadFolder()}};
    for (const auto& [lastDir, folder] : lastFolders) {
        LastDir = lastDir;
        EXPECT_EQ(LastFolder(), folder) << lastDir.toStdString();
    }
}

TEST_F(SaveRulesTest, FileTypeRulesFirstMatchElseLastRule) {
    Settings.SaveFileType = true;
    SettingsLists::instance().FileTypes = {{QStringLiteral("zip"), QStringLiteral("/d/Zips")},
                                           {QStringLiteral("exe"), QStringLiteral("/d/Programs")},
                                           {QStringLiteral("zip"), QStringLiteral("/d/Second")}};
    const std::pair<const char*, const char*> cases[] = {
        {"http://server/setup.exe", "/d/Programs/setup.exe"},
        {"http://server/a/b.zip", "/d/Zips/b.zip"},
        {"http://server/x.ZIP", "/d/Second/x.ZIP"},  // letter case counts
        {"ftp://server/zip.d/x.rar", "/d/Second/x.rar"},
    };
    for (const auto& [address, target] : cases)
        EXPECT_EQ(choose(QLatin1String(address)),
                  RecordingQueue::start(QLatin1String(address), QLatin1String(target)));
    SettingsLists::instance().FileTypes.clear();
    EXPECT_EQ(choose(QStringLiteral("http://s/a.zip")).target, inFolder(QStringLiteral("a.zip")));
}

TEST_F(SaveRulesTest, FileInformationSubFoldersAreCreatedOneLevelDeep) {
    Settings.SaveFileInfo = true;
    struct Case {
        bool server, date, extension;
        const char* parent;  // after the temporary folder
        const char* address;
        const char* folder;
        bool created;
    };
    const Case cases[] = {
        {false, true, false, "", "http://server/a.zip", "6-12-2026", true},
        {false, true, false, "/", "http://server/b.zip", "6-12-2026", true},  // exists: used
        {true, false, false, "", "http://server:8080/a.zip", "server:8080", true},
        {true, false, false, "", "ftp://user:pw@host/pub/a.zip", "host", true},
        {false, false, true, "", "http://server/a.tar.gz", "gz", true},
        {false, false, true, "/missing", "http://server/a.zip", "missing/zip", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        Settings.UseServer = c.server;
        Settings.UseDate = c.date;
        Settings.UseFileExt = c.extension;
        Settings.ParentDir = folder() + QLatin1String(c.parent);
        const QString address = QLatin1String(c.address);
        const QString subFolder = inFolder(QLatin1String(c.folder));
        EXPECT_EQ(choose(address),
                  RecordingQueue::start(address, subFolder + u'/' + GetFileName(address)));
        EXPECT_EQ(QFileInfo(subFolder).isDir(), c.created);
    }
    EXPECT_EQ(DateFolderName(QDate(2027, 1, 2)), QStringLiteral("2-1-2027"));
}

TEST_F(SaveRulesTest, WithoutASafePlaceTheAddressIsQueued) {
    Settings.SaveFileInfo = true;
    Settings.UseServer = true;
    const QString address = QStringLiteral("http://../a.zip");
    EXPECT_EQ(choose(address), RecordingQueue::later(address, inFolder(QStringLiteral("a.zip"))));
    // A server written as dots would lead out of the parent folder.
    Settings.ParentDir = inFolder(QStringLiteral("parent"));
    ASSERT_TRUE(QDir().mkdir(Settings.ParentDir));
    EXPECT_EQ(choose(address), RecordingQueue::later(address, inFolder(QStringLiteral("a.zip"))));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("parent")});
}

}  // namespace
