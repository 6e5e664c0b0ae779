// The dialog's rules beyond single fields: the reset buttons, the changed flag and
// the close question, a save that fails, the values shown on a fresh machine, the
// working copy, the test button, dependent controls, the two switches, languages.
#include "SettingsFixture.h"

#include "common/AppPaths.h"
#include "common/BrowserHelperIds.h"
#include "common/Hive.h"
#include "common/PrivateProfile.h"
#include "core/Language.h"
#include "settings/IntegrationSwitches.h"

#include <QDir>
#include <QSignalSpy>
#include <functional>

namespace {

class frmSettingsTest : public SettingsFixture {};

TEST_F(frmSettingsTest, ResetAsksAndOnlyYesPutsTheDefaultListBack) {
    struct Case {
        void (frmSettings::*reset)();
        TextControl frmSettings::*field;
        const char* question;
        QString defaults;
    };
    const Case cases[] = {
        {&frmSettings::cmdMonitorServerReset_Click, &frmSettings::txtMonitorServer,
         "Reset the server ignore list to its defaults?", SettingsLists::DefaultMonitorServer},
        {&frmSettings::cmdMonitorTypesReset_Click, &frmSettings::txtMonitorTypes,
         "Reset the extension list to its defaults?", SettingsLists::DefaultMonitorTypes},
    };
    for (const Case& c : cases) {
        for (const Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Yes}) {
            form.Form_Load();
            form.Change(form.*c.field, "mine;");
            form.SetSettingsDirty(false);
            dialogs().clear();
            dialogs().answerMessage(answer);
            (form.*c.reset)();
            ASSERT_EQ(dialogs().calls().size(), 1u);
            const ScriptedDialogs::Call& call = dialogs().calls()[0];
            EXPECT_EQ(call.text, QString::fromUtf8(c.question) +
                                     "\nYour changes to this list will be lost.");
            EXPECT_EQ(call.title, "Reset To Defaults");
            EXPECT_EQ(call.buttons, Dialogs::Buttons::YesNo);
            const bool yes = answer == Dialogs::Answer::Yes;
            EXPECT_EQ((form.*c.field).Text, yes ? c.defaults : QStringLiteral("mine;"));
            EXPECT_EQ(form.SettingsDirty(), yes);
        }
    }
}

