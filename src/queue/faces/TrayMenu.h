#pragma once

#include <QMenu>

class frmMain;

// The tray icon's pop-up menu ("TRAYMNU"). Items marked hidden exist but are not shown.
class TrayMenu : public QMenu {
    Q_OBJECT
public:
    explicit TrayMenu(frmMain& main, QWidget* parent = nullptr);
};
