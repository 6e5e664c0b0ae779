#include "apps/karvo/KarvoAddress.h"

#include <QUrl>

std::optional<KarvoAddress> KarvoAddress::parse(const QString& text, QString& error) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("ftp"), Qt::CaseInsensitive) != 0 ||
        url.host().isEmpty()) {
        error = QStringLiteral("\"%1\" is not an address of the form ftp://[user:password@]host[:port]/path")
                    .arg(text);
        return std::nullopt;
    }
    KarvoAddress address;
    address.host = url.host();
    const int port = url.port(21);
    if (port < 1 || port > 65535) {
        error = QStringLiteral("the port of \"%1\" is not between 1 and 65535").arg(text);
        return std::nullopt;
    }
    address.port = static_cast<quint16>(port);
    if (!url.userName().isEmpty()) {
        address.user = url.userName(QUrl::FullyDecoded);
        address.password = url.password(QUrl::FullyDecoded);
    }
    QString path = url.path(QUrl::FullyDecoded);
    if (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
    address.path = path;
    return address;
}
