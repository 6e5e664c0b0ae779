#include "support/PyFtpdServer.h"

#include "support/TestData.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>

namespace {

constexpr int kStartMs = 15000;

// The module's own command line knows either anonymous or one user, not both;
// this binds port 0 itself and prints the port, so no free-port guess can race.
constexpr char kServerScript[] = R"(
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

root, user, password = sys.argv[1:4]
authorizer = DummyAuthorizer()
authorizer.add_anonymous(root)
authorizer.add_user(user, password, root, perm="elradfmwMT")

class Handler(FTPHandler):
    # A refused login is answered at once, not after the usual three seconds.
    auth_failed_timeout = 0

Handler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), Handler)
print(server.address[1], flush=True)
server.serve_forever()
)";

}  // namespace

PyFtpdServer::PyFtpdServer() = default;

PyFtpdServer::~PyFtpdServer() {
    stop();
}

bool PyFtpdServer::start() {
    if (!folder_.isValid() || !QDir().mkpath(rootPath())) {
        return fail(QStringLiteral("no temporary folder to serve"));
    }
    // pyftpdlib logs every connection; a file never fills up as a pipe would.
    process_.setStandardErrorFile(folder_.filePath(QStringLiteral("pyftpd.log")));
    process_.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"), QString::fromLatin1(kServerScript), rootPath(), user(), password()});
    if (!process_.waitForStarted(kStartMs)) {
        return fail(QStringLiteral("/usr/bin/python3 does not start: ") + process_.errorString());
    }
    return readPort() && awaitGreeting();
}

void PyFtpdServer::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(kStartMs);
    port_ = 0;
}

bool PyFtpdServer::putFile(const QString& relativePath, const QByteArray& data) const {
    const QString path = QDir(rootPath()).filePath(relativePath);
    return QDir().mkpath(QFileInfo(path).path()) && writeWholeFile(path, data);
}

bool PyFtpdServer::fail(const QString& reason) {
    QFile log(folder_.filePath(QStringLiteral("pyftpd.log")));
    const QByteArray output =
        log.open(QIODevice::ReadOnly) ? log.readAll().right(2000) : QByteArray();
    stop();
    error_ = QStringLiteral(
                 "pyftpdlib server (Debian's python3-pyftpdlib, see scripts/deps.sh) "
                 "could not be started: ") +
             reason;
    if (!output.isEmpty()) error_ += QStringLiteral("\n") + QString::fromLocal8Bit(output);
    return false;
}

bool PyFtpdServer::readPort() {
    const QDeadlineTimer deadline(kStartMs);
    while (!process_.canReadLine()) {
        if (process_.state() == QProcess::NotRunning) {
            return fail(QStringLiteral("python3 ended with code %1").arg(process_.exitCode()));
        }
        if (deadline.hasExpired()) return fail(QStringLiteral("it did not report its port"));
        process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    bool ok = false;
    port_ = process_.readLine().trimmed().toUShort(&ok);
    if (!ok || port_ == 0) return fail(QStringLiteral("it reported no port"));
    return true;
}

bool PyFtpdServer::awaitGreeting() {
    const QDeadlineTimer deadline(kStartMs);
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port_);
    if (!probe.waitForConnected(int(deadline.remainingTime()))) {
        return fail(
            QStringLiteral("port %1 does not answer: %2").arg(port_).arg(probe.errorString()));
    }
    QByteArray greeting;
    while (!greeting.contains('\n')) {
        if (deadline.hasExpired() ||
            !probe.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
            return fail(QStringLiteral("no greeting on port %1").arg(port_));
        }
        greeting += probe.readAll();
    }
    if (!greeting.startsWith("220")) {
        return fail(QStringLiteral("greeting on port %1 was: ").arg(port_) +
                    QString::fromLatin1(greeting.trimmed()));
    }
    probe.write("QUIT\r\n");
    probe.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime())));
    return true;
}
