#include "ftpclient/commands/faces/CustomCommandPanel.h"

#include "ftpclient/commands/FtpCommands.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CustomCommandPanel::CustomCommandPanel(FtpCommands& commands, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Command"), this));
    txtCommand = new QLineEdit(this);
    layout->addWidget(txtCommand, 1);
    cmdCloseCommand = new QPushButton(QStringLiteral("Close"), this);
    layout->addWidget(cmdCloseCommand);
    connect(txtCommand, &QLineEdit::returnPressed, this, [this, &commands] {
        const QString text = txtCommand->text();
        txtCommand->clear();
        commands.SendCustomCommand(text);
    });
    connect(cmdCloseCommand, &QPushButton::clicked, this, [this, &commands] {
        commands.CloseCustomCommand();
        emit closed();
    });
}
