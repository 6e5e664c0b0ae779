#include "core/SettingsLists.h"

#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "common/CRegister.h"
#include "core/modGlobalVariables.h"

#include <QFile>

const QString SettingsLists::DefaultMonitorTypes = QStringLiteral(
    ".ZIP; .EXE; .BIN; .GZ; .Z; .TAR; .ARJ; .LZH; .SIT; .HQX; .FML; .TGZ; .GRS; .MP3; .RAR; "
    ".R0?; .R1?; .ACE; .C0?; .C1?; .W0?;");
const QString SettingsLists::MissingMonitorTypes = QStringLiteral(
    ".ZIP; .EXE; .BIN; .GZ; .Z; .TAR; .ARJ; .LZH; .SIT; .HQX; .FML; .TGZ; .GRS; .MP3; .RAR; "
    ".R0?;.R1?; .ACE; .C0?; .C1?; .W0?;");
// Package updates of the operating system and the office suite, and a software
// shop's delivery servers: fetched by their own programs, never worth capturing.
const QString SettingsLists::DefaultMonitorServer = QStringLiteral(
    "deb.debian.org ; security.debian.org ; *.archive.ubuntu.com ; update.libreoffice.org ; "
    "*.digitalriver.com");

namespace {

const QString kLoginsMarker = QStringLiteral("Logins:");

QString settingsFile() {
    return AppFilePath(QStringLiteral("Settings.ini"));
}

// Lines end in CR LF as written; a hand-edited file may use LF or CR alone.
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n') ++i;
        start = i + 1;
    }
    if (start < size) lines << text.mid(start);
    return lines;
}

bool hasParentFolder(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash > 0 || (slash == 0 && path.size() > 1);
}

// The Unicode scalar values without the surrogate range, numbered without a gap.
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateCount = 0x800;
constexpr char32_t kScalarCount = 0x110000 - kSurrogateCount;

char32_t scalarIndex(char32_t scalar) {
    return scalar < kSurrogateFirst ? scalar : scalar - kSurrogateCount;
}

char32_t scalarAt(char32_t index) {
    return index < kSurrogateFirst ? index : index + kSurrogateCount;
}

QString shiftScalars(const QString& text, char32_t by) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        char32_t scalar = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(c, text.at(++i));
        } else if (c.isSurrogate()) {
            // Half a pair cannot be written to a file; it is stored as the
            // replacement character that decoding the file would give anyway.
            scalar = QChar::ReplacementCharacter;
        }
        const char32_t shifted = scalarAt((scalarIndex(scalar) + by) % kScalarCount);
        if (QChar::requiresSurrogates(shifted)) {
            result += QChar(QChar::highSurrogate(shifted));
            result += QChar(QChar::lowSurrogate(shifted));
        } else {
            result += QChar(static_cast<char16_t>(shifted));
        }
    }
    return result;
}

}  // namespace

SettingsLists& SettingsLists::instance() {
    static SettingsLists lists = [] {
        SettingsLists created;
        created.MonitorTypes = MissingMonitorTypes;
        created.MonitorServer = DefaultMonitorServer;
        return created;
    }();
    return lists;
}

void SettingsLists::LoadRegistryValues() {
    const CRegister reg;
    const auto read = [&reg](const char* name, const QString& def) {
        return reg.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name), def);
    };
    LimitHTTP = read("LimitHTTP", QStringLiteral("3"));
    LimitFTP = read("LimitFTP", QStringLiteral("3"));
    MonitorTypes = read("MonitorTypes", MissingMonitorTypes);
    MonitorServer = read("MonitorServer", DefaultMonitorServer);
    SaveLastDir = read("SaveLastDir", QString());
}

void SettingsLists::LoadfromINI() {
    FileTypes.clear();
    Logins.clear();
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly)) return;
    // Undecodable bytes become replacement characters; nothing in a damaged file
    // stops the reading.
    const QStringList lines = splitLines(QString::fromUtf8(file.readAll()));
    if (lines.isEmpty()) return;
    LastDir = lines.first();

    qsizetype i = 1;
    while (i < lines.size() && lines.at(i) != kLoginsMarker) {
        // A rule cut off before its folder line is no rule.
        if (i + 1 < lines.size()) FileTypes.push_back({lines.at(i), lines.at(i + 1)});
        i += 2;
    }
    // The marker itself; then logins in threes, a cut-off last one with what it has
    // (an empty password is written as an empty line, which may be all that is missing).
    for (++i; i < lines.size(); i += 3) {
        LoginRow row;
        row.Server = lines.at(i);
        if (i + 1 < lines.size()) row.User = lines.at(i + 1);
        if (i + 2 < lines.size()) row.Password = UnscrambleText(lines.at(i + 2));
        Logins.push_back(row);
    }
}

bool SettingsLists::SaveToINI() const {
    QByteArray content;
    const auto line = [&content](const QString& text) {
        content += text.toUtf8();
        content += "\r\n";
    };
    // Without a file chosen yet, a stand-in whose folder is the download folder.
    line(hasParentFolder(LastDir) ? LastDir : AppPaths::downloadFolder() + u'/');
    for (const FileTypeRule& rule : FileTypes) {
        line(rule.Extension);
        line(rule.Folder);
    }
    line(kLoginsMarker);
    for (const LoginRow& login : Logins) {
        line(login.Server);
        line(login.User);
        line(ScrambleText(login.Password));
    }
    return WriteFileAtomically(settingsFile(), content);
}

QStringList SettingsLists::RowLines() const {
    QStringList lines;
    for (const FileTypeRule& rule : FileTypes)
        lines << QStringLiteral("FileType=%1|%2").arg(rule.Extension, rule.Folder);
    for (const LoginRow& login : Logins) {
        const QString shown = login.Password.isEmpty() ? QString() : QStringLiteral("***");
        lines << QStringLiteral("Login=%1|%2|%3").arg(login.Server, login.User, shown);
    }
    return lines;
}

QString ScrambleText(const QString& text) {
    return shiftScalars(text, 10);
}

QString UnscrambleText(const QString& text) {
    return shiftScalars(text, kScalarCount - 10);
}
