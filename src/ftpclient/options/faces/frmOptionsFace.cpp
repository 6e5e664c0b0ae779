#include "ftpclient/options/faces/frmOptionsFace.h"

#include "ftpclient/options/frmOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPointer>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* field(const QString& tip, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    if (!tip.isEmpty()) edit->setToolTip(tip);
    return edit;
}

}  // namespace

frmOptionsFace::frmOptionsFace(frmOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    TabOptions = new QTabWidget(this);
    TabOptions->addTab(generalPage(), QStringLiteral("General Settings"));
    TabOptions->addTab(firewallPage(), QStringLiteral("Firewall Settings"));
    layout->addWidget(TabOptions);

    auto* buttons = new QHBoxLayout;
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    fill();
    connect(&options_, &frmOptions::stateChanged, this, &frmOptionsFace::showState);
    connect(TabOptions, &QTabWidget::currentChanged, this,
            [this](int index) { options_.TabOptions = index + 1; });
    connect(cmdSave, &QPushButton::clicked, this, [this] {
        if (options_.Save()) QDialog::accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptionsFace::reject);
}

void frmOptionsFace::Show(QWidget* owner, TransferMode* mode) {
    frmOptions options(mode);
    options.Form_Load();
    // The dialog's loop lets the program go on; the owner may be closed
    // meanwhile and take the dialog with it.
    QPointer<frmOptionsFace> face = new frmOptionsFace(options, owner);
    face->exec();
    delete face;
}

QWidget* frmOptionsFace::generalPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    auto* language = new QFormLayout;
    cmboLanguage = new QComboBox(page);
    language->addRow(QStringLiteral("Language"), cmboLanguage);
    layout->addLayout(language);
    chkAddToStartup = new QCheckBox(QStringLiteral("Add PelmoFtp To Windows Startup"), page);
    layout->addWidget(chkAddToStartup);

    auto* log = new QGroupBox(QStringLiteral("Log File"), page);
    auto* logLayout = new QFormLayout(log);
    txtLogFilename = field(QStringLiteral("Log file name"), log);
    logLayout->addRow(QStringLiteral("Log Filename"), txtLogFilename);
    optDeleteLogOnStartup = new QRadioButton(QStringLiteral("Delete Log File on Startup?"), log);
    logLayout->addRow(optDeleteLogOnStartup);
    optDeleteLogIfSizeExceeds = new QRadioButton(QStringLiteral("Delete Log File if it Exceeds :"), log);
    txtLogFileSize = field(QStringLiteral("Log file size limit"), log);
    auto* size = new QHBoxLayout;
    size->addWidget(txtLogFileSize);
    size->addWidget(new QLabel(QStringLiteral("KB"), log));
    logLayout->addRow(optDeleteLogIfSizeExceeds, size);
    auto* group = new QButtonGroup(log);
    group->addButton(optDeleteLogOnStartup);
    group->addButton(optDeleteLogIfSizeExceeds);
    layout->addWidget(log);

    auto* types = new QGroupBox(QStringLiteral(" Auto Mode Types"), page);
    auto* typesLayout = new QGridLayout(types);
    typesLayout->addWidget(new QLabel(QStringLiteral("ASCII Extensions are:"), types), 0, 0, 1, 2);
    lstExtFiles = new QListWidget(types);
    typesLayout->addWidget(lstExtFiles, 1, 0, 3, 1);
    cmdAdd = new QPushButton(QStringLiteral("Add"), types);
    cmdRemove = new QPushButton(QStringLiteral("Remove"), types);
    typesLayout->addWidget(cmdAdd, 1, 1);
    typesLayout->addWidget(cmdRemove, 2, 1);
    typesLayout->addWidget(new QLabel(QStringLiteral("Other extensions will be Binary"), types), 4, 0, 1, 2);
    layout->addWidget(types);

    connect(cmboLanguage, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_) options_.setLanguage(index);
    });
    connect(chkAddToStartup, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_) options_.setAddToStartup(on);
    });
    connect(txtLogFilename, &QLineEdit::textEdited, &options_, &frmOptions::setLogFilename);
    connect(optDeleteLogOnStartup, &QRadioButton::clicked, &options_, &frmOptions::setDeleteLogOnStartup);
    connect(optDeleteLogIfSizeExceeds, &QRadioButton::clicked, &options_,
            &frmOptions::setDeleteLogIfSizeExceeds);
    connect(txtLogFileSize, &QLineEdit::textEdited, &options_, &frmOptions::setLogFileSize);
    connect(cmdAdd, &QPushButton::clicked, this, [this] {
        const int row = options_.lstExtFiles_Add();
        auto* item = new QListWidgetItem(QString());
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        {
            const QSignalBlocker blocker(lstExtFiles);
            lstExtFiles->addItem(item);
        }
        lstExtFiles->setFocus();
        lstExtFiles->setCurrentRow(row);
        lstExtFiles->editItem(item);
    });
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        const int row = lstExtFiles->currentRow();
        if (row < 0) return;
        options_.lstExtFiles_Remove(row);
        const QSignalBlocker blocker(lstExtFiles);
        delete lstExtFiles->takeItem(row);
    });
    connect(lstExtFiles, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = lstExtFiles->row(item);
        if (options_.lstExtFiles_AfterLabelEdit(row, item->text())) return;
        const QSignalBlocker blocker(lstExtFiles);
        item->setText(options_.lstExtFiles.value(row));
    });
    return page;
}

