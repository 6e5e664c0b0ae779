#pragma once

class KarvoWindow;

// Send or receive one file whose name the user types ("Manual File Receive",
// "IDC_FS_FileReceive", "RETR" of the FTP Commands menu; "Manual File Send",
// "IDC_FS_ManualSend", "STOR").
class ManualTransfer {
public:
    explicit ManualTransfer(KarvoWindow& window);

    // Receives the typed remote name into the current local folder under its
    // last path component: a typed "../x" or "/etc/x" names the remote file,
    // never where the local copy goes.
    void Receive();
    // Sends current local folder + the typed name under that name.
    void Send();

private:
    KarvoWindow& window_;
};
