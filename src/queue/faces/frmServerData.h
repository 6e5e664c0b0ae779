#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// "Server Interaction Info": the text of a download's conversation with its
// server, with a button that copies it to the clipboard. Closing unloads it.
class frmServerData : public QWidget {
    Q_OBJECT
public:
    explicit frmServerData(QWidget* parent = nullptr);

    QPlainTextEdit* txtServerData;
    QPushButton* cmdCopyClip;
    QPushButton* cmdExit;

    void cmdCopyClip_Click();
};
