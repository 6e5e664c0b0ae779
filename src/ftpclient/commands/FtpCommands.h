#pragma once

#include <QString>

class KarvoWindow;

// Commands the user sends to the server: the custom-command panel, the FTP
// Commands menu and the permission change (SITE CHMOD).
//
// After a command that may change the remote current folder (CWD, CDUP) the
// remote list is read again: it must show the folder that the next delete or
// rename acts in, or those would hit a same-named item in another folder.
class FtpCommands {
public:
    explicit FtpCommands(KarvoWindow& window);

    // Enter in txtCommand: the text goes to the server exactly as typed (the
    // reply arrives in the log); nothing for an empty text.
    void SendCustomCommand(const QString& text);
    // cmdCloseCommand: the toolbar learns that the panel is closed.
    void CloseCustomCommand();

    // An entry of the FTP Commands menu by its caption: "HELP", "PWD", "SYST",
    // "LIST", "NLST" send that word; "CWD" and "QUOTE" ask for their argument;
    // "RETR" and "STOR" are the manual receive and send.
    void MenuCommand(const QString& entry);

    // "SITE CHMOD " + the number + " " + name for every selected remote item,
    // then the list is read again.
    void Chmod(const QString& txtNumericValue);

private:
    void send(const QString& line, const QString& errorPrefix);
    QString askArgument(const QString& prompt);

    KarvoWindow& window_;
};
