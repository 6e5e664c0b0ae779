#pragma once

#include <QString>
#include <QList>
#include <QStringList>
#include <cstdint>
#include <utility>

// Root keys of the hive, numbered as the desktop registry numbers them.
constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t HKEY_USERS = static_cast<std::int32_t>(0x80000003u);

// Access to the settings hive: string values under key paths below a root key.
// Every call opens the hive file, does its work and releases it; a write takes
// the hive lock and replaces the file atomically (see Hive).
class CRegister {
public:
    // The value's text, or def when the key, the value or the file is missing, or the
    // value is empty (the original never read a value of size 0).
    // Value name "*" (or "") is the key's default (unnamed) value.
    QString REGGetSetting(std::int32_t root, const QString& keyPath, const QString& valueName,
                          const QString& def = QString()) const;
    // Creates the key when needed and writes the value. True when it was written (or
    // already held that text); false for an unknown root, a key path with a line
    // break, or a hive file that cannot be read or replaced.
    bool REGSaveSetting(std::int32_t root, const QString& keyPath, const QString& valueName,
                        const QString& value) const;
    // Writes several values of one key in one go: all of them or, when the hive cannot
    // be written, none. One rewrite of the file instead of one per value.
    bool REGSaveSettings(std::int32_t root, const QString& keyPath,
                         const QList<std::pair<QString, QString>>& values) const;
    // With a value name: deletes that value. Without one: deletes the key itself
    // with everything below it. True when something was deleted.
    bool REGDeleteSetting(std::int32_t root, const QString& keyPath,
                          const QString& valueName = QString()) const;
    // Names of the direct subkeys of the key, in the hive's order.
    QStringList GetAllKeys(std::int32_t root, const QString& keyPath) const;

    // Values that REGGetSetting answers for this process only, in place of the hive,
    // without writing anything (the headless "--set NAME=VALUE" option). An empty
    // override reads as the default, like an empty stored value.
    static void SetSessionOverride(std::int32_t root, const QString& keyPath,
                                   const QString& valueName, const QString& value);
    static void ClearSessionOverrides();

    // Removes one leading and one trailing backslash.
    static QString NormalizeKeyPath(const QString& keyPath);
    // "HKEY_LOCAL_MACHINE" for the root id; empty for an unknown id.
    static QString RootName(std::int32_t root);
};
