#pragma once

#include "ftpclient/component/FtpError.h"
#include "ftpclient/transfers/UploadEntry.h"

#include <QList>

class KarvoWindow;
class TransferMode;

// Upload of the selection (cmdSend "->", "Upload File(s)", "IDC_FS_Upload", a
// drop on the remote list) into the remote current folder.
//
// A folder asks whether its subfolders go too; in Auto mode with Yes it goes
// through RecursiveUpload, otherwise through the component's sendFiles. A file
// whose name the remote folder holds with another size or date asks through
// the file-exists dialog, unless "Apply To All" was ticked earlier in the same
// upload; then the last decision stands.
//
// Skip leaves out that one file; later files are judged on their own. Cancel
// ends the upload as an abort. Resume continues from the remote size and is
// offered only while the remote copy is shorter; a Resume that stands for all
// files skips, with a line in the log, the files it cannot continue.
class UploadSelection {
public:
    UploadSelection(KarvoWindow& window, const TransferMode& mode);

    // The local list's selection.
    void Upload();
    // Given files and folders (dropped from another program).
    void Upload(const QList<UploadEntry>& entries);

    // "Apply to all" of the running upload, and the decision that then stands.
    bool checkAll = false;
    int eResumeFile = 0;

private:
    FtpResult sendFolder(const UploadEntry& entry);
    FtpResult sendFile(const UploadEntry& entry);

    KarvoWindow& window_;
    const TransferMode& mode_;
};
