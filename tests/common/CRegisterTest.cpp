// The registry class over the hive file: what a program reads after what it (or a
// person editing the file) wrote.
#include "common/CRegister.h"

#include "common/Hive.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "QStringPrinter.h"

namespace {

const QString kZu = QStringLiteral("\\Software\\VornelKarvo\\Zu4.0\\");
const QByteArray kZuLine = "[HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\Zu4.0]\n";

class CRegisterTest : public ::testing::Test {
protected:
    QByteArray hiveBytes() const {
        QFile file(Hive::filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }
    void writeHive(const QByteArray& text) const {
        QDir().mkpath(QFileInfo(Hive::filePath()).absolutePath());
        QFile file(Hive::filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QString get(const QString& name, const QString& def = QStringLiteral("<default>")) const {
        return reg.REGGetSetting(HKEY_LOCAL_MACHINE, kZu, name, def);
    }

    TempRoot root;
    CRegister reg;
};

TEST_F(CRegisterTest, KeepsTheHiveInTheRootsRegistryFolder) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout", "60"));
    EXPECT_EQ(Hive::filePath(), root.file("registry/registry.reg"));
    EXPECT_EQ(hiveBytes(), "REGEDIT4\n\n" + kZuLine + "\"Timeout\"=\"60\"\n\n");
    EXPECT_EQ(get("Timeout"), "60");
}

TEST_F(CRegisterTest, ANewHiveIsPrivateAndAnOldOneKeepsItsMode) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "UserPass", "secret"));
    EXPECT_EQ(QFileInfo(Hive::filePath()).permissions() & 0x0FFF,
              QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(QFileInfo(QFileInfo(Hive::filePath()).absolutePath()).permissions() & 0x0FFF,
              QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);

    const auto shared = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(Hive::filePath(), shared));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "UserID", "me"));
    EXPECT_EQ(QFileInfo(Hive::filePath()).permissions() & 0x0FFF, shared);
}

TEST_F(CRegisterTest, WithoutARootTheHiveLivesInTheConfigFolder) {
    const QByteArray savedRoot = qgetenv("VORNELKARVO_ROOT");
    qunsetenv("VORNELKARVO_ROOT");
    qputenv("XDG_CONFIG_HOME", root.path().toLocal8Bit());
    const QString withConfigHome = Hive::filePath();
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    const QString withRelative = Hive::filePath();
    qunsetenv("XDG_CONFIG_HOME");
    const QString withoutConfigHome = Hive::filePath();
    qputenv("VORNELKARVO_ROOT", savedRoot);

    EXPECT_EQ(withConfigHome, root.path() + "/VornelKarvo/registry.reg");
    EXPECT_EQ(withRelative, QDir::homePath() + "/.config/VornelKarvo/registry.reg");
    EXPECT_EQ(withoutConfigHome, withRelative);
}

TEST_F(CRegisterTest, MissingFileKeyOrValueGivesTheDefault) {
    EXPECT_EQ(get("Timeout"), "<default>");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout"), QString());
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, "\\Software\\Other\\", "Timeout", "1"));
    EXPECT_EQ(get("Timeout"), "<default>");
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Retries", "30"));
    EXPECT_EQ(get("Timeout"), "<default>");
}

TEST_F(CRegisterTest, AnEmptyStoredValueGivesTheDefault) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "ProxyServer", ""));
    EXPECT_TRUE(hiveBytes().contains("\"ProxyServer\"=\"\"\n"));
    EXPECT_EQ(get("ProxyServer"), "<default>");
    EXPECT_EQ(get("ProxyServer", ""), "");
}

TEST_F(CRegisterTest, RoundTripsTextsThatNeedEscapingOrAreLarge) {
    const QStringList texts = {"C:\\Program Files\\Lumet\\",
                               "say \"hi\"",
                               "two\nlines\r\nand\ttab",
                               QString::fromUtf8("Ünïcödé € 日本 😀"),
                               " padded ",
                               QString(100000, u'z'),
                               "[not a key]",
                               ";not a comment"};
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString name = QStringLiteral("V%1").arg(i);
        ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, name, texts[i]));
    }
    for (qsizetype i = 0; i < texts.size(); ++i)
        EXPECT_EQ(get(QStringLiteral("V%1").arg(i)), texts[i]) << i;
}

TEST_F(CRegisterTest, KeyPathsAndValueNamesIgnoreCaseAndKeepTheFirstSpelling) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "ProxyPort", "80"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\vornelkarvo\\ZU4.0\\",
                                   "PROXYPORT", "8080"));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, "software\\VORNELKARVO\\zu4.0", "proxyport"),
              "8080");
    EXPECT_EQ(hiveBytes(), "REGEDIT4\n\n" + kZuLine + "\"ProxyPort\"=\"8080\"\n\n");
}

TEST_F(CRegisterTest, StarIsTheKeysDefaultValue) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "*", "unnamed"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Star", "named"));
    EXPECT_EQ(hiveBytes(), "REGEDIT4\n\n" + kZuLine + "@=\"unnamed\"\n\"Star\"=\"named\"\n\n");
    EXPECT_EQ(get("*"), "unnamed");
    EXPECT_TRUE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kZu, "*"));
    EXPECT_EQ(get("*"), "<default>");
    EXPECT_EQ(get("Star"), "named");
}

TEST_F(CRegisterTest, AHandEditIsPickedUpAtTheNextRead) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout", "60"));
    writeHive(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\VornelKarvo\\Zu4.0]\r\n"
        "\"timeout\"=\"90\"\r\n");
    EXPECT_EQ(get("Timeout"), "90");
    // The next write keeps the hand-written spelling.
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout", "120"));
    EXPECT_EQ(hiveBytes(),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\VornelKarvo\\Zu4.0]\n"
              "\"timeout\"=\"120\"\n\n");
}

