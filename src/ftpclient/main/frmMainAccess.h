#pragma once

#include "ftpclient/transfers/KarvoWindow.h"

namespace karvo {

class frmMain;

// The main window as the transfers, file operations and commands reach it:
// its lists' selections, status line, log, progress, Abort, hourglass and
// the file-exists dialog.
class frmMainAccess : public KarvoWindow {
public:
    explicit frmMainAccess(frmMain& main) : main_(main) {}

    FtpComponent& xFtp() override;
    QString currentLocalFolder() const override;
    QString remotePathText() const override;
    QList<KarvoListItem> localSelection() const override;
    QList<KarvoListItem> remoteSelection() const override;
    void StatusBarInfo(const QString& sMessage) override;
    void DisplayMessage(const QString& sMessage) override;
    void setProgress(int percent) override;
    void setAbortEnabled(bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setMovieVariable(const QString& name, const QString& value) override;
    void refreshLocalList() override;
    void refreshRemoteList() override;
    void coverRemoteList(bool cover) override;
    bool stopRequested() const override;
    ExistAnswer askFileExists(const QString& sourceText, const QString& destinationText,
                              bool resumeAllowed) override;

private:
    frmMain& main_;
};

}  // namespace karvo
