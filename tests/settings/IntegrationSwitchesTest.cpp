// The browser-integration and start-up switches against a home and configuration
// folder of their own: exactly the keys and files they write and remove, the state
// they report after a failure, and the headless lumet options that click them.
#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"
#include "common/EnvironmentGuard.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "settings/IntegrationSwitches.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
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
        environment.set("HOME", QFile::encodeName(home));
        environment.set("XDG_CONFIG_HOME", QFile::encodeName(config));
    }
    // A plain file where the switch needs a folder.
    void block(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile(path).open(QIODevice::WriteOnly);
    }

    QTemporaryDir folders;
    const QString home = folders.filePath(QStringLiteral("home"));
    const QString config = folders.filePath(QStringLiteral("config"));
    const QString chromium =
        config + QStringLiteral("/chromium/NativeMessagingHosts/org.vornelkarvo.karvoie.json");
    const QString firefox =
        home + QStringLiteral("/.mozilla/native-messaging-hosts/org.vornelkarvo.karvoie.json");
    const QString entry = config + QStringLiteral("/autostart/vornel-download-manager.desktop");
    const QString host = QFileInfo(QStringLiteral(KARVOIE_HOST_BINARY)).canonicalFilePath();
    EnvironmentGuard environment;
    TempRoot root;
    const QString wrapper = root.path() + QStringLiteral("/browser/karvoie-host.sh");
    const QString value =
        QStringLiteral(R"(wrote HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0\%1="%2")");
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE") + BrowserHelperIds::kHelperObjectsKey +
                        BrowserHelperIds::kClassId;
};

TEST_F(IntegrationSwitchesTest, IntegrationOnWritesTheKeyManifestsAndWrapperAndOffTakesThem) {
    const SwitchOutcome on = IntegrationSwitches::chkIE_Click(true);
    EXPECT_TRUE(on.ok() && on.state) << on.failure.toStdString();
    EXPECT_EQ(on.changes,
              (QStringList{value.arg("ClickCapture", "True"), "wrote " + key, "wrote " + wrapper,
                           "wrote " + chromium, "wrote " + firefox}));
    EXPECT_TRUE(helperKeyPresent());
    EXPECT_EQ(lumetValue("ClickCapture"), QStringLiteral("True"));
    EXPECT_TRUE(Settings.ClickCapture);
    const QJsonObject chromiumManifest = readJson(chromium);
    EXPECT_EQ(chromiumManifest.value("name").toString(), QStringLiteral("org.vornelkarvo.karvoie"));
    EXPECT_EQ(chromiumManifest.value("type").toString(), QStringLiteral("stdio"));
    EXPECT_EQ(chromiumManifest.value("path").toString(), wrapper);
    EXPECT_EQ(chromiumManifest.value("allowed_origins").toArray(),
              QJsonArray{"chrome-extension://aljcnihdkhfainbfjjgobomoebnjeagf/"});
    EXPECT_EQ(readJson(firefox).value("path").toString(), wrapper);
    EXPECT_EQ(readJson(firefox).value("allowed_extensions").toArray(),
              QJsonArray{"karvoie@vornelkarvo.org"});
    EXPECT_TRUE(QFileInfo(wrapper).isExecutable());
    EXPECT_TRUE(
        readFile(wrapper).endsWith(QStringLiteral("exec env VORNELKARVO_ROOT='%1' '%2' \"$@\"\n")
                                       .arg(root.path(), host)
                                       .toUtf8()));

    const SwitchOutcome off = IntegrationSwitches::chkIE_Click(false);
    EXPECT_TRUE(off.ok() && !off.state);
    EXPECT_EQ(off.changes,
              (QStringList{value.arg("ClickCapture", "False"), "removed " + key,
                           "removed " + chromium, "removed " + firefox, "removed " + wrapper}));
    EXPECT_FALSE(helperKeyPresent() || QFileInfo::exists(chromium) || QFileInfo::exists(firefox));
    EXPECT_FALSE(Settings.ClickCapture);
    EXPECT_EQ(IntegrationSwitches::chkIE_Click(false).changes,
              QStringList{value.arg("ClickCapture", "False")});

    // Without an installation folder of its own the manifests name the host itself.
    environment.unset("VORNELKARVO_ROOT");
    ASSERT_TRUE(IntegrationSwitches::IECapClicks(true, host).ok());
    EXPECT_EQ(readJson(chromium).value("path").toString(), host);
    EXPECT_TRUE(IntegrationSwitches::IECapClicks(false).ok());
}