TEST_F(CRegisterTest, AWriteToADamagedHiveKeepsTheOtherProgramsSettings) {
    writeHive(
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\FTP4.0]\n"
        "\"Host\"=\"ftp.example.org\"\n\"Broken\"=\"no end\n" +
        QByteArray("\0\xFF\xFE junk \0", 10) + "\n" + QByteArray(1 << 20, '#') +
        "\n\"Port\"=\"21\"\n");
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout", "60"));

    const QString ftp = QStringLiteral("\\Software\\VornelKarvo\\FTP4.0\\");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, ftp, "Host"), "ftp.example.org");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, ftp, "Port"), "21");
    EXPECT_EQ(get("Timeout"), "60");
}

TEST_F(CRegisterTest, AHiveThatCannotBeReadIsNotReplaced) {
    QDir().mkpath(Hive::filePath());  // a folder where the file should be
    EXPECT_FALSE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout", "60"));
    EXPECT_TRUE(QFileInfo(Hive::filePath()).isDir());
    EXPECT_EQ(get("Timeout"), "<default>");
}

TEST_F(CRegisterTest, DeletesValuesAndWholeKeyTrees) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "A", "1"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "B", "2"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu + "Sub\\Deep", "C", "3"));
    ASSERT_TRUE(
        reg.REGSaveSetting(HKEY_LOCAL_MACHINE, "\\Software\\VornelKarvo\\Zu4.00", "D", "4"));

    EXPECT_TRUE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kZu, "a"));
    EXPECT_FALSE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kZu, "A"));
    EXPECT_EQ(get("A"), "<default>");
    EXPECT_EQ(get("B"), "2");

    EXPECT_TRUE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, "\\software\\vornelkarvo\\zu4.0\\"));
    EXPECT_FALSE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kZu));
    EXPECT_EQ(get("B"), "<default>");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kZu + "Sub\\Deep", "C", "gone"), "gone");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, "\\Software\\VornelKarvo\\Zu4.00", "D"), "4");
}

TEST_F(CRegisterTest, GetAllKeysListsDirectSubkeysInFileOrder) {
    const QString run = QStringLiteral("\\Software\\VornelKarvo\\FTP4.0\\Sites\\");
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, run + "Zeta", "Host", "z"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, run + "alpha\\Sub", "Host", "a"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, run + "Mid", "Host", "m"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, run + "ALPHA", "Host", "A"));

    EXPECT_EQ(reg.GetAllKeys(HKEY_LOCAL_MACHINE, run), QStringList({"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(reg.GetAllKeys(HKEY_LOCAL_MACHINE, "\\Software\\VornelKarvo\\"),
              QStringList({"FTP4.0"}));
    EXPECT_TRUE(reg.GetAllKeys(HKEY_LOCAL_MACHINE, run + "Zeta").isEmpty());
    EXPECT_TRUE(reg.GetAllKeys(HKEY_CURRENT_USER, run).isEmpty());
}

TEST_F(CRegisterTest, RootsAreSeparate) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_CURRENT_USER, kZu, "Where", "user"));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Where", "machine"));
    EXPECT_EQ(reg.REGGetSetting(HKEY_CURRENT_USER, kZu, "Where"), "user");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kZu, "Where"), "machine");
    EXPECT_TRUE(hiveBytes().contains("[HKEY_CURRENT_USER\\Software\\VornelKarvo\\Zu4.0]\n"));
}

TEST_F(CRegisterTest, RefusesWhatTheFileCannotHold) {
    EXPECT_FALSE(reg.REGSaveSetting(0x12345, kZu, "A", "1"));
    EXPECT_FALSE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, "\\Soft\nware\\", "A", "1"));
    EXPECT_EQ(reg.REGGetSetting(0x12345, kZu, "A", "def"), "def");
    EXPECT_FALSE(QFile::exists(Hive::filePath()));
    // Names end at a NUL, as they did in the zero-terminated calls.
    ASSERT_TRUE(
        reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, QString::fromUtf8("Cut\0after", 9), "v"));
    EXPECT_EQ(get("Cut"), "v");
}

TEST_F(CRegisterTest, SessionOverridesAnswerReadsWithoutWriting) {
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kZu, "Timeout", "60"));
    const QByteArray before = hiveBytes();
    CRegister::SetSessionOverride(HKEY_LOCAL_MACHINE, "Software\\VornelKarvo\\Zu4.0", "TIMEOUT",
                                  "5");
    CRegister::SetSessionOverride(HKEY_LOCAL_MACHINE, kZu, "Segment", "1");

    EXPECT_EQ(get("timeout"), "5");
    EXPECT_EQ(get("Segment"), "1");
    EXPECT_EQ(reg.REGGetSetting(HKEY_CURRENT_USER, kZu, "Timeout", "other root"), "other root");
    EXPECT_EQ(hiveBytes(), before);

    CRegister::ClearSessionOverrides();
    EXPECT_EQ(get("Timeout"), "60");
    EXPECT_EQ(get("Segment"), "<default>");
}

TEST(CRegisterNames, NormalizeKeyPathRemovesOneBackslashAtEachEnd) {
    const std::pair<QString, QString> cases[] = {
        {"\\Software\\VornelKarvo\\Zu4.0\\", "Software\\VornelKarvo\\Zu4.0"},
        {"Software\\X", "Software\\X"},
        {"\\\\Software\\\\", "\\Software\\"},
        {"\\", ""},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CRegister::NormalizeKeyPath(in), out) << in.toStdString();
}

}  // namespace
