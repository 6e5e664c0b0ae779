// Single files up and down: the existing-file question, the temporary file
// that protects the old copy, resume, the representation, and progress.
#include "ftpclient/component/FtpComponent.h"

#include "ftpclient/component/FtpSession.h"
#include "ftpclient/component/FtpText.h"
#include "ftpclient/component/FtpTransferJob.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>

namespace {

// Progress events at most this often, besides the first and the last.
constexpr qint64 kProgressGapMs = 100;

FtpError localError(const QString& what, const QString& path, const QString& reason) {
    return FtpErrors::make(FtpErrors::kLocalFile, QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

}  // namespace

char FtpComponent::typeFor(const QString& fileName) const {
    if (autoAsciiExtensions.isEmpty()) return representation == 1 ? 'A' : 'I';
    const QString extension = QFileInfo(fileName).suffix().toLower();
    for (const QString& ascii : autoAsciiExtensions) {
        if (!extension.isEmpty() && ascii.toLower() == extension) return 'A';
    }
    return 'I';
}

FtpResult FtpComponent::runTransfer(FtpTransferJob* job, const QString& fileName,
                                    const QString& secondName, qint64 offset,
                                    std::optional<qint64> localSize) {
    lastProgressMs_ = 0;
    job->onProgress = [=, this](qint64 done, std::optional<qint64> remoteSize) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const std::optional<qint64> total = localSize ? localSize : remoteSize;
        const qint64 size = total.value_or(0);
        const qint64 bytes = offset + done;
        const bool last = total && bytes >= size;
        if (!last && lastProgressMs_ != 0 && now - lastProgressMs_ < kProgressGapMs) return;
        lastProgressMs_ = now;
        const int percent = size > 0 ? int(qBound(qint64(0), bytes * 100 / size, qint64(100))) : 0;
        emit progress(fileName, secondName, size, bytes, percent);
    };
    return session_->run(job);
}

FtpResult FtpComponent::receiveFile(const QString& remoteName, qint64 startOffset,
                                    const QString& localPath) {
    const QByteArray raw = session_->encodeName(remoteName);
    if (FtpText::breaksCommand(raw)) {
        return FtpErrors::make(FtpErrors::kUnsafeArgument,
                               QStringLiteral("The name holds a line break or NUL and was not sent."));
    }
    if (FtpResult error = begin(ReceivingFile)) return error;
    FtpItem item;
    item.name = remoteName;
    item.rawName = raw;
    return finish(receiveOne(item, raw, startOffset, localPath, false));
}

FtpResult FtpComponent::receiveOne(const FtpItem& item, const QByteArray& remotePath,
                                   qint64 startOffset, const QString& localPath, bool listed) {
    emit receivingFile(item.name);
    const QFileInfo target(localPath);
    if (target.isDir()) return localError(QStringLiteral("Cannot write"), localPath, QStringLiteral("it is a folder"));
    const char type = typeFor(item.name);
    qint64 offset = qMax<qint64>(0, startOffset);
    if (offset > 0 && type == 'A') {
        // Offsets in CR LF text on the wire and in LF text on disk differ:
        // a resumed ASCII file would be corrupt.
        emit logLine(QStringLiteral("An ASCII transfer cannot resume; receiving %1 whole.").arg(item.name));
        offset = 0;
    }
    if (offset == 0 && target.exists()) {
        bool replace = false;
        emit fileExists(item.name, replace);
        if (!replace) {
            emit skippingFile(item.name, localPath, kExistsNotReplaced);
            return std::nullopt;
        }
    }

    // A whole file goes to a temporary file that replaces the target only once
    // it is complete; a resumed one is written in place from the offset.
    std::unique_ptr<QFileDevice> file;
    if (offset == 0) {
        auto saveFile = std::make_unique<QSaveFile>(localPath);
        saveFile->setDirectWriteFallback(false);
        if (!saveFile->open(QIODevice::WriteOnly))
            return localError(QStringLiteral("Cannot create"), localPath, saveFile->errorString());
        file = std::move(saveFile);
    } else {
        auto plain = std::make_unique<QFile>(localPath);
        if (!plain->open(QIODevice::ReadWrite))
            return localError(QStringLiteral("Cannot open"), localPath, plain->errorString());
        if (plain->size() < offset)
            return localError(QStringLiteral("Cannot resume"), localPath,
                              QStringLiteral("the local file is shorter than the offset"));
        if (!plain->resize(offset) || !plain->seek(offset))
            return localError(QStringLiteral("Cannot resume"), localPath, plain->errorString());
        file = std::move(plain);
    }

    FtpTransferJob::Plan plan;
    plan.direction = FtpTransferJob::Direction::Receive;
    plan.command = "RETR " + remotePath;
    plan.type = type;
    plan.sizeOf = remotePath;
    // A folder walk knows every size from the listing: one round trip less per file.
    if (listed) plan.knownSize = item.size;
    plan.restOffset = offset;
    plan.device = file.get();
    if (FtpResult error =
            runTransfer(new FtpTransferJob(*session_, plan), item.name, localPath, offset, std::nullopt)) {
        if (auto* saveFile = qobject_cast<QSaveFile*>(file.get())) saveFile->cancelWriting();
        return error;
    }
    if (auto* saveFile = qobject_cast<QSaveFile*>(file.get())) {
        if (!saveFile->commit())
            return localError(QStringLiteral("Cannot write"), localPath, saveFile->errorString());
        return std::nullopt;
    }
    file->close();
    if (file->error() != QFileDevice::NoError)
        return localError(QStringLiteral("Cannot write"), localPath, file->errorString());
    return std::nullopt;
}

FtpResult FtpComponent::sendFile(const QString& localPath, qint64 startOffset,
                                 const QString& remoteName, bool resume) {
    const QByteArray raw = session_->encodeName(remoteName);
    if (FtpText::breaksCommand(raw)) {
        return FtpErrors::make(FtpErrors::kUnsafeArgument,
                               QStringLiteral("The name holds a line break or NUL and was not sent."));
    }
    if (FtpResult error = begin(SendingFile)) return error;
    return finish(sendOne(localPath, startOffset, raw, resume));
}

FtpResult FtpComponent::sendOne(const QString& localPath, qint64 startOffset,
                                const QByteArray& remoteName, bool resume) {
    const QString name = FtpText::decode(remoteName);
    emit sendingFile(name);
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return localError(QStringLiteral("Cannot read"), localPath, file.errorString());
    const char type = typeFor(localPath);
    // Only a resume continues the remote file; anything else stores it whole.
    qint64 offset = resume ? qMax<qint64>(0, startOffset) : 0;
    if (offset > 0 && type == 'A') {
        emit logLine(QStringLiteral("An ASCII transfer cannot resume; sending %1 whole.").arg(name));
        offset = 0;
    }
    if (offset > file.size())
        return localError(QStringLiteral("Cannot resume"), localPath,
                          QStringLiteral("the remote file is longer than the local one"));
    if (offset > 0 && !file.seek(offset))
        return localError(QStringLiteral("Cannot read"), localPath, file.errorString());

    FtpTransferJob::Plan plan;
    plan.direction = FtpTransferJob::Direction::Send;
    plan.command = "STOR " + remoteName;
    plan.type = type;
    plan.restOffset = offset;
    if (offset > 0) plan.appendCommand = "APPE " + remoteName;
    plan.device = &file;
    return runTransfer(new FtpTransferJob(*session_, plan), name, localPath, offset, file.size());
}
