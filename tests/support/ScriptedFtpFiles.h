#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// The scripted FTP server's file tree, held in memory. Paths are absolute from
// "/"; a folder exists when it was made or when a file lies below it.
class ScriptedFtpFiles {
public:
    // `path` taken from `folder` ("." and ".." folded, never above "/").
    static QString resolve(const QString& folder, const QString& path);
    static QString parentOf(const QString& path);
    static QString nameOf(const QString& path);

    void addFile(const QString& path, const QByteArray& data);
    void addFolder(const QString& path);

    bool isFile(const QString& path) const { return files_.contains(path); }
    bool isFolder(const QString& path) const { return folders_.contains(path); }
    QByteArray content(const QString& path) const { return files_.value(path); }
    const QMap<QString, QByteArray>& files() const { return files_; }
    // Names directly inside `folder`, sorted; folders too.
    QStringList children(const QString& folder) const;

    bool removeFile(const QString& path);
    // Only an empty folder other than "/".
    bool removeFolder(const QString& path);
    // A file or a whole folder; `to` must not exist and its parent must.
    bool rename(const QString& from, const QString& to);

private:
    QMap<QString, QByteArray> files_;
    QSet<QString> folders_{QStringLiteral("/")};
};
