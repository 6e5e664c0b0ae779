#pragma once

#include "settings/faces/SettingsPage.h"

// The first page: what happens to new addresses, the per-server limits, what
// happens when a download is done, the start with the desktop, the language, and
// the counters and version.
class SettingsGeneralPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsGeneralPage(frmSettings& logic, QWidget* parent = nullptr);
};
