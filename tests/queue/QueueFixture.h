#pragma once

#include "core/modGlobalVariables.h"
#include "queue/DownloadQueue.h"
#include "queue/ScheduleGlobals.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"
#include "support/WaitFor.h"
#include "transfer/frmDownload.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>

// A queue in a fresh installation, with a server that never answers, so that every
// window started stays busy connecting until the test ends.
class QueueFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = SettingsRecord();
        // The stall rule works in minutes; tests never wait for it.
        Settings.StopResume = false;
        ExistChoice = 0;
        ScheduledRun = false;
        ScheduleExistChoice = 1;
        LangFile = QStringLiteral("English.ini");
        QLocale::setDefault(QLocale::c());
        ScriptedDialogs::current().clear();
        ASSERT_TRUE(dir_.isValid());
        silent_.setHandler([](const ScriptedHttpServer::Request&) {
            return ScriptedHttpServer::Reply::silence();
        });
    }
    void TearDown() override { ScheduledRun = false; }

    QString target(const QString& name) const { return dir_.filePath(name); }
    QString silentUrl(const QString& name) const { return silent_.url(name); }

    // n rows added for later download, named f1.bin ... fn.bin.
    void addLaterRows(int n) {
        for (int i = 1; i <= n; ++i) {
            const QString name = QStringLiteral("f%1.bin").arg(i);
            queue.AddLaterDownload(silentUrl(name), target(name));
        }
    }

    int windowCount() const {
        int count = 0;
        for (const auto& window : queue.DownloadSlots) count += window ? 1 : 0;
        return count;
    }

    const std::vector<ScriptedDialogs::Call>& dialogCalls() const {
        return ScriptedDialogs::current().calls();
    }

    TempRoot root_;
    QTemporaryDir dir_;
    ScriptedHttpServer silent_;
    DownloadQueue queue;
};
