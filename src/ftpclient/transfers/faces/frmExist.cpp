#include "ftpclient/transfers/faces/frmExist.h"

#include "ftpclient/transfers/faces/SavedGeometry.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace karvo {

namespace {

const QString kPlace = QStringLiteral("EXIST");

QPushButton* button(const QString& text, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

frmExist::frmExist(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("File Exists!"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("File already exists, how would you like program to handle it?"), this));

    auto* texts = new QGridLayout;
    QFont bold = font();
    bold.setBold(true);
    lblSource = new QLabel(QStringLiteral("Source"), this);
    lblSource->setFont(bold);
    lblSourceText = new QLabel(this);
    lblDestination = new QLabel(QStringLiteral("Destination"), this);
    lblDestination->setFont(bold);
    lblDestinationText = new QLabel(this);
    texts->addWidget(lblSource, 0, 0);
    texts->addWidget(lblSourceText, 0, 1);
    texts->addWidget(lblDestination, 1, 0);
    texts->addWidget(lblDestinationText, 1, 1);
    layout->addLayout(texts);

    chkAll = new QCheckBox(QStringLiteral("Apply To All"), this);
    chkAll->setToolTip(QStringLiteral("Apply to all selected files and folders"));
    layout->addWidget(chkAll);

    auto* buttons = new QHBoxLayout;
    cmdOverwrite = button(QStringLiteral("&Overwrite"), QStringLiteral("Overwrite this file"), this);
    cmdResume = button(QStringLiteral("&Resume"), QStringLiteral("Resume transfer of this file"), this);
    cmdSkip = button(QStringLiteral("&Skip"), QStringLiteral("Skip this file"), this);
    cmdCancel = button(QStringLiteral("&Cancel"), QStringLiteral("Cancel operation"), this);
    for (QPushButton* b : {cmdOverwrite, cmdResume, cmdSkip, cmdCancel}) buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(cmdOverwrite, &QPushButton::clicked, this, [this] { choose(ExistAnswer::Overwrite); });
    connect(cmdResume, &QPushButton::clicked, this, [this] { choose(ExistAnswer::Resume); });
    connect(cmdSkip, &QPushButton::clicked, this, [this] { choose(ExistAnswer::Skip); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { choose(ExistAnswer::Cancel); });
    SavedGeometry::restore(*this, kPlace);
}

ExistAnswer frmExist::Ask(QWidget* owner, const QString& sourceText,
                          const QString& destinationText, bool resumeAllowed) {
    // The dialog's loop lets the program go on; the owner may be closed
    // meanwhile and take the dialog with it.
    QPointer<frmExist> dialog = new frmExist(owner);
    dialog->lblSourceText->setText(sourceText);
    dialog->lblDestinationText->setText(destinationText);
    dialog->cmdResume->setEnabled(resumeAllowed);
    dialog->exec();
    if (!dialog) return ExistAnswer{};
    const ExistAnswer answer = dialog->answer();
    delete dialog;
    return answer;
}

void frmExist::choose(int decision) {
    answer_.eResumeFile = decision;
    answer_.checkAll = chkAll->isChecked();
    accept();
}

void frmExist::done(int result) {
    // Closed without a button: Cancel, and "Apply To All" does not carry it on.
    if (result != QDialog::Accepted) answer_ = ExistAnswer{};
    SavedGeometry::save(*this, kPlace);
    QDialog::done(result);
}

}  // namespace karvo
