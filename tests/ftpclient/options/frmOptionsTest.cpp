// The options dialog's logic: every value round trips through the hive in its
// stored form, the changed-flag drives "&Save" and the closing question, the
// size and port fields refuse what would not read back, the language list and
// the start-up entry.
#include "common/Autostart.h"
#include "common/EnvironmentGuard.h"
#include "common/QStringPrinter.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/options/frmOptions.h"
#include "ftpclient/transfers/KarvoRegistry.h"
#include "ftpclient/transfers/TransferMode.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

class frmOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        env_.set("XDG_CONFIG_HOME", root_.file(QStringLiteral("config")).toLocal8Bit());
        ScriptedDialogs::current().clear();
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    static QString stored(const char* name) {
        return KarvoRegistry::get(QString::fromLatin1(name), QStringLiteral("<unset>"));
    }

    TempRoot root_;
    EnvironmentGuard env_;
    FtpComponent ftp_;
    TransferMode mode_{ftp_};
};

TEST_F(frmOptionsTest, OpensWithTheDefaults) {
    frmOptions options(&mode_);
    options.Form_Load();
    // Without language files the program's own English is offered, and chosen.
    ASSERT_EQ(options.cmboLanguage.size(), 1);
    EXPECT_EQ(options.cmboLanguage[0].name, QStringLiteral("English"));
    EXPECT_EQ(options.cmboLanguageIndex, 0);
    EXPECT_FALSE(options.chkAddToStartup);
    EXPECT_EQ(options.txtLogFilename, QStringLiteral("FTP.LOG"));
    EXPECT_TRUE(options.optDeleteLogOnStartup);
    EXPECT_FALSE(options.optDeleteLogIfSizeExceeds);
    EXPECT_FALSE(options.txtLogFileSizeEnabled());
    EXPECT_EQ(options.txtLogFileSize, QStringLiteral("1,000"));
    EXPECT_EQ(options.lstExtFiles.join(u';'), QStringLiteral("txt;htm;html;php;cgi;asp;ini;inf;log"));
    EXPECT_FALSE(options.chkFirewall);
    EXPECT_FALSE(options.firewallFieldsEnabled());
    EXPECT_EQ(options.comboFirewallType, QStringLiteral("SOCKS 4"));
    EXPECT_EQ(options.txtFirewallPort, QStringLiteral("1080"));
    EXPECT_FALSE(options.cmdSaveEnabled());
    // Opening and closing without a change asks nothing.
    EXPECT_TRUE(options.QueryUnload());
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
}

