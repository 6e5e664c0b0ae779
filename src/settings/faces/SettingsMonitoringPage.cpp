#include "settings/faces/SettingsMonitoringPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

SettingsMonitoringPage::SettingsMonitoringPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent) {
    frmSettings& s = logic;
    auto* lists = new QGroupBox(QStringLiteral("Monitoring"));
    auto* grid = new QGridLayout(lists);
    grid->addWidget(
        checkBox(QStringLiteral("Monitor clipboard for URL's to download."), s.chkClipboard), 0, 0,
        1, 2);
    grid->addWidget(
        checkBox(QStringLiteral("Monitor clicks in the web browser (Chromium, Firefox)"), s.chkIE),
        1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("File types to download:")), 2, 0, 1, 2);
    grid->addWidget(listBox(s.txtMonitorTypes), 3, 0);
    grid->addWidget(button(QStringLiteral("Reset To Defaults"),
                           &frmSettings::cmdMonitorTypesReset_Click),
                    3, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(QStringLiteral("Servers never to download from:")), 4, 0, 1, 2);
    grid->addWidget(listBox(s.txtMonitorServer), 5, 0);
    grid->addWidget(button(QStringLiteral("Reset To Defaults"),
                           &frmSettings::cmdMonitorServerReset_Click),
                    5, 1, Qt::AlignTop);
    auto* hint = new QLabel(QStringLiteral(
        "Entries are separated by \";\". An entry with \"?\" (file types) or \"*\" (servers) "
        "matches every name that holds the rest of it."));
    hint->setWordWrap(true);
    grid->addWidget(hint, 6, 0, 1, 2);

    auto* test = new QGroupBox(QStringLiteral("Test an Address"));
    auto* testLayout = new QHBoxLayout(test);
    QLineEdit* address = lineEdit(s.txtTestURL);
    address->setPlaceholderText(QStringLiteral("http://server/folder/file.zip"));
    testLayout->addWidget(address);
    testLayout->addWidget(button(QStringLiteral("&Test"), &frmSettings::cmdTest_Click));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lists);
    layout->addWidget(test);
    layout->addStretch();
}
