#pragma once

#include "ftpclient/component/FtpError.h"

#include <QString>

class FtpComponent;

// Deletes a remote folder with everything in it, walking down from the folder
// that holds it, so that nothing outside the folder is ever touched:
//
// 1. Change into the folder and ask the server where it now is (PWD). Unless
//    it names the folder's full path, stop: the delete would hit whatever
//    folder the server is really in.
// 2. Delete its files and its links; a link is removed itself, never entered,
//    so a link to a folder elsewhere leaves that folder alone.
// 3. Walk into its true folders the same way.
// 4. Change back up, check the server is in the parent, remove the folder.
//
// The first failure or an abort stops the whole walk; the server is then
// taken back to the folder the walk started in. Listings are read with LIST,
// which marks links as links (some MLSD servers report a link as the type of
// its target).
class RemoteTreeDelete {
public:
    explicit RemoteTreeDelete(FtpComponent& ftp);

    // Deletes the folder `name` of the remote folder `parent` (a full path, as
    // the server reports it, and the server's current folder).
    FtpResult run(const QString& parent, const QString& name);

    // The full path of the top folder being deleted; empty between runs. No
    // walk step goes outside it.
    QString topFolder() const { return top_; }

    static QString join(const QString& folder, const QString& name);

private:
    FtpResult deleteFolder(const QString& parent, const QString& name, int depth);
    // The server's current folder must be `expected`.
    FtpResult expectFolder(const QString& expected);
    bool insideTop(const QString& path) const;

    FtpComponent& ftp_;
    QString top_;
};
