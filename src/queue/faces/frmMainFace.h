#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

class QLabel;
class QMenu;
class QSplashScreen;
class ReportView;
class ToolbarFace;
class Tray;
class TrayMenu;
class frmDownload;
class frmDownloadFace;
class frmMain;

// The main window's face: the toolbar, the Downloads and the Complete list, the
// menus and pop-up menus, the total rate in the status bar, the tray icon with its
// menu, and a face for every download window that is shown. It sets the hooks of
// frmMain that need widgets; everything it does goes through frmMain.
class frmMainFace : public QMainWindow {
    Q_OBJECT
public:
    // Captions of the lists' columns.
    static const QStringList kDownloadsCaptions;
    static const QStringList kCompleteCaptions;

    explicit frmMainFace(frmMain& main, QWidget* parent = nullptr);
    ~frmMainFace() override;

    ToolbarFace* Toolbar;
    ReportView* lstMain;
    ReportView* lstComplete;
    QMenu* mnuQueue;     // "Queue Menu", the Downloads list's pop-up
    QMenu* mnuComplete;  // the Complete list's pop-up
    TrayMenu* TRAYMNU;
    Tray* Tray1;
    QLabel* lblRate;
    QLabel* lblActivity;

    // The faces of the download windows that were shown, while they exist.
    QList<frmDownloadFace*> DownloadFaces() const;
    // The panels around the two lists (hidden together with their list).
    QWidget* DownloadsPanel() const { return downloadsPanel_; }
    QWidget* CompletePanel() const { return completePanel_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QMenu* buildQueueMenu();
    QMenu* buildCompleteMenu();
    void setHooks();
    void showDownloadsList(bool shown);
    void showCompleteList(bool shown);
    void updateHint();
    void hideToTray();
    void showSplash();
    void closeSplash();
    void showWindow(frmDownload* window);
    void showAllWindows(bool shown);
    void about();

    frmMain& main_;
    QWidget* downloadsPanel_;
    QWidget* completePanel_;
    QLabel* hint_;
    QSplashScreen* splash_ = nullptr;
    QList<QPointer<frmDownloadFace>> faces_;
};
