#include "ftpclient/main/frmMainAccess.h"

#include "ftpclient/main/frmMain.h"

namespace karvo {

namespace {

QList<KarvoListItem> selectedRows(const FileList& list) {
    QList<KarvoListItem> rows;
    for (int index : list.SelectedIndexes()) {
        const FileRow& row = list.At(index);
        rows.append({row.name, row.icon});
    }
    return rows;
}

}  // namespace

FtpComponent& frmMainAccess::xFtp() {
    return main_.xFtp;
}

QString frmMainAccess::currentLocalFolder() const {
    return main_.sCurrentLocalPath;
}

QString frmMainAccess::remotePathText() const {
    return main_.cboRemotePath.Text();
}

QList<KarvoListItem> frmMainAccess::localSelection() const {
    return selectedRows(main_.lstLocalFileList);
}

QList<KarvoListItem> frmMainAccess::remoteSelection() const {
    return selectedRows(main_.lstRemoteFileList);
}

void frmMainAccess::StatusBarInfo(const QString& sMessage) {
    main_.StatusBarInfo(sMessage);
}

void frmMainAccess::DisplayMessage(const QString& sMessage) {
    main_.DisplayMessage(sMessage);
}

void frmMainAccess::setProgress(int percent) {
    main_.SetProgress(percent);
}

void frmMainAccess::setAbortEnabled(bool enabled) {
    main_.SetAbortEnabled(enabled);
}

void frmMainAccess::setBusyPointer(bool busy) {
    main_.SetHourglass(busy);
}

void frmMainAccess::setMovieVariable(const QString& name, const QString& value) {
    main_.SetVariable(name, value);
}

void frmMainAccess::refreshLocalList() {
    main_.RefreshLocal();
}

void frmMainAccess::refreshRemoteList() {
    if (main_.xFtp.state() != FtpComponent::NotConnected) main_.RefreshRemote();
}

void frmMainAccess::coverRemoteList(bool cover) {
    main_.CoverRemoteList(cover);
}

bool frmMainAccess::stopRequested() const {
    return main_.Closing();
}

ExistAnswer frmMainAccess::askFileExists(const QString& sourceText, const QString& destinationText,
                                         bool resumeAllowed) {
    // Without a window to ask in, nothing is replaced: Cancel.
    if (!main_.hooks.askFileExists) return ExistAnswer{};
    return main_.hooks.askFileExists(sourceText, destinationText, resumeAllowed);
}

}  // namespace karvo
