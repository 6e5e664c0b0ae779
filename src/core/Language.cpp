#include "core/Language.h"

#include "common/AppPaths.h"
#include "common/PrivateProfile.h"
#include "core/modGlobalVariables.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

// 0 when the file is missing (the defaults apply) or can be read; else the error
// number of what stops the reading.
int languageFileError(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

}  // namespace

QString LanguageFolder() {
    return AppFilePath(QStringLiteral("Lang-I/"));
}

QString SetCaptionfromINI(const QString& key, const QString& def) {
    // No language chosen: the built-in texts.
    if (LangFile.isEmpty()) return def;
    const QString path = LanguageFolder() + LangFile;
    if (const int error = languageFileError(path)) {
        WriteErrorLog(QString::fromLocal8Bit(std::strerror(error)), error,
                      QStringLiteral("SetCaptionfromINI"));
        return QString();
    }
    QString text = PrivateProfile::GetString(QStringLiteral("Zu"), key, def, 500, path);
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t')) --end;
    text.truncate(end);
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
