#include "ftpclient/commands/faces/f2rmRemoteChangeMode.h"

#include "ftpclient/transfers/faces/SavedGeometry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kPlace = QStringLiteral("REMOTE CHANGE MODE");

}  // namespace

f2rmRemoteChangeMode::f2rmRemoteChangeMode(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("PelmoFTP - File/Folder Permission Change"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const QString columns[] = {QStringLiteral("Read"), QStringLiteral("Write"),
                               QStringLiteral("Execute")};
    for (int column = 0; column < 3; ++column)
        grid->addWidget(new QLabel(columns[column], this), 0, column + 1);
    const QString rows[] = {QStringLiteral("Owner"), QStringLiteral("Group"),
                            QStringLiteral("Other")};
    QCheckBox** boxes[ChangeMode::kBoxes] = {
        &chkOwnerRead, &chkOwnerWrite, &chkOwnerExecute, &chkGroupRead, &chkGroupWrite,
        &chkGroupExecute, &chkOtherRead, &chkOtherWrite, &chkOtherExecute};
    for (int box = 0; box < ChangeMode::kBoxes; ++box) {
        if (box % 3 == 0) grid->addWidget(new QLabel(rows[box / 3], this), box / 3 + 1, 0);
        *boxes[box] = new QCheckBox(this);
        grid->addWidget(*boxes[box], box / 3 + 1, box % 3 + 1);
        connect(*boxes[box], &QCheckBox::toggled, this, [this, box](bool on) {
            mode_.set(ChangeMode::Box(box), on);
            txtNumericValue->setText(mode_.txtNumericValue());
        });
    }
    layout->addLayout(grid);

    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(QStringLiteral("Numeric Value"), this));
    txtNumericValue = new QLineEdit(mode_.txtNumericValue(), this);
    txtNumericValue->setReadOnly(true);
    number->addWidget(txtNumericValue);
    layout->addLayout(number);

    auto* buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    SavedGeometry::restore(*this, kPlace);
}

std::optional<QString> f2rmRemoteChangeMode::Ask(QWidget* owner) {
    QPointer<f2rmRemoteChangeMode> dialog = new f2rmRemoteChangeMode(owner);
    dialog->exec();
    if (!dialog) return std::nullopt;
    const bool ok = dialog->chmodResult == 1;
    const QString number = dialog->txtNumericValue->text();
    delete dialog;
    return ok ? std::optional<QString>(number) : std::nullopt;
}

void f2rmRemoteChangeMode::done(int result) {
    chmodResult = result == QDialog::Accepted ? 1 : 0;
    SavedGeometry::save(*this, kPlace);
    QDialog::done(result);
}
