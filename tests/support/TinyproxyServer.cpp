#include "support/TinyproxyServer.h"

#include <sys/prctl.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <csignal>

namespace {

constexpr int kStartAttempts = 5;
constexpr int kReadyTimeoutMs = 10000;

quint16 freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

}  // namespace

TinyproxyServer::TinyproxyServer() = default;

TinyproxyServer::TinyproxyServer(Options options) : options_(std::move(options)) {}

TinyproxyServer::~TinyproxyServer() { stop(); }

QString TinyproxyServer::log() const {
    QFile file(this->file(QStringLiteral("tinyproxy.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

QStringList TinyproxyServer::requestLines() const {
    // "CONNECT   Dec 08 23:15:52.206 [10367]: Request (file descriptor 5): GET http://… HTTP/1.1"
    static const QRegularExpression request(QStringLiteral(R"(Request \(file descriptor \d+\): (.*)$)"),
                                            QRegularExpression::MultilineOption);
    QStringList lines;
    for (auto it = request.globalMatch(log()); it.hasNext();) lines << it.next().captured(1).trimmed();
    return lines;
}

bool TinyproxyServer::start() {
    stop();
    error_.clear();
    if (!QFileInfo(QLatin1String(kBinary)).isExecutable()) {
        error_ = QStringLiteral("tinyproxy is not installed at %1 (Debian package tinyproxy-bin; "
                                "scripts/deps.sh installs it)")
                     .arg(QLatin1String(kBinary));
        return false;
    }
    if (!workDir_.isValid()) {
        error_ = QStringLiteral("no temporary folder for tinyproxy");
        return false;
    }
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        bool portTaken = false;
        if (startOnce(&portTaken)) return true;
        if (!portTaken) return false;
    }
    return false;
}

bool TinyproxyServer::startOnce(bool* portTaken) {
    port_ = freePort();
    QByteArray config;
    config += "Port " + QByteArray::number(port_) + "\n";
    config += "Listen 127.0.0.1\n";
    config += "Timeout 60\n";
    config += "LogFile \"" + file(QStringLiteral("tinyproxy.log")).toLocal8Bit() + "\"\n";
    config += "LogLevel Info\n";
    config += "MaxClients 50\n";
    config += "Allow 127.0.0.1\n";
    config += "DisableViaHeader Yes\n";
    if (!options_.basicAuth.isEmpty()) config += "BasicAuth " + options_.basicAuth.toUtf8() + "\n";
    if (!options_.upstream.isEmpty()) config += "Upstream http " + options_.upstream.toUtf8() + "\n";
    const QString configPath = file(QStringLiteral("tinyproxy.conf"));
    QFile configFile(configPath);
    QFile::remove(file(QStringLiteral("tinyproxy.log")));
    if (port_ == 0 || !configFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        configFile.write(config) != config.size()) {
        error_ = QStringLiteral("cannot prepare the tinyproxy configuration in ") + workDir_.path();
        return false;
    }
    configFile.close();

    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_->start(QLatin1String(kBinary), {QStringLiteral("-d"), QStringLiteral("-c"), configPath});
    if (!process_->waitForStarted(kReadyTimeoutMs)) {
        error_ = QStringLiteral("tinyproxy did not start: ") + process_->errorString();
        process_.reset();
        return false;
    }
    const QDeadlineTimer deadline(kReadyTimeoutMs);
    while (!deadline.hasExpired()) {
        if (process_->state() == QProcess::NotRunning) {
            const QString output = QString::fromLocal8Bit(process_->readAll()) + log();
            *portTaken = output.contains(QLatin1String("Address already in use"));
            error_ = QStringLiteral("tinyproxy exited at start: ") + output;
            process_.reset();
            return false;
        }
        if (log().contains(QLatin1String("Accepting connections"))) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port_);
            if (probe.waitForConnected(200)) {
                probe.abort();
                return true;
            }
        }
        process_->waitForFinished(20);
    }
    error_ = QStringLiteral("tinyproxy took no connections on port %1: %2").arg(port_).arg(log());
    stop();
    return false;
}

void TinyproxyServer::stop() {
    if (!process_) return;
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    process_.reset();
}
