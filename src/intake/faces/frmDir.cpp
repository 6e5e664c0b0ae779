#include "intake/faces/frmDir.h"

#include "core/Language.h"
#include "core/modGlobalVariables.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Bounds the search for a free "New Folder (n)" name.
constexpr int kMaxNewFolderNames = 100;

}  // namespace

frmDir::frmDir(QWidget* parent)
    : QDialog(parent),
      lstDir(new QTreeView),
      lstDrive(new QComboBox),
      txtPath(new QLineEdit),
      tbrDir(new QToolBar),
      Command1(new QPushButton),
      Command2(new QPushButton),
      model_(new QFileSystemModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QStringLiteral("/"));
    lstDir->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) lstDir->hideColumn(column);
    lstDir->setHeaderHidden(true);

    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
    }
    roots.sort();
    roots.removeDuplicates();
    lstDrive->addItems(roots);

    tbrDir->addAction(QStringLiteral("New Folder"), this, [this] { NewFolder(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbrDir);
    layout->addWidget(lstDrive);
    layout->addWidget(lstDir, 1);
    layout->addWidget(txtPath);
    layout->addLayout(buttons);

    connect(lstDir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmDir::lstDir_Change);
    connect(lstDrive, &QComboBox::activated, this, &frmDir::lstDrive_Change);
    connect(Command1, &QPushButton::clicked, this, &frmDir::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDir::showEvent(QShowEvent* event) {
    if (!loaded_) Form_Load();
    QDialog::showEvent(event);
}

void frmDir::Form_Load() {
    loaded_ = true;
    if (LangFile == QLatin1String("Arabic.ini")) setLayoutDirection(Qt::RightToLeft);
    // Captions a caller set before showing the picker stay.
    if (windowTitle().isEmpty())
        setWindowTitle(
            SetCaptionfromINI(QStringLiteral("03000"), QStringLiteral("Select Directory")));
    if (Command1->text().isEmpty())
        Command1->setText(SetCaptionfromINI(QStringLiteral("02006"), QStringLiteral("OK")));
    if (Command2->text().isEmpty())
        Command2->setText(SetCaptionfromINI(QStringLiteral("05004"), QStringLiteral("&Cancel")));
}

void frmDir::SelectFolder(const QString& path) {
    const QModelIndex index = model_->index(QDir::cleanPath(path));
    if (!index.isValid()) return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        lstDir->expand(parent);
    lstDir->setCurrentIndex(index);
    lstDir->scrollTo(index);
}

bool frmDir::NewFolder() {
    const QModelIndex parent = lstDir->currentIndex();
    if (!parent.isValid()) return false;
    const QDir folder(model_->filePath(parent));
    QString name = QStringLiteral("New Folder");
    for (int n = 2; folder.exists(name); ++n) {
        if (n > kMaxNewFolderNames) return false;
        name = QStringLiteral("New Folder (%1)").arg(n);
    }
    const QModelIndex created = model_->mkdir(parent, name);
    if (!created.isValid()) return false;
    SelectFolder(model_->filePath(created));
    return true;
}

void frmDir::lstDir_Change() {
    const QString path = model_->filePath(lstDir->currentIndex());
    txtPath->setText(path);
    const int drive = lstDrive->findText(QStorageInfo(path).rootPath());
    if (drive >= 0) lstDrive->setCurrentIndex(drive);
}

void frmDir::lstDrive_Change() {
    SelectFolder(lstDrive->currentText());
}

void frmDir::Command1_Click() {
    ResultPath = txtPath->text();
    accept();
}
