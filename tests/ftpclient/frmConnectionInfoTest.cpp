// The connection dialog's rules: what ShowForm hands back, the login types,
// choosing profiles in either tree, new / save / delete, and the port field.
#include "common/QStringPrinter.h"
#include "ftpclient/profiles/FtpProfile.h"
#include "ftpclient/profiles/frmConnectionInfo.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using karvo::frmConnectionInfo;
using karvo::FtpProfile;

namespace {

class frmConnectionInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialogs.clear();
        dialog.ShippedFolder = shippedNothing.path();
        dialog.Form_Load();
    }

    // A profile as a user saved it earlier.
    static void saveProfile(const QString& folder, const QString& name, const QString& user,
                            const QString& password) {
        FtpProfile profile;
        profile.sname = name;
        profile.adresa = name + QStringLiteral(".example.org");
        profile.id = user;
        profile.pass = password;
        profile.port = QStringLiteral("21");
        ASSERT_TRUE(profile.Write(folder + QLatin1Char('/') + name + FtpProfile::Extension()));
    }

    QStringList messages() const {
        QStringList texts;
        for (const auto& call : dialogs.calls()) texts << call.text;
        return texts;
    }

    TempRoot root;
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    QTemporaryDir shippedNothing;
    frmConnectionInfo dialog;
};

TEST_F(frmConnectionInfoTest, ShowFormHandsBackTheFieldsOnlyThroughConnect) {
    QString address = QStringLiteral("old.example.org");
    QString port;
    QString user = QStringLiteral("me");
    QString password = QStringLiteral("pw");
    bool anonymous = true;
    bool passive = false;
    // The modal part: the user sees the filled dialog, edits it, then leaves.
    dialog.showModal = [&](frmConnectionInfo& shown) {
        EXPECT_TRUE(shown.Cancelled);
        EXPECT_EQ(shown.txtHost, QStringLiteral("old.example.org"));
        EXPECT_EQ(shown.txtPort, QStringLiteral("21"));  // an empty port shows as 21
        // Anonymous chosen: fixed user, no password, fields disabled.
        EXPECT_TRUE(shown.optAnonymous);
        EXPECT_EQ(shown.txtUserName, QStringLiteral("anonymous"));
        EXPECT_EQ(shown.txtPassword, QString());
        EXPECT_FALSE(shown.UserFieldsEnabled);
        shown.txtHost = QStringLiteral("new.example.org");
        shown.optNormal_Click();
        EXPECT_TRUE(shown.UserFieldsEnabled);
        shown.txtUserName = QStringLiteral("karvo");
        shown.txtPassword = QStringLiteral("secret");
        shown.chkPassiveMode = true;
        shown.cmdCancel_Click();
    };
    EXPECT_FALSE(dialog.ShowForm(address, port, user, password, anonymous, passive));
    EXPECT_EQ(address, QStringLiteral("old.example.org"));
    EXPECT_EQ(user, QStringLiteral("me"));
    EXPECT_TRUE(anonymous);

    dialog.showModal = [](frmConnectionInfo& shown) {
        shown.txtHost = QStringLiteral("new.example.org");
        shown.optNormal_Click();
        shown.txtUserName = QStringLiteral("karvo");
        shown.txtPassword = QStringLiteral("secret");
        shown.chkPassiveMode = true;
        shown.cmdConnect_Click();
    };
    EXPECT_TRUE(dialog.ShowForm(address, port, user, password, anonymous, passive));
    EXPECT_EQ(address, QStringLiteral("new.example.org"));
    EXPECT_EQ(port, QStringLiteral("21"));
    EXPECT_EQ(user, QStringLiteral("karvo"));
    EXPECT_EQ(password, QStringLiteral("secret"));
    EXPECT_FALSE(anonymous);
    EXPECT_TRUE(passive);
}

