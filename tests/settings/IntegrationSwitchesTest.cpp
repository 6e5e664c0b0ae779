// The browser-integration and start-up switches against a home and configuration
// folder of their own: exactly the keys and files they write and remove, the state
// they report after a failure, and the headless lumet options that click them.
#include "common/AppPaths.h"
#include "common/Autostart.h"
#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"
#include "common/EnvironmentGuard.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "settings/BrowserIntegration.h"
#include "settings/IntegrationSwitches.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject readJson(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

QString lumetValue(const char* name) {
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name));
}

bool helperKeyPresent() {
    return CRegister()
        .GetAllKeys(HKEY_LOCAL_MACHINE, BrowserHelperIds::kHelperObjectsKey)
        .contains(BrowserHelperIds::kClassId);
}

class IntegrationSwitchesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folders.isValid());
        environment.set("HOME", QFile::encodeName(home));
        environment.set("XDG_CONFIG_HOME", QFile::encodeName(config));
    }
    // Puts a plain file where the switch needs a folder.
    void blockFolder(const QString& path) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir folders;
    const QString home = folders.filePath(QStringLiteral("home"));
    const QString config = folders.filePath(QStringLiteral("config"));
    const QString chromiumManifest =
        config + QStringLiteral("/chromium/NativeMessagingHosts/org.vornelkarvo.karvoie.json");
    const QString firefoxManifest =
        home + QStringLiteral("/.mozilla/native-messaging-hosts/org.vornelkarvo.karvoie.json");
    const QString hostPath = QFileInfo(QStringLiteral(KARVOIE_HOST_BINARY)).canonicalFilePath();
    const QString hiveKey =
        QStringLiteral("HKEY_LOCAL_MACHINE") + BrowserIntegration::RegistrationKey();
    EnvironmentGuard environment;
};

TEST_F(IntegrationSwitchesTest, IntegrationOnWritesTheKeyTheManifestsAndTheWrapperAndOffTakesThem) {
    TempRoot root;
    const QString wrapper = root.path() + QStringLiteral("/browser/karvoie-host.sh");
    const SwitchOutcome on = IntegrationSwitches::chkIE_Click(true);
    EXPECT_TRUE(on.ok()) << on.failure.toStdString();
    EXPECT_TRUE(on.state);
    EXPECT_EQ(on.changes,
              (QStringList{
                  QStringLiteral(
                      R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\ClickCapture="True")"),
                  QStringLiteral("wrote ") + hiveKey,
                  QStringLiteral("wrote ") + wrapper,
                  QStringLiteral("wrote ") + chromiumManifest,
                  QStringLiteral("wrote ") + firefoxManifest,
              }));
    EXPECT_TRUE(helperKeyPresent());
    EXPECT_EQ(lumetValue("ClickCapture"), QStringLiteral("True"));
    EXPECT_TRUE(Settings.ClickCapture);

    const QJsonObject chromium = readJson(chromiumManifest);
    EXPECT_EQ(chromium.value("name").toString(), BrowserHelperIds::kHostName);
    EXPECT_EQ(chromium.value("type").toString(), QStringLiteral("stdio"));
    EXPECT_EQ(chromium.value("path").toString(), wrapper);
    EXPECT_EQ(chromium.value("allowed_origins").toArray(),
              QJsonArray{QStringLiteral("chrome-extension://aljcnihdkhfainbfjjgobomoebnjeagf/")});
    const QJsonObject firefox = readJson(firefoxManifest);
    EXPECT_EQ(firefox.value("path").toString(), wrapper);
    EXPECT_EQ(firefox.value("allowed_extensions").toArray(),
              QJsonArray{QStringLiteral("karvoie@vornelkarvo.org")});
    EXPECT_FALSE(firefox.contains("allowed_origins"));
    EXPECT_TRUE(QFileInfo(wrapper).isExecutable());
    EXPECT_TRUE(
        readFile(wrapper).contains(QStringLiteral("exec env VORNELKARVO_ROOT='%1' '%2' \"$@\"\n")
                                       .arg(root.path(), hostPath)
                                       .toUtf8()));

    const SwitchOutcome off = IntegrationSwitches::chkIE_Click(false);
    EXPECT_TRUE(off.ok());
    EXPECT_FALSE(off.state);
    EXPECT_EQ(
        off.changes,
        (QStringList{
            QStringLiteral(
                R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\ClickCapture="False")"),
            QStringLiteral("removed ") + hiveKey,
            QStringLiteral("removed ") + chromiumManifest,
            QStringLiteral("removed ") + firefoxManifest,
            QStringLiteral("removed ") + wrapper,
        }));
    EXPECT_FALSE(helperKeyPresent());
    for (const QString& path : {chromiumManifest, firefoxManifest, wrapper})
        EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(lumetValue("ClickCapture"), QStringLiteral("False"));
    EXPECT_FALSE(Settings.ClickCapture);
    // The host program stays installed.
    EXPECT_TRUE(QFileInfo::exists(hostPath));

    EXPECT_EQ(IntegrationSwitches::chkIE_Click(false).changes.size(), 1);
}

