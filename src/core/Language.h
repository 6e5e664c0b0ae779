#pragma once

#include <QString>

// The folder of the language files: program folder + "Lang-I/".
QString LanguageFolder();

// The text of key in section "Zu" of the language file LangFile, def when the file,
// section or key is missing; cut to 499 characters and trimmed of trailing blanks.
// A lookup that fails is written to errorlog.txt and yields "".
QString SetCaptionfromINI(const QString& key, const QString& def);

// Appends an entry to errorlog.txt in the program folder.
void WriteErrorLog(const QString& description, int number, const QString& method);
