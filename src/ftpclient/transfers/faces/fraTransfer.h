#pragma once

#include "ftpclient/transfers/TransferMode.h"

#include <QGroupBox>

class QRadioButton;

// The transfer type group "Transfer": "Auto", "ASCII", "Binary".
class fraTransfer : public QGroupBox {
    Q_OBJECT
public:
    explicit fraTransfer(QWidget* parent = nullptr);

    // Shows the option without handing it on.
    void setOption(TransferMode::Option option);

    QRadioButton* optAuto;
    QRadioButton* optAscii;
    QRadioButton* optBinary;

signals:
    void optionChosen(TransferMode::Option option);
};
