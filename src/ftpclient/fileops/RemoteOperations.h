#pragma once

#include "ftpclient/component/FtpError.h"

#include <QString>
#include <optional>

class KarvoWindow;

// The operations of the remote list's menu and the toolbar on the remote
// current folder: Delete (files, links and whole folders), Rename File,
// Create Folder and Move File(s) / Folder(s).
//
// Every failure is logged and the list is read again, so it shows the
// server's real state. A rename or move never replaces an item that exists
// under the new name (most Unix servers would, without a word).
class RemoteOperations {
public:
    explicit RemoteOperations(KarvoWindow& window);

    void Delete();
    void Rename();
    void CreateFolder();
    void Move();

private:
    FtpResult deleteSelection();
    // Whether `path` (a name in the current folder, or a path) names an existing
    // remote item; nothing when its folder cannot be read.
    std::optional<bool> exists(const QString& path);
    // Tells the user that `path` exists already.
    void refuse(const QString& path);

    KarvoWindow& window_;
};
