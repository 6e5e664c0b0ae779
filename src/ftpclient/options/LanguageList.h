#pragma once

#include <QList>
#include <QString>

// The languages the options dialog offers: every "*.ini" file (any case) of
// the program folder's "Lang/" folder, named without its last four
// characters, with the picture of the "*.bmp" file of the same name; and
// "English", the program's own texts, when no file of that name is there.
struct LanguageEntry {
    QString name;
    // The picture's path; empty when there is none.
    QString picture;
};

namespace LanguageList {

QString folder();
QList<LanguageEntry> read(const QString& folder);
// The entry whose name + ".ini" equals the language file name, compared in
// capitals; -1 when none does.
int indexOf(const QList<LanguageEntry>& entries, const QString& languageFile);

}  // namespace LanguageList
