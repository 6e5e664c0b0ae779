#include "core/MonitorLists.h"

#include <QStringList>

namespace {

// Entries written with the wildcard match where the rest of them occurs.
bool listMatches(const QString& list, const QString& subject, QChar wildcard) {
    const QString lowerSubject = subject.toLower();
    for (QString entry : list.split(u';')) {
        if (entry.contains(wildcard)) {
            entry.replace(wildcard, u' ');
            if (lowerSubject.contains(entry.trimmed().toLower())) return true;
        } else if (entry.trimmed().toLower() == lowerSubject) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString FileExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

bool IsValidExt(const QString& text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u':':
            case u'?':
            case u'|':
            case u'"':
            case u'<':
            case u'>':
            case u'/':
            case u'\\':
                return false;
            default:
                break;
        }
    }
    return true;
}

bool ServerListMatches(const QString& list, const QString& server) {
    return listMatches(list, server, u'*');
}

bool ExtListMatches(const QString& list, const QString& dotExtension) {
    return listMatches(list, dotExtension, u'?');
}
