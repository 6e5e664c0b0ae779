#pragma once

#include <QMenu>

class FtpCommands;

// The "FTP Commands" menu: HELP, PWD, SYST, LIST, NLST, CWD, QUOTE, RETR, STOR.
class mnuFtpCommands : public QMenu {
    Q_OBJECT
public:
    mnuFtpCommands(FtpCommands& commands, QWidget* parent = nullptr);
};
