#pragma once

#include "DownloadFixture.h"
#include "support/ScriptedFtpServer.h"

#include <QRegularExpression>

// A download window against the scripted FTP server, which serves one file.
class FtpFixture : public DownloadFixture {
protected:
    using Reply = ScriptedFtpServer::Reply;
    using Transfer = ScriptedFtpServer::Transfer;

    void SetUp() override {
        DownloadFixture::SetUp();
        ASSERT_TRUE(server.start());
    }

    QString url(const QString& path = QStringLiteral("pub/file.bin")) const {
        return QStringLiteral("ftp://127.0.0.1:%1/%2").arg(server.port()).arg(path);
    }

    // Publishes `size` bytes as pub/file.bin and returns them.
    QByteArray publish(qint64 size, quint32 seed) {
        const QByteArray data = patternBytes(size, seed);
        server.addFile(QStringLiteral("pub/file.bin"), data);
        return data;
    }

    // The one command of `verb` on a connection, "" when there is none.
    QByteArray commandOf(const QByteArray& verb, int connection = 0) const {
        for (const QByteArray& line : server.commands(connection))
            if (line.startsWith(verb + ' ') || line == verb + "\r\n") return line;
        return {};
    }

    static Transfer throttled(qint64 bytesPerTick) {
        Transfer plan;
        plan.bytesPerTick = bytesPerTick;
        plan.tickMs = 5;
        return plan;
    }
    // The data connection closes after `bytes`, then `closing` is said.
    static Transfer endingAfter(qint64 bytes, const QByteArray& closing) {
        Transfer plan;
        plan.closeAfter = bytes;
        plan.closing = closing;
        return plan;
    }
    static Transfer opening(const QByteArray& reply) {
        Transfer plan;
        plan.opening = reply;
        return plan;
    }

    // Runs the time-out's ticks by hand until it fires once.
    void tickTimeOutToTheEnd() {
        for (int k = 0; k < Settings.Timeout && window().tmrTimeOut.isActive(); ++k)
            window().tmrTimeOut_Timer();
    }

    // r of an active-mode "PORT h1,h2,h3,h4,12,r".
    static int portOffset(const QByteArray& portCommand) {
        static const QRegularExpression pattern(QStringLiteral("^PORT 127,0,0,1,12,(\\d+)\r\n$"));
        const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(portCommand));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    ScriptedFtpServer server;
};
