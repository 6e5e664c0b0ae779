#pragma once

#include "ftpclient/component/FtpError.h"
#include "ftpclient/transfers/KarvoWindow.h"

// Download of the selection (cmdReceive "<-", "Download File(s)",
// "IDC_FS_Download", a drop on the local list) into the current local folder.
//
// A folder goes into the local folder of its name, made when missing and used
// as it is when it exists already (its files then go through the replace
// question one by one); it asks whether its subfolders go too. Anything else
// is received as a file. The first error ends the whole selection.
class DownloadSelection {
public:
    explicit DownloadSelection(KarvoWindow& window);

    void Download();

private:
    FtpResult receive(const KarvoListItem& item);

    KarvoWindow& window_;
};
