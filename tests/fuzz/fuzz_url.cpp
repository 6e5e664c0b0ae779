// The address parser on any text: it never fails, names exactly one kind, gives a
// port a socket can use (or keeps the previous one), and hands the request only
// escaped paths in valid UTF-16.
#include "core/UrlParser.h"

#include <QStringView>
#include <cstdint>
#include <cstdlib>

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
    const QString address =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
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
    return 0;
}
