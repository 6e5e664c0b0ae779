#pragma once

#include "settings/faces/SettingsPage.h"

// The proxy page ("Proxy Settings"): the HTTP proxy, its use for FTP addresses,
// and its login.
class SettingsProxyPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsProxyPage(frmSettings& logic, QWidget* parent = nullptr);
};
