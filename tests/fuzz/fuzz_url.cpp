// The address parser on any text: it never fails, names exactly one kind, gives a
// port a socket can use (or keeps the previous one), and hands the request only
// escaped paths in valid UTF-16. The input is "address NUL user NUL password":
// with that login listed for the address's server, the parser takes it (trimmed)
// and changes nothing else.
#include "core/SettingsLists.h"
#include "core/UrlParser.h"

#include <QByteArray>
#include <QList>
#include <QStringView>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

bool requestSafe(const QString& path) {
    for (const QChar c : path) {
        if (c == u' ' || c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    }
    return QStringView(path).isValidUtf16();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> fields =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0');
    const QString address = QString::fromUtf8(fields[0]);
    const QString user = QString::fromUtf8(fields.value(1, "anna"));
    const QString password = QString::fromUtf8(fields.value(2, " secret "));
    std::vector<LoginRow>& logins = SettingsLists::instance().Logins;
    logins.clear();
    UrlParts parts;
    parts.Port = -1;
    ParseUrlInto(address, parts);

    check(parts.IsHTTP != parts.IsFTP);
    // TLS is a way of speaking HTTP, never of FTP.
    check(!parts.IsHTTPS || parts.IsHTTP);
    check(parts.Port == -1 || (parts.Port >= 0 && parts.Port <= 65535));
    check(requestSafe(parts.FullPath));
    check(requestSafe(parts.Path));
    for (const QString* text : {&parts.Host, &parts.User, &parts.Password})
        check(QStringView(*text).isValidUtf16());

    const QString server = GetServerName(address);
    check(server.contains(parts.Host));
    check(QStringView(GetFileName(address)).isValidUtf16());

    logins = {{parts.Host + QStringLiteral(".other"), QStringLiteral("x"), QStringLiteral("y")},
              {parts.Host, user, password}};
    UrlParts listed;
    listed.Port = -1;
    ParseUrlInto(address, listed);
    const bool taken = !user.isEmpty() || !password.isEmpty();
    check(listed.User == (taken ? user.trimmed() : parts.User));
    check(listed.Password == (taken ? password.trimmed() : parts.Password));
    check(listed.Host == parts.Host && listed.Port == parts.Port && listed.Path == parts.Path &&
          listed.FullPath == parts.FullPath && listed.IsFTP == parts.IsFTP);
    logins.clear();
    return 0;
}
