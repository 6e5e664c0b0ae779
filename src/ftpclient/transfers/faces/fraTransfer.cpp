#include "ftpclient/transfers/faces/fraTransfer.h"

#include "ftpclient/transfers/TransferMode.h"

#include <QHBoxLayout>
#include <QRadioButton>

fraTransfer::fraTransfer(TransferMode& mode, QWidget* parent)
    : QGroupBox(QStringLiteral("Transfer"), parent) {
    optAuto = new QRadioButton(QStringLiteral("Auto"), this);
    optAscii = new QRadioButton(QStringLiteral("ASCII"), this);
    optBinary = new QRadioButton(QStringLiteral("Binary"), this);
    auto* layout = new QHBoxLayout(this);
    const std::pair<QRadioButton*, TransferMode::Option> options[] = {
        {optAuto, TransferMode::Auto}, {optAscii, TransferMode::Ascii}, {optBinary, TransferMode::Binary}};
    for (const auto& [button, option] : options) {
        layout->addWidget(button);
        button->setChecked(mode.option() == option);
        const TransferMode::Option chosen = option;
        connect(button, &QRadioButton::toggled, this, [&mode, chosen](bool on) {
            if (on) mode.choose(chosen);
        });
    }
}
