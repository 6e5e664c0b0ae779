#pragma once

#include <QList>
#include <QString>

class FtpComponent;

// "FTP Client", and the title of every Yes/No question of the transfers and file
// operations: "FTP Client" directly followed by "[Confirm]".
inline const QString kClientTitle = QStringLiteral("FTP Client");
inline const QString kConfirmTitle = QStringLiteral("FTP Client[Confirm]");

// One row of the main window's file lists as the operations see it: the real
// name (whatever the list shows) and the icon, which is also the row's type.
struct KarvoListItem {
    enum Icon { File = 1, Folder = 2, Link = 3 };

    QString name;
    int icon = File;

    bool isFolder() const { return icon == Folder; }
};

// What the file-exists dialog answers: its decision (eResumeFile) and its
// "Apply To All" box.
struct ExistAnswer {
    enum Decision { Overwrite = 0, Resume = -1, Cancel = -2, Skip = -3 };

    int eResumeFile = Cancel;
    bool checkAll = false;
};

// What Karvo's transfers, file operations and commands need of the main
// window. The window implements it; the tests use a recording one.
class KarvoWindow {
public:
    virtual ~KarvoWindow() = default;

    // The FTP component of the window (xFtp).
    virtual FtpComponent& xFtp() = 0;
    // The current local folder, ending with "/".
    virtual QString currentLocalFolder() const = 0;
    // The text of the remote path box (cboRemotePath).
    virtual QString remotePathText() const = 0;
    // The selected rows, in list order.
    virtual QList<KarvoListItem> localSelection() const = 0;
    virtual QList<KarvoListItem> remoteSelection() const = 0;

    virtual void StatusBarInfo(const QString& sMessage) = 0;
    virtual void DisplayMessage(const QString& sMessage) = 0;
    // ProgressBar1 and the toolbar's _root.Progress_mc._xscale.
    virtual void setProgress(int percent) = 0;
    virtual void setAbortEnabled(bool enabled) = 0;
    // The hourglass pointer; calls nest.
    virtual void setBusyPointer(bool busy) = 0;
    virtual void setMovieVariable(const QString& name, const QString& value) = 0;
    virtual void refreshLocalList() = 0;
    virtual void refreshRemoteList() = 0;
    // The deletion work list lstDel and its folder box cmbDel: copies of the
    // remote list and path box laid over them (true), or hidden again (false),
    // so the user keeps seeing the list while a walk moves the remote folder.
    virtual void coverRemoteList(bool cover) = 0;
    // True once the program is ending: a walk stops before its next step. (An
    // exit that comes while a dialog is open closes the dialog, whose answer
    // must then not start more work.)
    virtual bool stopRequested() const = 0;
    // Karvo's file-exists dialog "File Exists!", modal. `resumeAllowed` false
    // disables its Resume button.
    virtual ExistAnswer askFileExists(const QString& sourceText, const QString& destinationText,
                                      bool resumeAllowed) = 0;
};

// The hourglass for the life of the object, on every way out of a handler.
class BusyPointer {
public:
    explicit BusyPointer(KarvoWindow& window) : window_(window) { window_.setBusyPointer(true); }
    ~BusyPointer() { window_.setBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    KarvoWindow& window_;
};
