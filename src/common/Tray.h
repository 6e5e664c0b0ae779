#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>

class QPixmap;
class QSystemTrayIcon;

// The notification-area icon of a window: image, tool tip, balloon, and the clicks
// on it. EventMode 0 raises LeftClick and RightClick, 1 raises MouseClick with the
// button (1 left, 2 right). After a click further clicks are swallowed for 15 ms,
// so a double click raises one event.
class Tray : public QObject {
    Q_OBJECT
public:
    // The mouse messages a click arrives as.
    static constexpr int kLeftButtonDown = 513;
    static constexpr int kRightButtonDown = 516;

    explicit Tray(QObject* parent = nullptr);
    ~Tray() override;

    QIcon TrayImage() const { return image_; }
    void setTrayImage(const QIcon& icon);
    // A picture that is not an icon becomes one.
    void setTrayImage(const QPixmap& picture);
    QString TrayToolTip;
    QString TrayBalloonToolTip;
    int EventMode() const { return eventMode_; }
    // Values above 1 are stored as 1, below 0 as 0.
    void setEventMode(int mode) { eventMode_ = mode > 1 ? 1 : (mode < 0 ? 0 : mode); }
    bool IsVisible() const { return visible_; }

    // true: puts the icon into the notification area, or updates it when it is
    // there; false: takes it out.
    void Show(bool show);
    // true: shows the balloon text, titled with the tool tip.
    void showBalloonoolTip(bool show);

    // The tip text of the icon: " tool tip " when there is one, else empty.
    QString TipText() const;

    // Whether the desktop has a notification area at all.
    static bool Available();

    // A mouse message on the icon (kLeftButtonDown, kRightButtonDown; others do nothing).
    void MouseMessage(int message);
    // The busy window after a click.
    QTimer tmrBusy;
    bool Busy() const { return busy_; }
    void tmrBusy_Timer();

signals:
    void LeftClick();
    void RightClick();
    void MouseClick(int button);

private:
    QSystemTrayIcon* icon_;
    QIcon image_;
    int eventMode_ = 0;
    bool visible_ = false;
    bool busy_ = false;
};
