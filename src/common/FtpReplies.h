#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Readers for the FTP replies whose text carries a value: the data address of a
// passive-mode reply and the size a server announces when a transfer opens.
// Each takes the whole reply as received and answers nothing when the value is
// missing or malformed.

struct PassiveTarget {
    QString address;
    quint16 port = 0;
};

// "(h1,h2,h3,h4,p1,p2)" of a 227 reply.
std::optional<PassiveTarget> passiveTarget(const QByteArray& reply);

// The port of a 229 reply: "(|||port|)", where "|" stands for whatever delimiter
// the server chose.
std::optional<quint16> extendedPassivePort(const QByteArray& reply);

// The size in "(12345 bytes)" of a 150 reply; nothing when the server did not say.
std::optional<qint64> announcedSize(const QByteArray& reply);
