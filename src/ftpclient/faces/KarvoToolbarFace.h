#pragma once

#include <QToolBar>

class QAction;

namespace karvo {

// Karvo's toolbar: every button sends its command string ("IDC_FS_…") through
// command(); a press on the bar's empty part sends "IDC_FS_drag". It shows the
// toolbar variable "_root.Connected" as a light.
class KarvoToolbarFace : public QToolBar {
    Q_OBJECT
public:
    explicit KarvoToolbarFace(QWidget* parent = nullptr);

    // The button that sends `name` (for the toggles: either of their two commands).
    QAction* actionFor(const QString& name) const;
    // The panel toggles follow the panels without sending anything.
    void setPanelsShown(bool quickConnect, bool fileLists, bool customCommand);
    // A toolbar variable changed.
    void setVariable(const QString& name, const QString& value);

signals:
    void command(const QString& name);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QAction* addCommand(const QString& text, const QIcon& icon, const QString& name,
                        const QString& toolTip);
    QAction* addToggle(const QString& text, const QIcon& icon, const QString& showName,
                       const QString& hideName, const QString& toolTip);

    QAction* quickConnect_ = nullptr;
    QAction* fileLists_ = nullptr;
    QAction* customCommand_ = nullptr;
    QAction* connected_ = nullptr;
};

}  // namespace karvo
