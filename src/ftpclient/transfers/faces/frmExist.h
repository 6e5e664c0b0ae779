#pragma once

#include "ftpclient/transfers/KarvoWindow.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace karvo {

// Karvo's file-exists dialog "File Exists!": what an upload does with a file
// the remote folder holds already. Each button stores its decision
// (eResumeFile), copies "Apply To All" into the answer and closes; closing the
// dialog otherwise counts as Cancel. It keeps its place on the screen in
// "EXIST TOP", "EXIST LEFT", "EXIST HEIGHT" and "EXIST WIDTH".
class frmExist : public QDialog {
    Q_OBJECT
public:
    explicit frmExist(QWidget* parent = nullptr);

    // Shows the dialog modally over `owner` with the two texts; Resume is
    // disabled unless `resumeAllowed`. A dialog that goes away without a button
    // (its window closed, the owner gone) answers Cancel.
    static ExistAnswer Ask(QWidget* owner, const QString& sourceText,
                           const QString& destinationText, bool resumeAllowed);

    ExistAnswer answer() const { return answer_; }

    QLabel* lblSource;
    QLabel* lblSourceText;
    QLabel* lblDestination;
    QLabel* lblDestinationText;
    QCheckBox* chkAll;
    QPushButton* cmdOverwrite;
    QPushButton* cmdResume;
    QPushButton* cmdSkip;
    QPushButton* cmdCancel;

protected:
    void done(int result) override;

private:
    void choose(int decision);

    ExistAnswer answer_;
};

}  // namespace karvo
