#include "settings/faces/SettingsConnectionPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

SettingsConnectionPage::SettingsConnectionPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent) {
    frmSettings& s = logic;
    auto* timeouts = new QGroupBox(QStringLiteral("Time-outs"));
    auto* timeoutsLayout = new QFormLayout(timeouts);
    timeoutsLayout->addRow(QStringLiteral("Time-out while connecting (seconds):"),
                           lineEdit(s.txtTimeout));
    timeoutsLayout->addRow(
        checkBox(QStringLiteral("Stop and Resume if no data recieved..."), s.chkStopResume));
    timeoutsLayout->addRow(QStringLiteral("... for servers that resume (minutes):"),
                           lineEdit(s.txtTimeResume));
    timeoutsLayout->addRow(QStringLiteral("... for servers that do not resume (minutes):"),
                           lineEdit(s.txtTimeNoResume));

    auto* retrying = new QGroupBox(QStringLiteral("Retrying"));
    auto* retryingLayout = new QFormLayout(retrying);
    retryingLayout->addRow(checkBox(
        QStringLiteral("Retry after timeout or log in error (server is busy)."), s.chkRetry));
    retryingLayout->addRow(QStringLiteral("Time between retries (seconds):"),
                           lineEdit(s.txtRetryTime));
    retryingLayout->addRow(QStringLiteral("Number of retries:"), lineEdit(s.txtRetries));

    auto* resume = new QGroupBox(QStringLiteral("Resume"));
    auto* resumeLayout = new QFormLayout(resume);
    resumeLayout->addRow(QStringLiteral("Fetch again before the resume point (KB):"),
                         lineEdit(s.txtRollback));

    auto* ftp = new QGroupBox(QStringLiteral("FTP"));
    auto* ftpLayout = new QVBoxLayout(ftp);
    ftpLayout->addWidget(
        checkBox(QStringLiteral("Use PASV Mode for FTP Transfers"), s.chkFtpPASV));

    auto* layout = new QVBoxLayout(this);
    for (QGroupBox* group : {timeouts, retrying, resume, ftp}) layout->addWidget(group);
    layout->addStretch();
}