TEST_F(frmOptionsTest, EveryValueRoundTripsInItsStoredForm) {
    const QString lang = QDir(root_.file(QStringLiteral("program"))).filePath(QStringLiteral("Lang"));
    ASSERT_TRUE(QDir().mkpath(lang));
    ASSERT_TRUE(writeWholeFile(lang + QStringLiteral("/English.ini"), ""));
    ASSERT_TRUE(writeWholeFile(lang + QStringLiteral("/Deutsch.INI"), ""));
    ASSERT_TRUE(writeWholeFile(lang + QStringLiteral("/Deutsch.bmp"), ""));

    frmOptions options(&mode_);
    options.Form_Load();
    ASSERT_EQ(options.cmboLanguage.size(), 2);
    EXPECT_EQ(options.cmboLanguage[0].name, QStringLiteral("Deutsch"));
    EXPECT_EQ(options.cmboLanguage[0].picture, lang + QStringLiteral("/Deutsch.bmp"));
    EXPECT_EQ(options.cmboLanguage[1].name, QStringLiteral("English"));
    EXPECT_EQ(options.cmboLanguageIndex, 1);

    options.setLanguage(0);
    options.setAddToStartup(true);
    options.setLogFilename(QStringLiteral("session.txt"));
    options.setDeleteLogIfSizeExceeds();
    options.setLogFileSize(QStringLiteral("2,500"));
    options.lstExtFiles_Remove(0);
    const int row = options.lstExtFiles_Add();
    EXPECT_TRUE(options.lstExtFiles_AfterLabelEdit(row, QStringLiteral("md")));
    options.setFirewall(true);
    options.setFirewallType(QStringLiteral("SOCKS 5"));
    options.setFirewallHostName(QStringLiteral("proxy.example"));
    options.setFirewallPort(QStringLiteral("1081"));
    options.setFirewallUserName(QStringLiteral("me"));
    options.setFirewallPassword(QStringLiteral("p;a\"ss"));
    EXPECT_TRUE(options.cmdSaveEnabled());
    ASSERT_TRUE(options.Save());
    EXPECT_FALSE(options.cmdSaveEnabled());

    EXPECT_EQ(stored("ADD TO STARTUP"), QStringLiteral("1"));
    EXPECT_EQ(stored("LOG FILE NAME"), QStringLiteral("session.txt"));
    EXPECT_EQ(stored("DELETE LOG ON STARTUP"), QStringLiteral("False"));
    EXPECT_EQ(stored("DELETE LOG IF SIZE EXCEEDS"), QStringLiteral("True"));
    EXPECT_EQ(stored("LOG FILE SIZE"), QStringLiteral("2500"));
    EXPECT_EQ(stored("Auto Mode Types"), QStringLiteral("htm;html;php;cgi;asp;ini;inf;log;md"));
    EXPECT_EQ(stored("Language"), QStringLiteral("Deutsch.ini"));
    EXPECT_EQ(stored("Firewall Use"), QStringLiteral("1"));
    EXPECT_EQ(stored("Firewall Type"), QStringLiteral("SOCKS 5"));
    EXPECT_EQ(stored("Firewall Host Name"), QStringLiteral("proxy.example"));
    EXPECT_EQ(stored("Firewall Proxy Port"), QStringLiteral("1081"));
    EXPECT_EQ(stored("Firewall User Name"), QStringLiteral("me"));
    EXPECT_EQ(stored("Firewall Password"), QStringLiteral("p;a\"ss"));
    // The extension list takes effect at once; "txt" is no longer ASCII.
    EXPECT_EQ(ftp_.autoAsciiExtensions.join(u';'), QStringLiteral("htm;html;php;cgi;asp;ini;inf;log;md"));
    // The start-up entry names this program.
    const QString entry = Autostart::EntryPath(QStringLiteral("KarvoRun"));
    EXPECT_EQ(entry, root_.file(QStringLiteral("config/autostart/karvorun.desktop")));
    EXPECT_TRUE(readWholeFile(entry).contains(QCoreApplication::applicationFilePath().toUtf8()));

    frmOptions again(&mode_);
    again.Form_Load();
    EXPECT_EQ(again.cmboLanguageIndex, 0);
    EXPECT_TRUE(again.chkAddToStartup);
    EXPECT_EQ(again.txtLogFilename, QStringLiteral("session.txt"));
    EXPECT_TRUE(again.optDeleteLogIfSizeExceeds);
    EXPECT_FALSE(again.optDeleteLogOnStartup);
    EXPECT_TRUE(again.txtLogFileSizeEnabled());
    EXPECT_EQ(again.txtLogFileSize, QStringLiteral("2,500"));
    EXPECT_EQ(again.lstExtFiles.last(), QStringLiteral("md"));
    EXPECT_TRUE(again.chkFirewall);
    EXPECT_TRUE(again.firewallFieldsEnabled());
    EXPECT_EQ(again.comboFirewallType, QStringLiteral("SOCKS 5"));
    EXPECT_EQ(again.txtFirewallPassword, QStringLiteral("p;a\"ss"));
    EXPECT_FALSE(again.cmdSaveEnabled());
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
}

