#include "core/Language.h"

#include "common/AppPaths.h"
#include "common/CRegister.h"
#include "common/PrivateProfile.h"
#include "core/modGlobalVariables.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstring>

namespace {

// What tells one state of the language file from another: a different name, a
// replaced or an edited file reads anew.
struct FileIdentity {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;

    bool operator==(const FileIdentity&) const = default;
};

// Texts already looked up in the file as it was; callers such as the 250 ms
// total-rate tick ask for the same text again and again.
struct TextCache {
    FileIdentity file;
    QHash<QString, QString> texts;  // key + NUL + default -> text
};

TextCache& textCache() {
    static TextCache cache;
    return cache;
}

// 0 when the file can be read or is missing (the defaults apply), with its
// identity filled in; else the error number of what stops the reading.
int languageFileState(const QString& path, FileIdentity& identity) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    identity = {path};
    if (::stat(name.constData(), &info) != 0) return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    identity = {path, info.st_dev, info.st_ino, info.st_size,
                static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
    if (textCache().file == identity) return 0;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

QString languageSettingKey() {
    return QStringLiteral("\\Software\\VB and VBA Program Settings\\") +
           QCoreApplication::applicationName() + QStringLiteral("\\Language");
}

QStringList iniFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Readable,
                                  QDir::Name | QDir::IgnoreCase);
}

}  // namespace

QString LanguageFolder() {
    return AppFilePath(QStringLiteral("Lang-I/"));
}

QStringList LanguageNames() {
    QStringList names = iniFiles(LanguageFolder());
    for (QString& name : names) name.chop(4);
    return names;
}

QString StoredLanguageFile() {
    return CRegister().REGGetSetting(HKEY_CURRENT_USER, languageSettingKey(),
                                     QStringLiteral("Name"));
}

bool StoreLanguageFile(const QString& fileName) {
    return CRegister().REGSaveSetting(HKEY_CURRENT_USER, languageSettingKey(),
                                      QStringLiteral("Name"), fileName);
}

void InstallShippedLanguageFiles() {
    const QString shipped = AppPaths::shippedPath(AppPaths::executableFolder(), QStringLiteral("Lang-I"));
    const QStringList names = iniFiles(shipped);
    if (names.isEmpty() || !QDir().mkpath(LanguageFolder())) return;
    for (const QString& name : names) {
        const QString target = LanguageFolder() + name;
        if (!QFileInfo::exists(target)) QFile::copy(QDir(shipped).filePath(name), target);
    }
}

QString SetCaptionfromINI(const QString& key, const QString& def) {
    // No language chosen: the built-in texts.
    if (LangFile.isEmpty()) return def;
    const QString path = LanguageFolder() + LangFile;
    FileIdentity identity;
    if (const int error = languageFileState(path, identity)) {
        WriteErrorLog(QString::fromLocal8Bit(std::strerror(error)), error,
                      QStringLiteral("SetCaptionfromINI"));
        return QString();
    }
    TextCache& cache = textCache();
    if (!(cache.file == identity)) {
        cache.file = identity;
        cache.texts.clear();
    }
    const QString cacheKey = key + QChar(u'\0') + def;
    if (const auto found = cache.texts.constFind(cacheKey); found != cache.texts.constEnd())
        return *found;
    QString text = PrivateProfile::GetString(QStringLiteral("Zu"), key, def, 500, path);
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t')) --end;
    text.truncate(end);
    cache.texts.insert(cacheKey, text);
    return text;
}

void WriteErrorLog(const QString& description, int number, const QString& method) {
    const QDateTime now = QDateTime::currentDateTime();
    const QString entry =
        QStringLiteral("\r\nDate: ") + now.toString(QStringLiteral("yyyy-MM-dd")) +
        QStringLiteral("\tTime: ") + now.toString(QStringLiteral("HH:mm:ss")) +
        QStringLiteral("\tError Description: ") + description + QStringLiteral(", ") +
        QStringLiteral("Error Number: ") + QString::number(number) + QStringLiteral(", ") +
        QStringLiteral("Method: ") + method + QStringLiteral("\r\n");
    // Appending leaves what is there untouched; a log that cannot be written is
    // not worth a message.
    QFile log(AppFilePath(QStringLiteral("errorlog.txt")));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append)) log.write(entry.toUtf8());
}
