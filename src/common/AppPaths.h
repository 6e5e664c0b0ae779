#pragma once

#include <QString>

// Where the programs keep their files.
//
// Program folder (Settings.ini, History.ini, errorlog.txt, Lang-I/, Profiles/ ...):
//   $VORNELKARVO_ROOT/program, else ${XDG_DATA_HOME:-~/.local/share}/VornelKarvo.
// Runtime folder (hand-over socket, single-instance locks), mode 0700:
//   $VORNELKARVO_ROOT/run, else $XDG_RUNTIME_DIR/VornelKarvo, else /tmp/VornelKarvo-<uid>.
// Both are created on first use. The runtime folder must be a folder of this user that
// nobody else can enter; when the usual place is taken by someone else, the folder
// ~/.cache/VornelKarvo-run is used instead (empty only when that fails too).
class AppPaths {
public:
    static QString programFolder();
    static QString runtimeFolder();
    // $VORNELKARVO_ROOT as an absolute path; empty when it is not set.
    static QString rootOverride();
    // Folder of the running executable (files we ship lie beside it).
    static QString executableFolder();
    // The suite's files that are no programs (the user's guide, the browser
    // extensions): share/vornelkarvo beside the executables' bin/ folder, as
    // installed; the build tree has the same layout.
    static QString sharedDataFolder();
    // A file or folder the programs ship (language files, Karvo's guide and
    // standard profiles): beside the executables in the build tree, under
    // sharedDataFolder() when installed. `besideProgram` is the folder looked in
    // first; the result names it when the file is in neither place.
    static QString shippedPath(const QString& besideProgram, const QString& name);
    // The user's download folder: XDG_DOWNLOAD_DIR of user-dirs.dirs, else
    // ~/Downloads. Where new files go while the user has chosen no folder.
    static QString downloadFolder();
};

// The program folder, a separator (omitted when the folder already ends in one) and name.
QString AppFilePath(const QString& name);
