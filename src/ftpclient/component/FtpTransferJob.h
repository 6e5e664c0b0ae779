#pragma once

#include "ftpclient/component/FtpJob.h"
#include "ftpclient/component/FtpLineEnds.h"

#include <QByteArray>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class FtpDataChannel;
class QIODevice;

// One transfer over a data connection: a listing, a file down, or a file up.
//
// Steps: TYPE (only when it changes), SIZE (binary downloads, for progress and
// to know the full length), PASV (EPSV when PASV is refused or on IPv6) or
// PORT/EPRT, REST (when starting inside the file), then the transfer command,
// its opening 1xx reply, the data, and the closing reply.
//
// A transfer only succeeds when the closing reply is positive, every byte was
// written locally, and (binary downloads) exactly the announced length arrived.
// A short transfer, a 426/451, or a failed local write is a failure.
class FtpTransferJob : public FtpJob {
    Q_OBJECT
public:
    enum class Direction { Receive, Send };

    struct Plan {
        Direction direction = Direction::Receive;
        // "RETR name", "STOR name", "LIST", "MLSD".
        QByteArray command;
        // 'I' binary, 'A' ASCII.
        char type = 'I';
        // For SIZE before a binary download; empty: no SIZE.
        QByteArray sizeOf;
        // The full length when it is known already (from a listing): no SIZE
        // is asked, and a binary download must bring exactly this much.
        std::optional<qint64> knownSize;
        // REST with this offset before the command when above 0.
        qint64 restOffset = 0;
        // Uploads: sent in place of REST + command when the server refuses REST
        // ("APPE name"); empty: a refused REST fails the transfer.
        QByteArray appendCommand;
        // Written for a download, read for an upload; the caller opened it.
        QIODevice* device = nullptr;
    };

    FtpTransferJob(FtpSession& session, Plan plan);
    ~FtpTransferJob() override;

    void start() override;
    void abort() override;

    // Called as bytes move: local bytes done, and the full length when known.
    std::function<void(qint64 done, std::optional<qint64> total)> onProgress;

    // The full remote length from SIZE or the opening reply, when known.
    std::optional<qint64> remoteSize() const { return remoteSize_; }

protected:
    void onReply(const FtpReply& reply) override;

private:
    enum class Step { Type, Size, Passive, ExtendedPassive, Port, Rest, Command, Transfer };

    void sendType();
    void sendSize();
    void setUpData();
    void sendPort();
    void sendRest();
    void sendCommand();
    void openPassive(quint16 port, const QString& named);
    void watchData();
    void readData();
    void pump();
    void dataClosed();
    void maybeFinish();
    void stopTransfer(const FtpError& error);
    void report();

    Plan plan_;
    Step step_ = Step::Type;
    QPointer<FtpDataChannel> data_;
    FtpLineEnds lineEnds_;
    bool opened_ = false;      // the 1xx reply arrived
    bool dataDone_ = false;    // the data connection has ended
    bool finalReply_ = false;  // the closing 2xx arrived
    bool sourceDone_ = false;  // uploads: everything was read and written out
    bool usedAppend_ = false;
    std::optional<qint64> remoteSize_;
    qint64 wireBytes_ = 0;
    qint64 localBytes_ = 0;
    // One buffer for every block of the transfer: a fresh allocation per block
    // costs more than the copying itself at loopback speeds.
    QByteArray buffer_;
};
