#include "support/LoopbackDaemon.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

constexpr int kStartMs = 15000;
constexpr int kAttempts = 3;

}  // namespace

LoopbackDaemon::~LoopbackDaemon() {
    stop();
}

quint16 LoopbackDaemon::freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

bool LoopbackDaemon::start(const QString& program, const std::function<QStringList(quint16)>& arguments,
                           const QString& log) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        port_ = freePort();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(log, QIODevice::Append);
        process_.start(program, arguments(port_));
        if (!process_.waitForStarted(kStartMs)) {
            error_ = program + QStringLiteral(" does not start: ") + process_.errorString();
            return false;
        }
        if (awaitPort()) return true;
        stop();
    }
    QFile output(log);
    const QByteArray text = output.open(QIODevice::ReadOnly) ? output.readAll().right(2000) : QByteArray();
    error_ = QStringLiteral("%1 did not start listening (scripts/deps.sh installs it): %2")
                 .arg(program, QString::fromLocal8Bit(text));
    return false;
}

bool LoopbackDaemon::awaitPort() {
    const QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        if (process_.state() == QProcess::NotRunning) return false;
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port_);
        if (probe.waitForConnected(500)) {
            probe.abort();
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

void LoopbackDaemon::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(kStartMs);
}
