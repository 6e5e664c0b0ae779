#include "common/Tray.h"

#include <QPixmap>
#include <QSystemTrayIcon>

Tray::Tray(QObject* parent) : QObject(parent), icon_(new QSystemTrayIcon(this)) {
    tmrBusy.setSingleShot(true);
    tmrBusy.setInterval(15);
    connect(&tmrBusy, &QTimer::timeout, this, &Tray::tmrBusy_Timer);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                    // The second press of a double click is a message of its own, not a
                    // button-down.
                    case QSystemTrayIcon::Trigger:
                        MouseMessage(kLeftButtonDown);
                        break;
                    case QSystemTrayIcon::Context:
                        MouseMessage(kRightButtonDown);
                        break;
                    default:
                        break;
                }
            });
}

Tray::~Tray() = default;

void Tray::setTrayImage(const QIcon& icon) {
    image_ = icon;
    icon_->setIcon(icon);
}

void Tray::setTrayImage(const QPixmap& picture) {
    setTrayImage(QIcon(picture));
}

QString Tray::TipText() const {
    return TrayToolTip.isEmpty() ? QString() : QLatin1Char(' ') + TrayToolTip + QLatin1Char(' ');
}

bool Tray::Available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::Show(bool show) {
    if (show) {
        icon_->setIcon(image_);
        icon_->setToolTip(TipText());
        icon_->show();
        visible_ = true;
    } else if (visible_) {
        icon_->hide();
        visible_ = false;
    }
}

void Tray::showBalloonoolTip(bool show) {
    if (!show) return;
    icon_->setToolTip(TipText());
    icon_->showMessage(TrayToolTip, TrayBalloonToolTip, QSystemTrayIcon::Information);
}

void Tray::MouseMessage(int message) {
    if (busy_) return;
    int button = 0;
    if (message == kLeftButtonDown)
        button = 1;
    else if (message == kRightButtonDown)
        button = 2;
    else
        return;
    busy_ = true;
    tmrBusy.start();
    if (eventMode_ == 1)
        emit MouseClick(button);
    else if (button == 1)
        emit LeftClick();
    else
        emit RightClick();
}

void Tray::tmrBusy_Timer() {
    tmrBusy.stop();
    busy_ = false;
}
