#include "transfer/FtpReplyReader.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

namespace {

// Beyond this a server that never ends its line or its reply is not waited for:
// what has arrived is handed on as one reply.
constexpr qsizetype kMaxReplyBytes = 64 * 1024;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsWithCode(const QByteArray& text, qsizetype at) {
    return at + 3 <= text.size() && isDigit(text[at]) && isDigit(text[at + 1]) &&
           isDigit(text[at + 2]);
}

// The text between the parentheses of a reply.
std::optional<QByteArray> inParentheses(const QByteArray& reply) {
    const qsizetype open = reply.indexOf('(');
    const qsizetype close = open < 0 ? -1 : reply.indexOf(')', open);
    if (close < 0) return std::nullopt;
    return reply.mid(open + 1, close - open - 1);
}

}  // namespace

std::optional<QByteArray> FtpReplyReader::next() {
    const qsizetype firstEnd = pending_.indexOf('\n');
    if (firstEnd < 0) {
        if (pending_.size() >= kMaxReplyBytes) return take(pending_.size());
        return std::nullopt;
    }
    const bool multiLine = startsWithCode(pending_, 0) && pending_.size() > 3 && pending_[3] == '-';
    if (!multiLine) return take(firstEnd + 1);

    // The last line repeats the code, followed by a space (or by nothing at all).
    const QByteArray code = pending_.left(3);
    for (qsizetype lineStart = firstEnd + 1; lineStart < pending_.size();) {
        const qsizetype lineEnd = pending_.indexOf('\n', lineStart);
        if (lineEnd < 0) break;
        const bool last = pending_.mid(lineStart, 3) == code &&
                          (lineStart + 3 == lineEnd || pending_[lineStart + 3] == ' ' ||
                           pending_[lineStart + 3] == '\r');
        if (last) return take(lineEnd + 1);
        lineStart = lineEnd + 1;
    }
    if (pending_.size() >= kMaxReplyBytes) return take(pending_.size());
    return std::nullopt;
}

QByteArray FtpReplyReader::take(qsizetype length) {
    QByteArray reply = pending_.left(length);
    pending_.remove(0, length);
    return reply;
}

std::optional<qint64> FtpReplyReader::announcedSize(const QByteArray& reply) {
    static const QRegularExpression pattern(QStringLiteral("\\((\\d{1,18}) bytes\\)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(reply));
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).toLongLong();
}

std::optional<quint16> FtpReplyReader::passivePort(const QByteArray& reply) {
    const std::optional<QByteArray> inner = inParentheses(reply);
    if (!inner) return std::nullopt;
    const QList<QByteArray> fields = inner->split(',');
    if (fields.size() != 6) return std::nullopt;
    int n[6];
    for (int k = 0; k < 6; ++k) {
        bool ok = false;
        n[k] = fields[k].trimmed().toInt(&ok);
        if (!ok || n[k] < 0 || n[k] > 255) return std::nullopt;
    }
    return static_cast<quint16>(n[4] * 256 + n[5]);
}

std::optional<quint16> FtpReplyReader::extendedPassivePort(const QByteArray& reply) {
    const std::optional<QByteArray> inner = inParentheses(reply);
    if (!inner || inner->size() < 5) return std::nullopt;
    const char delimiter = inner->at(0);
    const QList<QByteArray> fields = inner->split(delimiter);
    if (fields.size() != 5 || !fields[4].isEmpty()) return std::nullopt;
    bool ok = false;
    const int port = fields[3].toInt(&ok);
    if (!ok || port < 1 || port > 65535) return std::nullopt;
    return static_cast<quint16>(port);
}
