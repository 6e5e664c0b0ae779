#pragma once

#include <QStringList>
#include <functional>

class KarvoWindow;

// The operations of the local list's menu and the toolbar on the current
// local folder: Erase, Delete To Recycle Bin, Rename File, Create Folder and
// Empty Local Recycle Bin.
//
// Nothing is lost without the user's word: Erase removes files and empty
// folders and offers the trash for a folder with contents; a rename never
// replaces an existing file (the system call would, silently); the trash is
// only emptied after a question, since the desktop's trash asks nothing.
class LocalOperations {
public:
    explicit LocalOperations(KarvoWindow& window);

    void Erase();
    void DeleteToRecycleBin();
    void Rename();
    void CreateFolder();
    void EmptyRecycleBin();

    // The trash folders "Empty Local Recycle Bin" empties.
    std::function<QStringList()> trashFolders;

private:
    // Erases one selected entry; false when it stays.
    bool erase(const QString& path);

    KarvoWindow& window_;
};
