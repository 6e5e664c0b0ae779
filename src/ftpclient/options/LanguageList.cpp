#include "ftpclient/options/LanguageList.h"

#include "common/AppPaths.h"

#include <QDir>
#include <QHash>

namespace LanguageList {

QString folder() {
    return QDir(AppPaths::programFolder()).filePath(QStringLiteral("Lang"));
}

QList<LanguageEntry> read(const QString& folder) {
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    QHash<QString, QString> pictures;
    for (const QFileInfo& file : files)
        if (file.suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
            pictures.insert(file.fileName().chopped(4), file.filePath());
    QList<LanguageEntry> entries;
    for (const QFileInfo& file : files) {
        if (file.suffix().compare(QLatin1String("ini"), Qt::CaseInsensitive) != 0) continue;
        const QString name = file.fileName().chopped(4);
        if (name.isEmpty()) continue;
        entries.append({name, pictures.value(name)});
    }
    // The program speaks English without any file, so English is always a choice.
    if (indexOf(entries, QStringLiteral("English.ini")) < 0)
        entries.prepend({QStringLiteral("English"), pictures.value(QStringLiteral("English"))});
    return entries;
}

int indexOf(const QList<LanguageEntry>& entries, const QString& languageFile) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        if ((entries[i].name + QStringLiteral(".ini")).toUpper() == languageFile.toUpper()) return int(i);
    return -1;
}

}  // namespace LanguageList
