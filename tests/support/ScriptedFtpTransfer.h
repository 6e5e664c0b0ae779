#pragma once

#include <QByteArray>
#include <QtGlobal>

// How the scripted FTP server carries out one RETR. The default is a well-behaved
// server: the usual 150 line, the whole file from the REST offset, then 226.
struct ScriptedFtpTransfer {
    // Replaces the 150 line; empty keeps "150 Opening BINARY mode data connection
    // for <name> (<size> bytes).", where size is the whole file's.
    QByteArray opening;
    // Short transfer: close the data connection after this many bytes (then the
    // closing reply as usual). Negative: no limit.
    qint64 closeAfter = -1;
    // Stall: send this many bytes, then nothing more, keeping the data
    // connection open and sending no closing reply. Negative: no stall.
    qint64 stallAfter = -1;
    // Throttle: this many bytes each tick. 0 sends everything at once.
    qint64 bytesPerTick = 0;
    int tickMs = 10;
    // Sent after the data connection is closed; empty sends nothing.
    QByteArray closing = "226 Transfer complete.\r\n";
};
