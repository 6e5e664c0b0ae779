// The programs: lumet without arguments becomes the desktop program, the desktop
// program takes addresses from lumet-send and saves the queue when it is killed.
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Whether the process has a handler of its own for the signal.
bool catches(qint64 pid, int signalNumber) {
    const QList<QByteArray> lines = readAll(QStringLiteral("/proc/%1/status").arg(pid)).split('\n');
    for (const QByteArray& line : lines) {
        if (!line.startsWith("SigCgt:")) continue;
        bool ok = false;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        return ok && (mask >> (signalNumber - 1)) & 1;
    }
    return false;
}

TEST(ProgramTest, LumetWithoutArgumentsBecomesTheDesktopProgramBesideIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString lumet = folder.filePath(QStringLiteral("lumet"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMET_BINARY), lumet));
    ASSERT_TRUE(QFile::setPermissions(lumet, QFile::ReadOwner | QFile::ExeOwner));

    QProcess run;
    run.start(lumet, {});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.readAllStandardError().contains(
        "cannot start " + QFile::encodeName(folder.filePath("lumet-desktop"))));

    const QString desktop = folder.filePath(QStringLiteral("lumet-desktop"));
    ASSERT_TRUE(writeWholeFile(desktop, "#!/bin/sh\necho \"desktop $#\"\nexit 7\n"));
    ASSERT_TRUE(QFile::setPermissions(desktop, QFile::ReadOwner | QFile::ExeOwner));
    run.start(lumet, {});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 7);
    EXPECT_EQ(run.readAllStandardOutput(), QByteArray("desktop 0\n"));
}

// A kill, Ctrl+C or a closed terminal: the queue is saved as at Exit.
TEST(ProgramTest, TheDesktopProgramSavesTheQueueWhenItIsToldToEnd) {
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("program")));
        const QString history = root.filePath(QStringLiteral("program/History.ini"));
        ASSERT_TRUE(
            writeWholeFile(history,
                           "/d/a.zip\r\n45%\r\n1.00 MB\r\n460.80 KB\r\nDownloading...\r\n"
                           "http://h/a.zip\r\n1/1/99\r\nComplete List\r\nFinish History\r\n"));
        const QDate firstDay = QDate::currentDate();
        QProcess desktop;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VORNELKARVO_ROOT"), root.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        desktop.setProcessEnvironment(environment);
        desktop.start(QStringLiteral(LUMET_DESKTOP_BINARY), {});
        ASSERT_TRUE(desktop.waitForStarted(10000));
        ASSERT_TRUE(waitFor([&] { return catches(desktop.processId(), signalNumber); }, 30000))
            << signalNumber;
        ASSERT_EQ(::kill(static_cast<pid_t>(desktop.processId()), signalNumber), 0);
        ASSERT_TRUE(desktop.waitForFinished(30000))
            << signalNumber << desktop.readAllStandardError().constData();
        EXPECT_EQ(desktop.exitStatus(), QProcess::NormalExit) << signalNumber;
        EXPECT_EQ(desktop.exitCode(), 0) << desktop.readAllStandardError().constData();

        // Saved on the day the program ended, which may be the day after it started.
        const auto saved = [](QDate day) {
            return "/d/a.zip\r\n45%\r\n1.00 MB\r\n460.80 KB\r\nPaused/Stoped\r\n"
                   "http://h/a.zip\r\n" +
                   QLocale::c().toString(day, QLocale::ShortFormat).toUtf8() +
                   "\r\nComplete List\r\nFinish History\r\n";
        };
        EXPECT_THAT(readAll(history), testing::AnyOf(saved(firstDay), saved(QDate::currentDate())))
            << signalNumber;
    }
}

// An address sent with lumet-send to the running program goes through the
// add-address flow: with the server on the ignore list it is queued as blocked.
TEST(ProgramTest, AnAddressSentToTheDesktopProgramReachesTheAddressFlow) {
    TempRoot root;
    ASSERT_TRUE(CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey,
                                           QStringLiteral("MonitorServer"),
                                           QStringLiteral("*.example.org ; *127.0.0.1")));
    QProcess desktop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VORNELKARVO_ROOT"), root.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    desktop.setProcessEnvironment(environment);
    desktop.start(QStringLiteral(LUMET_DESKTOP_BINARY), {});
    ASSERT_TRUE(desktop.waitForStarted(10000));

    const QString address = QStringLiteral("http://127.0.0.1:1/pub/x.zip");
    const auto send = [&] {
        QProcess sender;
        sender.setProcessEnvironment(environment);
        sender.start(QStringLiteral(LUMET_SEND_BINARY), {address});
        return sender.waitForFinished(30000) && sender.exitStatus() == QProcess::NormalExit &&
               sender.exitCode() == 0;
    };
    // The receiver listens once start-up has reached it; until then the sender is refused.
    ASSERT_TRUE(waitFor(send, 30000));
    ASSERT_EQ(::kill(static_cast<pid_t>(desktop.processId()), SIGTERM), 0);
    ASSERT_TRUE(desktop.waitForFinished(30000));

    const QByteArray history = readAll(root.file(QStringLiteral("program/History.ini")));
    EXPECT_TRUE(history.startsWith("You block this server\r\n0 %\r\nN/A\r\nN/A\r\n"
                                   "Not Downloaded\r\nhttp://127.0.0.1:1/pub/x.zip\r\n"))
        << history.constData();
}

}  // namespace
