#include "queue/faces/frmServerData.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmServerData::frmServerData(QWidget* parent)
    : QWidget(parent, Qt::Window),
      txtServerData(new QPlainTextEdit(this)),
      cmdCopyClip(new QPushButton(QStringLiteral("&Copy to Clipboard"), this)),
      cmdExit(new QPushButton(QStringLiteral("E&xit"), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Server Interaction Info"));
    txtServerData->setReadOnly(true);
    txtServerData->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtServerData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCopyClip);
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtServerData);
    layout->addLayout(buttons);
    connect(cmdCopyClip, &QPushButton::clicked, this, &frmServerData::cmdCopyClip_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    resize(560, 380);
}

void frmServerData::cmdCopyClip_Click() {
    QGuiApplication::clipboard()->setText(txtServerData->toPlainText());
}
