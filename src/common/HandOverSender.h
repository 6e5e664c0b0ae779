#pragma once

#include <QString>

// The sending end of Lumet's hand-over channel: a local stream socket named
// "KarvoRecieveMessage" in the runtime folder. One connection carries one
// address as UTF-8 and a NUL; Lumet answers one byte 0x06 once its add-address
// flow has run, then closes. Used by lumet-send and the browser library.
class HandOverSender {
public:
    enum class Result {
        Taken,       // Lumet handled the address
        NotRunning,  // nobody listens: Lumet is not running
        NotTaken,    // Lumet closed, refused or did not answer in time
    };

    static constexpr char kAcknowledge = '\x06';
    // The socket's name inside the runtime folder.
    static QString socketName() { return QStringLiteral("KarvoRecieveMessage"); }
    // Its full path; empty when there is no runtime folder.
    static QString socketPath();

    // Sends the address (up to a NUL it may contain) and waits for the answer;
    // waitMs < 0 waits as long as Lumet takes, which may include a message box
    // the user has to close. Returns at once when Lumet is not running.
    static Result send(const QString& address, int waitMs = -1);
};
