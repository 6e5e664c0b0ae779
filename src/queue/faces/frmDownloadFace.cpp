#include "queue/faces/frmDownloadFace.h"

#include "common/Tray.h"
#include "queue/faces/AppIcons.h"
#include "queue/faces/PlaceInsideScreen.h"
#include "queue/faces/SegmentBars.h"
#include "queue/faces/frmServerData.h"
#include "transfer/frmDownload.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel* valueLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit* textBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    return box;
}

}  // namespace

frmDownloadFace::frmDownloadFace(frmDownload& window, QWidget* parent)
    : QWidget(parent, Qt::Window),
      txtURL(textBox(this)),
      txtSaveTo(textBox(this)),
      lblStatus(valueLabel(this)),
      lblResume(valueLabel(this)),
      lblFileSize(valueLabel(this)),
      lblRecievedSize(valueLabel(this)),
      lblTransferRate(valueLabel(this)),
      lblTimeRemaining(valueLabel(this)),
      lblElapsedTime(valueLabel(this)),
      lblTimer(valueLabel(this)),
      lblPer(valueLabel(this)),
      PVProgressBar(new SegmentBars(this)),
      cmdPause(new QPushButton(this)),
      cmdStop(new QPushButton(this)),
      cmdOpen(new QPushButton(QStringLiteral("&Open"), this)),
      cmdGotoDir(new QPushButton(QStringLiteral("&Go To Dir"), this)),
      cmdHide(new QPushButton(QStringLiteral("&Hide"), this)),
      cmdMore(new QPushButton(QStringLiteral("&More"), this)),
      mnuMore(new QMenu(QStringLiteral("&More Options"), this)),
      Tray1(new Tray(this)),
      window_(&window) {
    setWindowIcon(AppIcons::Program());
    ProgressBar1 = PVProgressBar->overall();
    QFont strong = lblStatus->font();
    strong.setBold(true);
    lblStatus->setFont(strong);
    lblResume->setStyleSheet(QStringLiteral("color: #1d6b2f;"));
    lblTimer->setStyleSheet(QStringLiteral("color: #a33;"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    const auto caption = [this](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setStyleSheet(QStringLiteral("color: #505050;"));
        return label;
    };
    grid->addWidget(caption(tr("URL:")), 0, 0);
    grid->addWidget(txtURL, 0, 1, 1, 3);
    grid->addWidget(caption(tr("Save To:")), 1, 0);
    grid->addWidget(txtSaveTo, 1, 1, 1, 3);
    grid->addWidget(caption(tr("Status:")), 2, 0);
    grid->addWidget(lblStatus, 2, 1);
    grid->addWidget(lblResume, 2, 2, 1, 2, Qt::AlignRight);
    grid->addWidget(caption(tr("File Size:")), 3, 0);
    grid->addWidget(lblFileSize, 3, 1);
    grid->addWidget(caption(tr("Transfer Rate:")), 3, 2);
    grid->addWidget(lblTransferRate, 3, 3);
    grid->addWidget(caption(tr("Received:")), 4, 0);
    grid->addWidget(lblRecievedSize, 4, 1);
    grid->addWidget(caption(tr("Time Left:")), 4, 2);
    grid->addWidget(lblTimeRemaining, 4, 3);
    grid->addWidget(caption(tr("Elapsed:")), 5, 0);
    grid->addWidget(lblElapsedTime, 5, 1);
    grid->addWidget(lblTimer, 5, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* progress = new QHBoxLayout;
    progress->addWidget(PVProgressBar, 1, Qt::AlignTop);
    progress->addWidget(lblPer, 0, Qt::AlignTop);
    lblPer->setMinimumWidth(lblPer->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 6);
    lblPer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdPause, cmdStop, cmdOpen, cmdGotoDir, cmdHide, cmdMore})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addLayout(progress);
    layout->addSpacing(8);
    layout->addStretch();
    layout->addLayout(buttons);

    mnuMore->addAction(QStringLiteral("&Server Data"), this, [this] { interactdata_mnu_Click(); });
    Tray1->setTrayImage(AppIcons::Program());

    connect(cmdPause, &QPushButton::clicked, this, [this] {
        if (window_) window_->cmdPause_Click();
    });
    connect(cmdStop, &QPushButton::clicked, this, [this] {
        if (window_) window_->cmdStop_Click();
    });
    connect(cmdOpen, &QPushButton::clicked, this, &frmDownloadFace::cmdOpen_Click);
    connect(cmdGotoDir, &QPushButton::clicked, this, &frmDownloadFace::cmdGotoDir_Click);
    connect(cmdHide, &QPushButton::clicked, this, &frmDownloadFace::cmdHide_Click);
    connect(cmdMore, &QPushButton::clicked, this,
            [this] { mnuMore->popup(cmdMore->mapToGlobal(QPoint(0, cmdMore->height()))); });
    connect(Tray1, &Tray::LeftClick, this, &frmDownloadFace::Tray1_Click);
    connect(Tray1, &Tray::RightClick, this, &frmDownloadFace::Tray1_Click);

    connect(&window, &frmDownload::changed, this, &frmDownloadFace::RefreshControls);
    connect(&window, &frmDownload::beep, this, [] { QApplication::beep(); });
    // The face lives exactly as long as its window.
    connect(&window, &QObject::destroyed, this, [this] { delete this; });

    resize(540, sizeHint().height());
    RefreshControls();
}

frmDownloadFace::~frmDownloadFace() = default;

frmDownload* frmDownloadFace::window() const {
    return window_;
}

void frmDownloadFace::showButton(QPushButton* button, const ButtonState& state) {
    // Open and Go To Dir keep the face's captions: the window names only the
    // buttons whose caption tells a state.
    if (!state.Caption.isEmpty()) button->setText(state.Caption);
    button->setEnabled(state.Enabled);
    button->setVisible(state.Visible);
}

void frmDownloadFace::RefreshControls() {
    if (!window_) return;
    const frmDownload& w = *window_;
    const QString name = QFileInfo(w.SavePath).fileName();
    setWindowTitle(w.Caption.isEmpty() ? name : w.Caption);
    if (txtURL->text() != w.txtURL) txtURL->setText(w.txtURL);
    if (txtSaveTo->text() != w.txtSaveTo) txtSaveTo->setText(w.txtSaveTo);
    // While data flows the window says so only in its row.
    lblStatus->setText(w.lblStatus.isEmpty() && w.ListItem ? w.ListItem->SubItem(5) : w.lblStatus);
    lblResume->setText(w.lblResume);
    lblFileSize->setText(w.lblFileSize);
    lblRecievedSize->setText(w.lblRecievedSize);
    lblTransferRate->setText(w.lblTransferRate);
    lblTimeRemaining->setText(w.lblTimeRemaining);
    lblElapsedTime->setText(w.lblElapsedTime);
    lblTimer->setText(w.lblTimer);
    lblTimer->setVisible(w.lblTimerVisible);
    lblPer->setText(w.lblPer);
    PVProgressBar->setBars(w.ProgressBar1, w.PVProgressBar);
    showButton(cmdPause, w.cmdPause);
    // Stop and Close share the button; only its caption tells them apart.
    showButton(cmdStop, w.cmdStop);
    showButton(cmdOpen, w.cmdOpen);
    showButton(cmdGotoDir, w.cmdGotoDir);
    if (Tray1->IsVisible()) {
        Tray1->TrayToolTip = windowTitle();
        Tray1->Show(true);
    }
}

void frmDownloadFace::cmdOpen_Click() {
    if (window_) QDesktopServices::openUrl(QUrl::fromLocalFile(window_->SavePath));
}

void frmDownloadFace::cmdGotoDir_Click() {
    if (window_)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(window_->SavePath).absolutePath()));
}

void frmDownloadFace::cmdHide_Click() {
    if (!Tray::Available()) {
        showMinimized();
        return;
    }
    Tray1->TrayToolTip = windowTitle();
    Tray1->Show(true);
    hide();
}

void frmDownloadFace::Tray1_Click() {
    showNormal();
    raise();
    activateWindow();
    Tray1->Show(false);
}

QWidget* frmDownloadFace::interactdata_mnu_Click() {
    auto* data = new frmServerData(this);
    if (window_) data->txtServerData->setPlainText(QString::fromLatin1(window_->TransferLog));
    PlaceInsideScreen(data, this, QPoint(24, 24));
    data->show();
    return data;
}

// Closing the window is its unload: the transfer stops and the window goes.
void frmDownloadFace::closeEvent(QCloseEvent* event) {
    Tray1->Show(false);
    event->accept();
    if (window_) window_->Unload();
}
