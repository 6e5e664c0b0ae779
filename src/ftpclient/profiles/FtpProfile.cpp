#include "ftpclient/profiles/FtpProfile.h"

#include "common/IniFile.h"
#include "common/PrivateProfile.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace karvo {

namespace {

constexpr char32_t kShift = 10;

QList<char32_t> toCodes(const QString& text) {
    QList<char32_t> codes;
    codes.reserve(text.size());
    for (const char32_t code : text.toUcs4()) codes.append(code);
    return codes;
}

QString storedPassword(const FtpProfile& profile) {
    return profile.pass.isEmpty() ? QString()
                                  : FtpProfile::Scramble(profile.pass).value_or(QString());
}

}  // namespace

std::optional<QString> FtpProfile::Scramble(const QString& text) {
    QList<char32_t> codes = toCodes(text);
    for (char32_t& code : codes) {
        code += kShift;
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        if (surrogate || code > 0x10FFFF) return std::nullopt;
    }
    return QString::fromUcs4(codes.constData(), codes.size());
}

QString FtpProfile::Unscramble(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    QList<char32_t> codes = toCodes(nul < 0 ? text : text.left(nul));
    for (char32_t& code : codes) {
        const char32_t plain = code - kShift;
        if (code >= kShift && !(plain >= 0xD800 && plain <= 0xDFFF)) code = plain;
    }
    return QString::fromUcs4(codes.constData(), codes.size());
}

FtpProfile FtpProfile::Read(const QString& path) {
    const auto value = [&path](const char* key, int buffer) {
        return PrivateProfile::GetString(Section(), QString::fromLatin1(key), QString(), buffer,
                                         path);
    };
    FtpProfile profile;
    profile.sname = value("sname", kValueBuffer);
    profile.adresa = value("adresa", kHostBuffer);
    profile.id = Unscramble(value("id", kValueBuffer));
    profile.Passive = value("Passive", kValueBuffer).trimmed().toInt() != 0;
    profile.pass = Unscramble(value("pass", kValueBuffer));
    profile.port = value("port", kValueBuffer);
    return profile;
}

bool FtpProfile::Write(const QString& path) const {
    const QByteArray encoded = QFile::encodeName(path);
    // Created user-only here; the writes below keep the mode of the file.
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
    const QString userName = Scramble(id).value_or(QString());
    const QList<std::pair<const char*, QString>> keys = {
        {"sname", sname},
        {"adresa", adresa},
        {"id", userName},
        {"Passive", Passive ? QStringLiteral("1") : QStringLiteral("0")},
        {"pass", storedPassword(*this)},
        {"port", port},
    };
    for (const auto& [key, value] : keys) {
        if (!PrivateProfile::WriteString(Section(), QString::fromLatin1(key), value, path))
            return false;
    }
    return true;
}

bool FtpProfile::IsFileName(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'.') || name.contains(u'/')) return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    return true;
}

FtpProfile::Problem FtpProfile::Check() const {
    // Written into a file in memory and read back as Read() would.
    IniFile file;
    const auto readsBack = [&file](const char* key, const QString& stored, int buffer) {
        const QString name = QString::fromLatin1(key);
        if (stored.size() >= buffer || !file.setValue(Section(), name, stored)) return false;
        return IniFile::parse(file.content()).value(Section(), name).value_or(QString()) == stored;
    };
    if (!IsFileName(sname) || sname != sname.trimmed() || !readsBack("sname", sname, kValueBuffer))
        return Problem::Name;
    if (!readsBack("adresa", adresa, kHostBuffer)) return Problem::Host;
    const std::optional<QString> userName = Scramble(id);
    if (!userName || !readsBack("id", *userName, kValueBuffer)) return Problem::UserName;
    const std::optional<QString> password = Scramble(pass);
    if (!password || !readsBack("pass", *password, kValueBuffer)) return Problem::Password;
    if (!readsBack("port", port, kValueBuffer)) return Problem::Port;
    return Problem::None;
}

}  // namespace karvo
