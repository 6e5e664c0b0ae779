#pragma once

#include <QString>

// Karvo's values in the hive: text values under HKEY_LOCAL_MACHINE,
// "\Software\VornelKarvo\FTP4.0\".
namespace KarvoRegistry {

extern const QString kKey;

// The value, or `def` when it is missing or empty.
QString get(const QString& name, const QString& def);
bool save(const QString& name, const QString& value);
// A Boolean value: "True"/"False" in any case, or a number (non-zero is
// true); `def` for anything else.
bool getBool(const QString& name, bool def);

}  // namespace KarvoRegistry
