#include "support/NginxServer.h"

#include <sys/prctl.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <csignal>

namespace {

constexpr int kStartAttempts = 5;
constexpr int kReadyTimeoutMs = 10000;

// A port that was free a moment ago; nginx cannot listen on port 0, so a
// clash with another process is possible and start() retries on another.
quint16 freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QString quoted(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    path.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + path + QLatin1Char('"');
}

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                          : QString();
}

}  // namespace

NginxServer::NginxServer(Options options) : options_(std::move(options)) {}

NginxServer::~NginxServer() {
    stop();
}

QString NginxServer::url(const QString& path) const {
    const QString scheme = options_.certificate.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
    return QStringLiteral("%1://127.0.0.1:%2/%3").arg(scheme).arg(port_).arg(path);
}

QString NginxServer::accessLogPath() const {
    return file(QStringLiteral("access.log"));
}

QString NginxServer::configText() const {
    QString text;
    const auto line = [&text](const QString& s) { text += s + QLatin1Char('\n'); };
    const auto path = [this](const char* name) { return quoted(file(QLatin1String(name))); };
    line(QStringLiteral("daemon off;"));
    line(QStringLiteral("master_process off;"));
    line(QStringLiteral("worker_processes 1;"));
    line(QStringLiteral("pid %1;").arg(path("nginx.pid")));
    line(QStringLiteral("lock_file %1;").arg(path("nginx.lock")));
    line(QStringLiteral("error_log %1 warn;").arg(path("error.log")));
    line(QStringLiteral("events { worker_connections 1024; }"));
    line(QStringLiteral("http {"));
    line(QStringLiteral("    access_log %1;").arg(path("access.log")));
    line(QStringLiteral("    client_body_temp_path %1;").arg(path("client_body")));
    line(QStringLiteral("    proxy_temp_path %1;").arg(path("proxy")));
    line(QStringLiteral("    fastcgi_temp_path %1;").arg(path("fastcgi")));
    line(QStringLiteral("    uwsgi_temp_path %1;").arg(path("uwsgi")));
    line(QStringLiteral("    scgi_temp_path %1;").arg(path("scgi")));
    line(QStringLiteral("    default_type application/octet-stream;"));
    line(QStringLiteral("    sendfile on;"));
    line(QStringLiteral("    tcp_nopush on;"));
    line(QStringLiteral("    server {"));
    if (options_.certificate.isEmpty()) {
        line(QStringLiteral("        listen 127.0.0.1:%1;").arg(port_));
    } else {
        line(QStringLiteral("        listen 127.0.0.1:%1 ssl;").arg(port_));
        line(QStringLiteral("        ssl_certificate %1;").arg(quoted(options_.certificate)));
        line(QStringLiteral("        ssl_certificate_key %1;").arg(quoted(options_.certificateKey)));
    }
    line(QStringLiteral("        server_name localhost;"));
    line(QStringLiteral("        root %1;").arg(quoted(options_.documentRoot)));
    if (options_.limitRate > 0) {
        line(QStringLiteral("        limit_rate %1;").arg(options_.limitRate));
        // In steady small pieces: by default nginx sends a second's worth at once
        // and then waits, and a test that acts after some data would only ever
        // see whole seconds of it.
        line(QStringLiteral("        sendfile_max_chunk 64k;"));
    }
    for (const QString& block : options_.extraLocations) line(QStringLiteral("        ") + block);
    line(QStringLiteral("    }"));
    line(QStringLiteral("}"));
    return text;
}

bool NginxServer::start() {
    stop();
    error_.clear();
    if (!QFileInfo(QLatin1String(kBinary)).isExecutable()) {
        error_ = QStringLiteral(
                     "nginx is not installed at %1 (Debian package nginx-light; "
                     "scripts/deps.sh installs it)")
                     .arg(QLatin1String(kBinary));
        return false;
    }
    if (!workDir_.isValid()) {
        error_ = QStringLiteral("no temporary folder for nginx: ") + workDir_.errorString();
        return false;
    }
    if (!QFileInfo(options_.documentRoot).isDir()) {
        error_ = QStringLiteral("nginx document root is not a folder: ") + options_.documentRoot;
        return false;
    }
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        bool portTaken = false;
        if (startOnce(&portTaken)) return true;
        if (!portTaken) return false;
    }
    return false;
}

bool NginxServer::startOnce(bool* portTaken) {
    port_ = freePort();
    const QString configPath = file(QStringLiteral("nginx.conf"));
    const QString errorLog = file(QStringLiteral("error.log"));
    QFile::remove(errorLog);
    QFile config(configPath);
    if (port_ == 0 || !config.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        config.write(configText().toLocal8Bit()) < 0) {
        error_ = QStringLiteral("cannot prepare nginx configuration in ") + workDir_.path();
        return false;
    }
    config.close();

    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    // A test that crashes must not leave nginx running on its own.
    process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_->start(QLatin1String(kBinary),
                    {QStringLiteral("-p"), workDir_.path() + QLatin1Char('/'), QStringLiteral("-c"),
                     configPath, QStringLiteral("-e"), errorLog});
    if (!process_->waitForStarted(kReadyTimeoutMs)) {
        error_ = QStringLiteral("nginx did not start: ") + process_->errorString();
        process_.reset();
        return false;
    }
    const QDeadlineTimer deadline(kReadyTimeoutMs);
    while (!deadline.hasExpired()) {
        if (process_->state() == QProcess::NotRunning) {
            const QString log = readAll(errorLog) + QString::fromLocal8Bit(process_->readAll());
            *portTaken = log.contains(QLatin1String("Address already in use"));
            error_ = QStringLiteral("nginx exited at start (exit code %1): %2")
                         .arg(process_->exitCode())
                         .arg(log);
            process_.reset();
            return false;
        }
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port_);
        if (probe.waitForConnected(200)) {
            probe.abort();
            return true;
        }
        process_->waitForFinished(20);  // a short pause that also notices an early exit
    }
    error_ = QStringLiteral("nginx took no connections on port %1 within %2 ms: %3")
                 .arg(port_)
                 .arg(kReadyTimeoutMs)
                 .arg(readAll(errorLog));
    stop();
    return false;
}

void NginxServer::stop() {
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

bool NginxServer::isRunning() const {
    return process_ && process_->state() == QProcess::Running;
}
