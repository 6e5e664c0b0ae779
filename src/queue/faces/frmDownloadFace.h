#pragma once

#include <QPointer>
#include <QWidget>

class frmDownload;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class SegmentBars;
class Tray;
struct ButtonState;

// The face of a download window: shows the state of its frmDownload and forwards
// the clicks. It goes when its window unloads; closing it unloads the window.
class frmDownloadFace : public QWidget {
    Q_OBJECT
public:
    explicit frmDownloadFace(frmDownload& window, QWidget* parent = nullptr);
    ~frmDownloadFace() override;

    frmDownload* window() const;

    QLineEdit* txtURL;
    QLineEdit* txtSaveTo;
    QLabel* lblStatus;
    QLabel* lblResume;
    QLabel* lblFileSize;
    QLabel* lblRecievedSize;
    QLabel* lblTransferRate;
    QLabel* lblTimeRemaining;
    QLabel* lblElapsedTime;
    QLabel* lblTimer;
    QLabel* lblPer;
    QProgressBar* ProgressBar1 = nullptr;  // the overall bar, above the segments
    SegmentBars* PVProgressBar;
    QPushButton* cmdPause;
    QPushButton* cmdStop;
    QPushButton* cmdOpen;
    QPushButton* cmdGotoDir;
    QPushButton* cmdHide;
    QPushButton* cmdMore;
    QMenu* mnuMore;  // "&More Options"
    Tray* Tray1;

    // Shows the window's state again.
    void RefreshControls();

    void cmdOpen_Click();
    void cmdGotoDir_Click();
    // Into the notification area; where there is none, minimised.
    void cmdHide_Click();
    void Tray1_Click();
    // "&Server Data": the conversation with the server in its own window.
    QWidget* interactdata_mnu_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static void showButton(QPushButton* button, const ButtonState& state);

    QPointer<frmDownload> window_;
};
