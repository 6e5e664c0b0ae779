#include "settings/IntegrationSwitches.h"

#include "common/AppPaths.h"
#include "common/Autostart.h"
#include "common/CRegister.h"
#include "core/modGlobalVariables.h"
#include "settings/BrowserIntegration.h"

#include <QDir>

const QString IntegrationSwitches::kStartupDescription = QStringLiteral("Vornel Download Manager");

namespace {

// Stores a value of Lumet's key and notes it among the changes; false when the
// hive cannot be written.
bool storeSetting(const QString& name, const QString& value, SwitchOutcome& outcome) {
    if (!CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, name, value)) return false;
    outcome.changes
        << QStringLiteral("wrote HKEY_LOCAL_MACHINE%1%2=\"%3\"").arg(kLumetKey, name, value);
    return true;
}

}  // namespace

SwitchOutcome IntegrationSwitches::chkIE_Click(bool checked) {
    Settings.ClickCapture = checked;
    const QString text = checked ? QStringLiteral("True") : QStringLiteral("False");
    SwitchOutcome outcome;
    if (!storeSetting(QStringLiteral("ClickCapture"), text, outcome)) {
        outcome.failure = QStringLiteral("\"ClickCapture\" cannot be stored in the registry");
    } else {
        SwitchOutcome applied = IECapClicks(checked);
        outcome.changes << applied.changes;
        outcome.failure = applied.failure;
    }
    outcome.state = IsBrowserIntegrationOn();
    if (outcome.state != checked) {
        Settings.ClickCapture = outcome.state;
        storeSetting(QStringLiteral("ClickCapture"),
                     outcome.state ? QStringLiteral("True") : QStringLiteral("False"), outcome);
    }
    return outcome;
}

SwitchOutcome IntegrationSwitches::IECapClicks(bool cap, const QString& hostPath) {
    SwitchOutcome outcome;
    QString failure;
    if (cap) {
        if (!BrowserIntegration::SwitchOn(
                hostPath.isEmpty() ? BrowserIntegration::DefaultHostPath() : hostPath,
                outcome.changes, failure))
            outcome.failure =
                QStringLiteral("The browser integration could not be switched on: %1.")
                    .arg(failure);
    } else if (!BrowserIntegration::SwitchOff(outcome.changes, failure)) {
        outcome.failure =
            QStringLiteral("The browser integration could not be switched off: %1.").arg(failure);
    }
    outcome.state = IsBrowserIntegrationOn();
    return outcome;
}

SwitchOutcome IntegrationSwitches::chkStartWin_Click(bool checked, const QString& executable) {
    const QString fileName =
        executable.isEmpty()
            ? QDir(AppPaths::executableFolder()).filePath(QStringLiteral("lumet-desktop"))
            : executable;
    SwitchOutcome outcome;
    const QString entry = Autostart::EntryPath(kStartupDescription);
    if (checked) {
        if (DoStartUp(fileName, kStartupDescription))
            outcome.changes << QStringLiteral("wrote ") + entry;
        else
            outcome.failure =
                QStringLiteral("The start-up entry could not be written: %1.").arg(entry);
    } else {
        const bool present = IsStartupOn();
        if (!DoNotStartUp(fileName, kStartupDescription))
            outcome.failure =
                QStringLiteral("The start-up entry could not be removed: %1.").arg(entry);
        else if (present)
            outcome.changes << QStringLiteral("removed ") + entry;
    }
    outcome.state = IsStartupOn();
    Settings.StartupWithWindows = outcome.state;
    if (!storeSetting(QStringLiteral("StartupWithWindows"),
                      outcome.state ? QStringLiteral("1") : QStringLiteral("0"), outcome) &&
        outcome.ok())
        outcome.failure = QStringLiteral("\"StartupWithWindows\" cannot be stored in the registry");
    return outcome;
}

bool IntegrationSwitches::DoStartUp(const QString& fileName, const QString& description) {
    return Autostart::Add(description, fileName);
}

bool IntegrationSwitches::DoNotStartUp(const QString&, const QString& description) {
    return Autostart::Remove(description);
}

bool IntegrationSwitches::IsBrowserIntegrationOn() {
    return BrowserIntegration::IsOn();
}

bool IntegrationSwitches::IsStartupOn() {
    return Autostart::IsPresent(kStartupDescription);
}
