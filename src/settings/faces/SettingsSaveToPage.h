#pragma once

#include "settings/faces/SettingsPage.h"

class QTreeWidget;

// The save-to page: where new files go (one folder, the last folder used, a folder
// per file type, or a folder made from the file's information), each mode with the
// frame of its own fields.
class SettingsSaveToPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsSaveToPage(frmSettings& logic, QWidget* parent = nullptr);

    QTreeWidget* lstFileType;

private:
    void showRules();
};
