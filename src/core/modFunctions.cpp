#include "core/modFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMetaObject>
#include <QObject>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// The bytes Qt uses for the name on disk, so both reach the same file.
std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Two digits at least; hours of a day or more keep all theirs.
QString twoDigits(double whole) {
    return QString::number(whole, 'f', 0).rightJustified(2, QLatin1Char('0'));
}

}  // namespace

QString FormatSize(double bytes) {
    // A rate of nothing over no time must not show as "nan".
    if (!std::isfinite(bytes)) bytes = 0;
    QLocale plain;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    if (bytes < 1024)
        return plain.toString(bytes, 'f', QLocale::FloatingPointShortest) +
               QStringLiteral(" Bytes");
    if (bytes <= 1048576) return plain.toString(bytes / 1024, 'f', 2) + QStringLiteral(" KB");
    QLocale grouped;
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return grouped.toString(bytes / 1048576, 'f', 2) + QStringLiteral(" MB");
}

QString FormatSeconds(double seconds) {
    // Nothing sensible to show for a time that is not a number or endless.
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    double hours = 0;
    double minutes = 0;
    if (seconds >= 60) {
        minutes = std::floor(seconds / 60);
        seconds -= minutes * 60;
        hours = std::floor(minutes / 60);
        minutes -= hours * 60;
    }
    return twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(std::floor(seconds));
}

QByteArray HeaderFieldValue(const QByteArray& text, const QByteArray& label) {
    if (text.isEmpty() || label.isEmpty()) return {};
    const qsizetype found = text.toLower().indexOf(label.toLower());
    if (found < 0) return {};
    const qsizetype start = found + label.size() + 1;
    if (start >= text.size()) return {};
    const qsizetype end = text.indexOf("\r\n", start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

SystemTime TimeDiff(SystemTime& later, const SystemTime& earlier) {
    SystemTime diff;
    if (later.wMilliseconds < earlier.wMilliseconds) {
        later.wMilliseconds += 1000;
        later.wSecond -= 1;
    }
    diff.wMilliseconds = later.wMilliseconds - earlier.wMilliseconds;
    if (later.wSecond < earlier.wSecond) {
        later.wSecond += 60;
        later.wMinute -= 1;
    }
    diff.wSecond = later.wSecond - earlier.wSecond;
    if (later.wMinute < earlier.wMinute) {
        later.wMinute += 60;
        later.wHour -= 1;
    }
    diff.wMinute = later.wMinute - earlier.wMinute;
    diff.wHour = later.wHour - earlier.wHour;
    return diff;
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FileIsReadable(const QString& path) {
    std::error_code error;
    static_cast<void>(std::filesystem::file_size(fsPath(path), error));
    return !error;
}

void KillFileQuiet(const QString& path) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(fsPath(path), ignored))
        std::filesystem::remove(fsPath(path), ignored);
}

void CopyFileQuiet(const QString& source, const QString& target) {
    std::error_code ignored;
    std::filesystem::copy_file(fsPath(source), fsPath(target),
                               std::filesystem::copy_options::overwrite_existing, ignored);
}

// Named after the Windows separator it once appended.
QString AddTrailingBackslash(const QString& path) {
    return path.trimmed().endsWith(u'/') ? path : path + u'/';
}

void RefreshControls(QObject* form) {
    if (!form) return;
    if (form->metaObject()->indexOfMethod("RefreshControls()") < 0) return;
    QMetaObject::invokeMethod(form, "RefreshControls", Qt::DirectConnection);
}

bool ContainsControlCharacters(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}
