#pragma once

#include <QByteArray>
#include <QString>

// Programs the desktop starts at log-in: one freedesktop autostart entry per
// program, a file "<id>.desktop" in ${XDG_CONFIG_HOME:-~/.config}/autostart whose
// id is made from the description (lower case, every run of other characters a
// "-"). Two copies of a program installed in different folders therefore share
// one entry, the one written last.
class Autostart {
public:
    static QString Folder();
    // Where the entry for the description lives; empty for a description
    // without a letter or digit.
    static QString EntryPath(const QString& description);
    static bool IsPresent(const QString& description);

    // Writes the entry (creating the folder), replacing the file atomically.
    // False, with nothing changed, when it cannot be written or the path holds a
    // control character, which no entry can carry.
    static bool Add(const QString& description, const QString& executablePath);
    // Removes the entry. True when it is gone afterwards; a missing one counts.
    static bool Remove(const QString& description);

private:
    // The entry's text: Name, Exec (the path quoted as the entry format demands),
    // TryExec, and a key that marks it as ours.
    static QByteArray EntryText(const QString& description, const QString& executablePath);
};
