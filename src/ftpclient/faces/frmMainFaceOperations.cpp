// The main window's controls for transfers and file operations: the transfer
// type group, the custom command's field, the "FTP Commands" menu, the
// deletion work list over the remote list, drag and drop between the lists,
// and the dialogs the logic asks for through its hooks.
#include "ftpclient/commands/faces/CustomCommandFields.h"
#include "ftpclient/commands/faces/f2rmRemoteChangeMode.h"
#include "ftpclient/commands/faces/mnuFtpCommands.h"
#include "ftpclient/faces/FileListDrag.h"
#include "ftpclient/faces/FileListView.h"
#include "ftpclient/faces/frmMainFace.h"
#include "ftpclient/main/frmMain.h"
#include "ftpclient/options/faces/frmOptionsFace.h"
#include "ftpclient/transfers/faces/fraTransfer.h"
#include "ftpclient/transfers/faces/frmExist.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTreeView>

namespace karvo {

namespace {

// Puts a stack in the place of `widget` in its layout, with the widget in it.
QStackedWidget* stackInPlaceOf(QWidget* widget) {
    QWidget* parent = widget->parentWidget();
    auto* stack = new QStackedWidget(parent);
    stack->setSizePolicy(widget->sizePolicy());
    delete parent->layout()->replaceWidget(widget, stack);
    stack->addWidget(widget);
    return stack;
}

}  // namespace

void frmMainFace::buildOperations() {
    TransferFrame = new ::fraTransfer(this);
    TransferFrame->setObjectName(QStringLiteral("fraTransfer"));
    TransferFrame->setOption(main_.TransferType());
    statusBar()->insertPermanentWidget(0, TransferFrame);
    connect(TransferFrame, &::fraTransfer::optionChosen, &main_, &frmMain::SetTransferType);

    CommandFields = new CustomCommandFields(CustomCommandPanel);
    CustomCommandPanel->layout()->setContentsMargins(0, 0, 0, 0);
    CustomCommandPanel->layout()->addWidget(CommandFields);
    connect(CommandFields, &CustomCommandFields::commandEntered, &main_, &frmMain::txtCommand_Enter);
    connect(CommandFields, &CustomCommandFields::closeClicked, &main_, &frmMain::cmdCloseCommand_Click);

    mnuFtpCommands = new ::mnuFtpCommands(this);
    menuBar()->insertMenu(mnuTools->menuAction(), mnuFtpCommands);
    connect(mnuFtpCommands, &::mnuFtpCommands::entryChosen, &main_, &frmMain::FtpCommandsMenu);
    connect(&main_, &frmMain::controlsChanged, mnuFtpCommands,
            [this] { mnuFtpCommands->setEnabled(main_.Controls.miRemote); });
    mnuFtpCommands->setEnabled(main_.Controls.miRemote);

    lstDel = new FileListView(main_.lstDel, this);
    lstDel->setObjectName(QStringLiteral("lstDel"));
    stackInPlaceOf(lstRemoteFileList)->addWidget(lstDel);
    cmbDel = new QComboBox(this);
    cmbDel->setObjectName(QStringLiteral("cmbDel"));
    cmbDel->setEditable(true);
    cmbDel->lineEdit()->setReadOnly(true);
    stackInPlaceOf(cboRemotePath)->addWidget(cmbDel);
    connect(&main_, &frmMain::deletionCoverChanged, this, &frmMainFace::showDeletionCover);

    const auto dragAndDrop = [this](FileListView* view, FileList& list, ListDrag::List side) {
        auto* drag = new FileListDrag(list, side, view);
        drag->attach(view->reportView());
        drag->attach(view->iconView());
        // Rows keep their places in the icon views; a drag is a transfer.
        view->iconView()->setMovement(QListView::Static);
        connect(drag, &FileListDrag::dropped, &main_, &frmMain::ListDropped);
    };
    dragAndDrop(lstLocalFileList, main_.lstLocalFileList, ListDrag::List::Local);
    dragAndDrop(lstRemoteFileList, main_.lstRemoteFileList, ListDrag::List::Remote);

    frmMain::Hooks& hooks = main_.hooks;
    hooks.askFileExists = [this](const QString& source, const QString& destination, bool resumeAllowed) {
        return frmExist::Ask(this, source, destination, resumeAllowed);
    };
    hooks.showOptions = [this](TransferMode& mode) { frmOptionsFace::Show(this, &mode); };
    hooks.askChmod = [this] { return f2rmRemoteChangeMode::Ask(this); };
    hooks.focusCustomCommand = [this] { CommandFields->txtCommand->setFocus(); };
}

void frmMainFace::showDeletionCover() {
    const bool cover = main_.DeletionCoverShown;
    cmbDel->setEditText(main_.cmbDel.Text());
    qobject_cast<QStackedWidget*>(lstDel->parentWidget())->setCurrentWidget(cover ? lstDel : lstRemoteFileList);
    qobject_cast<QStackedWidget*>(cmbDel->parentWidget())->setCurrentWidget(cover ? cmbDel : cboRemotePath);
}

}  // namespace karvo
