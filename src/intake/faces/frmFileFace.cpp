#include "intake/faces/frmFileFace.h"

#include "intake/frmFile.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmFileFace::frmFileFace(frmFile& logic, QWidget* parent)
    : QDialog(parent),
      txtURL(new QLineEdit),
      txtSaveTo(new QLineEdit),
      cmdBeginDown(new QPushButton(QStringLiteral("Download &Now"))),
      cmdDownLater(new QPushButton(QStringLiteral("Download &Later"))),
      cmdChange(new QPushButton(QStringLiteral("C&hange..."))),
      cmdCancel(new QPushButton(QStringLiteral("&Cancel"))),
      logic_(logic) {
    setWindowTitle(QStringLiteral("Save file to..."));
    txtURL->setReadOnly(true);
    txtSaveTo->setReadOnly(true);
    txtURL->setMinimumWidth(420);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("URL:"), txtURL);
    fields->addRow(QStringLiteral("Save to:"), txtSaveTo);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdBeginDown, cmdDownLater, cmdChange, cmdCancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(cmdBeginDown, &QPushButton::clicked, &logic_, &frmFile::cmdBeginDown_Click);
    connect(cmdDownLater, &QPushButton::clicked, &logic_, &frmFile::cmdDownLater_Click);
    connect(cmdChange, &QPushButton::clicked, &logic_, &frmFile::cmdChange_Click);
    connect(cmdCancel, &QPushButton::clicked, &logic_, &frmFile::cmdCancel_Click);
    connect(&logic_, &frmFile::changed, this, &frmFileFace::showLogic);
    connect(&logic_, &frmFile::unloadRequested, this, &QDialog::close);
    showLogic();
}

frmFileFace* frmFileFace::Open(QueueOperations& queue, const QString& address, QWidget* owner) {
    auto* logic = new frmFile(queue);
    auto* face = new frmFileFace(*logic, owner);
    logic->setParent(face);
    logic->URL = address;
    if (!logic->Form_Load()) {
        delete face;
        return nullptr;
    }
    face->setAttribute(Qt::WA_DeleteOnClose);
    face->show();
    return face;
}

void frmFileFace::showLogic() {
    txtURL->setText(logic_.txtURL);
    txtSaveTo->setText(logic_.txtSaveTo);
}
