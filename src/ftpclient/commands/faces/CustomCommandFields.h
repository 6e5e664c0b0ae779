#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

// What the custom-command panel holds: the field txtCommand, whose Enter hands
// its text on (commandEntered) and clears it, and "Close" (cmdCloseCommand).
// The window lays the log panel over the file lists while it is open.
class CustomCommandFields : public QWidget {
    Q_OBJECT
public:
    explicit CustomCommandFields(QWidget* parent = nullptr);

    QLineEdit* txtCommand;
    QPushButton* cmdCloseCommand;

signals:
    void commandEntered(const QString& text);
    void closeClicked();
};
