#include "CoreFixture.h"
#include "DefaultSettingsLines.h"

#include "common/CRegister.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"

#include <gtest/gtest.h>

namespace {

class LoadSettingsTest : public CoreFixture {
protected:
    static void store(const QString& name, const QString& value) {
        ASSERT_TRUE(CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, name, value));
    }

    // The printed value of one field after loading.
    static QString loaded(const QString& name) {
        for (const QString& line : SettingsRecordLines()) {
            if (line.startsWith(name + u'=')) return line.mid(name.size() + 1);
        }
        ADD_FAILURE() << "no field " << qPrintable(name);
        return {};
    }
};

TEST_F(LoadSettingsTest, FreshMachineLoadsEveryDefaultInTableOrder) {
    Settings.Timeout = 5;
    ExistChoice = 0;
    LoadSettings();
    EXPECT_EQ(SettingsRecordLines(), DefaultSettingsLines(AppPaths::downloadFolder()));
    EXPECT_EQ(ExistChoice, -2);
    EXPECT_TRUE(SettingsLists::instance().FileTypes.empty());
    EXPECT_TRUE(SettingsLists::instance().Logins.empty());

    QStringList names;
    for (const QString& line : DefaultSettingsLines(QString())) names << line.section(u'=', 0, 0);
    EXPECT_EQ(SettingsValueNames(), names);
}

struct Conversion {
    const char* name;
    const char* stored;
    const char* expected;
};

class LoadSettingsConversionTest : public LoadSettingsTest,
                                   public ::testing::WithParamInterface<Conversion> {};

TEST_P(LoadSettingsConversionTest, StoredTextLoadsAsItsType) {
    const Conversion& c = GetParam();
    store(QLatin1String(c.name), QString::fromUtf8(c.stored));
    LoadSettings();
    EXPECT_EQ(loaded(QLatin1String(c.name)), QString::fromUtf8(c.expected))
        << c.name << " stored as \"" << c.stored << "\"";
}

INSTANTIATE_TEST_SUITE_P(OnlyTheNumberOneIsTrue, LoadSettingsConversionTest,
                         ::testing::Values(Conversion{"ClipboardMonitoring", "True", "False"},
                                           Conversion{"ClipboardMonitoring", "0", "False"},
                                           Conversion{"ClipboardMonitoring", "1", "True"},
                                           Conversion{"ClipboardMonitoring", " 1 ", "True"},
                                           Conversion{"ClipboardMonitoring", "1.0", "True"},
                                           Conversion{"ClipboardMonitoring", "-1", "False"},
                                           Conversion{"ClipboardMonitoring", "2", "False"},
                                           Conversion{"ClipboardMonitoring", "junk", "False"},
                                           Conversion{"PromptDone", "True", "False"},
                                           Conversion{"PromptDone", "0", "False"},
                                           Conversion{"CloseDownloadWindowWhenDone", "1", "True"},
                                           Conversion{"CloseDownloadWindowWhenDone", "true",
                                                      "False"}));

INSTANTIATE_TEST_SUITE_P(
    BothBooleanSpellings, LoadSettingsConversionTest,
    ::testing::Values(
        Conversion{"UsePASV", "1", "True"}, Conversion{"UsePASV", "True", "True"},
        Conversion{"UsePASV", "tRUE", "True"}, Conversion{"UsePASV", "-1", "True"},
        Conversion{"UsePASV", " false ", "False"}, Conversion{"ClickCapture", "0", "False"},
        Conversion{"ClickCapture", "False", "False"},
        Conversion{"ClickCapture", "yes", "True"},  // no Boolean: default kept
        Conversion{"Retry", "FALSE", "False"}, Conversion{"StopResume", "0.0", "False"},
        Conversion{"DownloadPromptOption", "False", "False"},
        Conversion{"DownloadNowOption", "True", "True"}, Conversion{"UseFileExt", "1", "True"}));

INSTANTIATE_TEST_SUITE_P(
    NumbersInTheirRange, LoadSettingsConversionTest,
    ::testing::Values(
        Conversion{"Timeout", "90", "90"}, Conversion{"Timeout", " 90 ", "90"},
        Conversion{"Timeout", "32767", "32767"}, Conversion{"Timeout", "32768", "60"},
        Conversion{"Timeout", "12.7", "13"},
        Conversion{"Timeout", "1e2", "100"}, Conversion{"Timeout", "abc", "60"},
        Conversion{"Timeout", "60s", "60"}, Conversion{"ProxyPort", "8080", "8080"},
        Conversion{"ProxyPort", "70000", "80"}, Conversion{"ProxyPort", "50000", "50000"},
        Conversion{"Retries", "5", "5"},
        Conversion{"RetryTime", "120", "120"}, Conversion{"Downloads", "2147483647", "2147483647"},
        Conversion{"Downloads", "2147483648", "0"},
        Conversion{"Rollback", "8589934592", "8589934592"},
        Conversion{"Rollback", "9223372036854775807", "9223372036854775807"},
        Conversion{"Rollback", "9223372036854775808", "4096"},
        Conversion{"Rollback", "1e300", "4096"}, Conversion{"Segment", "1", "1"},
        Conversion{"Segment", "255", "255"}, Conversion{"Segment", "256", "0"},
        Conversion{"Segment", "-1", "0"}, Conversion{"Segment", "True", "0"},
        Conversion{"AllBytes", "6442450944", "6442450944"}, Conversion{"AllBytes", "1.5", "1.5"},
        Conversion{"AllBytes", "1e400", "0"}, Conversion{"AllBytes", "nan", "0"}));

