#include "ftpclient/main/ControlStates.h"

namespace karvo {

void ControlStates::SetConnectedState(bool connected) {
    cmdDisconnect = connected;
    cmdUpFtp = connected;
    cmdSend = connected;
    cboRemotePath = connected;
    mnuFileDisconnect = connected;
    miRemote = connected;
    cmdConnect = !connected;
    cmdQConnect = !connected;
    mnuFileConnect = !connected;
}

void ControlStates::UpdateRemoteCommands(const Selection& remote) {
    const int count = remote.count();
    const bool oneFileOrFolder = count == 1 && remote.links == 0;
    // A single link is neither deleted nor renamed from the menu: which of the
    // two (the link or what it points to) the server would touch is unclear.
    miDeleteRemoteFile = oneFileOrFolder || count > 1;
    miRenameRemoteFile = oneFileOrFolder;
    cmdReceive = count >= 1;
}

void ControlStates::UpdateLocalCommands(const Selection& local, int ftpState) {
    const int count = local.count();
    const bool oneFile = count == 1 && local.files == 1;
    miDeleteLocalFile = oneFile || count > 1;
    miRenameLocalFile = oneFile;
    cmdSend = ftpState == 2 && count >= 1;
}

}  // namespace karvo
