#include "common/Autostart.h"

#include "common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The escapes every string value of a desktop entry goes through.
QString escapeString(const QString& text) {
    QString escaped = text;
    escaped.replace(u'\\', QLatin1String("\\\\"));
    return escaped;
}

// Exec's own rules come first: the path in double quotes with '"', '`', '$' and
// '\' escaped, and '%' doubled so it is not read as a field code.
QString quoteForExec(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
        if (c == u'%') quoted += u'%';
    }
    return u'"' + quoted + u'"';
}

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

}  // namespace

QString Autostart::Folder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config)) config = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(config) + QStringLiteral("/autostart");
}

QString Autostart::EntryPath(const QString& description) {
    QString id;
    bool dash = false;
    for (const QChar c : description.toLower()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
            if (dash && !id.isEmpty()) id += u'-';
            id += c;
            dash = false;
        } else {
            dash = true;
        }
    }
    return id.isEmpty() ? QString() : Folder() + u'/' + id + QStringLiteral(".desktop");
}

bool Autostart::IsPresent(const QString& description) {
    const QString path = EntryPath(description);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QByteArray Autostart::EntryText(const QString& description, const QString& executablePath) {
    const QString text =
        QStringLiteral(
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=%1\n"
            "Exec=%2\n"
            "TryExec=%3\n"
            "X-GNOME-Autostart-enabled=true\n"
            "X-VornelKarvo-Entry=%1\n")
            .arg(escapeString(description), escapeString(quoteForExec(executablePath)),
                 escapeString(executablePath));
    return text.toUtf8();
}

bool Autostart::Add(const QString& description, const QString& executablePath) {
    const QString path = EntryPath(description);
    if (path.isEmpty() || hasControlCharacter(description) || hasControlCharacter(executablePath))
        return false;
    if (!QDir().mkpath(Folder())) return false;
    return WriteFileAtomically(path, EntryText(description, executablePath));
}

bool Autostart::Remove(const QString& description) {
    const QString path = EntryPath(description);
    if (path.isEmpty()) return true;
    QFile::remove(path);
    return !QFileInfo::exists(path);
}
