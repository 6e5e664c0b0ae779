#include "ftpclient/component/FtpCommandJob.h"

FtpCommandJob::FtpCommandJob(FtpSession& session, QByteArray line)
    : FtpJob(session), line_(std::move(line)) {}

void FtpCommandJob::start() {
    send(line_);
}

void FtpCommandJob::onReply(const FtpReply& reply) {
    if (reply.isPreliminary()) return;
    reply_ = reply;
    succeed();
}
