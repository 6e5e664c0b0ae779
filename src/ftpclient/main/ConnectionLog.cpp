#include "ftpclient/main/ConnectionLog.h"

#include "common/Dialogs.h"
#include "common/WriteAll.h"
#include "core/TextConversion.h"
#include "ftpclient/main/KarvoSettings.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <limits>

namespace karvo {

namespace {

bool isControl(char32_t c) {
    return (c < 0x20 && c != u'\t') || c == 0x7f;
}

QString withoutControls(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text)
        if (!isControl(c.unicode())) clean += c;
    return clean;
}

bool isNotFound(int error) {
    return error == ENOENT || error == ENOTDIR;
}

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

ConnectionLog::Settings ConnectionLog::Settings::FromHive() {
    Settings settings;
    settings.fileName = KarvoSettings::Read(QStringLiteral("LOG FILE NAME"), settings.fileName);
    settings.deleteOnStartup =
        KarvoSettings::ReadBoolean(QStringLiteral("DELETE LOG ON STARTUP"), true);
    settings.deleteIfSizeExceeds =
        KarvoSettings::ReadBoolean(QStringLiteral("DELETE LOG IF SIZE EXCEEDS"), false);
    settings.sizeLimit = KarvoSettings::Read(QStringLiteral("LOG FILE SIZE"), settings.sizeLimit);
    return settings;
}

ConnectionLog::ConnectionLog(const QString& programFolder, Settings settings)
    : programFolder_(programFolder),
      folder_(programFolder + QStringLiteral("/log")),
      settings_(std::move(settings)) {}

QString ConnectionLog::FileName(const QString& setting) {
    QString name = setting.trimmed();
    name = name.mid(qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    name = withoutControls(name);
    // Names of dots only would be the folder itself or a hidden file.
    if (name.isEmpty() || name.count(u'.') == name.size()) name = QStringLiteral("FTP");
    return name + QStringLiteral(".log");
}

QByteArray ConnectionLog::Record(const QDateTime& when, const QString& message) {
    QString text = withoutControls(message);
    text.replace(u'"', QStringLiteral("\"\""));
    return '#' + when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8() + "#,\"" +
           text.toUtf8() + "\"\n";
}

std::optional<qint64> ConnectionLog::SizeLimitBytes(const QString& text) {
    // The options dialog shows the number with group separators; whatever
    // separator the locale used, only the digits count.
    QString digits;
    for (QChar c : text.trimmed()) {
        if (c.isDigit()) {
            digits += c;
        } else if (!(c == u',' || c == u'.' || c == u'\'' || c.isSpace()) || digits.isEmpty()) {
            break;
        }
    }
    const std::optional<qint64> kilobytes = TextToWholeNumber<qint64>(digits);
    if (!kilobytes || *kilobytes > std::numeric_limits<qint64>::max() / 1024) return std::nullopt;
    return *kilobytes * 1024;
}

void ConnectionLog::Write(const QString& message) {
    const QByteArray folder = QFile::encodeName(folder_);
    int error = 0;
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) error = errno;
    if (error == 0) {
        const QByteArray path = QFile::encodeName(FilePath());
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = errno;
        } else {
            if (!WriteAll(fd, Record(QDateTime::currentDateTime(), message))) error = errno;
            if (::close(fd) != 0 && error == 0) error = errno;
        }
    }
    if (error == 0 || errorShown_) return;
    errorShown_ = true;
    Dialogs::show(errorText(error), Dialogs::Icon::Critical);
}

void ConnectionLog::CleanUpAtStart() {
    const QByteArray folder = QFile::encodeName(folder_);
    struct stat info {};
    if (::lstat(folder.constData(), &info) != 0) {
        if (!isNotFound(errno)) showCleanUpError(errno);
        return;
    }
    // A log folder that is a link leads somewhere else: nothing there is ours.
    if (!S_ISDIR(info.st_mode)) return;

    if (settings_.deleteOnStartup) {
        DIR* dir = ::opendir(folder.constData());
        if (!dir) {
            if (!isNotFound(errno)) showCleanUpError(errno);
            return;
        }
        QList<QByteArray> logs;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name.size() > 4 && name.right(4).toLower() == ".log") logs << name;
        }
        ::closedir(dir);
        for (const QByteArray& name : logs) removeEntry(folder + '/' + name);
        removeFolderWhenEmpty();
        return;
    }
    if (!settings_.deleteIfSizeExceeds) return;
    const std::optional<qint64> limit = SizeLimitBytes(settings_.sizeLimit);
    const QByteArray file = QFile::encodeName(FilePath());
    if (!limit || ::lstat(file.constData(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    if (info.st_size <= *limit) return;
    if (removeEntry(file)) removeFolderWhenEmpty();
}

bool ConnectionLog::removeEntry(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        if (!isNotFound(errno)) showCleanUpError(errno);
        return false;
    }
    // Only files and links to them: a folder named "x.log" is not a log.
    if (S_ISDIR(info.st_mode)) return false;
    if (::unlink(path.constData()) != 0) {
        if (!isNotFound(errno)) showCleanUpError(errno);
        return false;
    }
    return true;
}

void ConnectionLog::removeFolderWhenEmpty() {
    const QByteArray folder = QFile::encodeName(folder_);
    if (::rmdir(folder.constData()) == 0) return;
    const int error = errno;
    // Files other than logs stay, and so does the folder that holds them.
    if (error == ENOTEMPTY || error == EEXIST || isNotFound(error)) return;
    showCleanUpError(error);
}

void ConnectionLog::showCleanUpError(int error) {
    if (cleanUpErrorShown_) return;
    cleanUpErrorShown_ = true;
    Dialogs::show(errorText(error) + QStringLiteral(" Err No.") + QString::number(error),
                  Dialogs::Icon::Critical, programFolder_);
}

}  // namespace karvo
