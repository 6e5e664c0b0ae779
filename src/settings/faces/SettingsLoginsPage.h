#pragma once

#include "settings/faces/SettingsPage.h"

class QTreeWidget;

// The logins page ("Login Required"): the user name and password sent to each
// server that asks for one. Passwords are shown masked.
class SettingsLoginsPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsLoginsPage(frmSettings& logic, QWidget* parent = nullptr);

    QTreeWidget* lstLogin;

private:
    void showLogins();
};
