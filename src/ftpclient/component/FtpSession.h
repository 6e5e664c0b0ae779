#pragma once

#include "ftpclient/component/FtpControlConnection.h"
#include "ftpclient/component/FtpError.h"
#include "ftpclient/component/FtpJob.h"
#include "ftpclient/component/FtpProxy.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;

// The engine under the component: the control connection, what is known about
// the server, and the one job that runs at a time. run() starts a job and
// returns when it has ended, running a local event loop meanwhile, so the
// caller's windows keep drawing and its Abort button works.
//
// Every wait has a limit: when neither reply nor data bytes arrive for
// timeLimitMs, the job fails with "timed out" and the connection is closed.
class FtpSession : public QObject {
    Q_OBJECT
public:
    explicit FtpSession(QObject* parent = nullptr);
    ~FtpSession() override;

    FtpControlConnection& control() { return *control_; }

    // Runs the job to its end and deletes it. A job may run while another one,
    // already finished, still waits lower on the stack for its loop to return
    // (disconnecting from inside a call).
    FtpResult run(FtpJob* job);
    // A job is under way and has not finished.
    bool isRunning() const { return job_ && !job_->isFinished(); }
    // Asks the running job to stop; nothing when none runs.
    void abort();
    // Restarts the no-progress clock (bytes moved on the data connection).
    void touch();

    void closeConnection();
    // Closes the connection and ends the running job with `error` at once.
    void cutOff(const FtpError& error);

    int timeLimitMs = 60000;

    // Where the connection goes: the server as the user named it, and the proxy.
    QString serverHost;
    quint16 serverPort = 21;
    FtpProxy proxy;
    bool passive = true;
    // FEAT listed MLST.
    bool offersMlsd = false;
    // The representation last set with TYPE ('I', 'A'); 0 when none yet.
    char currentType = 0;
    // The remote current folder as the server last reported it, as bytes.
    QByteArray currentFolder;
    // Display name to the bytes the server sent, for every name listed so far,
    // so that a name handed back as text is sent as the server spelled it.
    QHash<QString, QByteArray> rawNames;

    // The bytes to send for a name given as text.
    QByteArray encodeName(const QString& name) const;
    // Where a passive data connection goes: the control connection's peer
    // (never the address a 227 reply names), or the server's name through a proxy.
    QString dataHost() const;

signals:
    void logLine(const QString& line);
    // The control connection is gone (closed by either side, or broken).
    void connectionLost();

private:
    FtpControlConnection* control_;
    QTimer* watchdog_;
    QPointer<FtpJob> job_;
};
