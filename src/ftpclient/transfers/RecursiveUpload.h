#pragma once

#include "ftpclient/component/FtpError.h"

#include <QString>

class FtpComponent;
class KarvoWindow;

// The Auto-mode upload of one local folder with everything below it: the
// remote folder of the same name is entered (made first when missing), every
// file is sent at once with the choice by extension, then every subfolder the
// same way. The remote folder the walk started in is current again afterwards,
// also after a failure, so the next items of a selection land where the user
// sees them. Local links to folders are not followed (a link loop would never
// end), and files that are not regular files (pipes, sockets) are skipped, both
// with a line in the log.
class RecursiveUpload {
public:
    RecursiveUpload(FtpComponent& ftp, KarvoWindow& window);

    FtpResult run(const QString& localFolder, const QString& remoteName);

private:
    FtpResult walk(const QString& localFolder, const QString& remoteName, int depth);
    FtpResult enter(const QString& remoteName);

    FtpComponent& ftp_;
    KarvoWindow& window_;
};
