#pragma once

#include "common/AppPaths.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <QFile>

// Each test gets an installation of its own and the program-wide settings state
// as a fresh start leaves it.
class CoreFixture : public ::testing::Test {
protected:
    CoreFixture() {
        Settings = SettingsRecord{};
        LastDir.clear();
        LangFile.clear();
        ExistChoice = -2;
        SettingsLists& lists = SettingsLists::instance();
        lists.FileTypes.clear();
        lists.Logins.clear();
    }

    static QString settingsIni() { return AppFilePath(QStringLiteral("Settings.ini")); }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempRoot root_;
};
