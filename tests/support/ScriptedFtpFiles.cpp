#include "support/ScriptedFtpFiles.h"

namespace {

bool isBelow(const QString& path, const QString& folder) {
    return folder == QLatin1String("/") ? path != folder
                                        : path.startsWith(folder + QLatin1Char('/'));
}

QString moved(const QString& path, const QString& from, const QString& to) {
    return to + path.mid(from.size());
}

}  // namespace

QString ScriptedFtpFiles::resolve(const QString& folder, const QString& path) {
    const QString joined =
        path.startsWith(QLatin1Char('/')) ? path : folder + QLatin1Char('/') + path;
    QStringList parts;
    for (const QString& part : joined.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

QString ScriptedFtpFiles::parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString ScriptedFtpFiles::nameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void ScriptedFtpFiles::addFile(const QString& path, const QByteArray& data) {
    const QString absolute = resolve(QStringLiteral("/"), path);
    addFolder(parentOf(absolute));
    files_.insert(absolute, data);
}

void ScriptedFtpFiles::addFolder(const QString& path) {
    for (QString folder = resolve(QStringLiteral("/"), path); !folders_.contains(folder);
         folder = parentOf(folder)) {
        folders_.insert(folder);
    }
}

QStringList ScriptedFtpFiles::children(const QString& folder) const {
    QStringList names;
    for (const QString& file : files_.keys()) {
        if (parentOf(file) == folder) names.append(nameOf(file));
    }
    for (const QString& sub : folders_) {
        if (sub != folder && parentOf(sub) == folder) names.append(nameOf(sub));
    }
    names.sort();
    return names;
}

bool ScriptedFtpFiles::removeFile(const QString& path) {
    return files_.remove(path) > 0;
}

bool ScriptedFtpFiles::removeFolder(const QString& path) {
    if (path == QLatin1String("/") || !isFolder(path) || !children(path).isEmpty()) return false;
    folders_.remove(path);
    return true;
}

bool ScriptedFtpFiles::rename(const QString& from, const QString& to) {
    if (isFile(to) || isFolder(to) || !isFolder(parentOf(to))) return false;
    if (isFile(from)) {
        files_.insert(to, files_.take(from));
        return true;
    }
    if (!isFolder(from) || from == QLatin1String("/") || isBelow(to, from)) return false;
    QMap<QString, QByteArray> files;
    for (auto it = files_.cbegin(); it != files_.cend(); ++it) {
        files.insert(isBelow(it.key(), from) ? moved(it.key(), from, to) : it.key(), it.value());
    }
    QSet<QString> folders;
    for (const QString& folder : folders_) {
        folders.insert(folder == from || isBelow(folder, from) ? moved(folder, from, to) : folder);
    }
    files_ = files;
    folders_ = folders;
    return true;
}
