#pragma once

#include <QString>
#include <QStringList>

// What one click of a switch did: the state it is in afterwards (the box shows
// this, also when the change failed), each key, value and file written or
// removed, and, when the change could not be made, the message for the user.
struct SwitchOutcome {
    bool state = false;
    QStringList changes;
    QString failure;

    bool ok() const { return failure.isEmpty(); }
};

// The two switches of the settings dialog that change the machine outside Lumet's
// own settings, acting at once when their box is clicked: browser capture (the
// integration box) and the start with the desktop session. Lumet's settings
// dialog and the headless `lumet --browser-integration on|off` and
// `lumet --start-with-desktop on|off` call them alike.
class IntegrationSwitches {
public:
    // The start-up entry is named by the program's title, so two installed copies
    // share one.
    static const QString kStartupDescription;  // "Vornel Download Manager"

    // Integration box clicked into `checked`: takes the box's state into
    // ClickCaptureOn, stores "ClickCapture" as "True"/"False" and applies it with
    // IECapClicks. When applying fails, the stored value and the flag are set back
    // to the state the machine is actually in, and the outcome says why.
    static SwitchOutcome chkIE_Click(bool checked);
    // Start-up box clicked into `checked`: writes or removes the start-up entry for
    // `executable` (lumet-desktop beside this program when empty) and stores
    // "StartupWithWindows" as "1"/"0", so that a cancelled dialog still shows the
    // entry's true state next time.
    static SwitchOutcome chkStartWin_Click(bool checked, const QString& executable = QString());

    // Registers KarvoIE with the browsers (or takes the registration away); the host
    // program is karvoie-host beside this program when hostPath is empty.
    static SwitchOutcome IECapClicks(bool cap, const QString& hostPath = QString());
    // Adds or removes the start-up entry named by the description.
    static bool DoStartUp(const QString& fileName, const QString& description);
    static bool DoNotStartUp(const QString& fileName, const QString& description);

    static bool IsBrowserIntegrationOn();
    static bool IsStartupOn();
};