TEST_F(frmConnectionInfoTest, SavedProfilesComeBackInThePrivateTreeAndTheFolderIsUserOnly) {
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(frmConnectionInfo::PrivateFolder()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(QDir(frmConnectionInfo::StandardFolder()).exists());

    dialog.cmdNewSite_Click();
    EXPECT_EQ(dialog.TabProfiles, frmConnectionInfo::Private);
    dialog.txtProfileName = QStringLiteral("home");
    dialog.txtHost = QStringLiteral("ftp.home.example");
    dialog.txtUserName = QStringLiteral("me");
    dialog.txtPassword = QStringLiteral("pw");
    dialog.chkPassiveMode = true;
    dialogs.allowOkMessages();
    dialog.cmdSaveSite_Click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Profile Saved")});
    EXPECT_EQ(dialogs.calls().back().icon, Dialogs::Icon::Information);
    EXPECT_EQ(dialog.PrivateProfiles, QStringList{QStringLiteral("home.Profile")});
    EXPECT_FALSE(dialog.cmdDeleteSite);

    // Another dialog, as at the next connect: the profile fills every field.
    frmConnectionInfo next;
    next.ShippedFolder = shippedNothing.path();
    next.Form_Load();
    next.cmdNewSite_Click();
    next.NodeClick(frmConnectionInfo::tvlPrivate, 0);
    EXPECT_EQ(next.txtProfileName, QStringLiteral("home"));
    EXPECT_EQ(next.txtHost, QStringLiteral("ftp.home.example"));
    EXPECT_EQ(next.txtPort, QStringLiteral("21"));
    EXPECT_EQ(next.txtUserName, QStringLiteral("me"));
    EXPECT_EQ(next.txtPassword, QStringLiteral("pw"));
    EXPECT_TRUE(next.chkPassiveMode);
    EXPECT_TRUE(next.optNormal);
    EXPECT_TRUE(next.cmdDeleteSite);
}

TEST_F(frmConnectionInfoTest, SaveRefusesAMissingNameOrHostAndNamesThatAreNoFileName) {
    struct Row {
        QString name;
        QString host;
        QString message;
    };
    const QString check = QStringLiteral("Please check Site name and Server Address!");
    const Row rows[] = {
        {QString(), QStringLiteral("h"), check},
        {QStringLiteral("n"), QStringLiteral("  "), check},
        {QStringLiteral("../escape"), QStringLiteral("h"), check},
        {QStringLiteral(".hidden"), QStringLiteral("h"), check},
        {QString(50, u'n'), QStringLiteral("h"), check},
    };
    for (const Row& row : rows) {
        dialogs.clear();
        dialogs.allowOkMessages();
        dialog.txtProfileName = row.name;
        dialog.txtHost = row.host;
        dialog.cmdSaveSite_Click();
        ASSERT_EQ(dialogs.calls().size(), 1u) << row.name.toStdString();
        EXPECT_TRUE(dialogs.calls()[0].text.startsWith(row.message))
            << dialogs.calls()[0].text.toStdString();
        EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Exclamation);
    }
    EXPECT_TRUE(dialog.PrivateProfiles.isEmpty());
    EXPECT_EQ(QDir(root.path()).entryList({QStringLiteral("*.Profile")}, QDir::Files),
              QStringList());
    EXPECT_FALSE(QFile::exists(root.file(QStringLiteral("program/escape.Profile"))));

    // A password too long to come back whole is refused too.
    dialogs.clear();
    dialogs.allowOkMessages();
    dialog.txtProfileName = QStringLiteral("site");
    dialog.txtHost = QStringLiteral("h");
    dialog.txtPassword = QString(50, u'p');
    dialog.cmdSaveSite_Click();
    EXPECT_TRUE(messages().value(0).startsWith(QStringLiteral("The user name, password or port")));
    EXPECT_TRUE(dialog.PrivateProfiles.isEmpty());
}

TEST_F(frmConnectionInfoTest, AnonymousOrAnEmptyPasswordStoresAnEmptyPass) {
    dialogs.allowOkMessages();
    dialog.txtProfileName = QStringLiteral("anon");
    dialog.txtHost = QStringLiteral("h");
    dialog.txtPassword = QStringLiteral("typed before");
    dialog.optAnonymous_Click();
    dialog.cmdSaveSite_Click();
    const QString path = frmConnectionInfo::PrivateFolder() + QStringLiteral("/anon.Profile");
    EXPECT_TRUE(readWholeFile(path).contains("\r\npass=\r\n"));
    EXPECT_EQ(FtpProfile::Read(path).id, QStringLiteral("anonymous"));

    // Chosen again it opens as Anonymous with the user fields disabled.
    dialog.cmdNewSite_Click();
    dialog.NodeClick(frmConnectionInfo::tvlPrivate, 0);
    EXPECT_TRUE(dialog.optAnonymous);
    EXPECT_FALSE(dialog.optNormal);
    EXPECT_FALSE(dialog.UserFieldsEnabled);
}

TEST_F(frmConnectionInfoTest, StandardProfilesSelectTheLoginTypeByUserAndPassword) {
    saveProfile(frmConnectionInfo::StandardFolder(), QStringLiteral("a-anon"),
                QStringLiteral("anonymous"), QString());
    saveProfile(frmConnectionInfo::StandardFolder(), QStringLiteral("b-user"),
                QStringLiteral("joe"), QStringLiteral("pw"));
    saveProfile(frmConnectionInfo::StandardFolder(), QStringLiteral("c-nopass"),
                QStringLiteral("joe"), QString());
    dialog.BuildTrees();
    ASSERT_EQ(dialog.StandardProfiles.size(), 3);
    dialog.NodeClick(frmConnectionInfo::tvlStandard, 0);
    EXPECT_TRUE(dialog.optAnonymous);
    EXPECT_FALSE(dialog.optNormal);
    dialog.NodeClick(frmConnectionInfo::tvlStandard, 1);
    EXPECT_FALSE(dialog.optAnonymous);
    EXPECT_TRUE(dialog.optNormal);
    // A user without a password after an anonymous profile: Anonymous is
    // cleared and Normal not chosen, as the standard tree has always done.
    dialog.NodeClick(frmConnectionInfo::tvlStandard, 0);
    dialog.NodeClick(frmConnectionInfo::tvlStandard, 2);
    EXPECT_FALSE(dialog.optAnonymous);
    EXPECT_FALSE(dialog.optNormal);
    EXPECT_EQ(dialog.txtUserName, QStringLiteral("joe"));
}

