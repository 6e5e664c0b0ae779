#include "queue/faces/ToolbarFace.h"

#include "queue/faces/AppIcons.h"
#include "queue/faces/TextDrop.h"

#include <QAction>
#include <QDropEvent>
#include <QMouseEvent>
#include <QStyle>

ToolbarFace::ToolbarFace(QWidget* parent) : QToolBar(QStringLiteral("Toolbar"), parent) {
    setObjectName(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(24, 24));
    setAcceptDrops(true);
    addCommand(tr("Add URL"), QStyle::SP_FileIcon, QStringLiteral("IDC_FS_AddURL"),
               tr("Add an address to download"));
    addCommand(tr("Re-Download"), QStyle::SP_BrowserReload, QStringLiteral("IDC_FS_ReDownload"),
               tr("Download the selected rows again"));
    addSeparator();
    addCommand(tr("Pause All"), QStyle::SP_MediaPause, QStringLiteral("IDC_FS_PauseAll"),
               tr("Pause every running download"));
    addCommand(tr("Resume All"), QStyle::SP_MediaPlay, QStringLiteral("IDC_FS_ResumeAll"),
               tr("Resume every paused download"));
    addCommand(tr("Stop All"), QStyle::SP_MediaStop, QStringLiteral("IDC_FS_StopAll"),
               tr("Stop every running download"));
    addSeparator();
    downloads_ =
        addToggle(tr("Downloads"), QStyle::SP_FileDialogListView, QStringLiteral("IDC_FS_ShowB"),
                  QStringLiteral("IDC_FS_HideB"), tr("Show or hide the Downloads list"));
    complete_ =
        addToggle(tr("Complete"), QStyle::SP_DialogApplyButton, QStringLiteral("IDC_FS_ShowC"),
                  QStringLiteral("IDC_FS_HideC"), tr("Show or hide the Complete list"));
    addSeparator();
    addCommand(tr("Schedule"), QStyle::SP_FileDialogInfoView, QStringLiteral("IDC_FS_Schedule"),
               tr("Schedule the left-over downloads"));
    addCommand(tr("Settings"), QStyle::SP_FileDialogDetailedView, QStringLiteral("IDC_FS_Settings"),
               tr("Settings"));
    addCommand(tr("FTP Client"), AppIcons::FtpClient(), QStringLiteral("IDC_FS_launchFTP"),
               tr("Start the FTP client and close the download manager"));
    addCommand(tr("Help"), QStyle::SP_DialogHelpButton, QStringLiteral("IDC_FS_UserGuide"),
               tr("User's Guide"));
    addSeparator();
    addCommand(tr("To Tray"), QStyle::SP_ArrowDown, QStringLiteral("IDC_FS_tray"),
               tr("Hide the window to the notification area"));
}

QAction* ToolbarFace::addCommand(const QString& text, int standardIcon, const QString& name,
                                 const QString& toolTip) {
    return addCommand(text,
                      style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon)),
                      name, toolTip);
}

QAction* ToolbarFace::addCommand(const QString& text, const QIcon& icon, const QString& name,
                                 const QString& toolTip) {
    QAction* action = addAction(icon, text);
    action->setToolTip(toolTip);
    action->setData(name);
    connect(action, &QAction::triggered, this, [this, name] { emit command(name); });
    return action;
}

QAction* ToolbarFace::addToggle(const QString& text, int standardIcon, const QString& showName,
                                const QString& hideName, const QString& toolTip) {
    QAction* action =
        addAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon)), text);
    action->setToolTip(toolTip);
    action->setCheckable(true);
    action->setData(QStringList{showName, hideName});
    connect(action, &QAction::triggered, this, [this, showName, hideName](bool checked) {
        emit command(checked ? showName : hideName);
    });
    return action;
}

void ToolbarFace::setDownloadsShown(bool shown) {
    downloads_->setChecked(shown);
}

void ToolbarFace::setCompleteShown(bool shown) {
    complete_->setChecked(shown);
}

QAction* ToolbarFace::actionFor(const QString& command) const {
    for (QAction* action : actions()) {
        const QVariant data = action->data();
        if (data.toString() == command || data.toStringList().contains(command)) return action;
    }
    return nullptr;
}

// The empty part of the bar moves the window, as a caption does.
void ToolbarFace::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit command(QStringLiteral("IDC_FS_drag"));
        event->accept();
        return;
    }
    QToolBar::mousePressEvent(event);
}

void ToolbarFace::dragEnterEvent(QDragEnterEvent* event) { AcceptTextDrag(event); }

void ToolbarFace::dropEvent(QDropEvent* event) {
    if (const auto text = TakeTextDrop(event)) emit textDropped(*text);
}
