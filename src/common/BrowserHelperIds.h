#pragma once

#include <QString>

// The names under which the browser helper, its native-messaging host and the two
// browser extensions find each other. Lumet's integration switch writes them; the
// host and the extensions read them. They never change between versions: a browser
// keeps an installed extension by its id, and the hive keeps the registration key.
namespace BrowserHelperIds {

// Class id of CBrowserHelper, in braces and upper-case hexadecimal.
inline const QString kClassId = QStringLiteral("{5C0E2A91-7B3D-4F6E-9A18-C4D2E7B90F35}");
// The browser's list of helper objects; the class id is a key below it.
inline const QString kHelperObjectsKey = QStringLiteral(
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\");

// Native-messaging host name: lower case, digits, "_" and "." only, which both
// browsers accept.
inline const QString kHostName = QStringLiteral("org.vornelkarvo.karvoie");
// The host program, installed beside Lumet's executables.
inline const QString kHostExecutable = QStringLiteral("karvoie-host");

// The Chromium extension's id: derived from the public "key" of its manifest (the
// first 128 bits of the key's SHA-256, each hex digit written as 'a' to 'p').
inline const QString kChromiumExtensionId = QStringLiteral("aljcnihdkhfainbfjjgobomoebnjeagf");
// The Firefox extension's id (browser_specific_settings.gecko.id of its manifest).
inline const QString kFirefoxExtensionId = QStringLiteral("karvoie@vornelkarvo.org");

}  // namespace BrowserHelperIds
