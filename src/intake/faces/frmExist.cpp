#include "intake/faces/frmExist.h"

#include "core/modGlobalVariables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmExist::frmExist(QWidget* parent)
    : QDialog(parent),
      lblWarning(new QLabel(
          QStringLiteral("The file already exists at this location!  What would you like to do?"))),
      cmdOverwrite(new QPushButton(QStringLiteral("&Overwrite File"))),
      cmdResume(new QPushButton(QStringLiteral("&Resume"))),
      Command3(new QPushButton(QStringLiteral("&Cancel"))) {
    setWindowTitle(QStringLiteral("File Already Exists!?"));
    lblWarning->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdOverwrite, cmdResume, Command3}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWarning);
    layout->addLayout(buttons);
    connect(cmdOverwrite, &QPushButton::clicked, this, [this] { choose(0); });
    connect(cmdResume, &QPushButton::clicked, this, [this] { choose(-1); });
    connect(Command3, &QPushButton::clicked, this, [this] { choose(-2); });
}

int frmExist::Ask(QWidget* owner) {
    // The owner may go while the dialog's loop runs; the dialog then goes with it.
    const QPointer<frmExist> dialog = new frmExist(owner);
    const int result = dialog->exec();
    const int choice = dialog && result == QDialog::Accepted ? dialog->Choice() : -2;
    delete dialog;
    return choice;
}

void frmExist::choose(int choice) {
    choice_ = choice;
    ExistChoice = choice;
    accept();
}
