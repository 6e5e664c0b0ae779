#pragma once

#include <QByteArray>
#include <optional>

// Cuts the bytes of an FTP control connection into whole replies. The network
// hands them over in arbitrary pieces: a reply may arrive split over several
// reads, several replies may arrive in one, and a multi-line reply ("220-...")
// only ends at the line that starts with its code and a space. The static
// readers take the numbers out of the replies that carry them.
class FtpReplyReader {
public:
    void reset() { pending_.clear(); }
    void feed(const QByteArray& bytes) { pending_ += bytes; }
    // The next whole reply, its lines ending as received; nothing while the
    // reply at the front is still incomplete.
    std::optional<QByteArray> next();

    // The size in "(12345 bytes)" of a 150 reply; nothing when the server did not say.
    static std::optional<qint64> announcedSize(const QByteArray& reply);
    // The port of "(h1,h2,h3,h4,p1,p2)" in a 227 reply. The address is checked for
    // form only: the data connection goes to the server the control connection
    // reached, whatever address the reply names.
    static std::optional<quint16> passivePort(const QByteArray& reply);
    // The port of "(|||port|)" in a 229 reply; any delimiter the server picked.
    static std::optional<quint16> extendedPassivePort(const QByteArray& reply);

private:
    QByteArray take(qsizetype length);

    QByteArray pending_;
};
