#pragma once

#include <QByteArray>
#include <QString>

// One whole reply of the control connection: the three-digit code and the reply
// as received (every line of a multi-line reply, line ends included).
struct FtpReply {
    int code = 0;
    QByteArray raw;

    bool isPreliminary() const { return code >= 100 && code < 200; }
    bool isPositive() const { return code >= 200 && code < 300; }
    bool isIntermediate() const { return code >= 300 && code < 400; }
    bool isNegative() const { return code >= 400; }
    // The last line without its line end, decoded for messages: what a user sees
    // as the server's answer ("550 Permission denied.").
    QString lastLine() const;
};
