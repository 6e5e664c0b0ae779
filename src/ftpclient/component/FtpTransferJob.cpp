#include "ftpclient/component/FtpTransferJob.h"

#include "common/FtpReplies.h"
#include "ftpclient/component/FtpDataChannel.h"
#include "ftpclient/component/FtpSession.h"

#include <QFileDevice>
#include <QIODevice>
#include <QTcpSocket>

namespace {

constexpr qint64 kChunk = 256 * 1024;
// Uploads keep at most this much in the socket's buffer.
constexpr qint64 kMaxQueued = 1024 * 1024;

FtpError localError(const QString& what, QIODevice* device) {
    return FtpErrors::make(FtpErrors::kLocalFile, what + QStringLiteral(": ") + device->errorString());
}

}  // namespace

FtpTransferJob::FtpTransferJob(FtpSession& session, Plan plan)
    : FtpJob(session),
      plan_(std::move(plan)),
      lineEnds_(plan_.direction == Direction::Receive ? FtpLineEnds::Direction::ToLocal
                                                      : FtpLineEnds::Direction::ToNetwork) {}

FtpTransferJob::~FtpTransferJob() {
    if (data_) data_->close();
}

void FtpTransferJob::start() {
    remoteSize_ = plan_.knownSize;
    if (session_.currentType != plan_.type) return sendType();
    sendSize();
}

void FtpTransferJob::sendType() {
    step_ = Step::Type;
    send(QByteArray("TYPE ") + plan_.type);
}

void FtpTransferJob::sendSize() {
    if (plan_.sizeOf.isEmpty() || plan_.type != 'I' || remoteSize_) return setUpData();
    step_ = Step::Size;
    send("SIZE " + plan_.sizeOf);
}

void FtpTransferJob::setUpData() {
    if (!session_.passive && !session_.proxy.isUsed()) return sendPort();
    const QHostAddress peer = session_.control().peerAddress();
    bool mapped = false;
    peer.toIPv4Address(&mapped);
    const bool ipv6 = peer.protocol() == QAbstractSocket::IPv6Protocol && !mapped;
    step_ = ipv6 ? Step::ExtendedPassive : Step::Passive;
    send(ipv6 ? "EPSV" : "PASV");
}

void FtpTransferJob::sendPort() {
    FtpControlConnection& control = session_.control();
    QHostAddress local = control.localAddress();
    bool mapped = false;
    const quint32 v4 = local.toIPv4Address(&mapped);
    if (mapped) local = QHostAddress(v4);
    data_ = new FtpDataChannel(this);
    watchData();
    QHostAddress peer = control.peerAddress();
    const quint32 peerV4 = peer.toIPv4Address(&mapped);
    if (mapped) peer = QHostAddress(peerV4);
    if (!data_->listen(local, peer)) {
        return fail(FtpErrors::make(FtpErrors::kCannotConnect,
                                    QStringLiteral("Cannot listen for the data connection.")));
    }
    const quint16 port = data_->listenPort();
    step_ = Step::Port;
    if (local.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 ip = local.toIPv4Address();
        send(QStringLiteral("PORT %1,%2,%3,%4,%5,%6")
                 .arg(ip >> 24)
                 .arg((ip >> 16) & 0xff)
                 .arg((ip >> 8) & 0xff)
                 .arg(ip & 0xff)
                 .arg(port >> 8)
                 .arg(port & 0xff)
                 .toLatin1());
    } else {
        send(QStringLiteral("EPRT |2|%1|%2|").arg(local.toString()).arg(port).toLatin1());
    }
}

void FtpTransferJob::sendRest() {
    if (plan_.restOffset <= 0) return sendCommand();
    step_ = Step::Rest;
    send("REST " + QByteArray::number(plan_.restOffset));
}

void FtpTransferJob::sendCommand() {
    step_ = Step::Command;
    send(usedAppend_ ? plan_.appendCommand : plan_.command);
}

