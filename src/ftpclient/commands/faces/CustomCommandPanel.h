#pragma once

#include <QWidget>

class FtpCommands;
class QLineEdit;
class QPushButton;

// The custom-command panel: the field txtCommand, whose Enter sends its text
// to the server and clears it, and "Close" (cmdCloseCommand). The window lays
// the log panel over the file lists while it is open and puts it back on
// closed().
class CustomCommandPanel : public QWidget {
    Q_OBJECT
public:
    CustomCommandPanel(FtpCommands& commands, QWidget* parent = nullptr);

    QLineEdit* txtCommand;
    QPushButton* cmdCloseCommand;

signals:
    void closed();
};
