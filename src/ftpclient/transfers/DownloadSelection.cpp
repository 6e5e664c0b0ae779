#include "ftpclient/transfers/DownloadSelection.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/component/FtpNames.h"
#include "ftpclient/transfers/TransferEvents.h"

#include <QDir>
#include <QFileInfo>

DownloadSelection::DownloadSelection(KarvoWindow& window) : window_(window) {}

void DownloadSelection::Download() {
    FtpResult result;
    {
        BusyPointer busy(window_);
        window_.setAbortEnabled(true);
        for (const KarvoListItem& item : window_.remoteSelection()) {
            if (window_.stopRequested()) result = FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
            else result = receive(item);
            if (result) break;
        }
        window_.setProgress(0);
    }
    window_.setAbortEnabled(false);
    window_.refreshLocalList();
    if (!result) {
        window_.StatusBarInfo(QStringLiteral("File download(s) complete."));
    } else if (result->number == FtpErrors::kAborted) {
        window_.DisplayMessage(QStringLiteral("Download successfully aborted."));
        window_.StatusBarInfo(QStringLiteral("Download aborted."));
    } else {
        window_.DisplayMessage(QStringLiteral("Error while downloading file(s). Description: ") +
                               result->description);
        window_.StatusBarInfo(QStringLiteral("Error downloading file(s)."));
    }
}

FtpResult DownloadSelection::receive(const KarvoListItem& item) {
    // The list holds what the server named; a name that is no single plain
    // component would put the file outside the current local folder.
    if (!FtpNames::isSafeLocalName(item.name)) {
        window_.DisplayMessage(
            TransferEvents::skipText(item.name, QString(), FtpComponent::kUnsafeName));
        return std::nullopt;
    }
    FtpComponent& ftp = window_.xFtp();
    const QString target = QDir(window_.currentLocalFolder()).filePath(item.name);
    if (!item.isFolder()) return ftp.receiveFile(item.name, 0, target);

    // A folder that exists already is merged into, as a second download of the
    // same folder must be possible; a file of that name is in the way.
    const QFileInfo folder(target);
    if ((folder.exists() || folder.isSymLink()) && !folder.isDir())
        return FtpErrors::make(FtpErrors::kLocalFile,
                               QStringLiteral("Cannot create the folder %1: a file of that name "
                                              "exists.")
                                   .arg(target));
    if (!QDir().mkpath(target))
        return FtpErrors::make(FtpErrors::kLocalFile,
                               QStringLiteral("Cannot create the folder %1").arg(target));
    const bool subfolders = Dialogs::instance().message(
                                QStringLiteral("Do you want to receive any subfolders that are "
                                               "contained in the '") +
                                    item.name + QStringLiteral("' folder?"),
                                Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                                kConfirmTitle) == Dialogs::Answer::Yes;
    if (window_.stopRequested()) return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
    return ftp.receiveFiles(item.name + QStringLiteral("/*"), target + u'/', subfolders);
}
