#pragma once

#include <QString>

// The list matchers behind "MonitorTypes" and "MonitorServer": shared by the
// add-address flow, the settings dialog's test button and the browser helper, so
// that all three judge an address alike.

// The text after the last "." of the file name, without the dot; "" when the
// name has no dot.
QString FileExtension(const QString& fileName);

// True when the text contains none of ':', '?', '|', '"', '<', '>', '/', '\'.
bool IsValidExt(const QString& text);

// Whether the server matches an entry of the ";"-list: "*" entries by
// occurrence, others by equality, both without regard to case.
bool ServerListMatches(const QString& list, const QString& server);
// Whether ".ext" matches an entry of the ";"-list: "?" entries by occurrence,
// others by equality, both without regard to case.
bool ExtListMatches(const QString& list, const QString& dotExtension);
