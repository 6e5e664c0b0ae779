#include "ftpclient/transfers/FolderSync.h"

#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/component/FtpNames.h"
#include "ftpclient/transfers/KarvoWindow.h"
#include "ftpclient/transfers/SyncDecision.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

// Errors after which the next file cannot fare better.
bool endsRun(const FtpError& error) {
    return error.number == FtpErrors::kAborted || error.number == FtpErrors::kNotConnected ||
           error.number == FtpErrors::kConnectionLost || error.number == FtpErrors::kTimedOut ||
           error.number == FtpErrors::kBusy;
}

}  // namespace

FolderSync::FolderSync(KarvoWindow& window) : window_(window) {}

FtpResult FolderSync::enterShownFolder() {
    return window_.xFtp().changeFolder(window_.remotePathText());
}

void FolderSync::SynchronizeDown() {
    FtpResult result;
    {
        BusyPointer busy(window_);
        window_.setAbortEnabled(true);
        window_.setProgress(0);
        result = down(SyncDecision::bySizeSetting());
        window_.setProgress(0);
    }
    window_.setAbortEnabled(false);
    if (result) window_.DisplayMessage(QStringLiteral("Error: ") + result->description);
    else window_.StatusBarInfo(QStringLiteral("Local Directory Sync Complete"));
    window_.refreshLocalList();
    window_.refreshRemoteList();
}

FtpResult FolderSync::down(bool bySize) {
    FtpComponent& ftp = window_.xFtp();
    if (FtpResult error = enterShownFolder()) return error;
    QList<FtpItem> remote;
    if (FtpResult error = ftp.folderContents(QString(), 0, remote)) return error;
    const QDir local(window_.currentLocalFolder());
    for (const FtpItem& item : remote) {
        if (window_.stopRequested()) return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
        if (item.type != FtpItem::File || !FtpNames::isSafeLocalName(item.name)) continue;
        const QFileInfo target(local.filePath(item.name));
        SyncDecision::Facts facts;
        facts.targetExists = target.exists() || target.isSymLink();
        facts.sourceSize = item.size;
        facts.sourceTime = item.dateTime;
        facts.targetSize = target.size();
        facts.targetTime = target.lastModified();
        if (!SyncDecision::transfer(facts, bySize)) continue;
        if (FtpResult error = ftp.receiveFile(item.name, 0, target.filePath())) {
            if (endsRun(*error)) return error;
            window_.DisplayMessage(error->description);
        }
    }
    return std::nullopt;
}

void FolderSync::SynchronizeUp() {
    FtpResult result;
    {
        BusyPointer busy(window_);
        window_.coverRemoteList(true);
        window_.setAbortEnabled(true);
        result = up(SyncDecision::bySizeSetting());
        window_.setProgress(0);
        window_.setAbortEnabled(false);
    }
    if (result) window_.DisplayMessage(result->description);
    else window_.StatusBarInfo(QStringLiteral("Remote Directory Sync Complete"));
    window_.refreshLocalList();
    window_.refreshRemoteList();
    window_.coverRemoteList(false);
}

FtpResult FolderSync::up(bool bySize) {
    FtpComponent& ftp = window_.xFtp();
    const QString localFolder = window_.currentLocalFolder();
    const QDir local(localFolder);
    if (!local.exists() || !local.isReadable())
        return FtpErrors::make(FtpErrors::kLocalFile,
                               QStringLiteral("Cannot read the contents of ") + localFolder);
    if (FtpResult error = enterShownFolder())
        return FtpErrors::make(error->number, QStringLiteral("Error: ") + error->description);
    QList<FtpItem> remote;
    if (FtpResult error = ftp.folderContents(QString(), 0, remote))
        return FtpErrors::make(error->number, QStringLiteral("Error: ") + error->description);
    QHash<QString, FtpItem> byName;
    for (const FtpItem& item : remote) byName.insert(item.name, item);

    // Regular files only: a pipe or a device would block the read for ever.
    const QFileInfoList files =
        local.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& file : files) {
        if (window_.stopRequested()) return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
        const auto found = byName.constFind(file.fileName());
        SyncDecision::Facts facts;
        facts.targetExists = found != byName.constEnd();
        facts.sourceSize = file.size();
        facts.sourceTime = file.lastModified();
        if (facts.targetExists) {
            facts.targetSize = found->size;
            facts.targetTime = found->dateTime;
        }
        if (!SyncDecision::transfer(facts, bySize)) continue;
        if (FtpResult error = ftp.sendFile(file.filePath(), 0, file.fileName(), false)) {
            if (endsRun(*error))
                return FtpErrors::make(error->number, QStringLiteral("Error: ") + error->description);
            window_.DisplayMessage(QStringLiteral("Error: ") + error->description);
        }
    }
    return std::nullopt;
}
