#include "ftpclient/component/FtpSession.h"

#include "ftpclient/component/FtpJob.h"

#include <QEventLoop>
#include <QTimer>

FtpSession::FtpSession(QObject* parent)
    : QObject(parent), control_(new FtpControlConnection(this)), watchdog_(new QTimer(this)) {
    watchdog_->setSingleShot(true);
    connect(control_, &FtpControlConnection::logLine, this, &FtpSession::logLine);
    connect(control_, &FtpControlConnection::activity, this, &FtpSession::touch);
    connect(control_, &FtpControlConnection::replied, this, [this](const FtpReply& reply) {
        if (job_) job_->handleReply(reply);
    });
    connect(control_, &FtpControlConnection::lost, this, [this](const QString& description) {
        control_->close();
        if (job_) job_->fail(FtpErrors::make(FtpErrors::kConnectionLost, description));
        emit connectionLost();
    });
    connect(watchdog_, &QTimer::timeout, this, [this] {
        if (!job_) return;
        emit logLine(QStringLiteral("No answer from the server for %1 seconds; closing the connection.")
                         .arg(timeLimitMs / 1000.0));
        // A job that was being stopped ends as it was meant to, not as a time-out.
        cutOff(job_->isStopping()
                   ? job_->stopError()
                   : FtpErrors::make(FtpErrors::kTimedOut, QStringLiteral("The server did not answer in time.")));
    });
}

FtpSession::~FtpSession() = default;

FtpResult FtpSession::run(FtpJob* job) {
    const QPointer<FtpJob> outer = job_;
    job_ = job;
    QEventLoop loop;
    connect(job, &FtpJob::finished, &loop, &QEventLoop::quit);
    watchdog_->start(timeLimitMs);
    job->start();
    if (!job->isFinished()) loop.exec(QEventLoop::AllEvents);
    watchdog_->stop();
    const FtpResult result = job->result();
    job_ = outer;
    delete job;
    return result;
}

void FtpSession::abort() {
    if (job_) job_->abort();
}

void FtpSession::touch() {
    if (job_) watchdog_->start(timeLimitMs);
}

void FtpSession::closeConnection() {
    const bool wasOpen = control_->isOpen();
    control_->close();
    currentType = 0;
    if (wasOpen) emit connectionLost();
}

void FtpSession::cutOff(const FtpError& error) {
    FtpJob* job = job_;
    closeConnection();
    if (job) job->fail(error);
}

QByteArray FtpSession::encodeName(const QString& name) const {
    const auto known = rawNames.constFind(name);
    return known != rawNames.constEnd() ? *known : name.toUtf8();
}

QString FtpSession::dataHost() const {
    if (proxy.isUsed()) return serverHost;
    QHostAddress peer = control_->peerAddress();
    bool mapped = false;
    const quint32 v4 = peer.toIPv4Address(&mapped);
    if (mapped) peer = QHostAddress(v4);
    return peer.toString();
}