TEST_F(frmConnectionInfoTest, ShippedStandardProfilesArriveOnceAndAreKeptAsTheyAre) {
    QTemporaryDir shipped;
    saveProfile(shipped.path(), QStringLiteral("Mirror"), QStringLiteral("anonymous"), QString());
    frmConnectionInfo next;
    next.ShippedFolder = shipped.path();
    next.Form_Load();
    EXPECT_EQ(next.StandardProfiles, QStringList{QStringLiteral("Mirror.Profile")});
    next.NodeClick(frmConnectionInfo::tvlStandard, 0);
    EXPECT_EQ(next.txtHost, QStringLiteral("Mirror.example.org"));
    EXPECT_TRUE(next.optAnonymous);
    // A copy that is already there is not replaced.
    const QString copy = frmConnectionInfo::StandardFolder() + QStringLiteral("/Mirror.Profile");
    ASSERT_TRUE(writeWholeFile(copy, "[PROFILE]\r\nadresa=changed\r\n"));
    next.Form_Load();
    EXPECT_EQ(FtpProfile::Read(copy).adresa, QStringLiteral("changed"));
}

TEST_F(frmConnectionInfoTest, DeleteSiteDeletesOnlyTheChosenPrivateProfile) {
    saveProfile(frmConnectionInfo::PrivateFolder(), QStringLiteral("keep"), QStringLiteral("u"),
                QString());
    saveProfile(frmConnectionInfo::PrivateFolder(), QStringLiteral("remove"), QStringLiteral("u"),
                QString());
    saveProfile(frmConnectionInfo::StandardFolder(), QStringLiteral("shipped"), QStringLiteral("u"),
                QString());
    dialog.BuildTrees();

    // A private profile chosen earlier, then a standard one: no delete.
    dialog.TabProfiles_Click(frmConnectionInfo::Private);
    dialog.NodeClick(frmConnectionInfo::tvlPrivate, 0);
    EXPECT_TRUE(dialog.cmdDeleteSite);
    dialog.TabProfiles_Click(frmConnectionInfo::Standard);
    dialog.NodeClick(frmConnectionInfo::tvlStandard, 0);
    EXPECT_FALSE(dialog.cmdDeleteSite);
    dialog.cmdDeleteSite_Click();
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_EQ(dialog.PrivateProfiles.size(), 2);

    // The root node disables it.
    dialog.TabProfiles_Click(frmConnectionInfo::Private);
    dialog.NodeClick(frmConnectionInfo::tvlPrivate, -1);
    EXPECT_FALSE(dialog.cmdDeleteSite);

    // No keeps it, Yes deletes exactly the chosen file.
    dialog.NodeClick(frmConnectionInfo::tvlPrivate, 1);
    dialogs.answerMessage(Dialogs::Answer::No);
    dialog.cmdDeleteSite_Click();
    EXPECT_EQ(dialog.PrivateProfiles.size(), 2);
    dialogs.answerMessage(Dialogs::Answer::Yes);
    dialog.cmdDeleteSite_Click();
    EXPECT_EQ(dialogs.calls().back().text, QStringLiteral("Delete the site profile 'remove'?"));
    EXPECT_EQ(dialog.PrivateProfiles, QStringList{QStringLiteral("keep.Profile")});
    EXPECT_EQ(dialog.StandardProfiles, QStringList{QStringLiteral("shipped.Profile")});
    EXPECT_FALSE(dialog.cmdDeleteSite);
}

TEST_F(frmConnectionInfoTest, ThePortFieldTurnsAnythingButAPortIntoTwentyOne) {
    const std::pair<QString, QString> rows[] = {
        {QStringLiteral("2121"), QStringLiteral("2121")},
        {QStringLiteral("abc"), QStringLiteral("21")},
        {QStringLiteral("0"), QStringLiteral("21")},
        {QStringLiteral("70000"), QStringLiteral("21")},
        {QStringLiteral("-5"), QStringLiteral("21")},
        {QString(), QStringLiteral("21")},
        {QStringLiteral("65535"), QStringLiteral("65535")},
    };
    for (const auto& [typed, shown] : rows) {
        dialog.SetPort(typed);
        EXPECT_EQ(dialog.txtPort, shown) << typed.toStdString();
    }
}

}  // namespace
