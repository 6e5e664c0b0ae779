#include "ftpclient/commands/faces/mnuFtpCommands.h"

#include "ftpclient/commands/FtpCommands.h"

mnuFtpCommands::mnuFtpCommands(FtpCommands& commands, QWidget* parent)
    : QMenu(QStringLiteral("FTP Commands"), parent) {
    for (const char* entry : {"HELP", "PWD", "SYST", "LIST", "NLST", "CWD", "QUOTE", "RETR", "STOR"}) {
        const QString caption = QString::fromLatin1(entry);
        addAction(caption, this, [&commands, caption] { commands.MenuCommand(caption); });
    }
}
