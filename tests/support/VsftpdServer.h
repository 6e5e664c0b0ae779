#pragma once

#include "support/LoopbackDaemon.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Debian's vsftpd as a child of the test on 127.0.0.1 and a free port, with a
// temporary configuration: anonymous logins (any password) that may read,
// write, make folders and rename below the writable folder "pub"; LIST only
// (no MLSD); ASCII transfers really converted; passive and active mode.
class VsftpdServer {
public:
    bool start();

    quint16 port() const { return daemon_.port(); }
    QString errorString() const { return daemon_.errorString(); }
    QString user() const { return QStringLiteral("anonymous"); }
    QString password() const { return QStringLiteral("karvo@example.org"); }
    // The served folder; "pub" below it is writable.
    QString rootPath() const { return folder_.filePath(QStringLiteral("root")); }

private:
    QTemporaryDir folder_;
    LoopbackDaemon daemon_;
};