void FtpTransferJob::openPassive(quint16 port, const QString& named) {
    const QString host = session_.dataHost();
    if (!named.isEmpty() && !session_.proxy.isUsed() && named != host) {
        emit session_.logLine(
            QStringLiteral("The server named %1 for the data connection; connecting to %2, the server itself.")
                .arg(named, host));
    }
    data_ = new FtpDataChannel(this);
    watchData();
    data_->connectTo(host, port, session_.proxy);
    sendRest();
}

void FtpTransferJob::watchData() {
    FtpDataChannel* data = data_;
    connect(data, &FtpDataChannel::logLine, &session_, &FtpSession::logLine);
    connect(data, &FtpDataChannel::readyRead, this, &FtpTransferJob::readData);
    connect(data, &FtpDataChannel::bytesWritten, this, [this](qint64) {
        session_.touch();
        pump();
    });
    connect(data, &FtpDataChannel::connected, this, [this] {
        session_.touch();
        pump();
    });
    connect(data, &FtpDataChannel::closedByPeer, this, &FtpTransferJob::dataClosed);
    connect(data, &FtpDataChannel::failed, this, [this](const QString& description) {
        stopTransfer(FtpErrors::make(FtpErrors::kConnectionLost, description));
    });
}

void FtpTransferJob::onReply(const FtpReply& reply) {
    switch (step_) {
    case Step::Type:
        if (reply.isPreliminary()) return;
        if (!reply.isPositive()) return refuse(reply);
        session_.currentType = plan_.type;
        return sendSize();
    case Step::Size:
        if (reply.isPreliminary()) return;
        if (reply.code == 213) {
            bool ok = false;
            const qint64 size = reply.raw.mid(4).trimmed().toLongLong(&ok);
            if (ok && size >= 0) remoteSize_ = size;
        }
        return setUpData();
    case Step::Passive:
        if (reply.isPreliminary()) return;
        if (reply.code == 227) {
            const std::optional<PassiveTarget> target = passiveTarget(reply.raw);
            if (!target || target->port == 0) return refuse(reply);
            return openPassive(target->port, target->address);
        }
        if (reply.code >= 500) {
            step_ = Step::ExtendedPassive;
            send("EPSV");
            return;
        }
        return refuse(reply);
    case Step::ExtendedPassive: {
        if (reply.isPreliminary()) return;
        const std::optional<quint16> port =
            reply.code == 229 ? extendedPassivePort(reply.raw) : std::nullopt;
        if (!port) return refuse(reply);
        return openPassive(*port, QString());
    }
    case Step::Port:
        if (reply.isPreliminary()) return;
        if (!reply.isPositive()) return refuse(reply);
        return sendRest();
    case Step::Rest:
        if (reply.isPreliminary()) return;
        if (reply.code == 350) return sendCommand();
        if (plan_.direction == Direction::Send && !plan_.appendCommand.isEmpty()) {
            emit session_.logLine(QStringLiteral("The server cannot restart; appending instead."));
            usedAppend_ = true;
            return sendCommand();
        }
        return refuse(reply);
    case Step::Command:
        if (reply.isPreliminary()) {
            opened_ = true;
            step_ = Step::Transfer;
            if (!remoteSize_ && plan_.direction == Direction::Receive && plan_.type == 'I' &&
                !plan_.sizeOf.isEmpty()) {
                remoteSize_ = announcedSize(reply.raw);
            }
            report();
            pump();
            return;
        }
        if (reply.isPositive()) {
            // A server that answers an empty transfer with its closing reply alone.
            opened_ = true;
            step_ = Step::Transfer;
            finalReply_ = true;
            if (!data_ || !data_->isConnected()) dataDone_ = true;
            return maybeFinish();
        }
        return refuse(reply);
    case Step::Transfer:
        if (reply.isPreliminary()) return;
        if (!reply.isPositive()) {
            if (data_) data_->close();
            return refuse(reply);
        }
        finalReply_ = true;
        return maybeFinish();
    }
}

