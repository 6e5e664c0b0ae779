#pragma once

#include "ftpclient/component/FtpJob.h"

// One command and its final reply (1xx replies are waited through). The job
// succeeds with whatever the server answers; the caller judges the code.
class FtpCommandJob : public FtpJob {
    Q_OBJECT
public:
    FtpCommandJob(FtpSession& session, QByteArray line);

    void start() override;
    const FtpReply& reply() const { return reply_; }

protected:
    void onReply(const FtpReply& reply) override;

private:
    QByteArray line_;
    FtpReply reply_;
};
