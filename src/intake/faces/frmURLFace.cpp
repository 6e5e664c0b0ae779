#include "intake/faces/frmURLFace.h"

#include "intake/frmURL.h"

#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmURLFace::frmURLFace(frmURL& logic, QWidget* parent)
    : QDialog(parent),
      txtURL(new QComboBox),
      cmdOK(new QPushButton(QStringLiteral("OK"))),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"))),
      logic_(logic) {
    setWindowTitle(QStringLiteral("Add URL"));
    txtURL->setEditable(true);
    // The list is the history; what is typed is not added to it.
    txtURL->setInsertPolicy(QComboBox::NoInsert);
    // History entries are offered in a list while typing. Completed inline, Enter
    // would take the first entry in place of a wholly selected text (the clipboard's).
    txtURL->completer()->setCompletionMode(QCompleter::PopupCompletion);
    txtURL->setMinimumWidth(420);
    // Enter reaches OK through the address box alone, never twice.
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("URL:")));
    layout->addWidget(txtURL);
    layout->addLayout(buttons);

    logic_.Form_Load(QGuiApplication::clipboard()->text());
    txtURL->addItems(logic_.txtURLItems);
    txtURL->setEditText(logic_.txtURL);
    if (logic_.txtURLSelectAll) txtURL->lineEdit()->selectAll();

    connect(txtURL->lineEdit(), &QLineEdit::returnPressed, this, &frmURLFace::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmURLFace::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&logic_, &frmURL::unloadRequested, this, &QDialog::accept);
}

void frmURLFace::cmdOK_Click() {
    logic_.txtURL = txtURL->currentText();
    logic_.cmdOK_Click();
}
