#include "ftpclient/transfers/faces/fraTransfer.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QSignalBlocker>

fraTransfer::fraTransfer(QWidget* parent) : QGroupBox(QStringLiteral("Transfer"), parent) {
    optAuto = new QRadioButton(QStringLiteral("Auto"), this);
    optAscii = new QRadioButton(QStringLiteral("ASCII"), this);
    optBinary = new QRadioButton(QStringLiteral("Binary"), this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    const std::pair<QRadioButton*, TransferMode::Option> options[] = {
        {optAuto, TransferMode::Auto}, {optAscii, TransferMode::Ascii}, {optBinary, TransferMode::Binary}};
    for (const auto& [button, option] : options) {
        layout->addWidget(button);
        const TransferMode::Option chosen = option;
        connect(button, &QRadioButton::toggled, this, [this, chosen](bool on) {
            if (on) emit optionChosen(chosen);
        });
    }
    setOption(TransferMode::Auto);
}

void fraTransfer::setOption(TransferMode::Option option) {
    for (QRadioButton* button : {optAuto, optAscii, optBinary}) {
        const QSignalBlocker blocker(button);
        button->setChecked((button == optAuto && option == TransferMode::Auto) ||
                           (button == optAscii && option == TransferMode::Ascii) ||
                           (button == optBinary && option == TransferMode::Binary));
    }
}
