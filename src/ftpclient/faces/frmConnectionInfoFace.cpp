#include "ftpclient/faces/frmConnectionInfoFace.h"

#include "ftpclient/faces/KarvoIcons.h"
#include "ftpclient/profiles/frmConnectionInfo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace karvo {

namespace {

QTreeWidget* makeTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderLabel(QStringLiteral("Current saved profiles"));
    tree->setRootIsDecorated(true);
    tree->setMinimumWidth(220);
    return tree;
}

// Sets a line edit's text without moving the cursor of what is being typed.
void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

}  // namespace

frmConnectionInfoFace::frmConnectionInfoFace(frmConnectionInfo& info, QWidget* parent)
    : QDialog(parent),
      TabProfiles(new QTabBar(this)),
      Trees(new QStackedWidget(this)),
      tvlStandard(makeTree(this)),
      tvlPrivate(makeTree(this)),
      txtProfileName(new QLineEdit(this)),
      txtHost(new QLineEdit(this)),
      txtPort(new QLineEdit(this)),
      txtUserName(new QLineEdit(this)),
      txtPassword(new QLineEdit(this)),
      optNormal(new QRadioButton(QStringLiteral("Normal"), this)),
      optAnonymous(new QRadioButton(QStringLiteral("Anonymous"), this)),
      chkPassiveMode(new QCheckBox(QStringLiteral("Passive Mode"), this)),
      cmdSaveSite(new QPushButton(QStringLiteral("Save Site"), this)),
      cmdDeleteSite(new QPushButton(QStringLiteral("Delete Site"), this)),
      cmdNewSite(new QPushButton(QStringLiteral("New Site"), this)),
      cmdConnect(new QPushButton(QStringLiteral("&Connect"), this)),
      cmdCancel(new QPushButton(QStringLiteral("C&ancel"), this)),
      info_(info),
      loginType_(new QButtonGroup(this)) {
    setWindowTitle(frmConnectionInfo::kCaption);
    setWindowIcon(KarvoIcons::Program());
    setObjectName(QStringLiteral("frmConnectionInfo"));

    TabProfiles->addTab(QStringLiteral("Standard"));
    TabProfiles->addTab(QStringLiteral("Private"));
    Trees->addWidget(tvlStandard);
    Trees->addWidget(tvlPrivate);
    auto* trees = new QVBoxLayout;
    trees->setSpacing(0);
    trees->addWidget(TabProfiles);
    trees->addWidget(Trees, 1);

    txtPassword->setEchoMode(QLineEdit::Password);
    txtPort->setMaxLength(5);
    txtHost->setMinimumWidth(240);
    loginType_->addButton(optNormal);
    loginType_->addButton(optAnonymous);
    auto* loginBox = new QGroupBox(QStringLiteral("Login Type"), this);
    auto* loginLayout = new QHBoxLayout(loginBox);
    loginLayout->addWidget(optNormal);
    loginLayout->addWidget(optAnonymous);
    loginLayout->addStretch();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Profile Name :"), txtProfileName);
    form->addRow(QStringLiteral("Host Address :"), txtHost);
    form->addRow(QStringLiteral("Port :"), txtPort);
    form->addRow(QStringLiteral("User Name :"), txtUserName);
    form->addRow(QStringLiteral("Password :"), txtPassword);
    form->addRow(loginBox);
    form->addRow(chkPassiveMode);

    auto* siteButtons = new QHBoxLayout;
    siteButtons->addWidget(cmdNewSite);
    siteButtons->addWidget(cmdSaveSite);
    siteButtons->addWidget(cmdDeleteSite);
    siteButtons->addStretch();
    auto* fields = new QVBoxLayout;
    fields->addLayout(form);
    fields->addLayout(siteButtons);
    fields->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(trees, 2);
    top->addLayout(fields, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdConnect);
    bottom->addWidget(cmdCancel);
    cmdConnect->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    connect(TabProfiles, &QTabBar::currentChanged, this, [this](int index) {
        if (!refreshing_)
            info_.TabProfiles_Click(index == 0 ? frmConnectionInfo::Standard
                                               : frmConnectionInfo::Private);
    });
    connect(tvlStandard, &QTreeWidget::itemClicked, this, [this] { nodeClicked(tvlStandard); });
    connect(tvlPrivate, &QTreeWidget::itemClicked, this, [this] { nodeClicked(tvlPrivate); });
    connect(txtProfileName, &QLineEdit::textEdited, this,
            [this](const QString& text) { info_.txtProfileName = text; });
    connect(txtHost, &QLineEdit::textEdited, this,
            [this](const QString& text) { info_.txtHost = text; });
    connect(txtPort, &QLineEdit::textEdited, this,
            [this](const QString& text) { info_.SetPort(text); });
    connect(txtUserName, &QLineEdit::textEdited, this,
            [this](const QString& text) { info_.txtUserName = text; });
    connect(txtPassword, &QLineEdit::textEdited, this,
            [this](const QString& text) { info_.txtPassword = text; });
    connect(optNormal, &QRadioButton::clicked, &info_, &frmConnectionInfo::optNormal_Click);
    connect(optAnonymous, &QRadioButton::clicked, &info_, &frmConnectionInfo::optAnonymous_Click);
    connect(chkPassiveMode, &QCheckBox::clicked, this,
            [this](bool checked) { info_.chkPassiveMode = checked; });
    connect(cmdNewSite, &QPushButton::clicked, &info_, &frmConnectionInfo::cmdNewSite_Click);
    connect(cmdSaveSite, &QPushButton::clicked, &info_, &frmConnectionInfo::cmdSaveSite_Click);
    connect(cmdDeleteSite, &QPushButton::clicked, &info_, &frmConnectionInfo::cmdDeleteSite_Click);
    connect(cmdConnect, &QPushButton::clicked, &info_, &frmConnectionInfo::cmdConnect_Click);
    connect(cmdCancel, &QPushButton::clicked, &info_, &frmConnectionInfo::cmdCancel_Click);
    connect(&info_, &frmConnectionInfo::changed, this, &frmConnectionInfoFace::refresh);
    info_.focusProfileName = [this] { txtProfileName->setFocus(); };
    info_.hide = [this] { done(info_.Cancelled ? QDialog::Rejected : QDialog::Accepted); };
    refresh();
}

