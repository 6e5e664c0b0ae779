#include "support/SocksProxyServer.h"

#include "support/TestData.h"

#include <unistd.h>

bool SocksProxyServer::start() {
    if (!folder_.isValid()) return false;
    const QString log = folder_.filePath(QStringLiteral("proxy.log"));
    if (kind_ == Kind::Microsocks) {
        return daemon_.start(
            QStringLiteral("/usr/bin/microsocks"),
            [this](quint16 port) {
                return QStringList{QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                   QString::number(port),     QStringLiteral("-u"), user(),
                                   QStringLiteral("-P"),      password()};
            },
            log);
    }
    const QString config = folder_.filePath(QStringLiteral("danted.conf"));
    return daemon_.start(
        QStringLiteral("/usr/sbin/danted"),
        [=](quint16 port) {
            QByteArray text = "logoutput: " + log.toUtf8() + "\ninternal: 127.0.0.1 port = " +
                              QByteArray::number(port) +
                              "\nexternal: 127.0.0.1\nclientmethod: none\nsocksmethod: none\n";
            // As root danted wants to know whom to become; as anyone else it stays that user.
            if (::geteuid() == 0) text += "user.privileged: root\nuser.unprivileged: nobody\n";
            text += "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                    "socks pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n  protocol: tcp\n  command: connect\n}\n";
            writeWholeFile(config, text);
            return QStringList{QStringLiteral("-f"), config};
        },
        log);
}
