#pragma once

#include <QMenu>

// The "FTP Commands" menu: HELP, PWD, SYST, LIST, NLST, CWD, QUOTE, RETR,
// STOR. Choosing one hands its caption on.
class mnuFtpCommands : public QMenu {
    Q_OBJECT
public:
    explicit mnuFtpCommands(QWidget* parent = nullptr);

signals:
    void entryChosen(const QString& entry);
};
