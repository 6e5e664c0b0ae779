#include "ftpclient/faces/KarvoToolbarFace.h"

#include "ftpclient/faces/KarvoIcons.h"

#include <QAction>
#include <QMouseEvent>
#include <QStyle>

namespace karvo {

KarvoToolbarFace::KarvoToolbarFace(QWidget* parent) : QToolBar(QStringLiteral("Toolbar"), parent) {
    setObjectName(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(24, 24));
    const auto icon = [this](QStyle::StandardPixmap pixmap) {
        return style()->standardIcon(pixmap);
    };
    connected_ = addAction(KarvoIcons::Connected(false), tr("Offline"));
    connected_->setToolTip(tr("Not connected"));
    addCommand(tr("Connect"), icon(QStyle::SP_DriveNetIcon), QStringLiteral("IDC_FS_Connect"),
               tr("Connect to a server or a saved site"));
    addCommand(tr("Disconnect"), icon(QStyle::SP_DialogCloseButton),
               QStringLiteral("IDC_FS_Disconnect"), tr("Disconnect from the server"));
    addSeparator();
    addCommand(tr("Upload"), icon(QStyle::SP_ArrowUp), QStringLiteral("IDC_FS_Upload"),
               tr("Upload the selected local files"));
    addCommand(tr("Download"), icon(QStyle::SP_ArrowDown), QStringLiteral("IDC_FS_Download"),
               tr("Download the selected remote files"));
    addSeparator();
    quickConnect_ = addToggle(tr("Quick"), icon(QStyle::SP_FileDialogContentsView),
                              QStringLiteral("IDC_FS_ShowA"), QStringLiteral("IDC_FS_HideA"),
                              tr("Show or hide the quick-connect fields"));
    fileLists_ =
        addToggle(tr("Files"), icon(QStyle::SP_FileDialogListView), QStringLiteral("IDC_FS_ShowB"),
                  QStringLiteral("IDC_FS_HideB"), tr("Show or hide the file lists and the log"));
    customCommand_ = addToggle(tr("Command"), icon(QStyle::SP_FileDialogDetailedView),
                               QStringLiteral("IDC_FS_ShowC"), QStringLiteral("IDC_FS_HideC"),
                               tr("Show or hide the log and the custom command"));
    addSeparator();
    addCommand(tr("Options"), icon(QStyle::SP_FileDialogInfoView), QStringLiteral("IDC_FS_Options"),
               tr("Options"));
    addCommand(tr("Lumet"), icon(QStyle::SP_ComputerIcon), QStringLiteral("IDC_FS_launchZu"),
               tr("Start the download manager and close the FTP client"));
    addCommand(tr("Help"), icon(QStyle::SP_DialogHelpButton), QStringLiteral("IDC_FS_UserGuide"),
               tr("User's Guide"));
    addSeparator();
    addCommand(tr("To Tray"), icon(QStyle::SP_TitleBarMinButton), QStringLiteral("IDC_FS_tray"),
               tr("Hide the window to the notification area"));
}

QAction* KarvoToolbarFace::addCommand(const QString& text, const QIcon& icon, const QString& name,
                                      const QString& toolTip) {
    QAction* action = addAction(icon, text);
    action->setToolTip(toolTip);
    action->setData(name);
    connect(action, &QAction::triggered, this, [this, name] { emit command(name); });
    return action;
}

QAction* KarvoToolbarFace::addToggle(const QString& text, const QIcon& icon,
                                     const QString& showName, const QString& hideName,
                                     const QString& toolTip) {
    QAction* action = addAction(icon, text);
    action->setToolTip(toolTip);
    action->setCheckable(true);
    action->setData(QStringList{showName, hideName});
    connect(action, &QAction::triggered, this, [this, showName, hideName](bool checked) {
        emit command(checked ? showName : hideName);
    });
    return action;
}

QAction* KarvoToolbarFace::actionFor(const QString& name) const {
    for (QAction* action : actions()) {
        const QVariant data = action->data();
        if (data.toString() == name || data.toStringList().contains(name)) return action;
    }
    return nullptr;
}

void KarvoToolbarFace::setPanelsShown(bool quickConnect, bool fileLists, bool customCommand) {
    quickConnect_->setChecked(quickConnect);
    fileLists_->setChecked(fileLists);
    customCommand_->setChecked(customCommand);
}

void KarvoToolbarFace::setVariable(const QString& name, const QString& value) {
    if (name != QLatin1String("_root.Connected")) return;
    const bool connected = value == QLatin1String("1");
    connected_->setIcon(KarvoIcons::Connected(connected));
    connected_->setText(connected ? tr("Online") : tr("Offline"));
    connected_->setToolTip(connected ? tr("Connected") : tr("Not connected"));
}

// The empty part of the bar moves the window, as a caption does.
void KarvoToolbarFace::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit command(QStringLiteral("IDC_FS_drag"));
        event->accept();
        return;
    }
    QToolBar::mousePressEvent(event);
}

}  // namespace karvo
