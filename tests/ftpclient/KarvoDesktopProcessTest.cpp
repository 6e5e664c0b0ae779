// karvo without arguments is the desktop program: it keeps running, holds the
// program's instance lock, and cleans its log folder at start.
#include "common/SingleInstance.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

TEST(KarvoDesktopProcessTest, WithoutArgumentsTheDesktopProgramRunsOnce) {
    TempRoot root;
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("program/log"))));
    ASSERT_TRUE(writeWholeFile(root.file(QStringLiteral("program/log/FTP.log")), "old"));
    QProcess karvo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    karvo.setProcessEnvironment(environment);
    karvo.start(QStringLiteral(KARVO_BINARY), {});
    ASSERT_TRUE(karvo.waitForStarted(10000));
    // Started up: the old log is cleaned away and the lock is held.
    EXPECT_TRUE(waitFor(
        [&] { return !QFile::exists(root.file(QStringLiteral("program/log/FTP.log"))); }, 30000));
    EXPECT_TRUE(waitFor([] { return !SingleInstance(QStringLiteral("karvo")).isFirst(); }, 30000));
    EXPECT_EQ(karvo.state(), QProcess::Running) << karvo.readAllStandardError().toStdString();
    karvo.terminate();
    ASSERT_TRUE(karvo.waitForFinished(10000));
    EXPECT_TRUE(SingleInstance(QStringLiteral("karvo")).isFirst());
}

}  // namespace
