#include "queue/DownloadListFile.h"

#include "core/UrlParser.h"
#include "core/modFunctions.h"

#include <QStringDecoder>

DownloadListFile DownloadListFile::Parse(const QByteArray& content, const QDir& baseDir) {
    DownloadListFile list;
    QByteArrayView rest(content);
    if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3);
    int number = 0;
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r')) line.chop(1);
        list.takeLine(++number, line.toByteArray(), baseDir);
    }
    return list;
}

void DownloadListFile::takeLine(int number, const QByteArray& bytes, const QDir& baseDir) {
    const auto bad = [&](const QString& reason) { badLines_.push_back({number, reason}); };
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) return bad(QStringLiteral("the line is not UTF-8 text"));
    const QString visible = text.trimmed();
    if (visible.isEmpty() || visible.startsWith(QLatin1Char('#'))) return;

    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0) return bad(QStringLiteral("no tab between the address and the target"));
    const QString address = text.left(tab).trimmed();
    const QString target = text.mid(tab + 1).trimmed();
    if (address.isEmpty()) return bad(QStringLiteral("the address is empty"));
    if (target.isEmpty()) return bad(QStringLiteral("the target is empty"));
    if (ContainsControlCharacters(address) || ContainsControlCharacters(target))
        return bad(QStringLiteral("the line holds control characters"));
    if (DownloadSchemeLength(address) == 0)
        return bad(QStringLiteral("the address must begin with http://, https:// or ftp://"));

    // Only "/" begins an absolute target: Qt would take one beginning with ":" for
    // a path among its built-in resources, where nothing can be written.
    const QString path = QDir::cleanPath(
        target.startsWith(QLatin1Char('/')) ? target : baseDir.absolutePath() + QLatin1Char('/') + target);
    const auto earlier = lineOfTarget_.constFind(path);
    if (earlier != lineOfTarget_.cend())
        return bad(QStringLiteral("line %1 already saves to %2").arg(*earlier).arg(path));
    lineOfTarget_.insert(path, number);
    entries_.push_back({number, address, path});
}