TEST_F(IntegrationSwitchesTest, WithoutAnInstallationFolderTheManifestsNameTheHostItself) {
    environment.unset("VORNELKARVO_ROOT");
    ASSERT_TRUE(IntegrationSwitches::IECapClicks(true, hostPath).ok());
    EXPECT_EQ(readJson(chromiumManifest).value("path").toString(), hostPath);
    EXPECT_EQ(readJson(firefoxManifest).value("path").toString(), hostPath);
    EXPECT_TRUE(IntegrationSwitches::IsBrowserIntegrationOn());
    EXPECT_TRUE(IntegrationSwitches::IECapClicks(false).ok());
    EXPECT_FALSE(IntegrationSwitches::IsBrowserIntegrationOn());
}

TEST_F(IntegrationSwitchesTest, AnIntegrationThatCannotBeWrittenLeavesNothingAndSaysOff) {
    TempRoot root;
    blockFolder(config + QStringLiteral("/chromium"));
    const SwitchOutcome on = IntegrationSwitches::chkIE_Click(true);
    EXPECT_EQ(on.failure, QStringLiteral("The browser integration could not be switched on: %1 "
                                         "cannot be written.")
                              .arg(chromiumManifest));
    EXPECT_FALSE(on.state);
    EXPECT_FALSE(helperKeyPresent());
    EXPECT_FALSE(QFileInfo::exists(root.path() + QStringLiteral("/browser/karvoie-host.sh")));
    EXPECT_FALSE(QFileInfo::exists(firefoxManifest));
    EXPECT_EQ(lumetValue("ClickCapture"), QStringLiteral("False"));
    EXPECT_FALSE(Settings.ClickCapture);

    const SwitchOutcome noHost =
        IntegrationSwitches::IECapClicks(true, QStringLiteral("/nonexistent/karvoie-host"));
    EXPECT_EQ(noHost.failure, QStringLiteral("The browser integration could not be switched on: "
                                             "the browser host program is not at "
                                             "/nonexistent/karvoie-host."));
    EXPECT_TRUE(noHost.changes.isEmpty());
    EXPECT_FALSE(helperKeyPresent());
}

TEST_F(IntegrationSwitchesTest, TheManifestsNameTheExtensionsOfTheTree) {
    const QString extensions = QStringLiteral(KARVOIE_EXTENSION_SOURCE);
    const QJsonObject chromium = readJson(extensions + QStringLiteral("/chromium/manifest.json"));
    const QByteArray key = QByteArray::fromBase64(chromium.value("key").toString().toLatin1());
    ASSERT_FALSE(key.isEmpty());
    QByteArray id = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
    for (char& c : id) c = char('a' + QByteArray(1, c).toInt(nullptr, 16));
    EXPECT_EQ(QString::fromLatin1(id), BrowserHelperIds::kChromiumExtensionId);

    const QJsonObject firefox = readJson(extensions + QStringLiteral("/firefox/manifest.json"));
    EXPECT_EQ(firefox.value("browser_specific_settings")
                  .toObject()
                  .value("gecko")
                  .toObject()
                  .value("id")
                  .toString(),
              BrowserHelperIds::kFirefoxExtensionId);
}

