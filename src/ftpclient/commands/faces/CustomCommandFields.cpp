#include "ftpclient/commands/faces/CustomCommandFields.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CustomCommandFields::CustomCommandFields(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Command"), this));
    txtCommand = new QLineEdit(this);
    txtCommand->setObjectName(QStringLiteral("txtCommand"));
    layout->addWidget(txtCommand, 1);
    cmdCloseCommand = new QPushButton(QStringLiteral("Close"), this);
    cmdCloseCommand->setAutoDefault(false);
    layout->addWidget(cmdCloseCommand);
    connect(txtCommand, &QLineEdit::returnPressed, this, [this] {
        const QString text = txtCommand->text();
        txtCommand->clear();
        emit commandEntered(text);
    });
    connect(cmdCloseCommand, &QPushButton::clicked, this, &CustomCommandFields::closeClicked);
}