QWidget* frmOptionsFace::firewallPage() {
    auto* page = new QWidget(this);
    auto* layout = new QFormLayout(page);
    chkFirewall = new QCheckBox(QStringLiteral("Use Firewall"), page);
    layout->addRow(chkFirewall);
    comboFirewallType = new QComboBox(page);
    comboFirewallType->addItems({QStringLiteral("SOCKS 4"), QStringLiteral("SOCKS 5")});
    layout->addRow(QStringLiteral("Type"), comboFirewallType);
    txtFirewallHostName = field(QStringLiteral("proxy address"), page);
    layout->addRow(QStringLiteral("Hostname"), txtFirewallHostName);
    txtFirewallPort = field(QStringLiteral("Proxy port number"), page);
    layout->addRow(QStringLiteral("Port"), txtFirewallPort);
    txtFirewallUserName = field(QString(), page);
    layout->addRow(QStringLiteral("User Name"), txtFirewallUserName);
    txtFirewallPassword = field(QString(), page);
    txtFirewallPassword->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("Password"), txtFirewallPassword);

    connect(chkFirewall, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_) options_.setFirewall(on);
    });
    connect(comboFirewallType, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!filling_) options_.setFirewallType(text);
    });
    connect(txtFirewallHostName, &QLineEdit::textEdited, &options_, &frmOptions::setFirewallHostName);
    connect(txtFirewallPort, &QLineEdit::textEdited, &options_, &frmOptions::setFirewallPort);
    connect(txtFirewallUserName, &QLineEdit::textEdited, &options_, &frmOptions::setFirewallUserName);
    connect(txtFirewallPassword, &QLineEdit::textEdited, &options_, &frmOptions::setFirewallPassword);
    return page;
}

void frmOptionsFace::fill() {
    filling_ = true;
    cmboLanguage->clear();
    for (const LanguageEntry& entry : options_.cmboLanguage)
        cmboLanguage->addItem(entry.picture.isEmpty() ? QIcon() : QIcon(entry.picture), entry.name);
    cmboLanguage->setCurrentIndex(options_.cmboLanguageIndex);
    chkAddToStartup->setChecked(options_.chkAddToStartup);
    txtLogFilename->setText(options_.txtLogFilename);
    optDeleteLogOnStartup->setChecked(options_.optDeleteLogOnStartup);
    optDeleteLogIfSizeExceeds->setChecked(options_.optDeleteLogIfSizeExceeds);
    txtLogFileSize->setText(options_.txtLogFileSize);
    {
        const QSignalBlocker blocker(lstExtFiles);
        lstExtFiles->clear();
        for (const QString& extension : options_.lstExtFiles) {
            auto* item = new QListWidgetItem(extension, lstExtFiles);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
    }
    chkFirewall->setChecked(options_.chkFirewall);
    comboFirewallType->setCurrentText(options_.comboFirewallType);
    txtFirewallHostName->setText(options_.txtFirewallHostName);
    txtFirewallPort->setText(options_.txtFirewallPort);
    txtFirewallUserName->setText(options_.txtFirewallUserName);
    txtFirewallPassword->setText(options_.txtFirewallPassword);
    TabOptions->setCurrentIndex(options_.TabOptions - 1);
    filling_ = false;
    showState();
}

void frmOptionsFace::showState() {
    cmdSave->setEnabled(options_.cmdSaveEnabled());
    for (QWidget* widget : {static_cast<QWidget*>(comboFirewallType), static_cast<QWidget*>(txtFirewallHostName),
                            static_cast<QWidget*>(txtFirewallPort), static_cast<QWidget*>(txtFirewallUserName),
                            static_cast<QWidget*>(txtFirewallPassword)})
        widget->setEnabled(options_.firewallFieldsEnabled());
    txtLogFileSize->setEnabled(options_.txtLogFileSizeEnabled());
    if (txtLogFileSize->text() != options_.txtLogFileSize) txtLogFileSize->setText(options_.txtLogFileSize);
}

void frmOptionsFace::reject() {
    if (options_.QueryUnload()) QDialog::reject();
}
