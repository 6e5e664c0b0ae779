#pragma once

#include "settings/faces/SettingsPage.h"

// The connection page: time-outs, retrying, the resume rollback and FTP's
// passive mode.
class SettingsConnectionPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsConnectionPage(frmSettings& logic, QWidget* parent = nullptr);
};
