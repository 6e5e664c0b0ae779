#include "core/UrlParser.h"

#include "core/SettingsLists.h"

#include <optional>

namespace {

// What steps 1 to 5 of the cutting leave: the parts before file and path are split.
struct CutAddress {
    bool isHttp = false;
    bool isHttps = false;
    QString hostPart;  // host as written, port included
    QString host;
    std::optional<QString> portText;  // the text after ":" in the host part
    int defaultPort = 0;
    QString user;
    QString password;
    QString rest;  // what follows the host part
};

// A port is a whole number from 0 to 65535; anything else is not one.
std::optional<int> portNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    for (const QChar c : trimmed)
        if (c < u'0' || c > u'9') return std::nullopt;
    bool ok = false;
    const int port = trimmed.toInt(&ok);
    if (!ok || port > 65535) return std::nullopt;
    return port;
}

// Text before the first "/" (all of it without one).
QString beforeFirstSlash(const QString& text) {
    const qsizetype slash = text.indexOf(u'/');
    return slash < 0 ? text : text.left(slash);
}

void splitHostPart(CutAddress& cut) {
    const qsizetype colon = cut.hostPart.indexOf(u':');
    if (colon < 0) {
        cut.host = cut.hostPart;
        return;
    }
    cut.host = cut.hostPart.left(colon);
    cut.portText = cut.hostPart.mid(colon + 1);
}

CutAddress cutAddress(const QString& address) {
    CutAddress cut;
    QString work = address;

    // An address embedded in a browser error page or a local path. The cut keeps
    // five characters before the scheme, which the scheme removal below drops.
    const QString lower = address.toLower();
    if (lower.startsWith(QLatin1String("res://")) || address.mid(1, 2) == QLatin1String(":\\")) {
        const auto cutAt = [&work](QLatin1String scheme) {
            const qsizetype found = work.toLower().indexOf(scheme);
            if (found >= 0) work = work.mid(qMax<qsizetype>(0, found - 5));
            return found >= 0;
        };
        // A secure address is looked for only where no plain one is embedded.
        if (!cutAt(QLatin1String("http://"))) cutAt(QLatin1String("https://"));
        cutAt(QLatin1String("ftp://"));
    }

    const qsizetype schemeEnd = work.indexOf(QLatin1String("://"));
    const QString scheme = schemeEnd >= 0 ? work.left(schemeEnd).toLower() : QString();
    if (schemeEnd >= 0) work = work.mid(schemeEnd + 3);

    // Secure HTTP is HTTP over TLS. Every other scheme takes the FTP path. The
    // scheme may carry what the cut of an embedded address left before it.
    cut.isHttps = scheme.endsWith(QLatin1String("https"));
    cut.isHttp = cut.isHttps || lower.contains(QLatin1String("http://"));
    if (cut.isHttp) {
        cut.defaultPort = cut.isHttps ? kHttpsPort : 80;
        cut.hostPart = beforeFirstSlash(work);
        splitHostPart(cut);
        cut.rest = work.mid(cut.hostPart.size());
        return cut;
    }

    cut.defaultPort = 21;
    const qsizetype at = work.indexOf(u'@');
    if (at >= 0) {
        const QString userInfo = work.left(at);
        const qsizetype colon = userInfo.indexOf(u':');
        if (colon >= 0) {
            cut.user = userInfo.left(colon);
            cut.password = userInfo.mid(colon + 1);
        }
        work = work.mid(at + 1);
    } else {
        cut.user = QStringLiteral("anonymous");
        cut.password = AnonymousFtpPassword;
    }
    cut.hostPart = beforeFirstSlash(work);
    splitHostPart(cut);
    cut.rest = work.mid(cut.hostPart.size() + 1);
    return cut;
}

// Spaces become "%20". Control characters would break the request line or the
// FTP command they end up in, so they are escaped the same way.
QString escapeForRequest(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u' ' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            escaped += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            escaped += c;
    }
    return escaped;
}

}  // namespace

void ParseUrlInto(const QString& address, UrlParts& into) {
    const CutAddress cut = cutAddress(address);

    into.IsHTTP = cut.isHttp;
    into.IsFTP = !cut.isHttp;
    into.IsHTTPS = cut.isHttps;
    if (!cut.portText) {
        into.Port = cut.defaultPort;
    } else if (const std::optional<int> port = portNumber(*cut.portText)) {
        into.Port = *port;
    }

    const qsizetype lastSlash = cut.rest.lastIndexOf(u'/');
    const QString file = escapeForRequest(cut.rest.mid(lastSlash + 1));
    const QString path = escapeForRequest(cut.rest.left(lastSlash + 1));

    QString user = cut.user;
    QString password = cut.password;
    const LoginFound login = FindLogin(cut.host.trimmed());
    if (!login.User.isEmpty() || !login.Password.isEmpty()) {
        user = login.User;
        password = login.Password;
    }

    into.User = user.trimmed();
    into.Password = password.trimmed();
    // Without its first character: the whole of it, never half a surrogate pair.
    const QString joined = (path + file).trimmed();
    into.Path = joined.mid(joined.size() > 1 && joined.at(0).isHighSurrogate() ? 2 : 1);
    into.FullPath = path.trimmed() + file.trimmed();
    into.Host = cut.host.trimmed();
}

QString GetFileName(const QString& address) {
    const QString rest = cutAddress(address).rest;
    return rest.mid(rest.lastIndexOf(u'/') + 1);
}

QString GetServerName(const QString& address) {
    return cutAddress(address).hostPart;
}

int DownloadSchemeLength(const QString& address) {
    for (const QLatin1String scheme :
         {QLatin1String("http://"), QLatin1String("https://"), QLatin1String("ftp://")}) {
        if (address.startsWith(scheme, Qt::CaseInsensitive)) return static_cast<int>(scheme.size());
    }
    return 0;
}

LoginFound FindLogin(const QString& host) {
    for (const LoginRow& row : SettingsLists::instance().Logins) {
        if (row.Server == host) return {row.User, row.Password};
    }
    return {};
}
