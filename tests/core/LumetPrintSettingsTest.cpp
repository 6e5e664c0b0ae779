#include "DefaultSettingsLines.h"

#include "common/AppPaths.h"
#include "common/CRegister.h"
#include "core/modGlobalVariables.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct LumetRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

LumetRun runLumet(const QString& root, const QStringList& arguments) {
    QProcess lumet;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VORNELKARVO_ROOT"), root);
    lumet.setProcessEnvironment(environment);
    lumet.start(QStringLiteral(LUMET_BINARY), arguments);
    LumetRun run;
    if (!lumet.waitForFinished(60000) || lumet.exitStatus() != QProcess::NormalExit) {
        lumet.kill();
        lumet.waitForFinished(5000);
        return run;
    }
    run.exitCode = lumet.exitCode();
    run.out = lumet.readAllStandardOutput();
    run.err = lumet.readAllStandardError();
    return run;
}

TEST(LumetPrintSettingsTest, EmptyRootPrintsTheDefaults) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const LumetRun run = runLumet(root.path(), {QStringLiteral("--print-settings")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    QStringList expected = DefaultSettingsLines(AppPaths::downloadFolder());
    expected << QStringLiteral("LastDir=") << QStringLiteral("LangFile=English.ini");
    EXPECT_EQ(run.out, expected.join(u'\n').toUtf8() + '\n');
    EXPECT_EQ(run.err, QByteArray());
}

TEST(LumetPrintSettingsTest, StoredSettingsAndListsArePrintedWithoutPasswords) {
    TempRoot root;
    const CRegister reg;
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("Timeout"),
                                   QStringLiteral("90")));
    ASSERT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("UserPass"),
                                   QStringLiteral("proxysecret")));
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("program"))));
    QFile ini(root.file(QStringLiteral("program/Settings.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    // The login's password "loginsecret" as stored.
    ini.write("/dl/last.zip\r\n.zip\r\n/dl/zips\r\nLogins:\r\nsrv\r\nanna\r\nvyqsx}om|o~\r\n");
    ini.close();

    const LumetRun run = runLumet(root.path(), {QStringLiteral("--print-settings")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("Timeout=90")));
    EXPECT_TRUE(lines.contains(QStringLiteral("UserPass=***")));
    EXPECT_TRUE(lines.contains(QStringLiteral("LastDir=/dl/last.zip")));
    const qsizetype langFile = lines.indexOf(QStringLiteral("LangFile=English.ini"));
    ASSERT_GE(langFile, 0);
    EXPECT_EQ(lines.mid(langFile + 1),
              (QStringList{QStringLiteral("FileType=.zip|/dl/zips"),
                           QStringLiteral("Login=srv|anna|***"), QString()}));
    EXPECT_FALSE(run.out.contains("secret"));
}

TEST(LumetPrintSettingsTest, UnknownOptionsPrintTheUsageAndEndWithTwo) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // The first line names what was wrong, the usage follows.
    const struct {
        QStringList arguments;
        QByteArray firstLine;
    } cases[] = {
        {{QStringLiteral("--bogus")}, "lumet: unknown option \"--bogus\"\n"},
        {{QStringLiteral("--print-settings"), QStringLiteral("extra")}, "lumet: --print-settings takes no value\n"},
    };
    for (const auto& c : cases) {
        const LumetRun run = runLumet(root.path(), c.arguments);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(c.arguments.join(u' '));
        EXPECT_EQ(run.out, QByteArray());
        EXPECT_TRUE(run.err.startsWith(c.firstLine + "usage: lumet")) << run.err.constData();
    }
}

}  // namespace
