#pragma once

#include "common/CRegister.h"
#include "common/EnvironmentGuard.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"
#include "settings/frmSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

// A settings dialog over an installation of its own, with a home and configuration
// folder of its own for what its two switches write, and the program's settings as
// a fresh start loads them.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() {
        environment.set("HOME", QFile::encodeName(folders.filePath(QStringLiteral("home"))));
        environment.set("XDG_CONFIG_HOME",
                        QFile::encodeName(folders.filePath(QStringLiteral("config"))));
        LastDir.clear();
        LangFile.clear();
        LoadSettings();
    }

    static QString hive(const QString& name) {
        return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, name);
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    }
    ScriptedDialogs& dialogs() { return ScriptedDialogs::current(); }
    // The texts of the messages shown so far.
    QStringList messages() const {
        QStringList texts;
        for (const ScriptedDialogs::Call& call : ScriptedDialogs::current().calls())
            texts << call.text;
        return texts;
    }

    TempRoot root;
    QTemporaryDir folders;
    EnvironmentGuard environment;
    frmSettings form;
};
