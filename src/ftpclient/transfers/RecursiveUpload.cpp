#include "ftpclient/transfers/RecursiveUpload.h"

#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/component/FtpText.h"
#include "ftpclient/transfers/KarvoWindow.h"
#include "ftpclient/transfers/TransferEvents.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

constexpr int kMaxDepth = 64;

}  // namespace

RecursiveUpload::RecursiveUpload(FtpComponent& ftp, KarvoWindow& window)
    : ftp_(ftp), window_(window) {}

FtpResult RecursiveUpload::run(const QString& localFolder, const QString& remoteName) {
    QString start;
    if (FtpResult error = ftp_.currentFolder(start)) return error;
    const FtpResult result = walk(localFolder, remoteName, 0);
    const FtpResult back = ftp_.changeFolder(start);
    return result ? result : back;
}

FtpResult RecursiveUpload::enter(const QString& remoteName) {
    QList<FtpItem> items;
    if (FtpResult error = ftp_.folderContents(QString(), 0, items)) return error;
    // Names are compared with case: on a server that tells "Docs" from "docs"
    // the upload must not land in the other one.
    const bool exists = std::any_of(items.begin(), items.end(),
                                    [&](const FtpItem& item) { return item.name == remoteName; });
    if (!exists) {
        if (FtpResult error = ftp_.createFolder(remoteName)) return error;
    }
    return ftp_.changeFolder(remoteName);
}

FtpResult RecursiveUpload::walk(const QString& localFolder, const QString& remoteName, int depth) {
    if (ftp_.state() != FtpComponent::Idle)
        return FtpErrors::make(FtpErrors::kNotConnected, QStringLiteral("Not connected."));
    const QDir dir(localFolder);
    if (!dir.exists() || !dir.isReadable())
        return FtpErrors::make(FtpErrors::kLocalFile,
                               QStringLiteral("Cannot read the folder ") + localFolder);
    if (FtpResult error = enter(remoteName)) return error;
    QString here;
    if (FtpResult error = ftp_.currentFolder(here)) return error;

    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QFileInfoList folders;
    for (const QFileInfo& entry : entries) {
        if (FtpText::breaksCommand(entry.fileName().toUtf8())) {
            window_.DisplayMessage(TransferEvents::skipText(entry.filePath(), QString(),
                                                            FtpComponent::kUnsafeName));
        } else if (entry.isDir()) {
            if (entry.isSymLink())
                window_.DisplayMessage(TransferEvents::skipText(entry.filePath(), QString(),
                                                                FtpComponent::kLinkNotFollowed));
            else
                folders.append(entry);
        } else if (entry.isFile()) {
            if (FtpResult error = ftp_.sendFile(entry.filePath(), 0, entry.fileName(), false))
                return error;
        } else {
            window_.DisplayMessage(TransferEvents::skipText(entry.filePath(), QString(),
                                                            FtpComponent::kNotRegularFile));
        }
    }
    for (const QFileInfo& folder : folders) {
        if (depth + 1 >= kMaxDepth) {
            window_.DisplayMessage(
                TransferEvents::skipText(folder.filePath(), QString(), FtpComponent::kTooDeep));
            continue;
        }
        if (FtpResult error = walk(folder.filePath(), folder.fileName(), depth + 1)) return error;
        // Back by the path the server named, not by one level up: the walk
        // below may have ended anywhere.
        if (FtpResult error = ftp_.changeFolder(here)) return error;
    }
    return std::nullopt;
}
