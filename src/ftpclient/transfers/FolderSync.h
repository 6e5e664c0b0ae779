#pragma once

#include "ftpclient/component/FtpError.h"

class KarvoWindow;

// Folder synchronisation between the current local folder and the remote
// folder shown in the path box, by size or by date ("DIR SYNC BY FILE SIZE").
//
// Down (Remote menu "Synchronize Directory", "IDC_FS_RDirSynchronize") fetches
// the remote files that are missing or differ locally; a local file is only
// ever replaced through the replace question, so local changes are never lost
// without the user's word. Up (Local menu, "IDC_FS_LDirSynchronize") sends the
// local files that are missing or differ remotely, under the deletion work
// list. Neither deletes anything, and neither enters subfolders. A failure of
// one file is logged and the next one follows; an abort or a lost connection
// ends the run.
class FolderSync {
public:
    explicit FolderSync(KarvoWindow& window);

    void SynchronizeDown();
    void SynchronizeUp();

private:
    FtpResult down(bool bySize);
    FtpResult up(bool bySize);
    // The remote folder of the path box, entered.
    FtpResult enterShownFolder();

    KarvoWindow& window_;
};
