// One round trip per page: edits made as the user makes them, Apply, then what the
// hive and Settings.ini hold, what `lumet --print-settings` reads back in a new
// process, what the running program took at once, and what the dialog shows when
// opened again.
#include "SettingsFixture.h"

#include "common/AppPaths.h"
#include "core/Language.h"

#include <QDir>
#include <QProcess>
#include <functional>

namespace {

QByteArray settingsIni() {
    QFile file(AppFilePath(QStringLiteral("Settings.ini")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct PageCase {
    const char* page;
    std::function<void(frmSettings&)> edit;
    QList<std::pair<QString, QString>> stored;  // hive values after Apply
    QStringList printed;                        // lines of lumet --print-settings
    std::function<void(const frmSettings&)> reopened;
};

class frmSettingsRoundTripTest : public SettingsFixture,
                                 public ::testing::WithParamInterface<PageCase> {};

TEST_P(frmSettingsRoundTripTest, EditsReachTheHiveTheProgramAndTheNextOpening) {
    const PageCase& page = GetParam();
    ASSERT_TRUE(QDir().mkpath(LanguageFolder()));
    writeFile(LanguageFolder() + QStringLiteral("Deutsch.ini"), "[Zu]\r\n");
    form.Form_Load();
    page.edit(form);
    EXPECT_TRUE(form.SettingsDirty());
    form.cmdApply_Click();
    EXPECT_FALSE(form.SettingsDirty());
    EXPECT_TRUE(dialogs().calls().empty()) << messages().join(u'\n').toStdString();
    for (const auto& [name, value] : page.stored) EXPECT_EQ(hive(name), value) << name.toStdString();

    QProcess lumet;
    lumet.start(QStringLiteral(LUMET_BINARY), {QStringLiteral("--print-settings")});
    ASSERT_TRUE(lumet.waitForFinished(60000));
    const QStringList printed = QString::fromUtf8(lumet.readAllStandardOutput()).split(u'\n');
    // The running program reads the same at once.
    QStringList running = SettingsRecordLines();
    running << QStringLiteral("LangFile=") + LangFile << SettingsLists::instance().RowLines();
    for (const QString& line : page.printed) {
        EXPECT_TRUE(printed.contains(line)) << line.toStdString();
        EXPECT_TRUE(running.contains(line)) << line.toStdString();
    }

    frmSettings reopened;
    reopened.Form_Load();
    page.reopened(reopened);
    EXPECT_FALSE(reopened.SettingsDirty());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, frmSettingsRoundTripTest,
    ::testing::Values(
        PageCase{"General",
                 [](frmSettings& s) {
                     s.Click(s.chkDownloadNow, true);
                     s.Change(s.txtLimitHTTP, "5");
                     s.Click(s.chkCloseWindow, true);
                     s.cboLanguage_Click("Deutsch");
                 },
                 {{"DownloadNowOption", "True"},
                  {"DownloadPromptOption", "False"},
                  {"LimitHTTP", "5"},
                  {"CloseDownloadWindowWhenDone", "1"}},
                 {"DownloadNowOption=True", "DownloadPromptOption=False",
                  "CloseDownloadWindowWhenDone=True", "LangFile=Deutsch.ini"},
                 [](const frmSettings& s) {
                     EXPECT_TRUE(s.chkDownloadNow.Value && !s.chkDownloadPrompt.Value);
                     EXPECT_EQ(s.txtLimitHTTP.Text, "5");
                     EXPECT_EQ(s.cboLanguage.Text, "Deutsch");
                 }},
        PageCase{"Monitoring",
                 [](frmSettings& s) {
                     s.Click(s.chkClipboard, false);
                     s.Change(s.txtMonitorTypes, ".ISO; .IMG;");
                 },
                 {{"ClipboardMonitoring", "0"}, {"MonitorTypes", ".ISO; .IMG;"}},
                 {"ClipboardMonitoring=False"},
                 [](const frmSettings& s) {
                     EXPECT_FALSE(s.chkClipboard.Value);
                     EXPECT_EQ(s.txtMonitorTypes.Text, ".ISO; .IMG;");
                     EXPECT_EQ(SettingsLists::instance().MonitorTypes, ".ISO; .IMG;");
                 }},
        PageCase{"Connection",
                 [](frmSettings& s) {
                     s.Change(s.txtTimeResume, "7");
                     s.Change(s.txtTimeNoResume, "7.5");
                     s.Change(s.txtRollback, "8");
                     s.Click(s.chkFtpPASV, true);
                 },
                 {{"TimeResume", "420"}, {"TimeNoResume", "450"}, {"Rollback", "8192"},
                  {"UsePASV", "1"}},
                 {"TimeResume=420", "TimeNoResume=450", "Rollback=8192", "UsePASV=True"},
                 [](const frmSettings& s) {
                     EXPECT_EQ(s.txtTimeResume.Text, "7");
                     EXPECT_EQ(s.txtTimeNoResume.Text, "7.5");
                     EXPECT_EQ(s.txtRollback.Text, "8");
                 }},
        PageCase{"Segments",
                 [](frmSettings& s) {
                     s.Click(s.chkSegment, true);
                     s.Change(s.txtSegment[2], "3");
                 },
                 {{"Segment", "1"}, {"SegmentSize3", "3145728"}, {"SegmentSize4", "10485760"}},
                 {"Segment=1", "SegmentSize3=3145729"},
                 [](const frmSettings& s) {
                     EXPECT_EQ(s.txtSegment[2].Text, "3");
                     EXPECT_EQ(s.txtSegment[4].Text, "10");
                     EXPECT_TRUE(s.txtSegment[0].Enabled);
                 }},
        PageCase{"SaveTo",
                 [](frmSettings& s) {
                     s.Click(s.optFileType, true);
                     s.Change(s.txtFileType, "iso");
                     s.Change(s.txtFileTypeDir, "/dl/iso");
                     s.cmdFileTypeAdd_Click();
                 },
                 {{"SaveFileType", "True"}, {"SaveSameDir", "False"}},
                 {"SaveFileType=True", "FileType=iso|/dl/iso"},
                 [](const frmSettings& s) {
                     EXPECT_TRUE(s.optFileType.Value && !s.optLastDir.Value);
                     EXPECT_TRUE(s.frameFileType.Visible && !s.frameLastDir.Visible);
                     ASSERT_EQ(s.lstFileType.size(), 1u);
                     EXPECT_EQ(s.lstFileType[0].Folder, "/dl/iso");
                 }},
        PageCase{"Proxy",
                 [](frmSettings& s) {
                     s.Click(s.chkUseProxy, true);
                     s.Change(s.txtProxyServer, "proxy.lan");
                     s.Change(s.txtProxyPort, "40000");
                     s.Click(s.chkLogProx, true);
                     s.Change(s.txtUserID, "anna");
                     s.Change(s.txtPass, "s3cret");
                 },
                 {{"UseProxy", "1"}, {"ProxyPort", "40000"}, {"UserPass", "s3cret"}},
                 {"UseProxy=True", "ProxyServer=proxy.lan", "ProxyPort=40000", "LoginProxy=True",
                  "UserID=anna", "UserPass=***"},
                 [](const frmSettings& s) {
                     EXPECT_EQ(s.txtProxyPort.Text, "40000");
                     EXPECT_EQ(s.txtPass.Text, "s3cret");
                     EXPECT_TRUE(s.txtUserID.Enabled);
                 }},
        PageCase{"Logins",
                 [](frmSettings& s) {
                     s.Change(s.txtLoginServer, " ftp.example.org ");
                     s.Change(s.txtLoginUsername, "bob");
                     s.Change(s.txtLoginPassword, "pw");
                     s.cmdLoginAdd_Click();
                 },
                 {},
                 {"Login=ftp.example.org|bob|***"},
                 [](const frmSettings& s) {
                     ASSERT_EQ(s.lstLogin.size(), 1u);
                     EXPECT_EQ(s.lstLogin[0].Password, "pw");
                     // Kept scrambled: each character ten codes up.
                     EXPECT_TRUE(settingsIni().endsWith("Logins:\r\nftp.example.org\r\nbob\r\nz\xc2\x81\r\n"));
                 }}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.page); });

}  // namespace
