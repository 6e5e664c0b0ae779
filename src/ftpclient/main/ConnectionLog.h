#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace karvo {

// The connection log file: one record per line of the connection log, in the
// folder "log" of the program folder, and its clean-up at start.
//
// The file name comes from the setting "LOG FILE NAME" ("FTP.LOG" by default):
// only its name part counts and its extension is replaced by ".log", so a value
// such as "../../x" never puts the file outside the log folder. The folder is
// made user-only (0700) and the file user-only (0600): it holds every command
// sent to the servers.
class ConnectionLog {
public:
    // The values read at start; later changes take effect at the next start.
    struct Settings {
        QString fileName = QStringLiteral("FTP.LOG");
        bool deleteOnStartup = true;
        bool deleteIfSizeExceeds = false;
        // In kilobytes; group separators ("1,000") are allowed.
        QString sizeLimit = QStringLiteral("1000");

        // "LOG FILE NAME", "DELETE LOG ON STARTUP", "DELETE LOG IF SIZE EXCEEDS",
        // "LOG FILE SIZE".
        static Settings FromHive();
    };

    ConnectionLog(const QString& programFolder, Settings settings);

    QString Folder() const { return folder_; }
    QString FilePath() const { return folder_ + QLatin1Char('/') + FileName(settings_.fileName); }

    // "FTP.LOG" → "FTP.log", "../x.txt" → "x.log", "" or ".." → "FTP.log".
    static QString FileName(const QString& setting);
    // `#2024-03-05 14:07:09#,"text"` and a line end: the text in double quotes
    // with every quote doubled and control characters (TAB excepted) removed,
    // so a record is always one line.
    static QByteArray Record(const QDateTime& when, const QString& message);
    // The size limit in bytes; nothing when the text holds no number.
    static std::optional<qint64> SizeLimitBytes(const QString& text);

    // Appends one record. A failure is shown to the user once in the life of
    // the object (a full disk would otherwise bring one box per line).
    void Write(const QString& message);
    bool WriteFailed() const { return errorShown_; }

    // At start: with "delete on startup" every "*.log" file of the log folder
    // is deleted, and the folder when it is then empty; otherwise, with "delete
    // if size exceeds", the log file alone when it is longer than the limit.
    // Nothing is followed through a symbolic link. A missing file or folder is
    // no error; any other error is shown with its number, titled with the
    // program folder.
    void CleanUpAtStart();

private:
    bool removeEntry(const QByteArray& path);
    void removeFolderWhenEmpty();
    void showCleanUpError(int error);

    QString programFolder_;
    QString folder_;
    Settings settings_;
    bool errorShown_ = false;
    bool cleanUpErrorShown_ = false;
};

}  // namespace karvo
