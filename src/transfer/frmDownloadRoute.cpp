// How the download window reaches its server: straight or through the HTTP proxy
// of the settings, in plain text or over TLS, and the request line's target that
// goes with the way taken.
#include "core/modGlobalVariables.h"
#include "transfer/TlsContext.h"
#include "transfer/frmDownload.h"

#include <QUrl>

namespace {

bool proxySet() { return Settings.UseProxy && !Settings.ProxyServer.trimmed().isEmpty(); }

QString percentEncoded(const QString& text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); }

}  // namespace

bool frmDownload::applyRoute() {
    // An ftp:// address fetched through the HTTP proxy is an HTTP download for
    // this window: the proxy speaks FTP with the server.
    if (IsFTP && proxySet() && Settings.UseFTPProxy) {
        IsFTP = false;
        IsHTTP = true;
        ftpViaProxy_ = true;
    }
    ConnectionRoute route;
    if (IsHTTP) {
        route.tls = IsHTTPS;
        if (proxySet()) {
            route.proxyHost = Settings.ProxyServer.trimmed();
            route.proxyPort = Settings.ProxyPort > 0 ? Settings.ProxyPort : 80;
            if (Settings.LoginProxy) route.proxyAuthorization = ProxyLogin();
        }
        if (route.tls) {
            QString error;
            route.tlsContext = TlsContext::Create(Settings.CAFile, &error);
            if (!route.tlsContext) {
                enterFailed(error);
                return false;
            }
        }
    }
    route_ = route;
    for (SocketSet* set : {&WSHead, &wsHTTP, &wsHTTP1}) set->setRoute(route);
    return true;
}

QByteArray frmDownload::ProxyLogin() const {
    const QString credentials = Settings.UsePass ? Settings.UserID + QLatin1Char(':') + Settings.UserPass
                                                 : Settings.UserID + QLatin1Char(':');
    return "Basic " + Encode2Base64(credentials.toUtf8()).toLatin1();
}

QString frmDownload::RequestTarget() const {
    if (!route_.absoluteForm()) return QLatin1Char('/') + Path;
    if (ftpViaProxy_) {
        // The login goes in the address; an anonymous one is the proxy's to give.
        QString userInfo;
        if (User.compare(QLatin1String("anonymous"), Qt::CaseInsensitive) != 0 && !User.isEmpty())
            userInfo = percentEncoded(User) + QLatin1Char(':') + percentEncoded(Password) + QLatin1Char('@');
        const QString port = Port == 21 ? QString() : QLatin1Char(':') + QString::number(Port);
        return QStringLiteral("ftp://") + userInfo + Host + port + QLatin1Char('/') + FullPath;
    }
    const QString port = Port == 80 ? QString() : QLatin1Char(':') + QString::number(Port);
    return QStringLiteral("http://") + Host + port + QLatin1Char('/') + Path;
}
