#include "ftpclient/transfers/UploadSelection.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/transfers/KarvoWindow.h"
#include "ftpclient/transfers/RecursiveUpload.h"
#include "ftpclient/transfers/TransferMode.h"
#include "ftpclient/transfers/UploadConflict.h"

#include <QFileInfo>
#include <algorithm>

UploadSelection::UploadSelection(KarvoWindow& window, const TransferMode& mode)
    : window_(window), mode_(mode) {}

void UploadSelection::Upload() {
    Upload(UploadEntry::fromSelection(window_.currentLocalFolder(), window_.localSelection()));
}

void UploadSelection::Upload(const QList<UploadEntry>& entries) {
    FtpResult result;
    {
        BusyPointer busy(window_);
        window_.setAbortEnabled(true);
        checkAll = false;
        for (const UploadEntry& entry : entries) {
            if (window_.stopRequested()) result = FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
            else result = entry.folder ? sendFolder(entry) : sendFile(entry);
            if (result) break;
        }
        if (!result) {
            window_.StatusBarInfo(QStringLiteral("Upload complete"));
        } else if (result->number == FtpErrors::kAborted) {
            window_.DisplayMessage(QStringLiteral("Upload successfully aborted."));
            window_.StatusBarInfo(QStringLiteral("Upload aborted."));
        } else {
            window_.DisplayMessage(QStringLiteral("Error while uploading file(s). Description: ") +
                                   result->description);
            window_.StatusBarInfo(QStringLiteral("Error while uploading file(s)."));
        }
        window_.setProgress(0);
    }
    window_.setAbortEnabled(false);
    window_.refreshRemoteList();
}

FtpResult UploadSelection::sendFolder(const UploadEntry& entry) {
    const bool subfolders = Dialogs::instance().message(
                                QStringLiteral("Do you want to send any subfolders that are "
                                               "contained in the '") +
                                    entry.path + QStringLiteral("' folder?"),
                                Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                                kConfirmTitle) == Dialogs::Answer::Yes;
    if (window_.stopRequested()) return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
    if (subfolders && mode_.autoMode())
        return RecursiveUpload(window_.xFtp(), window_).run(entry.path, entry.name);
    return window_.xFtp().sendFiles(entry.path + QStringLiteral("/*"), entry.name, true,
                                    subfolders);
}

FtpResult UploadSelection::sendFile(const UploadEntry& entry) {
    FtpComponent& ftp = window_.xFtp();
    const QFileInfo local(entry.path);
    // A pipe or a device would block the read for ever; only regular files go.
    if (local.exists() && !local.isFile()) {
        window_.DisplayMessage(QStringLiteral("Skiped sending file:") + u' ' + entry.name);
        return std::nullopt;
    }
    QList<FtpItem> remote;
    if (FtpResult error = ftp.folderContents(QString(), 0, remote)) return error;

    UploadConflict::Plan plan;
    const auto found = std::find_if(remote.begin(), remote.end(),
                                    [&](const FtpItem& item) { return item.name == entry.name; });
    if (found != remote.end() &&
        UploadConflict::differs(local.size(), local.lastModified(), found->size,
                                found->dateTime)) {
        if (!checkAll) {
            const ExistAnswer answer = window_.askFileExists(
                UploadConflict::sourceText(local.size(), local.lastModified()),
                UploadConflict::destinationText(found->size, found->dateTime),
                UploadConflict::canResume(local.size(), found->size));
            eResumeFile = answer.eResumeFile;
            checkAll = answer.checkAll;
        }
        plan = UploadConflict::apply(eResumeFile, entry.name, local.size(), found->size);
    }
    switch (plan.action) {
        case UploadConflict::Plan::Cancel:
            return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The upload was cancelled."));
        case UploadConflict::Plan::Skip:
            if (!plan.note.isEmpty()) window_.DisplayMessage(plan.note);
            window_.DisplayMessage(QStringLiteral("Skiped sending file:") + u' ' + entry.name);
            return std::nullopt;
        case UploadConflict::Plan::Send:
            break;
    }
    return ftp.sendFile(entry.path, plan.offset, entry.name, plan.resume);
}