void frmConnectionInfoFace::ShowModal(frmConnectionInfo& info, QWidget* parent) {
    frmConnectionInfoFace face(info, parent);
    face.exec();
    info.hide = nullptr;
    info.focusProfileName = nullptr;
}

void frmConnectionInfoFace::reject() {
    // Escape and the window's close button count as Cancel.
    info_.cmdCancel_Click();
    if (isVisible()) QDialog::reject();
}

void frmConnectionInfoFace::refresh() {
    refreshing_ = true;
    TabProfiles->setCurrentIndex(info_.TabProfiles == frmConnectionInfo::Standard ? 0 : 1);
    Trees->setCurrentWidget(info_.TabProfiles == frmConnectionInfo::Standard ? tvlStandard
                                                                             : tvlPrivate);
    fillTree(tvlStandard, info_.StandardProfiles, info_.SelectedStandard);
    fillTree(tvlPrivate, info_.PrivateProfiles, info_.SelectedPrivate);
    showText(txtProfileName, info_.txtProfileName);
    showText(txtHost, info_.txtHost);
    showText(txtPort, info_.txtPort);
    showText(txtUserName, info_.txtUserName);
    showText(txtPassword, info_.txtPassword);
    txtUserName->setEnabled(info_.UserFieldsEnabled);
    txtPassword->setEnabled(info_.UserFieldsEnabled);
    // Both options may be clear; an exclusive group could not show that.
    loginType_->setExclusive(false);
    optNormal->setChecked(info_.optNormal);
    optAnonymous->setChecked(info_.optAnonymous);
    loginType_->setExclusive(true);
    chkPassiveMode->setChecked(info_.chkPassiveMode);
    cmdDeleteSite->setEnabled(info_.cmdDeleteSite);
    refreshing_ = false;
}

void frmConnectionInfoFace::fillTree(QTreeWidget* tree, const QStringList& files, int selected) {
    QTreeWidgetItem* root = tree->topLevelItemCount() > 0 ? tree->topLevelItem(0) : nullptr;
    QStringList shown;
    for (int i = 0; root && i < root->childCount(); ++i) shown << root->child(i)->text(0);
    if (!root || shown != files) {
        tree->clear();
        root = new QTreeWidgetItem(tree, {frmConnectionInfo::kRootText});
        root->setData(0, Qt::UserRole, frmConnectionInfo::kRootKey);
        for (const QString& file : files) new QTreeWidgetItem(root, {file});
        root->setExpanded(true);
    }
    if (selected >= 0 && selected < root->childCount()) {
        tree->setCurrentItem(root->child(selected));
    } else if (tree->currentItem() != root) {
        tree->setCurrentItem(nullptr);
    }
}

void frmConnectionInfoFace::nodeClicked(QTreeWidget* tree) {
    QTreeWidgetItem* item = tree->currentItem();
    const int child = item && item->parent() ? item->parent()->indexOfChild(item) : -1;
    info_.NodeClick(
        tree == tvlPrivate ? frmConnectionInfo::tvlPrivate : frmConnectionInfo::tvlStandard, child);
}

}  // namespace karvo
