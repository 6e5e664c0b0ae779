#include "settings/faces/frmSettingsFace.h"

#include "intake/faces/frmDir.h"
#include "settings/faces/SettingsConnectionPage.h"
#include "settings/faces/SettingsGeneralPage.h"
#include "settings/faces/SettingsLoginsPage.h"
#include "settings/faces/SettingsMonitoringPage.h"
#include "settings/faces/SettingsProxyPage.h"
#include "settings/faces/SettingsSaveToPage.h"
#include "settings/faces/SettingsSegmentsPage.h"
#include "settings/frmSettings.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The dialog on screen, so that a second opening (say from the tray menu while
// the dialog is up) shows it instead of a second copy.
QPointer<frmSettingsFace>& openDialog() {
    static QPointer<frmSettingsFace> dialog;
    return dialog;
}

}  // namespace

frmSettingsFace::frmSettingsFace(frmSettings& logic, QWidget* parent)
    : QDialog(parent),
      tabMainSettings(new QTabWidget),
      Pages{new SettingsGeneralPage(logic),    new SettingsMonitoringPage(logic),
            new SettingsConnectionPage(logic), new SettingsSegmentsPage(logic),
            new SettingsSaveToPage(logic),     new SettingsProxyPage(logic),
            new SettingsLoginsPage(logic)},
      cmdOK(new QPushButton(QStringLiteral("OK"))),
      cmdApply(new QPushButton(QStringLiteral("&Apply"))),
      cmdCancel(new QPushButton(QStringLiteral("&Cancel"))),
      cmdHelp(new QPushButton(QStringLiteral("&Help"))),
      logic_(logic) {
    setWindowTitle(QStringLiteral("Settings"));
    for (std::size_t page = 0; page < Pages.size(); ++page)
        tabMainSettings->addTab(Pages[page], frmSettings::PageCaption(static_cast<int>(page)));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    for (QPushButton* button : {cmdOK, cmdApply, cmdCancel}) buttons->addWidget(button);
    cmdOK->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabMainSettings);
    layout->addLayout(buttons);

    logic.PickFolder = [this](const QString& initialFolder) -> std::optional<QString> {
        frmDir picker(this);
        picker.SelectFolder(initialFolder);
        if (picker.exec() != QDialog::Accepted || picker.ResultPath.isEmpty())
            return std::nullopt;
        return picker.ResultPath;
    };
    connect(tabMainSettings, &QTabWidget::currentChanged, &logic,
            &frmSettings::tabMainSettings_Click);
    connect(cmdOK, &QPushButton::clicked, &logic, &frmSettings::cmdOK_Click);
    connect(cmdApply, &QPushButton::clicked, &logic, &frmSettings::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, &logic, &frmSettings::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, &logic, &frmSettings::cmdHelp_Click);
    connect(&logic, &frmSettings::changed, this, &frmSettingsFace::RefreshControls);
    connect(&logic, &frmSettings::unloadRequested, this, [this] { QDialog::accept(); });
    RefreshControls();
}

frmSettingsFace::~frmSettingsFace() {
    // The picker above shows itself over this face, which is going.
    logic_.PickFolder = nullptr;
}

void frmSettingsFace::Show(QWidget* owner, std::function<void()> openHelp) {
    if (QPointer<frmSettingsFace>& open = openDialog()) {
        open->raise();
        open->activateWindow();
        return;
    }
    frmSettings logic;
    logic.OpenHelp = std::move(openHelp);
    logic.Form_Load();
    frmSettingsFace face(logic, owner);
    openDialog() = &face;
    face.exec();
}

void frmSettingsFace::reject() {
    if (logic_.QueryUnload()) QDialog::reject();
}

void frmSettingsFace::RefreshControls() {
    for (SettingsPage* page : Pages) page->RefreshControls();
    const QSignalBlocker blocker(tabMainSettings);
    tabMainSettings->setCurrentIndex(logic_.tabMainSettings);
    cmdApply->setEnabled(logic_.SettingsDirty());
}
