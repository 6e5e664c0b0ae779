#include "ftpclient/main/KarvoFirewall.h"

#include "ftpclient/main/KarvoSettings.h"

namespace {

std::optional<quint16> portNumber(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535) return std::nullopt;
    return static_cast<quint16>(port);
}

}  // namespace

namespace KarvoFirewall {

FtpProxy fromHive(QString& note) {
    const auto value = [](const char* name, const char* def) {
        return KarvoSettings::Read(QString::fromLatin1(name), QString::fromLatin1(def));
    };
    FtpProxy proxy;
    if (value("Firewall Use", "0").trimmed().toInt() != 1) return proxy;
    proxy.type = value("Firewall Type", "SOCKS 4") == QLatin1String("SOCKS 4") ? 4 : 5;
    proxy.host = value("Firewall Host Name", "");
    proxy.userName = value("Firewall User Name", "");
    proxy.password = value("Firewall Password", "");
    const QString portText = value("Firewall Proxy Port", "1080");
    const std::optional<quint16> port = portNumber(portText);
    proxy.port = port.value_or(1080);
    if (!port) note = QStringLiteral("\"Firewall Proxy Port\" \"%1\" is not a port; using 1080").arg(portText);
    return proxy;
}

std::optional<FtpProxy> fromOption(int type, const QString& text, QString& error) {
    FtpProxy proxy;
    proxy.type = type;
    QString hostPort = text;
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString login = text.left(at);
        hostPort = text.mid(at + 1);
        const qsizetype colon = login.indexOf(QLatin1Char(':'));
        proxy.userName = colon < 0 ? login : login.left(colon);
        proxy.password = colon < 0 ? QString() : login.mid(colon + 1);
    }
    const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
    const std::optional<quint16> port = colon < 0 ? std::nullopt : portNumber(hostPort.mid(colon + 1));
    proxy.host = colon < 0 ? hostPort : hostPort.left(colon);
    if (proxy.host.isEmpty() || !port) {
        error = QStringLiteral("the proxy \"%1\" is not HOST:PORT").arg(text);
        return std::nullopt;
    }
    proxy.port = *port;
    return proxy;
}

}  // namespace KarvoFirewall
