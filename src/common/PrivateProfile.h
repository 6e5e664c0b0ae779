#pragma once

#include <QString>

// Reading and writing INI files the way the desktop's private-profile calls do:
// "[Section]" headers, "key=value" lines, section and key names matched without
// regard to letter case, CR LF line ends. A missing file, section or key reads as
// the default. Values are returned as stored (no quote stripping).
class PrivateProfile {
public:
    // The value of key in section, or def when it is missing; cut to bufferSize - 1
    // characters as the fixed buffer of the original call would cut it.
    static QString GetString(const QString& section, const QString& key, const QString& def,
                             int bufferSize, const QString& filePath);
    // Sets key in section (creating file and section as needed) and replaces the
    // file atomically. False when the file could not be written.
    static bool WriteString(const QString& section, const QString& key, const QString& value,
                            const QString& filePath);
};