TEST_F(frmSettingsTest, EveryEditMarksTheDialogChangedAndClosingThenAsks) {
    ASSERT_TRUE(QDir().mkpath(LanguageFolder()));
    writeFile(LanguageFolder() + "Deutsch.ini", "[Zu]\r\n");
    SettingsLists::instance().Logins = {{"b", "u", "p"}, {"a", "u", "p"}};
    SettingsLists::instance().FileTypes = {{"iso", "/dl"}};
    using Edit = std::function<void(frmSettings&)>;
    const std::pair<const char*, Edit> edits[] = {
        {"proxy server",
         [](frmSettings& s) {
             s.Click(s.chkUseProxy, true);
             s.SetSettingsDirty(false);
             s.Change(s.txtProxyServer, "p");
         }},
        {"server list", [](frmSettings& s) { s.Change(s.txtMonitorServer, "x;"); }},
        {"same folder", [](frmSettings& s) { s.Change(s.txtSameDir, "/x"); }},
        {"login field", [](frmSettings& s) { s.Change(s.txtLoginServer, "h"); }},
        {"number", [](frmSettings& s) { s.Change(s.txtRetries, "4"); }},
        {"box", [](frmSettings& s) { s.Click(s.chkRetry, false); }},
        {"not stored box", [](frmSettings& s) { s.Click(s.chkLoginReq, false); }},
        {"option", [](frmSettings& s) { s.Click(s.optServer, true); }},
        {"language", [](frmSettings& s) { s.cboLanguage_Click("Deutsch"); }},
        {"rule removed",
         [](frmSettings& s) {
             s.lstFileType_Click(0);
             s.cmdFileTypeRemove_Click();
         }},
        {"login deleted",
         [](frmSettings& s) {
             s.lstLogin_Click(1);
             s.cmdLoginDelete_Click();
         }},
        {"logins sorted", [](frmSettings& s) { s.lstLogin_ColumnClick(0); }},
        {"folder picked",
         [this](frmSettings& s) {
             dialogs().answerText(QStringLiteral("/picked"));
             s.cmdParBrowse_Click();
         }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        form.Form_Load();
        EXPECT_FALSE(form.SettingsDirty());
        edit(form);
        EXPECT_TRUE(form.SettingsDirty());
        dialogs().clear();
        dialogs().answerMessage(Dialogs::Answer::No);
        EXPECT_FALSE(form.QueryUnload());
        ASSERT_EQ(dialogs().calls().size(), 1u);
        EXPECT_EQ(dialogs().calls()[0].text,
                  "settings changed , Are you sure you want to quit with out saving??");
        dialogs().answerMessage(Dialogs::Answer::Yes);
        EXPECT_TRUE(form.QueryUnload());
    }

    // Looking is no change: selecting, a test address, a cancelled pick, a half-typed number.
    form.Form_Load();
    form.lstLogin_Click(0);
    form.Change(form.txtTestURL, "http://h/f.zip");
    form.Change(form.txtTimeout, "9x");
    dialogs().clear();
    dialogs().answerText(std::nullopt);
    form.cmdSameDirBrowse_Click();
    EXPECT_FALSE(form.SettingsDirty());
    EXPECT_TRUE(form.QueryUnload());
    // After Apply nothing is left to ask about.
    form.Change(form.txtRetries, "4");
    form.cmdApply_Click();
    EXPECT_FALSE(form.SettingsDirty());
    EXPECT_TRUE(form.QueryUnload());
    EXPECT_EQ(dialogs().calls().size(), 1u);  // only the folder picker
}

TEST_F(frmSettingsTest, AFailedSaveNamesTheFileAndKeepsTheEditsAndTheDialog) {
    struct Case {
        QString blocked;  // made a folder, so that the file cannot be written
        QString named;
    };
    const QString ini = AppFilePath("Settings.ini");
    const QString lock = QFileInfo(Hive::filePath()).absolutePath() + "/registry.lock";
    for (const Case& c : {Case{lock, Hive::filePath()}, Case{ini, ini}}) {
        SCOPED_TRACE(c.named.toStdString());
        form.Form_Load();
        QSignalSpy closing(&form, &frmSettings::unloadRequested);
        form.Change(form.txtRetries, "7");
        form.Change(form.txtMonitorServer, "mine;");
        QFile::remove(c.blocked);
        ASSERT_TRUE(QDir().mkpath(c.blocked + "/x"));
        dialogs().clear();
        dialogs().allowOkMessages();
        form.cmdOK_Click();
        EXPECT_EQ(messages(), QStringList{"Settings could not be saved to " + c.named + "."});
        EXPECT_EQ(dialogs().calls()[0].icon, Dialogs::Icon::Critical);
        EXPECT_EQ(closing.count(), 0);
        EXPECT_TRUE(form.SettingsDirty());
        EXPECT_EQ(form.txtRetries.Text, "7");
        EXPECT_EQ(Settings.Retries, 30);
        EXPECT_EQ(SettingsLists::instance().MonitorServer, SettingsLists::DefaultMonitorServer);
        ASSERT_TRUE(QDir(c.blocked).removeRecursively());
    }
    // Once the files can be written the same edits go through.
    form.cmdOK_Click();
    EXPECT_FALSE(form.SettingsDirty());
    EXPECT_EQ(Settings.Retries, 7);
}

TEST_F(frmSettingsTest, AFreshMachineShowsWhatIsInEffectAndSavesItUnchanged) {
    LastDir = "/dl/last/file.zip";
    CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, "Downloads", "12");
    CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, "AllBytes", "2048");
    form.Form_Load();
    EXPECT_EQ(form.lblVersion, "4.0");
    EXPECT_EQ(form.lblDownloads, "12");
    EXPECT_EQ(form.lblBytes, "2.00 KB");
    EXPECT_EQ(form.lblLastDir, "/dl/last");
    const std::pair<TextControl*, const char*> shown[] = {
        {&form.txtLimitHTTP, "3"},     {&form.txtTimeout, "60"},     {&form.txtTimeResume, "5"},
        {&form.txtRetryTime, "300"},   {&form.txtRetries, "30"},     {&form.txtRollback, "4"},
        {&form.txtSegment[8], "20"},   {&form.txtProxyPort, "80"},
        {&form.txtMonitorTypes, ".ZIP; .EXE; .BIN; .GZ; .Z; .TAR; .ARJ; .LZH; .SIT; .HQX; .FML; "
                                ".TGZ; .GRS; .MP3; .RAR; .R0?;.R1?; .ACE; .C0?; .C1?; .W0?;"}};
    for (const auto& [field, text] : shown) EXPECT_EQ(field->Text, text);
    EXPECT_TRUE(form.chkDownloadPrompt.Value && form.optLastDir.Value && form.frameLastDir.Visible);
    form.cmdApply_Click();
    EXPECT_EQ(hive("RetryTime"), "300");
    EXPECT_EQ(hive("Retries"), "30");
    EXPECT_EQ(hive("SaveLastDir"), "/dl/last");
    EXPECT_EQ(hive("SegmentSize9"), "20971520");
    EXPECT_EQ(Settings.SegmentSize9, 20971521);
}

