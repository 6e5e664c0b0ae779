#include "browserhelper/NativeMessageReader.h"

#include <cstring>

namespace {

constexpr qsizetype kLengthBytes = sizeof(quint32);

}  // namespace

void NativeMessageReader::feed(const QByteArray& bytes) {
    if (oversized_) return;
    // Drop what was already handed out before the buffer grows further.
    if (start_ > 0) {
        pending_.remove(0, start_);
        start_ = 0;
    }
    pending_ += bytes;
}

std::optional<QByteArray> NativeMessageReader::next() {
    if (oversized_ || pendingBytes() < kLengthBytes) return std::nullopt;
    quint32 length = 0;
    std::memcpy(&length, pending_.constData() + start_, kLengthBytes);
    if (length > kMaxMessageBytes) {
        oversized_ = true;
        announced_ = length;
        pending_.clear();
        start_ = 0;
        return std::nullopt;
    }
    if (pendingBytes() - kLengthBytes < qsizetype(length)) return std::nullopt;
    QByteArray message = pending_.mid(start_ + kLengthBytes, length);
    start_ += kLengthBytes + length;
    return message;
}

QByteArray NativeMessageReader::frame(const QByteArray& message) {
    const quint32 length = quint32(message.size());
    QByteArray framed(kLengthBytes, Qt::Uninitialized);
    std::memcpy(framed.data(), &length, kLengthBytes);
    return framed + message;
}
