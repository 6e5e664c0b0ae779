#include "common/FtpReplies.h"

#include <QList>
#include <QRegularExpression>

std::optional<PassiveTarget> passiveTarget(const QByteArray& reply) {
    const qsizetype open = reply.indexOf('(');
    const qsizetype close = open < 0 ? -1 : reply.indexOf(')', open);
    if (close < 0) return std::nullopt;
    const QList<QByteArray> fields = reply.mid(open + 1, close - open - 1).split(',');
    if (fields.size() != 6) return std::nullopt;
    int n[6];
    for (int k = 0; k < 6; ++k) {
        bool ok = false;
        n[k] = fields[k].trimmed().toInt(&ok);
        if (!ok || n[k] < 0 || n[k] > 255) return std::nullopt;
    }
    return PassiveTarget{QStringLiteral("%1.%2.%3.%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]),
                         static_cast<quint16>(n[4] * 256 + n[5])};
}

std::optional<quint16> extendedPassivePort(const QByteArray& reply) {
    const qsizetype open = reply.indexOf('(');
    const qsizetype close = open < 0 ? -1 : reply.indexOf(')', open);
    if (close < 0 || close - open < 6) return std::nullopt;
    const QByteArray inner = reply.mid(open + 1, close - open - 1);
    // d d d port d, all five delimiters the same printable character.
    const char d = inner[0];
    if (d < 33 || d > 126 || inner.size() < 5 || inner[1] != d || inner[2] != d ||
        inner.back() != d) {
        return std::nullopt;
    }
    bool ok = false;
    const uint port = inner.mid(3, inner.size() - 4).toUInt(&ok);
    if (!ok || port == 0 || port > 65535) return std::nullopt;
    return static_cast<quint16>(port);
}

std::optional<qint64> announcedSize(const QByteArray& reply) {
    static const QRegularExpression pattern(QStringLiteral("\\((\\d{1,18}) bytes\\)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(reply));
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).toLongLong();
}