TEST_F(frmSettingsTest, EditsStayInTheDialogUntilSavedAndCancelDropsThem) {
    form.Form_Load();
    QSignalSpy closing(&form, &frmSettings::unloadRequested);
    form.Change(form.txtMonitorServer, "*;");
    form.Change(form.txtTimeout, "5");
    form.Click(form.chkSegment, true);
    form.Change(form.txtLoginServer, "srv");
    form.Change(form.txtLoginUsername, "u");
    form.Change(form.txtLoginPassword, "p");
    form.cmdLoginAdd_Click();
    // The add-address flow, the engine and the URL parser still see the saved values.
    EXPECT_EQ(SettingsLists::instance().MonitorServer, SettingsLists::DefaultMonitorServer);
    EXPECT_TRUE(SettingsLists::instance().Logins.empty());
    EXPECT_EQ(Settings.Timeout, 60);
    EXPECT_EQ(Settings.Segment, 0);
    dialogs().answerMessage(Dialogs::Answer::Yes);
    form.cmdCancel_Click();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(hive("Timeout"), "");
    form.Form_Load();
    EXPECT_EQ(form.txtTimeout.Text, "60");
    EXPECT_TRUE(form.lstLogin.empty());
}

TEST_F(frmSettingsTest, TheTestButtonJudgesTheListsAsTheyStandInTheDialog) {
    struct Case {
        const char* address;
        const char* server;
        const char* extension;
    };
    const Case cases[] = {
        {"http://deb.debian.org/pool/a.zip", "True", "True"},
        {"http://www.example.org/a.r05", "False", "True"},
        {"ftp://anna:pw@mirror.example.org:21/pub/a.iso", "True", "False"},
        {"http://example.org/", "False", "False"},
    };
    form.Form_Load();
    form.Change(form.txtMonitorServer, form.txtMonitorServer.Text + "; mirror.example.org:21");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        dialogs().clear();
        dialogs().allowOkMessages();
        form.Change(form.txtTestURL, c.address);
        form.cmdTest_Click();
        ASSERT_EQ(dialogs().calls().size(), 1u);
        const ScriptedDialogs::Call& call = dialogs().calls()[0];
        EXPECT_EQ(call.text, QStringLiteral("The following results were returned:\n"
                                            "Servers(if server exist in ignore list) = %1\n"
                                            "Extensions(if extension exsit in download list) = %2\n"
                                            "True means it was found. False means it was not.")
                                 .arg(c.server, c.extension));
        EXPECT_EQ(call.title, "URL Server & EXT Test");
        EXPECT_EQ(call.icon, Dialogs::Icon::None);
    }
}

TEST_F(frmSettingsTest, DependentControlsFollowTheirBoxes) {
    form.Form_Load();
    const auto proxyFields = [&] {
        return std::array{form.frameProxy.Enabled, form.txtProxyServer.Enabled,
                          form.txtProxyPort.Enabled, form.chkFTPProxy.Enabled,
                          form.chkLogProx.Enabled};
    };
    const auto loginFields = [&] {
        return std::array{form.txtUserID.Enabled, form.txtPass.Enabled, form.chkPass.Enabled};
    };
    EXPECT_EQ(proxyFields(), (std::array{false, false, false, false, false}));
    form.Click(form.chkUseProxy, true);
    EXPECT_EQ(proxyFields(), (std::array{true, true, true, true, true}));
    EXPECT_EQ(loginFields(), (std::array{false, false, false}));
    form.Click(form.chkLogProx, true);
    EXPECT_EQ(loginFields(), (std::array{true, true, true}));
    form.Click(form.chkUseProxy, false);
    EXPECT_EQ(loginFields(), (std::array{false, false, false}));
    form.Change(form.txtUserID, "ignored");
    EXPECT_EQ(form.txtUserID.Text, "");

    EXPECT_FALSE(form.frameSegmentSettings.Enabled || form.lblSegment.Enabled ||
                 form.txtSegment[4].Enabled);
    form.Click(form.chkSegment, true);
    EXPECT_TRUE(form.frameSegmentSettings.Enabled && form.lblSegment.Enabled &&
                form.txtSegment[4].Enabled);

    form.Click(form.optFileInfo, true);
    EXPECT_EQ((std::array{form.frameSameDir.Visible, form.frameLastDir.Visible,
                          form.frameFileType.Visible, form.frameFileInfo.Visible}),
              (std::array{false, false, false, true}));
    EXPECT_FALSE(form.optLastDir.Value);
}

