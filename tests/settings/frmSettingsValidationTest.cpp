// What the dialog accepts and what it refuses: number fields as typed, when they
// are put back and what is stored; and the messages for logins, rules and the
// extension list.
#include "SettingsFixture.h"

#include <functional>

namespace {

struct NumberCase {
    TextControl frmSettings::*field;
    const char* typed;
    const char* afterTyping;  // a negative number goes back at once
    bool changed;             // only a number that will be stored marks the dialog
    const char* afterLeaving;
    const char* value;
    const char* stored;  // in the hive after Apply
};

class frmSettingsValidationTest : public SettingsFixture {};

TEST_F(frmSettingsValidationTest, NumberFieldsKeepOnlyWhatTheProgramCanRead) {
    using S = frmSettings;
    const NumberCase cases[] = {
        {&S::txtTimeout, "-5", "60", false, "60", "Timeout", "60"},
        {&S::txtTimeout, "90", "90", true, "90", "Timeout", "90"},
        {&S::txtTimeout, "abc", "abc", false, "60", "Timeout", "60"},
        {&S::txtTimeout, "", "", false, "60", "Timeout", "60"},
        {&S::txtTimeout, "40000", "40000", false, "60", "Timeout", "60"},
        {&S::txtRetries, "1e2", "1e2", true, "1e2", "Retries", "100"},
        {&S::txtLimitFTP, "3.4", "3.4", true, "3.4", "LimitFTP", "3"},
        {&S::txtTimeResume, "546", "546", true, "546", "TimeResume", "32760"},
        {&S::txtTimeResume, "547", "547", false, "5", "TimeResume", "300"},
        {&S::txtTimeNoResume, "0.5", "0.5", true, "0.5", "TimeNoResume", "30"},
        {&S::txtRollback, "-1", "4", false, "4", "Rollback", "4096"},
        {&S::txtRollback, "32768", "32768", false, "4", "Rollback", "4096"},
        {&S::txtProxyPort, "0", "0", false, "80", "ProxyPort", "80"},
        {&S::txtProxyPort, "65535", "65535", true, "65535", "ProxyPort", "65535"},
        {&S::txtProxyPort, "65536", "65536", false, "80", "ProxyPort", "80"},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " typed as \"" + c.typed + "\"");
        // Each row starts from the default in effect.
        CRegister().REGDeleteSetting(HKEY_LOCAL_MACHINE, kLumetKey, QString::fromUtf8(c.value));
        LoadSettings();
        form.Form_Load();
        form.Click(form.chkUseProxy, true);  // the port takes input only then
        form.SetSettingsDirty(false);
        TextControl& field = form.*c.field;
        form.Change(field, QString::fromUtf8(c.typed));
        EXPECT_EQ(field.Text, QString::fromUtf8(c.afterTyping));
        EXPECT_EQ(form.SettingsDirty(), c.changed);
        form.LostFocus(field);
        EXPECT_EQ(field.Text, QString::fromUtf8(c.afterLeaving));
        form.cmdApply_Click();
        EXPECT_EQ(hive(QString::fromUtf8(c.value)), QString::fromUtf8(c.stored));
    }
    // A field that never loses the focus is put back before the save all the same.
    form.Form_Load();
    form.Change(form.txtSegment[8], "x");
    form.cmdApply_Click();
    EXPECT_EQ(form.txtSegment[8].Text, "20");
    EXPECT_EQ(hive("SegmentSize9"), "20971520");
    EXPECT_TRUE(dialogs().calls().empty());
}

struct MessageCase {
    const char* name;
    std::function<void(frmSettings&)> action;
    QString text;  // empty: no message
    Dialogs::Icon icon;
    QString title;
};

TEST_F(frmSettingsValidationTest, RefusedInputGetsItsMessageAndAddsNothing) {
    const auto login = [](const char* server, const char* user, const char* password) {
        return [=](frmSettings& s) {
            s.Change(s.txtLoginServer, server);
            s.Change(s.txtLoginUsername, user);
            s.Change(s.txtLoginPassword, password);
            s.cmdLoginAdd_Click();
        };
    };
    const auto types = [](const char* list) {
        return [=](frmSettings& s) {
            s.Change(s.txtMonitorTypes, list);
            s.LostFocus(s.txtMonitorTypes);
        };
    };
    const QString control = QStringLiteral(
        "Line breaks and other control characters cannot be kept in a login or a file-type rule.");
    const QString extension =
        QStringLiteral("Extensions may not contain these characters: / \\ : * \" < > |");
    using I = Dialogs::Icon;
    const MessageCase cases[] = {
        {"no server", login(" ", "bob", "pw"), "Please enter the server name.", I::Exclamation, ""},
        {"no user", login("srv", "", "pw"), "Please enter the user name.", I::Exclamation, ""},
        {"blank password", login("srv", "bob", "  "), "Please enter the password.",
         I::Exclamation, ""},
        {"line break", login("srv", "bo\nb", "pw"), control, I::Exclamation, ""},
        {"scrambles into a line break", login("srv", "bob", "p\x03w"), control, I::Exclamation,
         ""},
        {"rule with a tab",
         [](frmSettings& s) {
             s.Change(s.txtFileType, "i\tso");
             s.Change(s.txtFileTypeDir, "/dl");
             s.cmdFileTypeAdd_Click();
         },
         control, I::Exclamation, ""},
        {"rule without folder",
         [](frmSettings& s) {
             s.Change(s.txtFileType, "iso");
             s.cmdFileTypeAdd_Click();
         },
         "", I::None, ""},
        {"slash in the extensions", types(".ZIP; /x;"), extension, I::Critical, extension},
        {"pipe in the extensions", types(".ZIP|.EXE;"), extension, I::Critical, extension},
        {"wildcard in the extensions", types(".R0?; .ISO;"), "", I::None, ""},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        form.Form_Load();
        dialogs().clear();
        dialogs().allowOkMessages();
        c.action(form);
        const auto& calls = dialogs().calls();
        if (c.text.isEmpty()) {
            EXPECT_TRUE(calls.empty());
        } else {
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].text, c.text);
            EXPECT_EQ(calls[0].icon, c.icon);
            EXPECT_EQ(calls[0].title, c.title);
        }
        EXPECT_TRUE(form.lstLogin.empty() && form.lstFileType.empty());
    }
}

}  // namespace
