#include "common/FtpReplyReader.h"

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