TEST_F(IntegrationSwitchesTest, AnIntegrationThatCannotBeWrittenLeavesNothingAndSaysOff) {
    block(config + QStringLiteral("/chromium"));
    const SwitchOutcome on = IntegrationSwitches::chkIE_Click(true);
    EXPECT_EQ(
        on.failure,
        QStringLiteral("The browser integration could not be switched on: %1 cannot be written.")
            .arg(chromium));
    EXPECT_FALSE(on.state);
    EXPECT_FALSE(helperKeyPresent() || QFileInfo::exists(wrapper) || QFileInfo::exists(firefox));
    EXPECT_EQ(lumetValue("ClickCapture"), QStringLiteral("False"));
    EXPECT_FALSE(Settings.ClickCapture);

    EXPECT_EQ(
        IntegrationSwitches::IECapClicks(true, QStringLiteral("/nowhere/karvoie-host")).failure,
        QStringLiteral("The browser integration could not be switched on: the browser host "
                       "program is not at /nowhere/karvoie-host."));
    EXPECT_FALSE(helperKeyPresent());
}

TEST_F(IntegrationSwitchesTest, StartupEntryIsWrittenQuotedAndRemovedAndAFailureLeavesItOff) {
    const QString program = QStringLiteral("/opt/Vornel Karvo/$bin/lu\"met%");
    const SwitchOutcome on = IntegrationSwitches::chkStartWin_Click(true, program);
    EXPECT_TRUE(on.ok() && on.state);
    EXPECT_EQ(on.changes, (QStringList{"wrote " + entry, value.arg("StartupWithWindows", "1")}));
    EXPECT_EQ(readFile(entry),
              QByteArray("[Desktop Entry]\nType=Application\nName=Vornel Download Manager\n"
                         "Exec=\"/opt/Vornel Karvo/\\\\$bin/lu\\\\\"met%%\"\n"
                         "TryExec=/opt/Vornel Karvo/$bin/lu\"met%\n"
                         "X-GNOME-Autostart-enabled=true\n"
                         "X-VornelKarvo-Entry=Vornel Download Manager\n"));
    const SwitchOutcome off = IntegrationSwitches::chkStartWin_Click(false, program);
    EXPECT_TRUE(off.ok() && !off.state);
    EXPECT_EQ(off.changes, (QStringList{"removed " + entry, value.arg("StartupWithWindows", "0")}));
    EXPECT_FALSE(QFileInfo::exists(entry));

    QDir(config + QStringLiteral("/autostart")).removeRecursively();
    block(config + QStringLiteral("/autostart"));
    const SwitchOutcome failed = IntegrationSwitches::chkStartWin_Click(true, program);
    EXPECT_EQ(failed.failure,
              QStringLiteral("The start-up entry could not be written: %1.").arg(entry));
    EXPECT_FALSE(failed.state || Settings.StartupWithWindows);
    EXPECT_EQ(lumetValue("StartupWithWindows"), QStringLiteral("0"));
}

TEST_F(IntegrationSwitchesTest, LumetPrintsWhatItChangedAndSaysWhatFailed) {
    block(config + QStringLiteral("/autostart"));
    struct Run {
        QStringList arguments;
        int exitCode;
        QString firstLine;
        QString error;
    };
    for (const Run& run :
         {Run{{"--browser-integration", "on"}, 0, value.arg("ClickCapture", "True"), ""},
          Run{{"--start-with-desktop", "on"},
              1,
              value.arg("StartupWithWindows", "0"),
              "lumet: The start-up entry could not be written: " + entry},
          Run{{"--start-with-desktop", "yes"}, 2, "", "usage: lumet"}}) {
        QProcess lumet;
        lumet.start(QStringLiteral(LUMET_BINARY), run.arguments);
        ASSERT_TRUE(lumet.waitForFinished(60000));
        EXPECT_EQ(lumet.exitCode(), run.exitCode) << run.arguments.join(u' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(lumet.readAllStandardOutput()).section(u'\n', 0, 0),
                  run.firstLine);
        EXPECT_TRUE(QString::fromUtf8(lumet.readAllStandardError()).contains(run.error));
    }
    EXPECT_TRUE(helperKeyPresent());
}

}  // namespace
