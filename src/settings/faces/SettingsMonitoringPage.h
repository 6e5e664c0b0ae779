#pragma once

#include "settings/faces/SettingsPage.h"

// The monitoring page: the clipboard and the browser, the file types that count as
// downloads, the servers never captured, and a test of an address against both.
class SettingsMonitoringPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsMonitoringPage(frmSettings& logic, QWidget* parent = nullptr);
};