// No number of the record may be negative: such a value is refused and the
// default holds.
INSTANTIATE_TEST_SUITE_P(
    NegativeNumbersKeepTheDefault, LoadSettingsConversionTest,
    ::testing::Values(
        Conversion{"Rollback", "-4096", "4096"}, Conversion{"Timeout", "-32768", "60"},
        Conversion{"Timeout", "-1", "60"}, Conversion{"TimeResume", "-300", "300"},
        Conversion{"TimeNoResume", "-1", "600"}, Conversion{"RetryTime", "-5", "300"},
        Conversion{"Retries", "-1", "30"}, Conversion{"ProxyPort", "-80", "80"},
        Conversion{"Downloads", "-3", "0"}, Conversion{"AllBytes", "-1.5", "0"},
        Conversion{"SegmentSize1", "-1", "2097152"}, Conversion{"SegmentSize3", "-1", "5242881"},
        Conversion{"Rollback", "-0", "0"}, Conversion{"Timeout", "0", "0"}));

INSTANTIATE_TEST_SUITE_P(OddSegmentThresholdsGetOneByte, LoadSettingsConversionTest,
                         ::testing::Values(Conversion{"SegmentSize3", "5242880", "5242881"},
                                           Conversion{"SegmentSize2", "3145728", "3145728"},
                                           Conversion{"SegmentSize3", "3145728", "3145729"},
                                           Conversion{"SegmentSize5", "0", "1"},
                                           Conversion{"SegmentSize7", "15728640", "15728641"},
                                           Conversion{"SegmentSize9", "junk", "20971521"},
                                           Conversion{"SegmentSize1", "10737418240",
                                                      "10737418240"}));

INSTANTIATE_TEST_SUITE_P(TextsAsStored, LoadSettingsConversionTest,
                         ::testing::Values(Conversion{"ProxyServer", " proxy.lan ", " proxy.lan "},
                                           Conversion{"TextSameDir", "/data/downloads",
                                                      "/data/downloads"},
                                           Conversion{"ParentDir", "/data/sorted", "/data/sorted"},
                                           Conversion{"UserID", "jörg", "jörg"},
                                           Conversion{"UserPass", "secret", "***"}));

TEST_F(LoadSettingsTest, EveryValueIsReadAndAReloadForgetsRemovedValues) {
    store(QStringLiteral("Downloads"), QStringLiteral("7"));
    store(QStringLiteral("UseFileExt"), QStringLiteral("True"));
    store(QStringLiteral("UserPass"), QStringLiteral("p@ss"));
    LoadSettings();
    EXPECT_EQ(Settings.Downloads, 7);
    EXPECT_TRUE(Settings.UseFileExt);
    EXPECT_EQ(Settings.UserPass, QStringLiteral("p@ss"));

    ASSERT_TRUE(
        CRegister().REGDeleteSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("Downloads")));
    LoadSettings();
    EXPECT_EQ(Settings.Downloads, 0);
    EXPECT_TRUE(Settings.UseFileExt);
}

TEST_F(LoadSettingsTest, LoadsTheDialogListsAndItsRegistryValues) {
    writeFile(settingsIni(), "/home/u/a.zip\r\n.zip\r\n/dl/zip\r\nLogins:\r\nsrv\r\nme\r\nzz\r\n");
    store(QStringLiteral("LimitHTTP"), QStringLiteral("5"));
    LoadSettings();
    const SettingsLists& lists = SettingsLists::instance();
    EXPECT_EQ(LastDir, QStringLiteral("/home/u/a.zip"));
    ASSERT_EQ(lists.FileTypes.size(), 1u);
    EXPECT_EQ(lists.FileTypes[0].Folder, QStringLiteral("/dl/zip"));
    ASSERT_EQ(lists.Logins.size(), 1u);
    EXPECT_EQ(lists.Logins[0].Password, QStringLiteral("pp"));
    EXPECT_EQ(lists.LimitHTTP, QStringLiteral("5"));
    EXPECT_EQ(lists.LimitFTP, QStringLiteral("3"));
    EXPECT_EQ(lists.MonitorTypes, kMissingMonitorTypes);
    EXPECT_EQ(lists.MonitorServer, kDefaultMonitorServer);
}

}  // namespace
