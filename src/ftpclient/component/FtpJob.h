#pragma once

#include "ftpclient/component/FtpError.h"
#include "ftpclient/component/FtpReply.h"

#include <QByteArray>
#include <QObject>

class FtpSession;
class QTimer;

// One operation on the control connection, in named steps: start() sends the
// first command, onReply() reads each reply and moves to the next step, and
// the job ends with succeed() or fail(). Jobs never block; the session runs
// them in its event loop.
//
// Abort: the job stops sending, waits until every command it sent has had its
// final reply (so that the connection is in step for the next job), and then
// ends with the abort error. A server that never answers is cut off after a
// short grace: the connection closes and the call returns all the same.
class FtpJob : public QObject {
    Q_OBJECT
public:
    explicit FtpJob(FtpSession& session);

    virtual void start() = 0;
    void handleReply(const FtpReply& reply);
    // The user's abort.
    virtual void abort();
    // Ends the job at once with this error, without waiting for anything.
    void fail(const FtpError& error);

    bool isFinished() const { return finished_; }
    // Stopping after an abort or a failure, waiting for the replies still due.
    bool isStopping() const { return stopping_; }
    const FtpError& stopError() const { return stopError_; }
    const FtpResult& result() const { return result_; }

signals:
    void finished();

protected:
    virtual void onReply(const FtpReply& reply) = 0;

    // Sends one command; a line that would break the dialogue fails the job.
    bool send(const QByteArray& line);
    void succeed();
    // Fails with the server's reply as the description.
    void refuse(const FtpReply& reply);
    // Stops the operation with `error` once the replies still due have arrived.
    void stopWith(const FtpError& error);

    FtpSession& session_;

private:
    void finish(const FtpResult& result);

    bool finished_ = false;
    bool stopping_ = false;
    FtpError stopError_;
    FtpResult result_;
    QTimer* grace_ = nullptr;
};
