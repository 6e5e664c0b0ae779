#pragma once

#include <QString>

// Karvo's values in the settings hive: all text, under one key of the machine
// root. A missing or empty value reads as the default named at each use.
namespace KarvoSettings {

// "\Software\VornelKarvo\FTP4.0\"
extern const QString kKey;

QString Read(const QString& name, const QString& def);
bool Write(const QString& name, const QString& value);

// A Boolean text ("1", "0", "True", "False" in any case, or a number); a text
// that is none of these reads as `def`.
bool ReadBoolean(const QString& name, bool def);

// "Language", where an empty value also means "English.ini".
QString Language();

}  // namespace KarvoSettings
