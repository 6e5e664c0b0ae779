#pragma once

#include "settings/faces/SettingsPage.h"

// The segments page ("Auto Segmentation"): segmented downloading on or off, and
// the file sizes from which two to six segments are used.
class SettingsSegmentsPage : public SettingsPage {
    Q_OBJECT
public:
    explicit SettingsSegmentsPage(frmSettings& logic, QWidget* parent = nullptr);
};
