#include "ftpclient/commands/faces/mnuFtpCommands.h"

mnuFtpCommands::mnuFtpCommands(QWidget* parent) : QMenu(QStringLiteral("FTP Commands"), parent) {
    setObjectName(QStringLiteral("mnuFtpCommands"));
    for (const char* entry : {"HELP", "PWD", "SYST", "LIST", "NLST", "CWD", "QUOTE", "RETR", "STOR"}) {
        const QString caption = QString::fromLatin1(entry);
        addAction(caption, this, [this, caption] { emit entryChosen(caption); });
    }
}
