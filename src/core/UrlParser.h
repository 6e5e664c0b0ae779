#pragma once

#include <QString>

// The parts of an address that the transfer engine needs.
struct UrlParts {
    bool IsHTTP = false;
    bool IsFTP = false;
    // An HTTP address spoken over TLS (https://); IsHTTP is true for it as well.
    bool IsHTTPS = false;
    QString Host;
    int Port = 0;
    QString User;
    QString Password;
    QString FullPath;  // HTTP: begins with "/"; FTP: begins with the first folder name
    QString Path;      // FullPath without its first character
};

// The password sent for anonymous FTP logins.
inline const QString AnonymousFtpPassword = QStringLiteral("lumet@vornelkarvo.org");

// The secure HTTP port, taken when an https:// address names none.
inline constexpr int kHttpsPort = 443;

// Cuts address into into's fields. A part that cannot be cut comes out empty; only
// a port text that is not a number (0 to 65535) keeps the previous port. Spaces and
// control characters of path and file name are written as "%XX".
void ParseUrlInto(const QString& address, UrlParts& into);
// The text after the last "/" of the address (spaces kept as they are).
QString GetFileName(const QString& address);
// The host part as written, port included, without scheme and user information.
QString GetServerName(const QString& address);
// The length of the scheme and "://" when the address begins with one that Lumet
// downloads (http://, https://, ftp://, in any letter case); 0 otherwise.
int DownloadSchemeLength(const QString& address);

struct LoginFound {
    QString User;
    QString Password;
};
// The first login row whose server equals host exactly; both empty when none.
LoginFound FindLogin(const QString& host);
