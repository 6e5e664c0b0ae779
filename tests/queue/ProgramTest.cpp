// The programs: lumet without arguments becomes the desktop program, and the
// desktop program saves the queue when it is killed.
#include "common/QStringPrinter.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

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

        const QByteArray date =
            QLocale::c().toString(QDate::currentDate(), QLocale::ShortFormat).toUtf8();
        EXPECT_EQ(readAll(history),
                  "/d/a.zip\r\n45%\r\n1.00 MB\r\n460.80 KB\r\nPaused/Stoped\r\n"
                  "http://h/a.zip\r\n" +
                      date + "\r\nComplete List\r\nFinish History\r\n")
            << signalNumber;
    }
}

}  // namespace