TEST_F(frmOptionsTest, ChangingOnlyTheLanguageEnablesSaveAndClosingAsks) {
    frmOptions options(&mode_);
    options.Form_Load();
    options.setLanguage(-1);
    EXPECT_TRUE(options.cmdSaveEnabled());
    auto& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Dialogs::Answer::No);
    EXPECT_FALSE(options.QueryUnload());
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("Do you want quit??"));
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.calls()[0].buttons, Dialogs::Buttons::YesNo);
    dialogs.answerMessage(Dialogs::Answer::Yes);
    EXPECT_TRUE(options.QueryUnload());
    // Nothing was written.
    EXPECT_EQ(stored("LOG FILE NAME"), QStringLiteral("<unset>"));
}

TEST_F(frmOptionsTest, ALetterInTheSizeRestoresTheStoredSize) {
    KarvoRegistry::save(QStringLiteral("LOG FILE SIZE"), QStringLiteral("1,234"));
    frmOptions options;
    options.Form_Load();
    EXPECT_EQ(options.txtLogFileSize, QStringLiteral("1,234"));
    options.setLogFileSize(QStringLiteral("12a"));
    EXPECT_EQ(options.txtLogFileSize, QStringLiteral("1,234"));
    options.setLogFileSize(QString());
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(stored("LOG FILE SIZE"), QStringLiteral("1234"));
}

TEST_F(frmOptionsTest, APortOutsideTheRangeIsRefusedWhileTheFirewallIsUsed) {
    frmOptions options;
    options.Form_Load();
    options.setFirewall(true);
    ScriptedDialogs::current().allowOkMessages();
    for (const char* port : {"0", "65536", "70000", "", "port"}) {
        options.setFirewallPort(QString::fromLatin1(port));
        EXPECT_FALSE(options.Save()) << port;
        EXPECT_EQ(stored("Firewall Use"), QStringLiteral("<unset>")) << port;
        EXPECT_TRUE(options.cmdSaveEnabled());
    }
    EXPECT_EQ(ScriptedDialogs::current().calls().back().text,
              QStringLiteral("The firewall port must be a number from 1 to 65535."));
    options.setFirewallPort(QStringLiteral("65535"));
    EXPECT_TRUE(options.Save());
    EXPECT_EQ(stored("Firewall Proxy Port"), QStringLiteral("65535"));
}

TEST_F(frmOptionsTest, ClearingTheStartupBoxRemovesTheEntryEvenWhenNoneExisted) {
    frmOptions options;
    options.Form_Load();
    options.setAddToStartup(false);
    EXPECT_TRUE(options.Save());
    EXPECT_FALSE(Autostart::IsPresent(QStringLiteral("KarvoRun")));
    options.setAddToStartup(true);
    EXPECT_TRUE(options.Save());
    EXPECT_TRUE(Autostart::IsPresent(QStringLiteral("KarvoRun")));
    options.setAddToStartup(false);
    EXPECT_TRUE(options.Save());
    EXPECT_FALSE(Autostart::IsPresent(QStringLiteral("KarvoRun")));
    EXPECT_EQ(stored("ADD TO STARTUP"), QStringLiteral("0"));
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
}

TEST_F(frmOptionsTest, ExtensionRows) {
    frmOptions options;
    options.Form_Load();
    while (!options.lstExtFiles.isEmpty()) options.lstExtFiles_Remove(0);
    const int row = options.lstExtFiles_Add();
    ScriptedDialogs::current().allowOkMessages();
    EXPECT_FALSE(options.lstExtFiles_AfterLabelEdit(row, QString()));
    EXPECT_FALSE(options.lstExtFiles_AfterLabelEdit(row, QStringLiteral(" ")));
    ASSERT_EQ(ScriptedDialogs::current().calls().size(), 2u);
    EXPECT_EQ(ScriptedDialogs::current().calls()[0].text, QStringLiteral("Please enter extention"));
    EXPECT_EQ(options.lstExtFiles[row], QString());
    EXPECT_TRUE(options.lstExtFiles_AfterLabelEdit(row, QStringLiteral("txt")));
    // An empty row left behind is not saved as an empty entry.
    options.lstExtFiles_Add();
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(stored("Auto Mode Types"), QStringLiteral("txt"));
}

}  // namespace
