#include "settings/faces/SettingsGeneralPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

SettingsGeneralPage::SettingsGeneralPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent) {
    frmSettings& s = logic;
    auto* added = new QGroupBox(QStringLiteral("When New Downloads Added"));
    auto* addedLayout = new QVBoxLayout(added);
    addedLayout->addWidget(
        optionButton(QStringLiteral("Start Downloading Immediately"), s.chkDownloadNow));
    addedLayout->addWidget(optionButton(
        QStringLiteral("Add to list but do not start downloading."), s.chkDownloadLater));
    addedLayout->addWidget(
        optionButton(QStringLiteral("Ask to download now or later."), s.chkDownloadPrompt));

    auto* limits = new QGroupBox(QStringLiteral("Simultaneous Downloads From One Server"));
    auto* limitsLayout = new QHBoxLayout(limits);
    limitsLayout->addWidget(new QLabel(QStringLiteral("HTTP:")));
    limitsLayout->addWidget(lineEdit(s.txtLimitHTTP));
    limitsLayout->addWidget(new QLabel(QStringLiteral("FTP:")));
    limitsLayout->addWidget(lineEdit(s.txtLimitFTP));
    limitsLayout->addStretch();

    auto* done = new QGroupBox(QStringLiteral("When Download Is Done"));
    auto* doneLayout = new QVBoxLayout(done);
    doneLayout->addWidget(
        checkBox(QStringLiteral("Bring up prompt telling me download is done."), s.chkPromptDone));
    doneLayout->addWidget(checkBox(QStringLiteral("Close download window."), s.chkCloseWindow));

    auto* program = new QFormLayout;
    program->addRow(checkBox(QStringLiteral("Start Vornel Download Manager when I log in"),
                             s.chkStartWin));
    program->addRow(QStringLiteral("Language:"),
                    comboBox(s.cboLanguage, &frmSettings::cboLanguage_Click));
    auto* downloads = new QLabel;
    auto* bytes = new QLabel;
    auto* version = new QLabel;
    program->addRow(QStringLiteral("Downloads completed:"), downloads);
    program->addRow(QStringLiteral("Downloaded in all:"), bytes);
    program->addRow(QStringLiteral("Version:"), version);
    onRefresh([&s, downloads, bytes, version] {
        downloads->setText(s.lblDownloads);
        bytes->setText(s.lblBytes);
        version->setText(s.lblVersion);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(added);
    layout->addWidget(limits);
    layout->addWidget(done);
    layout->addLayout(program);
    layout->addStretch();
}
