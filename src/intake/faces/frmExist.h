#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The existing-file dialog: what to do with a target file that exists already.
// Each button sets ExistChoice (0 overwrite, -1 resume, -2 skip) and closes.
// Closing the window otherwise (Esc, its X) skips: no file is touched.
class frmExist : public QDialog {
    Q_OBJECT
public:
    explicit frmExist(QWidget* parent = nullptr);

    // Shows the dialog modally and returns the choice made in it: the queue's hook
    // for a start whose target exists. A dialog that returns without a button
    // (closed, or at once because the program is ending) gives -2, skip.
    static int Ask(QWidget* owner);

    // The choice of the button pressed; -2 until one is.
    int Choice() const { return choice_; }

    QLabel* lblWarning;
    QPushButton* cmdOverwrite;
    QPushButton* cmdResume;
    QPushButton* Command3;

private:
    void choose(int choice);

    int choice_ = -2;
};
