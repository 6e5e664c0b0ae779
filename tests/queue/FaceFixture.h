#pragma once

#include "core/modGlobalVariables.h"
#include "queue/faces/frmMainFace.h"
#include "queue/frmMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <memory>

// The desktop main window over its logic, offscreen, in a fresh installation.
// The program is not ended at shutdown; the hooks of other parts record what
// reaches them.
class FaceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = SettingsRecord();
        Settings.StopResume = false;
        ExistChoice = 0;
        LangFile.clear();
        QLocale::setDefault(QLocale::c());
        ScriptedDialogs::current().clear();
        create();
    }
    void TearDown() override { destroy(); }

    void create() {
        main = std::make_unique<frmMain>();
        face = std::make_unique<frmMainFace>(*main);
        main->hooks.quit = [this] { ++quits; };
        main->hooks.dropText = [this](const QString& text) { dropped << text; };
        main->hooks.addUrl = [this] { ++addUrls; };
    }
    void destroy() {
        face.reset();
        main.reset();
        // Faces of download windows go with their windows; let queued deletions run.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Saves a picture of the widget when VK_SCREENSHOT_DIR names a folder.
    static void screenshot(QWidget& widget, const QString& name) {
        const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name))) << name.toStdString();
    }

    TempRoot root_;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmMainFace> face;
    int quits = 0;
    int addUrls = 0;
    QStringList dropped;
};
