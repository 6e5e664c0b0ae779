#include "ftpclient/component/FtpJob.h"

#include "ftpclient/component/FtpSession.h"
#include "ftpclient/component/FtpText.h"

#include <QTimer>

namespace {

// How long an aborted operation waits for the replies still due before it gives
// up on the connection.
constexpr int kAbortGraceMs = 5000;

}  // namespace

FtpJob::FtpJob(FtpSession& session) : session_(session) {}

void FtpJob::handleReply(const FtpReply& reply) {
    if (finished_) return;
    if (stopping_) {
        if (session_.control().outstanding() == 0) finish(stopError_);
        return;
    }
    onReply(reply);
}

void FtpJob::abort() {
    stopWith(FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The operation was aborted.")));
}

void FtpJob::stopWith(const FtpError& error) {
    if (finished_ || stopping_) return;
    stopping_ = true;
    stopError_ = error;
    if (session_.control().outstanding() == 0) return finish(stopError_);
    grace_ = new QTimer(this);
    grace_->setSingleShot(true);
    connect(grace_, &QTimer::timeout, this, [this] {
        // The server has not finished answering: the connection is out of step
        // and cannot carry another command.
        session_.closeConnection();
        finish(stopError_);
    });
    grace_->start(qMin(kAbortGraceMs, session_.timeLimitMs));
}

bool FtpJob::send(const QByteArray& line) {
    if (FtpText::breaksCommand(line)) {
        fail(FtpErrors::make(FtpErrors::kUnsafeArgument,
                             QStringLiteral("The name or command holds a line break or NUL and was not sent.")));
        return false;
    }
    if (session_.control().send(line)) return true;
    fail(FtpErrors::make(FtpErrors::kNotConnected, QStringLiteral("Not connected.")));
    return false;
}

void FtpJob::succeed() {
    finish(std::nullopt);
}

void FtpJob::fail(const FtpError& error) {
    finish(error);
}

void FtpJob::refuse(const FtpReply& reply) {
    finish(FtpErrors::make(FtpErrors::kServerRefused, reply.lastLine()));
}

void FtpJob::finish(const FtpResult& result) {
    if (finished_) return;
    finished_ = true;
    result_ = result;
    if (grace_) grace_->stop();
    emit finished();
}
