#pragma once

#include "RecordingQueue.h"
#include "core/SettingsLists.h"
#include "intake/frmURL.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

// Default options and block lists, no language file, LastDir in a temporary
// folder, and an address already taken (FirstAddressDone) with "download later".
class IntakeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Settings = SettingsRecord();
        Settings.DownloadPromptOption = false;
        Settings.DownloadLaterOption = true;
        SettingsLists& lists = SettingsLists::instance();
        lists.FileTypes.clear();
        lists.LimitHTTP = lists.LimitFTP = QStringLiteral("3");
        lists.MonitorTypes = SettingsLists::DefaultMonitorTypes;
        lists.MonitorServer = SettingsLists::DefaultMonitorServer;
        LastDir = dir_.filePath(QStringLiteral("last.bin"));
        LangFile = QStringLiteral("English.ini");
        FirstAddressDone = true;
    }

    QString folder() const { return dir_.path(); }
    QString inFolder(const QString& name) const { return dir_.filePath(name); }

    // The texts of the messages shown so far, "title: text".
    static QStringList messages() {
        QStringList shown;
        for (const auto& call : ScriptedDialogs::current().calls()) {
            EXPECT_EQ(call.icon, Dialogs::Icon::Exclamation);
            shown << call.title + QStringLiteral(": ") + call.text;
        }
        return shown;
    }

    QTemporaryDir dir_;
    RecordingQueue queue;
};
