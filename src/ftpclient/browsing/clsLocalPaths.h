#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

namespace karvo {

// The local file system as the main window sees it: folder listings and drives
// reported through events, and the few changes the windows make. Paths of
// folders end with "/".
class clsLocalPaths : public QObject {
    Q_OBJECT
public:
    // The folder bit of an entry's attributes; -1 stands for an entry whose
    // data could not be read (a dangling link, no permission), listed as a file.
    static constexpr int kFolderAttribute = 16;
    static constexpr int kUnreadable = -1;

    explicit clsLocalPaths(QObject* parent = nullptr) : QObject(parent) {}

    // Reports every entry of the folder, hidden ones included ("." and ".."
    // not), ordered by name, then the folder itself. A folder that cannot be
    // read shows "Cannot read the contents of " + path and reports nothing more;
    // false then.
    bool RetrieveLocalFolderContents(const QString& sPath);
    // The same for the entries whose names match the mask ("*.gif"; "*" and
    // "?" wildcards, without regard to letter case).
    bool RetrieveDefinedLocalFolderContents(const QString& sPath, const QString& definedType);
    // Reports "/", the home folder, then every mounted volume a user keeps
    // files on (pseudo file systems such as /proc are left out).
    void RetrieveLogicalDrives();

    // The changes; each returns an empty text on success, else the reason.
    QString DeleteLocalFile(const QString& sFileToDelete);
    // Never replaces: a new name that exists already is refused.
    QString RenameLocalFile(const QString& sCurrentName, const QString& sNewName);
    // Only an empty folder.
    QString RemoveLocalFolder(const QString& sFolderToDelete);
    QString CreateLocalFolder(const QString& sFolderToCreate);

signals:
    void UpdateLocalEntry(const QString& sName, const QDateTime& date, qint64 size, int nAttrib);
    void AddToLocalPaths(const QString& sPathToAdd);
    void LogicalDriveFound(const QString& sDriveToAdd);

private:
    bool retrieve(const QString& path, const QString& mask);
};

}  // namespace karvo
