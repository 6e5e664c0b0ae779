#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One entry of a remote folder listing.
struct FtpItem {
    enum Type { File = 0, Folder = 1, Link = 2 };

    // For display: the name decoded as UTF-8, or as Latin-1 when the bytes are
    // not valid UTF-8.
    QString name;
    // The name exactly as the server sent it; commands that name the entry send
    // these bytes back, so names in any encoding can be fetched and deleted.
    QByteArray rawName;
    // Local time; invalid when the line carried no date the parser could read.
    QDateTime dateTime;
    // Bytes; 0 for folders.
    qint64 size = 0;
    int type = File;
    // Where a link points, when the listing said so.
    QString linkTarget;
};
