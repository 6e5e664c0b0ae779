#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The existing-file dialog: what to do with a target file that exists already.
// Each button sets ExistChoice (0 overwrite, -1 resume, -2 skip) and closes;
// closing the window otherwise leaves ExistChoice as the caller set it.
class frmExist : public QDialog {
    Q_OBJECT
public:
    explicit frmExist(QWidget* parent = nullptr);

    // Shows the dialog modally and returns ExistChoice afterwards: the queue's
    // hook for a start whose target exists.
    static int Ask(QWidget* owner);

    QLabel* lblWarning;
    QPushButton* cmdOverwrite;
    QPushButton* cmdResume;
    QPushButton* Command3;

private:
    void choose(int choice);
};
