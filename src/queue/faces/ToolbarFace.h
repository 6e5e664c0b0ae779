#pragma once

#include <QToolBar>

class QAction;

// The main window's toolbar: every button sends its command string ("IDC_FS_…")
// through command(); a press on its empty part sends "IDC_FS_drag" and dropped
// text goes out through textDropped().
class ToolbarFace : public QToolBar {
    Q_OBJECT
public:
    explicit ToolbarFace(QWidget* parent = nullptr);

    // The show/hide buttons of the two lists follow the lists without sending anything.
    void setDownloadsShown(bool shown);
    void setCompleteShown(bool shown);
    // The button that sends command (for the toggles: either of its two commands).
    QAction* actionFor(const QString& command) const;

signals:
    void command(const QString& name);
    void textDropped(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* addCommand(const QString& text, int standardIcon, const QString& name,
                        const QString& toolTip);
    QAction* addCommand(const QString& text, const QIcon& icon, const QString& name,
                        const QString& toolTip);
    QAction* addToggle(const QString& text, int standardIcon, const QString& showName,
                       const QString& hideName, const QString& toolTip);

    QAction* downloads_ = nullptr;
    QAction* complete_ = nullptr;
};
