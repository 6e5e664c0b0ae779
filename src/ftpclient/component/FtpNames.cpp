#include "ftpclient/component/FtpNames.h"

namespace FtpNames {

bool isSafeLocalName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

QByteArray joinRemote(const QByteArray& folder, const QByteArray& name) {
    if (folder.isEmpty()) return name;
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

Mask splitMask(const QString& mask) {
    const qsizetype slash = mask.lastIndexOf(QLatin1Char('/'));
    Mask result;
    if (slash >= 0) {
        result.folder = slash == 0 ? QStringLiteral("/") : mask.left(slash);
        result.pattern = mask.mid(slash + 1);
    } else {
        result.pattern = mask;
    }
    if (result.pattern.isEmpty()) result.pattern = QStringLiteral("*");
    return result;
}

namespace {

// Iterative wildcard match with one backtrack point: linear in practice and
// never recursive, whatever the mask.
bool wildcard(const QString& mask, const QString& name) {
    qsizetype m = 0, n = 0, starAt = -1, resumeAt = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starAt = m++;
            resumeAt = n;
        } else if (m < mask.size() &&
                   (mask[m] == QLatin1Char('?') || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++m;
            ++n;
        } else if (starAt >= 0) {
            m = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*')) ++m;
    return m == mask.size();
}

}  // namespace

bool matches(const QString& mask, const QString& name) {
    if (mask.isEmpty() || mask == QLatin1String("*") || mask == QLatin1String("*.*")) return true;
    return wildcard(mask, name);
}

}  // namespace FtpNames
