#pragma once

#include <QString>
#include <QtGlobal>

// The port fields of Karvo (quick connect, site profiles): a text that is not a
// port number from 1 to 65535 turns into "21" as soon as it is typed, so the
// number given to the component always fits 16 bits.
namespace PortText {

inline bool IsPort(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

// The text itself when it is a port, else "21".
inline QString Checked(const QString& text) {
    return IsPort(text) ? text : QStringLiteral("21");
}

inline quint16 Number(const QString& text) {
    return static_cast<quint16>(Checked(text).trimmed().toInt());
}

}  // namespace PortText
