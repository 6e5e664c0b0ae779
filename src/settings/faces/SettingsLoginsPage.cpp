#include "settings/faces/SettingsLoginsPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

SettingsLoginsPage::SettingsLoginsPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent), lstLogin(new QTreeWidget) {
    frmSettings& s = logic;
    lstLogin->setColumnCount(3);
    lstLogin->setHeaderLabels(
        {QStringLiteral("Server"), QStringLiteral("User Name"), QStringLiteral("Password")});
    lstLogin->setRootIsDecorated(false);
    lstLogin->header()->setSectionsClickable(true);
    lstLogin->header()->setSectionResizeMode(QHeaderView::Stretch);
    connect(lstLogin, &QTreeWidget::currentItemChanged, &logic, [this] {
        logic_.lstLogin_Click(lstLogin->indexOfTopLevelItem(lstLogin->currentItem()));
    });
    connect(lstLogin->header(), &QHeaderView::sectionClicked, &logic,
            [this](int column) { logic_.lstLogin_ColumnClick(column); });
    onRefresh([this] { showLogins(); });

    QLineEdit* password = lineEdit(s.txtLoginPassword);
    password->setEchoMode(QLineEdit::Password);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Server:"), lineEdit(s.txtLoginServer));
    fields->addRow(QStringLiteral("User name:"), lineEdit(s.txtLoginUsername));
    fields->addRow(QStringLiteral("Password:"), password);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button(QStringLiteral("&Add"), &frmSettings::cmdLoginAdd_Click));
    buttons->addWidget(button(QStringLiteral("C&hange"), &frmSettings::cmdLoginChange_Click));
    buttons->addWidget(button(QStringLiteral("&Delete"), &frmSettings::cmdLoginDelete_Click));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(checkBox(QStringLiteral("Login Required"), s.chkLoginReq));
    layout->addWidget(lstLogin, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void SettingsLoginsPage::showLogins() {
    const QSignalBlocker blocker(lstLogin);
    const std::vector<LoginRow>& logins = logic_.lstLogin;
    if (lstLogin->topLevelItemCount() != static_cast<int>(logins.size())) lstLogin->clear();
    for (std::size_t i = 0; i < logins.size(); ++i) {
        QTreeWidgetItem* item = lstLogin->topLevelItem(static_cast<int>(i));
        if (!item) item = new QTreeWidgetItem(lstLogin);
        item->setText(0, logins[i].Server);
        item->setText(1, logins[i].User);
        item->setText(2, logins[i].Password.isEmpty() ? QString() : QStringLiteral("********"));
    }
    lstLogin->setCurrentItem(lstLogin->topLevelItem(logic_.lstLoginIndex));
}
