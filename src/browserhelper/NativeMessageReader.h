#pragma once

#include <QByteArray>
#include <optional>

// Cuts the byte stream a browser writes to its native-messaging host into messages:
// each is a 32-bit length in the machine's byte order followed by that many bytes
// of UTF-8 JSON. The pipe hands them over in arbitrary pieces, so a message may
// arrive split over several reads and several may arrive in one.
//
// A length beyond kMaxMessageBytes means the stream cannot be trusted any more
// (a browser never sends such a request to this host): the reader stops there,
// oversized() turns true, and next() gives nothing from then on.
class NativeMessageReader {
public:
    static constexpr quint32 kMaxMessageBytes = 1024 * 1024;

    void feed(const QByteArray& bytes);
    // The next whole message; nothing while the one at the front is incomplete.
    std::optional<QByteArray> next();

    bool oversized() const { return oversized_; }
    // The length the oversized frame announced.
    quint32 announcedLength() const { return announced_; }
    // Bytes received that do not yet make a whole message.
    qsizetype pendingBytes() const { return pending_.size() - start_; }

    // A message as the host writes it back: length, then the bytes.
    static QByteArray frame(const QByteArray& message);

private:
    QByteArray pending_;
    qsizetype start_ = 0;  // where the unread bytes begin
    quint32 announced_ = 0;
    bool oversized_ = false;
};
