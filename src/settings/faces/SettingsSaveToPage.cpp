#include "settings/faces/SettingsSaveToPage.h"

#include "settings/frmSettings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

SettingsSaveToPage::SettingsSaveToPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent), lstFileType(new QTreeWidget) {
    frmSettings& s = logic;
    auto* modes = new QGroupBox(QStringLiteral("Save To"));
    auto* modesLayout = new QHBoxLayout(modes);
    modesLayout->addWidget(optionButton(QStringLiteral("Same Directory"), s.optSameDir));
    modesLayout->addWidget(optionButton(QStringLiteral("Last Directory Used"), s.optLastDir));
    modesLayout->addWidget(optionButton(QStringLiteral("By File Type"), s.optFileType));
    modesLayout->addWidget(optionButton(QStringLiteral("By File Info"), s.optFileInfo));

    auto* frameSameDir = new QGroupBox(QStringLiteral("Every new file goes into this folder"));
    follow(frameSameDir, s.frameSameDir);
    auto* sameLayout = new QHBoxLayout(frameSameDir);
    sameLayout->addWidget(lineEdit(s.txtSameDir));
    sameLayout->addWidget(
        button(QStringLiteral("Browse..."), &frmSettings::cmdSameDirBrowse_Click));

    auto* frameLastDir =
        new QGroupBox(QStringLiteral("Every new file goes into the folder last chosen"));
    follow(frameLastDir, s.frameLastDir);
    auto* lastLayout = new QVBoxLayout(frameLastDir);
    auto* lblLastDir = new QLabel;
    lblLastDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lastLayout->addWidget(lblLastDir);
    onRefresh([&s, lblLastDir] { lblLastDir->setText(s.lblLastDir); });

    auto* frameFileType = new QGroupBox(QStringLiteral("A folder for each file type"));
    follow(frameFileType, s.frameFileType);
    lstFileType->setColumnCount(2);
    lstFileType->setHeaderLabels({QStringLiteral("Extension"), QStringLiteral("Folder")});
    lstFileType->setRootIsDecorated(false);
    lstFileType->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    connect(lstFileType, &QTreeWidget::currentItemChanged, &logic, [this] {
        logic_.lstFileType_Click(lstFileType->indexOfTopLevelItem(lstFileType->currentItem()));
    });
    onRefresh([this] { showRules(); });
    auto* ruleFields = new QGridLayout;
    ruleFields->addWidget(new QLabel(QStringLiteral("Extension (without the dot):")), 0, 0);
    ruleFields->addWidget(lineEdit(s.txtFileType), 0, 1);
    ruleFields->addWidget(new QLabel(QStringLiteral("Folder:")), 1, 0);
    ruleFields->addWidget(lineEdit(s.txtFileTypeDir), 1, 1);
    ruleFields->addWidget(
        button(QStringLiteral("Browse..."), &frmSettings::cmdFileTypeDirBrowse_Click), 1, 2);
    auto* ruleButtons = new QHBoxLayout;
    ruleButtons->addStretch();
    ruleButtons->addWidget(button(QStringLiteral("&Add"), &frmSettings::cmdFileTypeAdd_Click));
    ruleButtons->addWidget(
        button(QStringLiteral("&Remove"), &frmSettings::cmdFileTypeRemove_Click));
    auto* typeLayout = new QVBoxLayout(frameFileType);
    typeLayout->addWidget(lstFileType);
    typeLayout->addLayout(ruleFields);
    typeLayout->addLayout(ruleButtons);

    auto* frameFileInfo = new QGroupBox(QStringLiteral("A folder made from the file's information"));
    follow(frameFileInfo, s.frameFileInfo);
    auto* infoLayout = new QGridLayout(frameFileInfo);
    infoLayout->addWidget(new QLabel(QStringLiteral("Parent folder:")), 0, 0);
    infoLayout->addWidget(lineEdit(s.txtParentDir), 0, 1);
    infoLayout->addWidget(button(QStringLiteral("Browse..."), &frmSettings::cmdParBrowse_Click),
                          0, 2);
    infoLayout->addWidget(new QLabel(QStringLiteral("Sub-folder named by:")), 1, 0);
    infoLayout->addWidget(optionButton(QStringLiteral("File Extension Type"), s.optFileExt), 1, 1);
    infoLayout->addWidget(optionButton(QStringLiteral("Current Date (Day-Monyh-Year)"), s.optDate),
                          2, 1);
    infoLayout->addWidget(
        optionButton(QStringLiteral("Server Name (Excluding www. and ftp.)"), s.optServer), 3, 1);
    infoLayout->setRowStretch(4, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modes);
    for (QGroupBox* frame : {frameSameDir, frameLastDir, frameFileType, frameFileInfo})
        layout->addWidget(frame, frame == frameFileType ? 1 : 0);
    layout->addStretch();
}

void SettingsSaveToPage::showRules() {
    const QSignalBlocker blocker(lstFileType);
    const std::vector<FileTypeRule>& rules = logic_.lstFileType;
    if (lstFileType->topLevelItemCount() != static_cast<int>(rules.size()))
        lstFileType->clear();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        QTreeWidgetItem* item = lstFileType->topLevelItem(static_cast<int>(i));
        if (!item) item = new QTreeWidgetItem(lstFileType);
        item->setText(0, rules[i].Extension);
        item->setText(1, rules[i].Folder);
    }
    lstFileType->setCurrentItem(lstFileType->topLevelItem(logic_.lstFileTypeIndex));
}