TEST_F(frmSettingsTest, TheTwoSwitchesActWhenClickedAndSayWhenTheyFail) {
    // Opening with capture on puts a missing registration back, as no change.
    form.Form_Load();
    EXPECT_TRUE(form.chkIE.Value && IntegrationSwitches::IsBrowserIntegrationOn());
    EXPECT_FALSE(form.SettingsDirty());

    form.Click(form.chkStartWin, true);
    EXPECT_TRUE(form.chkStartWin.Value && IntegrationSwitches::IsStartupOn());
    EXPECT_EQ(hive("StartupWithWindows"), "1");
    EXPECT_TRUE(form.SettingsDirty());

    form.Click(form.chkIE, false);
    EXPECT_FALSE(IntegrationSwitches::IsBrowserIntegrationOn() || Settings.ClickCapture);
    // A browser folder that cannot be written: the box says what is true, and why.
    ASSERT_TRUE(QDir(folders.filePath("config/chromium")).removeRecursively());
    writeFile(folders.filePath("config/chromium"), "");
    dialogs().allowOkMessages();
    form.Click(form.chkIE, true);
    EXPECT_FALSE(form.chkIE.Value);
    ASSERT_EQ(dialogs().calls().size(), 1u);
    EXPECT_TRUE(dialogs().calls()[0].text.startsWith(
        "The browser integration could not be switched on: "));
    EXPECT_EQ(dialogs().calls()[0].icon, Dialogs::Icon::Exclamation);
    form.cmdApply_Click();
    EXPECT_EQ(hive("ClickCapture"), "0");
}

TEST_F(frmSettingsTest, LanguagesComeFromTheLanguageFolderAndEnglishShips) {
    // The shipped file holds every message of the dialog in the words it shows without one.
    const QString shipped = QDir(AppPaths::executableFolder()).filePath("Lang-I/English.ini");
    for (const QString& key : frmSettings::MessageKeys())
        EXPECT_EQ(PrivateProfile::GetString("Zu", key, "<missing>", 500, shipped),
                  frmSettings::MessageDefault(key));
    InstallShippedLanguageFiles();
    EXPECT_EQ(readFile(LanguageFolder() + "English.ini"), readFile(shipped));
    writeFile(LanguageFolder() + "English.ini", "[Zu]\r\n11019=Passwort?\r\n");
    writeFile(LanguageFolder() + "francais.INI", "");
    writeFile(LanguageFolder() + "notes.txt", "");
    InstallShippedLanguageFiles();  // the user's own file stays
    LangFile = "English.ini";
    EXPECT_EQ(frmSettings::Message("11019"), "Passwort?");

    LangFile = "FRANCAIS.ini";
    form.Form_Load();
    EXPECT_EQ(form.cboLanguage.Items, (QStringList{"English", "francais"}));
    EXPECT_EQ(form.cboLanguage.Text, "francais");
    form.cboLanguage_Click("English");
    form.cmdApply_Click();
    EXPECT_EQ(LangFile, "English.ini");
    EXPECT_EQ(StoredLanguageFile(), "English.ini");
    LangFile.clear();
    LoadSettings();
    EXPECT_EQ(LangFile, "English.ini");
}

TEST_F(frmSettingsTest, LoginsAreChangedDeletedAndSortedEitherWay) {
    SettingsLists::instance().Logins = {{"b.org", "bo", "1"}, {"a.org", "zed", "2"}};
    form.Form_Load();
    form.lstLogin_Click(1);
    EXPECT_EQ(form.txtLoginUsername.Text, "zed");
    form.Change(form.txtLoginPassword, "new");
    form.cmdLoginChange_Click();
    const auto servers = [&] {
        QStringList names;
        for (const LoginRow& row : form.lstLogin) names << row.Server + ':' + row.Password;
        return names;
    };
    EXPECT_EQ(servers(), (QStringList{"b.org:1", "a.org:new"}));
    form.lstLogin_ColumnClick(0);
    EXPECT_EQ(servers(), (QStringList{"a.org:new", "b.org:1"}));
    form.lstLogin_ColumnClick(0);
    EXPECT_EQ(servers(), (QStringList{"b.org:1", "a.org:new"}));
    form.lstLogin_ColumnClick(1);
    EXPECT_EQ(servers(), (QStringList{"b.org:1", "a.org:new"}));
    form.lstLogin_Click(0);
    form.cmdLoginDelete_Click();
    EXPECT_EQ(servers(), QStringList{"a.org:new"});
    form.cmdLoginDelete_Click();  // nothing selected any more
    EXPECT_EQ(servers(), QStringList{"a.org:new"});
}

}  // namespace
