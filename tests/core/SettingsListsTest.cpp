#include "CoreFixture.h"
#include "DefaultSettingsLines.h"

#include "common/CRegister.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QStringView>

namespace {

class SettingsListsTest : public CoreFixture {
protected:
    SettingsLists& lists = SettingsLists::instance();
};

TEST_F(SettingsListsTest, RulesAndLoginsSurviveARoundTripByteForByte) {
    LastDir = QStringLiteral("/home/u/dl/file.zip");
    lists.FileTypes = {{QStringLiteral(".zip"), QStringLiteral("/dl/zips")},
                       {QStringLiteral(".MP3 .ogg"), QStringLiteral("/dl/music box")}};
    lists.Logins = {{QStringLiteral("ftp.server"), QStringLiteral("anna"), QStringLiteral("pw")},
                    {QStringLiteral("other:2121"), QStringLiteral("bob"), QString()}};
    ASSERT_TRUE(lists.SaveToINI());

    EXPECT_EQ(readFile(settingsIni()), QByteArray("/home/u/dl/file.zip\r\n"
                                                  ".zip\r\n/dl/zips\r\n"
                                                  ".MP3 .ogg\r\n/dl/music box\r\n"
                                                  "Logins:\r\n"
                                                  "ftp.server\r\nanna\r\nz\xC2\x81\r\n"
                                                  "other:2121\r\nbob\r\n\r\n"));
    // Only the file remains: the temporary file of the atomic write is gone.
    EXPECT_EQ(QDir(AppPaths::programFolder()).entryList(QDir::Files),
              QStringList{QStringLiteral("Settings.ini")});

    LastDir.clear();
    lists.FileTypes = {{QStringLiteral("stale"), QStringLiteral("stale")}};
    lists.Logins.clear();
    lists.LoadfromINI();
    EXPECT_EQ(LastDir, QStringLiteral("/home/u/dl/file.zip"));
    ASSERT_EQ(lists.FileTypes.size(), 2u);
    EXPECT_EQ(lists.FileTypes[1].Extension, QStringLiteral(".MP3 .ogg"));
    EXPECT_EQ(lists.FileTypes[1].Folder, QStringLiteral("/dl/music box"));
    ASSERT_EQ(lists.Logins.size(), 2u);
    EXPECT_EQ(lists.Logins[0].Server, QStringLiteral("ftp.server"));
    EXPECT_EQ(lists.Logins[0].User, QStringLiteral("anna"));
    EXPECT_EQ(lists.Logins[0].Password, QStringLiteral("pw"));
    EXPECT_EQ(lists.Logins[1].Server, QStringLiteral("other:2121"));
    EXPECT_EQ(lists.Logins[1].Password, QString());
}

// Without a last file, a stand-in whose folder is the download folder.
TEST_F(SettingsListsTest, FirstLineIsInTheDownloadFolderWhenLastDirHasNoParent) {
    for (const QString& last : {QString(), QStringLiteral("file.zip"), QStringLiteral("/")}) {
        LastDir = last;
        ASSERT_TRUE(lists.SaveToINI());
        EXPECT_EQ(readFile(settingsIni()),
                  (AppPaths::downloadFolder() + QStringLiteral("/\r\nLogins:\r\n")).toUtf8())
            << qPrintable(last);
    }
    LastDir = QStringLiteral("/a.zip");
    ASSERT_TRUE(lists.SaveToINI());
    EXPECT_TRUE(readFile(settingsIni()).startsWith("/a.zip\r\n"));
}

TEST_F(SettingsListsTest, EmptyPasswordLinesAreReadOnToTheEnd) {
    writeFile(settingsIni(), "/x/y\r\nLogins:\r\ns1\r\nu1\r\n\r\ns2\r\n\r\n\r\ns3\r\nu3\r\nzz\r\n");
    lists.LoadfromINI();
    ASSERT_EQ(lists.Logins.size(), 3u);
    EXPECT_EQ(lists.Logins[0].Password, QString());
    EXPECT_EQ(lists.Logins[1].Server, QStringLiteral("s2"));
    EXPECT_EQ(lists.Logins[1].User, QString());
    EXPECT_EQ(lists.Logins[2].Password, QStringLiteral("pp"));
    EXPECT_TRUE(lists.FileTypes.empty());
}

TEST_F(SettingsListsTest, MissingOrEmptyFileEmptiesTheListsAndKeepsLastDir) {
    for (const bool exists : {false, true}) {
        if (exists) writeFile(settingsIni(), "");
        LastDir = QStringLiteral("/kept/a.zip");
        lists.FileTypes = {{QStringLiteral(".a"), QStringLiteral("/a")}};
        lists.Logins = {{QStringLiteral("s"), QStringLiteral("u"), QStringLiteral("p")}};
        lists.LoadfromINI();
        EXPECT_EQ(LastDir, QStringLiteral("/kept/a.zip"));
        EXPECT_TRUE(lists.FileTypes.empty());
        EXPECT_TRUE(lists.Logins.empty());
    }
}

struct DamagedFile {
    const char* what;
    QByteArray bytes;
    int rules;  // -1: whatever the junk holds
    int logins;
};

class SettingsListsDamageTest : public SettingsListsTest,
                                public ::testing::WithParamInterface<DamagedFile> {};

TEST_P(SettingsListsDamageTest, IsReadAsFarAsItMakesSense) {
    writeFile(settingsIni(), GetParam().bytes);
    lists.LoadfromINI();
    if (GetParam().rules >= 0) {
        EXPECT_EQ(lists.FileTypes.size(), size_t(GetParam().rules));
    }
    if (GetParam().logins >= 0) {
        EXPECT_EQ(lists.Logins.size(), size_t(GetParam().logins));
    }
    // What was read can be written and read again unchanged.
    const size_t rules = lists.FileTypes.size();
    const size_t logins = lists.Logins.size();
    ASSERT_TRUE(lists.SaveToINI());
    const QByteArray saved = readFile(settingsIni());
    lists.LoadfromINI();
    EXPECT_EQ(lists.FileTypes.size(), rules);
    EXPECT_EQ(lists.Logins.size(), logins);
    ASSERT_TRUE(lists.SaveToINI());
    EXPECT_EQ(readFile(settingsIni()), saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsListsDamageTest,
    ::testing::Values(
        DamagedFile{"rule without folder", "/l\r\n.zip\r\n/z\r\n.rar", 1, 0},
        // Rules come in pairs: the marker right after an extension is its folder.
        DamagedFile{"marker in a folder line", "/l\r\n.zip\r\nLogins:\r\ns\r\nu\r\nx\r\n", 2, 0},
        DamagedFile{"login without password line", "/l\r\nLogins:\r\ns\r\nu", 0, 1},
        DamagedFile{"login with server only", "/l\r\nLogins:\r\ns1\r\nu1\r\nzz\r\ns2\r\n", 0, 2},
        DamagedFile{"line feeds only", "/l\n.zip\n/z\nLogins:\ns\nu\nzz\n", 1, 1},
        DamagedFile{"binary junk", patternBytes(1 << 16, 7), -1, -1},
        DamagedFile{"zero bytes", QByteArray(100, '\0'), 0, 0},
        DamagedFile{"ten megabyte line", "/l\r\n" + QByteArray(10 << 20, 'x') + "\r\n/f\r\n", 1, 0},
        DamagedFile{"invalid UTF8",
                    "/l\r\n\xFF\xFE\r\n\xC0\r\nLogins:\r\n\xED\xA0\x80\r\nu\r\n\xF8\r\n", 1, 1}),
    [](const ::testing::TestParamInfo<DamagedFile>& info) {
        QString name = QString::fromLatin1(info.param.what);
        name.replace(u' ', u'_');
        return name.toStdString();
    });

TEST_F(SettingsListsTest, BinaryJunkLinesAreCountedLikeAnyOther) {
    // Line 1, one rule, then junk that happens to contain the marker.
    static const char raw[] = "\x01\x02\r\n\x00x\r\n\x7F\r\nLogins:\r\n\x1B";
    writeFile(settingsIni(), QByteArray(raw, sizeof raw - 1));
    lists.LoadfromINI();
    EXPECT_EQ(LastDir, QString::fromLatin1("\x01\x02"));
    ASSERT_EQ(lists.FileTypes.size(), 1u);
    EXPECT_EQ(lists.FileTypes[0].Extension, QString::fromLatin1("\0x", 2));
    ASSERT_EQ(lists.Logins.size(), 1u);
    EXPECT_EQ(lists.Logins[0].Server, QStringLiteral("\x1B"));
}

TEST_F(SettingsListsTest, SaveReportsAFileItCannotReplace) {
    ASSERT_TRUE(QDir().mkpath(settingsIni()));
    EXPECT_FALSE(lists.SaveToINI());
}

TEST_F(SettingsListsTest, ScrambleShiftsByTenAndEveryTextComesBackExactly) {
    EXPECT_EQ(ScrambleText(QStringLiteral("abc")), QStringLiteral("klm"));
    EXPECT_EQ(UnscrambleText(QStringLiteral("klm")), QStringLiteral("abc"));
    EXPECT_EQ(ScrambleText(QString()), QString());

    const QString samples[] = {
        QStringLiteral("p@ss wörd"),
        QString(QChar(0xD7F6)) + QChar(0xD7FF),                // steps over the surrogates
        QString(QChar(0xFFF5)) + QChar(0xFFFF),                // top of the first plane
        QString::fromUcs4(U"\U0001F600\U0010FFFF\U0010FFF6"),  // pairs, and the wrap at the top
        QString::fromUcs4(U"\0\x01\x09", 3),                   // the wrap from below
    };
    for (const QString& text : samples) {
        const QString scrambled = ScrambleText(text);
        EXPECT_TRUE(QStringView(scrambled).isValidUtf16());
        EXPECT_EQ(UnscrambleText(scrambled), text);
        EXPECT_TRUE(QStringView(UnscrambleText(text)).isValidUtf16());
        EXPECT_EQ(ScrambleText(UnscrambleText(text)), text);
    }
    EXPECT_EQ(ScrambleText(QString(QChar(0xD7FF))), QString(QChar(0xE009)));
    EXPECT_EQ(ScrambleText(QString::fromUcs4(U"\U0010FFFF")), QStringLiteral("\t"));
    // Half a pair cannot be stored; it becomes the replacement character.
    EXPECT_EQ(UnscrambleText(ScrambleText(QString(QChar(0xDC00)))), QString(QChar(0xFFFD)));
}

TEST_F(SettingsListsTest, PasswordsOfAnyCharactersSurviveTheFile) {
    const QString passwords[] = {
        QString(QChar(0xFFF5)) + QChar(0xFFFE),
        QString::fromUcs4(U"\U0010FFFF\U0001F600"),
        QString(QChar(0xD7F9)),
    };
    for (const QString& password : passwords)
        lists.Logins.push_back({QStringLiteral("s"), QStringLiteral("u"), password});
    ASSERT_TRUE(lists.SaveToINI());
    lists.LoadfromINI();
    ASSERT_EQ(lists.Logins.size(), std::size(passwords));
    for (size_t i = 0; i < std::size(passwords); ++i)
        EXPECT_EQ(lists.Logins[i].Password, passwords[i]) << i;
}

TEST_F(SettingsListsTest, DialogValuesComeFromTheRegistryOrTheirDefaults) {
    lists.LoadRegistryValues();
    EXPECT_EQ(lists.LimitHTTP, QStringLiteral("3"));
    EXPECT_EQ(lists.LimitFTP, QStringLiteral("3"));
    EXPECT_EQ(lists.MonitorTypes, kMissingMonitorTypes);
    EXPECT_EQ(lists.MonitorServer, kDefaultMonitorServer);
    EXPECT_EQ(lists.SaveLastDir, QString());

    const CRegister reg;
    for (const char* name :
         {"LimitHTTP", "LimitFTP", "MonitorTypes", "MonitorServer", "SaveLastDir"})
        ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name),
                                       QLatin1String(name) + QStringLiteral("!")));
    lists.LoadRegistryValues();
    EXPECT_EQ(lists.LimitHTTP, QStringLiteral("LimitHTTP!"));
    EXPECT_EQ(lists.LimitFTP, QStringLiteral("LimitFTP!"));
    EXPECT_EQ(lists.MonitorTypes, QStringLiteral("MonitorTypes!"));
    EXPECT_EQ(lists.MonitorServer, QStringLiteral("MonitorServer!"));
    EXPECT_EQ(lists.SaveLastDir, QStringLiteral("SaveLastDir!"));
}

}  // namespace
