#pragma once

#include <QString>
#include <QStringList>

// The folder of the language files: program folder + "Lang-I/".
QString LanguageFolder();

// The language files in the language folder, named without ".ini" (any letter
// case), sorted without regard to case.
QStringList LanguageNames();

// The language file chosen last, kept with the per-user program settings of the
// running program's title ("" when none is kept), and storing it there.
QString StoredLanguageFile();
bool StoreLanguageFile(const QString& fileName);

// Copies the language files shipped beside the executables (the folder "Lang-I"
// there) into the language folder, each only when the folder has no file of that
// name: a file the user edited or translated stays as it is.
void InstallShippedLanguageFiles();

// The text of key in section "Zu" of the language file LangFile, def when the file,
// section or key is missing; cut to 499 characters and trimmed of trailing blanks.
// A lookup that fails is written to errorlog.txt and yields "".
QString SetCaptionfromINI(const QString& key, const QString& def);

// Appends an entry to errorlog.txt in the program folder.
void WriteErrorLog(const QString& description, int number, const QString& method);
