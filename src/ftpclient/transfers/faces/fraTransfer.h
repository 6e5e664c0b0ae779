#pragma once

#include <QGroupBox>

class QRadioButton;
class TransferMode;

// The transfer type group "Transfer": "Auto", "ASCII", "Binary".
class fraTransfer : public QGroupBox {
    Q_OBJECT
public:
    fraTransfer(TransferMode& mode, QWidget* parent = nullptr);

    QRadioButton* optAuto;
    QRadioButton* optAscii;
    QRadioButton* optBinary;
};