void FtpTransferJob::readData() {
    if (!data_ || !data_->socket() || plan_.direction != Direction::Receive) return;
    QTcpSocket* socket = data_->socket();
    if (buffer_.isEmpty()) buffer_.resize(kChunk);
    while (!isFinished()) {
        const qint64 count = socket->read(buffer_.data(), buffer_.size());
        if (count <= 0) return;
        session_.touch();
        wireBytes_ += count;
        const QByteArray block = QByteArray::fromRawData(buffer_.constData(), count);
        const QByteArray local = plan_.type == 'A' ? lineEnds_.convert(block) : block;
        if (!local.isEmpty() && plan_.device->write(local.constData(), local.size()) != local.size()) {
            return stopTransfer(localError(QStringLiteral("Cannot write the local file"), plan_.device));
        }
        localBytes_ += local.size();
        report();
    }
}

void FtpTransferJob::pump() {
    if (plan_.direction != Direction::Send || !opened_ || sourceDone_ || isFinished() || !data_ ||
        !data_->isConnected()) {
        return;
    }
    QTcpSocket* socket = data_->socket();
    if (buffer_.isEmpty()) buffer_.resize(kChunk);
    while (socket->bytesToWrite() < kMaxQueued) {
        const qint64 count = plan_.device->read(buffer_.data(), buffer_.size());
        if (count < 0) {
            return stopTransfer(localError(QStringLiteral("Cannot read the local file"), plan_.device));
        }
        if (count == 0) {
            sourceDone_ = true;
            data_->finishSending();
            return;
        }
        localBytes_ += count;
        const QByteArray chunk = QByteArray::fromRawData(buffer_.constData(), count);
        const QByteArray wire = plan_.type == 'A' ? lineEnds_.convert(chunk) : chunk;
        wireBytes_ += wire.size();
        socket->write(wire.constData(), wire.size());
        report();
    }
}

void FtpTransferJob::dataClosed() {
    if (isFinished()) return;
    if (plan_.direction == Direction::Receive) {
        readData();
        if (isFinished()) return;
    } else if (!sourceDone_) {
        return stopTransfer(FtpErrors::make(
            FtpErrors::kShortTransfer,
            QStringLiteral("The server closed the data connection before the whole file was sent.")));
    }
    dataDone_ = true;
    maybeFinish();
}

void FtpTransferJob::maybeFinish() {
    if (isFinished() || !dataDone_ || !finalReply_) return;
    if (plan_.direction == Direction::Receive) {
        const QByteArray rest = lineEnds_.finish();
        if (!rest.isEmpty() && plan_.device->write(rest) != rest.size()) {
            return fail(localError(QStringLiteral("Cannot write the local file"), plan_.device));
        }
        localBytes_ += rest.size();
        if (plan_.type == 'I' && remoteSize_ && wireBytes_ != *remoteSize_ - plan_.restOffset) {
            return fail(FtpErrors::make(FtpErrors::kShortTransfer,
                                        QStringLiteral("The transfer ended short: %1 of %2 bytes arrived.")
                                            .arg(wireBytes_)
                                            .arg(*remoteSize_ - plan_.restOffset)));
        }
        if (auto* file = qobject_cast<QFileDevice*>(plan_.device); file && !file->flush()) {
            return fail(localError(QStringLiteral("Cannot write the local file"), plan_.device));
        }
    }
    report();
    succeed();
}

void FtpTransferJob::stopTransfer(const FtpError& error) {
    if (isFinished()) return;
    if (data_) data_->close();
    // The server is still busy with the transfer: ask it to stop, and wait for
    // its answers so that the connection is in step afterwards.
    if ((step_ == Step::Command || step_ == Step::Transfer) && !finalReply_) send("ABOR");
    stopWith(error);
}

void FtpTransferJob::abort() {
    stopTransfer(FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The operation was aborted.")));
}

void FtpTransferJob::report() {
    if (onProgress) onProgress(localBytes_, remoteSize_);
}
