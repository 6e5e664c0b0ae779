#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QPushButton;
class QTabWidget;
class SettingsPage;
class frmSettings;

// The settings dialog: one tab per page of frmSettings, and OK, Apply, Cancel and
// Help. Every change the user makes goes to the logic at once, which keeps the
// rules; the widgets show what it holds. Closing with unsaved changes asks first.
class frmSettingsFace : public QDialog {
    Q_OBJECT
public:
    explicit frmSettingsFace(frmSettings& logic, QWidget* parent = nullptr);
    ~frmSettingsFace() override;

    // Loads the settings into a new dialog and shows it modally (Options → Settings,
    // the toolbar's Settings, the tray's "Settings..."); a dialog already open is
    // brought to the front instead. openHelp opens the user's guide.
    static void Show(QWidget* owner, std::function<void()> openHelp);

    QTabWidget* tabMainSettings;
    std::array<SettingsPage*, 7> Pages;
    QPushButton* cmdOK;
    QPushButton* cmdApply;
    QPushButton* cmdCancel;
    QPushButton* cmdHelp;

    // Closing by the window's close button or Escape asks like Cancel does.
    void reject() override;

private:
    void RefreshControls();

    frmSettings& logic_;
};
