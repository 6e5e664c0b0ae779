#pragma once

#include "common/CRegister.h"
#include "core/UrlParser.h"
#include "core/modGlobalVariables.h"
#include "support/ScriptedDialogs.h"
#include "support/Sha256.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/WaitFor.h"
#include "transfer/ReportList.h"
#include "transfer/frmDownload.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A download window started the way the queue starts one: a row in the
// Downloads list, the address parsed into the window, then StartDownload.
class DownloadFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = SettingsRecord();
        // The stall rule works in minutes; tests drive it by hand.
        Settings.StopResume = false;
        ExistChoice = 0;
        LangFile = QStringLiteral("English.ini");
        ScriptedDialogs::current().clear();
        // "Download Successful." is an OK-only message.
        ScriptedDialogs::current().allowOkMessages();
        ASSERT_TRUE(dir_.isValid());
    }

    QString target(const QString& name = QStringLiteral("file.bin")) const { return dir_.filePath(name); }

    frmDownload& start(const QString& url, const QString& savePath, int existChoice = 0) {
        window_ = std::make_unique<frmDownload>(&lstMain, &lstComplete);
        frmDownload& dl = *window_;
        ExistChoice = existChoice;
        ParseUrlInto(url, dl);
        dl.ListItem = lstMain.Add(1);
        dl.ListItem->setSubItem(1, savePath);
        dl.ListItem->setSubItem(2, QStringLiteral("0%"));
        for (int k = 3; k <= 5; ++k) dl.ListItem->setSubItem(k, QStringLiteral("N/A"));
        dl.ListItem->setSubItem(6, url);
        dl.SavePath = savePath;
        dl.txtSaveTo = savePath;
        dl.txtURL = url;
        dl.URL = url;
        dl.StartDownload();
        return dl;
    }

    frmDownload& window() { return *window_; }

    bool waitForOutcome(int timeoutMs = 20000) {
        return waitFor([this] { return window_->outcome() != frmDownload::Outcome::Running; },
                       timeoutMs);
    }

    // Completed, with exactly the expected bytes on disk.
    void expectFile(const QString& path, const QByteArray& expected) {
        ASSERT_EQ(window_->outcome(), frmDownload::Outcome::Completed) << window_->lblStatus.toStdString();
        EXPECT_EQ(sha256OfFile(path), sha256Hex(expected));
        EXPECT_EQ(QFileInfo(path).size(), expected.size());
    }

    TempRoot root_;
    ReportList lstMain;
    ReportList lstComplete;
    QTemporaryDir dir_;
    std::unique_ptr<frmDownload> window_;
};
