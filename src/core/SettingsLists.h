#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// A file-type rule of the save-location rules: extension text as entered, folder.
struct FileTypeRule {
    QString Extension;
    QString Folder;
};

// A per-server login: server name, user name, password (plain in memory).
struct LoginRow {
    QString Server;
    QString User;
    QString Password;
};

// The settings dialog's data that other parts read before the dialog's window
// exists: the file-type rules and logins of Settings.ini, and the limit and
// monitor-list values that only the dialog reads from the registry.
// One program-wide object, created at start-up; the dialog's face edits it.
class SettingsLists {
public:
    static SettingsLists& instance();

    std::vector<FileTypeRule> FileTypes;
    std::vector<LoginRow> Logins;

    QString LimitHTTP = QStringLiteral("3");
    QString LimitFTP = QStringLiteral("3");
    QString MonitorTypes;   // the missing-value default until read
    QString MonitorServer;  // DefaultMonitorServer until read
    QString SaveLastDir;

    // Reads "LimitHTTP", "LimitFTP", "MonitorTypes", "MonitorServer", "SaveLastDir"
    // from the registry with their defaults.
    void LoadRegistryValues();

    // Reads Settings.ini: empties both lists, takes line 1 into LastDir, then
    // rules in pairs until "Logins:", then logins in triples. Missing file: empty
    // lists, LastDir unchanged.
    void LoadfromINI();
    // Writes Settings.ini whole (CR LF lines), replacing the old file atomically.
    bool SaveToINI() const;

    // The rows of both lists for display: "FileType=<extension>|<folder>" and
    // "Login=<server>|<user>|<password>", the password shown as "***" when set.
    QStringList RowLines() const;

    // The text of the reset button and the text shown when the registry has none.
    static const QString DefaultMonitorTypes;
    static const QString MissingMonitorTypes;
    static const QString DefaultMonitorServer;
};

// Every character shifted up (Scramble) or down (Unscramble) by 10. The shift runs
// over the Unicode scalar values: it steps over the surrogate range and wraps at the
// top, so any text comes back exactly and the result is always valid UTF-16.
QString ScrambleText(const QString& text);
QString UnscrambleText(const QString& text);