TEST_F(IntegrationSwitchesTest, StartupEntryIsWrittenQuotedAndRemoved) {
    TempRoot root;
    const QString entry = config + QStringLiteral("/autostart/vornel-download-manager.desktop");
    const QString program = QStringLiteral("/opt/Vornel Karvo/$bin/lu\"met%");
    const SwitchOutcome on = IntegrationSwitches::chkStartWin_Click(true, program);
    EXPECT_TRUE(on.ok());
    EXPECT_TRUE(on.state);
    EXPECT_EQ(
        on.changes,
        (QStringList{
            QStringLiteral("wrote ") + entry,
            QStringLiteral(
                R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\StartupWithWindows="1")")}));
    EXPECT_EQ(readFile(entry), QByteArray("[Desktop Entry]\n"
                                          "Type=Application\n"
                                          "Name=Vornel Download Manager\n"
                                          "Exec=\"/opt/Vornel Karvo/\\\\$bin/lu\\\\\"met%%\"\n"
                                          "TryExec=/opt/Vornel Karvo/$bin/lu\"met%\n"
                                          "X-GNOME-Autostart-enabled=true\n"
                                          "X-VornelKarvo-Entry=Vornel Download Manager\n"));
    EXPECT_EQ(lumetValue("StartupWithWindows"), QStringLiteral("1"));

    const SwitchOutcome off = IntegrationSwitches::chkStartWin_Click(false, program);
    EXPECT_TRUE(off.ok());
    EXPECT_FALSE(off.state);
    EXPECT_EQ(off.changes.first(), QStringLiteral("removed ") + entry);
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_EQ(lumetValue("StartupWithWindows"), QStringLiteral("0"));
    EXPECT_TRUE(IntegrationSwitches::chkStartWin_Click(false, program).ok());
}

TEST_F(IntegrationSwitchesTest, AStartupEntryThatCannotBeWrittenLeavesTheBoxOff) {
    TempRoot root;
    blockFolder(config + QStringLiteral("/autostart"));
    const SwitchOutcome on = IntegrationSwitches::chkStartWin_Click(true);
    EXPECT_EQ(on.failure,
              QStringLiteral("The start-up entry could not be written: %1.")
                  .arg(config + QStringLiteral("/autostart/vornel-download-manager.desktop")));
    EXPECT_FALSE(on.state);
    EXPECT_EQ(lumetValue("StartupWithWindows"), QStringLiteral("0"));
    EXPECT_FALSE(Settings.StartupWithWindows);
}

struct LumetRow {
    const char* name;
    QStringList arguments;
    int exitCode;
    const char* firstLine;  // of standard output, "%1" standing for the configuration folder
    const char* error;      // part of standard error
};

class LumetSwitchOptionTest : public IntegrationSwitchesTest,
                              public ::testing::WithParamInterface<LumetRow> {};

TEST_P(LumetSwitchOptionTest, PrintsWhatItChanged) {
    const LumetRow& row = GetParam();
    if (QByteArray(row.name) == "unwritable") blockFolder(config + QStringLiteral("/autostart"));
    TempRoot root;
    QProcess lumet;
    lumet.start(QStringLiteral(LUMET_BINARY), row.arguments);
    ASSERT_TRUE(lumet.waitForFinished(60000));
    EXPECT_EQ(lumet.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lumet.exitCode(), row.exitCode);
    const QStringList lines = QString::fromUtf8(lumet.readAllStandardOutput()).split(u'\n');
    EXPECT_EQ(lines.first(), QString::fromUtf8(row.firstLine).arg(config));
    EXPECT_TRUE(QString::fromUtf8(lumet.readAllStandardError())
                    .contains(QString::fromUtf8(row.error).arg(config)));
}

INSTANTIATE_TEST_SUITE_P(
    Options, LumetSwitchOptionTest,
    ::testing::Values(
        LumetRow{"integration_on",
                 {"--browser-integration", "on"},
                 0,
                 R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\ClickCapture="True")",
                 ""},
        LumetRow{"integration_off",
                 {"--browser-integration", "off"},
                 0,
                 R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\ClickCapture="False")",
                 ""},
        LumetRow{"startup_on",
                 {"--start-with-desktop", "on"},
                 0,
                 "wrote %1/autostart/vornel-download-manager.desktop",
                 ""},
        LumetRow{"unwritable",
                 {"--start-with-desktop", "on"},
                 1,
                 R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\StartupWithWindows="0")",
                 "lumet: The start-up entry could not be written: %1/autostart/"},
        LumetRow{"no_state", {"--browser-integration"}, 2, "", "usage: lumet"},
        LumetRow{"unknown_state", {"--start-with-desktop", "yes"}, 2, "", "usage: lumet"}),
    [](const ::testing::TestParamInfo<LumetRow>& info) { return std::string(info.param.name); });

}  // namespace
