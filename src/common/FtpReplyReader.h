#pragma once

#include <QByteArray>
#include <optional>

// Cuts the bytes of an FTP control connection into whole replies. The network
// hands them over in arbitrary pieces: a reply may arrive split over several
// reads, several replies may arrive in one, and a multi-line reply ("220-...")
// only ends at the line that starts with its code and a space.
class FtpReplyReader {
public:
    void reset() { pending_.clear(); }
    void feed(const QByteArray& bytes) { pending_ += bytes; }
    // The next whole reply, its lines ending as received; nothing while the
    // reply at the front is still incomplete.
    std::optional<QByteArray> next();

private:
    QByteArray take(qsizetype length);

    QByteArray pending_;
};
