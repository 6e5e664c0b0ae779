#include "common/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

QString fromEnvironment(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

// Creates the folder (and its parents) when missing, the last one with the given mode.
bool makeFolder(const QString& folder, mode_t mode) {
    if (QFileInfo(folder).isDir()) return true;
    QDir().mkpath(QFileInfo(folder).absolutePath());
    return ::mkdir(QFile::encodeName(folder).constData(), mode) == 0 || errno == EEXIST;
}

// The socket and the locks in there decide who talks to whom: the folder must be a
// real folder of ours that nobody else can enter. Loose permissions on our own folder
// are tightened; a folder (or link) someone else planted is refused.
bool makePrivateFolder(const QString& folder) {
    if (!makeFolder(folder, 0700)) return false;
    const QByteArray name = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::chmod(name.constData(), 0700) == 0;
}

}  // namespace

QString AppPaths::rootOverride() {
    const QString root = qEnvironmentVariable("VORNELKARVO_ROOT");
    return root.isEmpty() ? root : QDir::cleanPath(QFileInfo(root).absoluteFilePath());
}

QString AppPaths::programFolder() {
    const QString root = rootOverride();
    QString folder;
    if (!root.isEmpty()) {
        folder = QDir(root).filePath(QStringLiteral("program"));
    } else {
        QString data = fromEnvironment("XDG_DATA_HOME");
        if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
        folder = data + QStringLiteral("/VornelKarvo");
    }
    // Settings.ini and the site profiles keep logins: created for the user alone.
    makeFolder(folder, 0700);
    return folder;
}

QString AppPaths::runtimeFolder() {
    QStringList candidates;
    const QString root = rootOverride();
    if (!root.isEmpty()) {
        candidates << QDir(root).filePath(QStringLiteral("run"));
    } else {
        const QString runtime = fromEnvironment("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty()) candidates << runtime + QStringLiteral("/VornelKarvo");
        candidates << QStringLiteral("/tmp/VornelKarvo-%1").arg(::geteuid());
    }
    // When someone else took the usual place, the home folder is still ours alone; every
    // program of the user makes the same choice, so they still find each other.
    candidates << QDir::homePath() + QStringLiteral("/.cache/VornelKarvo-run");
    for (const QString& folder : candidates) {
        if (makePrivateFolder(folder)) return folder;
    }
    return QString();
}

QString AppPaths::executableFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

QString AppPaths::sharedDataFolder() {
    return QDir::cleanPath(executableFolder() + QStringLiteral("/../share/vornelkarvo"));
}

QString AppPaths::shippedPath(const QString& besideProgram, const QString& name) {
    const QString beside = QDir(besideProgram).filePath(name);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = QDir(sharedDataFolder()).filePath(name);
    return QFileInfo::exists(installed) ? installed : beside;
}

QString AppFilePath(const QString& name) {
    const QString folder = AppPaths::programFolder();
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString AppPaths::downloadFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}
