// Folder trees up and down. Both walks start from the remote folder that is
// current when the call begins and return to it at the end, also after a
// failure or an abort. Links are never followed on either side, and the depth
// is capped, so neither a link loop nor a hostile server can keep a walk going.
#include "ftpclient/component/FtpComponent.h"

#include "ftpclient/component/FtpNames.h"
#include "ftpclient/component/FtpSession.h"
#include "ftpclient/component/FtpText.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kMaxDepth = 64;

FtpError aborted() {
    return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The operation was aborted."));
}

}  // namespace

FtpResult FtpComponent::returnTo(const QByteArray& folder, const FtpResult& result) {
    if (folder.isEmpty() || !session_->control().isOpen()) return result;
    const FtpResult back = command("CWD " + folder, {});
    return result ? result : back;
}

FtpResult FtpComponent::receiveFiles(const QString& remoteMask, const QString& localFolder,
                                     bool includeSubfolders) {
    if (FtpResult error = begin(ReceivingFiles)) return error;
    if (FtpResult error = readCurrentFolder()) return finish(error);
    const QByteArray start = session_->currentFolder;
    const FtpNames::Mask mask = FtpNames::splitMask(remoteMask);
    FtpResult result;
    if (!mask.folder.isEmpty()) result = command("CWD " + session_->encodeName(mask.folder), {});
    if (!result) result = readCurrentFolder();
    if (!result) {
        result = receiveTree(session_->currentFolder, mask.pattern, localFolder, includeSubfolders, 0);
    }
    return finish(returnTo(start, result));
}

FtpResult FtpComponent::receiveTree(const QByteArray& remoteFolder, const QString& pattern,
                                    const QString& localFolder, bool includeSubfolders, int depth) {
    if (abortRequested()) return aborted();
    emit scanningFolder(FtpText::decode(remoteFolder));
    if (FtpResult error = command("CWD " + remoteFolder, {})) return error;
    QList<FtpItem> items;
    if (FtpResult error = list(QString(), items)) return error;
    if (!QDir().mkpath(localFolder)) {
        return FtpErrors::make(FtpErrors::kLocalFile, QStringLiteral("Cannot create the folder %1").arg(localFolder));
    }
    QList<FtpItem> folders;
    for (const FtpItem& item : items) {
        if (abortRequested()) return aborted();
        if (!FtpNames::matches(pattern, item.name)) continue;
        if (!FtpNames::isSafeLocalName(item.name)) {
            emit skippingFile(item.name, QString(), kUnsafeName);
            continue;
        }
        if (item.type == FtpItem::Link) {
            emit skippingFile(item.name, QString(), kLinkNotFollowed);
        } else if (item.type == FtpItem::Folder) {
            if (includeSubfolders) folders.append(item);
        } else {
            const QString localPath = QDir(localFolder).filePath(item.name);
            if (FtpResult error = receiveOne(item, item.rawName, 0, localPath, true)) return error;
        }
    }
    for (const FtpItem& folder : folders) {
        if (depth + 1 >= kMaxDepth) {
            emit skippingFile(folder.name, QString(), kTooDeep);
            continue;
        }
        if (FtpResult error = receiveTree(FtpNames::joinRemote(remoteFolder, folder.rawName), QStringLiteral("*"),
                                          QDir(localFolder).filePath(folder.name), true, depth + 1)) {
            return error;
        }
    }
    return std::nullopt;
}

FtpResult FtpComponent::makeAndEnterFolder(const QByteArray& name, bool create) {
    if (!command("CWD " + name, {})) return std::nullopt;
    if (!create) return FtpErrors::make(FtpErrors::kServerRefused, QStringLiteral("No remote folder ") + FtpText::decode(name));
    // "Exists already" is as good as made; whether CWD then works decides.
    if (FtpResult error = command("MKD " + name, {})) {
        if (error->number != FtpErrors::kServerRefused) return error;
    }
    return command("CWD " + name, {});
}

FtpResult FtpComponent::sendFiles(const QString& localMask, const QString& remoteFolder,
                                  bool createFolders, bool includeSubfolders) {
    if (FtpText::breaksCommand(remoteFolder.toUtf8())) {
        return FtpErrors::make(FtpErrors::kUnsafeArgument,
                               QStringLiteral("The name holds a line break or NUL and was not sent."));
    }
    if (FtpResult error = begin(SendingFiles)) return error;
    if (FtpResult error = readCurrentFolder()) return finish(error);
    const QByteArray start = session_->currentFolder;
    const FtpNames::Mask mask = FtpNames::splitMask(localMask);
    const QString localFolder = mask.folder.isEmpty() ? QStringLiteral(".") : mask.folder;
    FtpResult result;
    if (!remoteFolder.isEmpty()) result = makeAndEnterFolder(session_->encodeName(remoteFolder), createFolders);
    if (!result) result = sendTree(localFolder, mask.pattern, includeSubfolders, 0);
    return finish(returnTo(start, result));
}

FtpResult FtpComponent::sendTree(const QString& localFolder, const QString& pattern,
                                 bool includeSubfolders, int depth) {
    if (abortRequested()) return aborted();
    emit scanningFolder(localFolder);
    if (FtpResult error = readCurrentFolder()) return error;
    const QByteArray here = session_->currentFolder;
    const QDir dir(localFolder);
    if (!dir.exists()) {
        return FtpErrors::make(FtpErrors::kLocalFile, QStringLiteral("Cannot read the folder %1").arg(localFolder));
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QFileInfoList folders;
    for (const QFileInfo& entry : entries) {
        if (abortRequested()) return aborted();
        if (!FtpNames::matches(pattern, entry.fileName())) continue;
        const QByteArray name = entry.fileName().toUtf8();
        if (FtpText::breaksCommand(name)) {
            emit logLine(QStringLiteral("Skipped %1: its name holds a line break.").arg(FtpText::forDisplay(name)));
            emit skippingFile(entry.filePath(), QString(), kUnsafeName);
            continue;
        }
        if (entry.isDir()) {
            if (!includeSubfolders) continue;
            if (entry.isSymLink()) {
                emit skippingFile(entry.filePath(), QString(), kLinkNotFollowed);
                continue;
            }
            folders.append(entry);
        } else if (entry.isFile()) {
            if (FtpResult error = sendOne(entry.filePath(), 0, name, false)) return error;
        } else {
            emit skippingFile(entry.filePath(), QString(), kNotRegularFile);
        }
    }
    for (const QFileInfo& folder : folders) {
        if (depth + 1 >= kMaxDepth) {
            emit skippingFile(folder.filePath(), QString(), kTooDeep);
            continue;
        }
        if (FtpResult error = makeAndEnterFolder(folder.fileName().toUtf8(), true)) return error;
        if (FtpResult error = sendTree(folder.filePath(), QStringLiteral("*"), true, depth + 1)) return error;
        if (FtpResult error = command("CWD " + here, {})) return error;
    }
    return std::nullopt;
}
