#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

// What the scripted FTP server answers to one command. The text is sent as it
// stands (a test writes the CR LF itself), so a reply can hold two replies that
// arrive in one write, or be cut into pieces that arrive in separate reads.
class ScriptedFtpReply {
public:
    ScriptedFtpReply(const char* text) : pieces_{QByteArray(text)} {}
    ScriptedFtpReply(const QByteArray& text) : pieces_{text} {}

    // Each piece is written once the client has read the one before
    // (AfterPeerRead.h), so it reaches the client in a read of its own.
    static ScriptedFtpReply split(QList<QByteArray> pieces) {
        ScriptedFtpReply reply;
        reply.pieces_ = std::move(pieces);
        return reply;
    }
    // The server's usual handling of the command (in a queue or from a handler).
    static ScriptedFtpReply standard() {
        ScriptedFtpReply reply;
        reply.standard_ = true;
        return reply;
    }
    // Closes the control connection instead of answering.
    static ScriptedFtpReply drop() {
        ScriptedFtpReply reply;
        reply.drop_ = true;
        return reply;
    }

    // Waits this long before the first piece; later replies wait their turn.
    ScriptedFtpReply delayed(int ms) const {
        ScriptedFtpReply reply = *this;
        reply.delayMs_ = ms;
        return reply;
    }
    // Closes the control connection once the reply is written.
    ScriptedFtpReply thenDrop() const {
        ScriptedFtpReply reply = *this;
        reply.drop_ = true;
        return reply;
    }

    bool isStandard() const { return standard_; }
    const QList<QByteArray>& pieces() const { return pieces_; }
    int delayMs() const { return delayMs_; }
    bool dropsConnection() const { return drop_; }

private:
    ScriptedFtpReply() = default;

    QList<QByteArray> pieces_;
    int delayMs_ = 0;
    bool standard_ = false;
    bool drop_ = false;
};
