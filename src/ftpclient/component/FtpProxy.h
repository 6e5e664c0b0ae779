#pragma once

#include <QString>
#include <QtGlobal>

// The SOCKS proxy ("firewall") that every connection of a session goes through.
// Type 0 is none, 4 SOCKS 4 (the user name is the SOCKS user id; the password
// is not used), 5 SOCKS 5 (user name and password when a user name is set).
struct FtpProxy {
    int type = 0;
    QString host;
    quint16 port = 1080;
    QString userName;
    QString password;

    bool isUsed() const { return type == 4 || type == 5; }
};
