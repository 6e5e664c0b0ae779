#include "settings/faces/SettingsSegmentsPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

SettingsSegmentsPage::SettingsSegmentsPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent) {
    frmSettings& s = logic;
    auto* group = new QGroupBox(QStringLiteral("Auto Segmentation"));
    auto* box = checkBox(QStringLiteral("Auto Segment the file using multiple connection streams "
                                        "to accelerate the download."),
                         s.chkSegment);
    auto* frameSegmentSettings = new QGroupBox(QStringLiteral("File size (MB)"));
    follow(frameSegmentSettings, s.frameSegmentSettings);
    // Each pair of thresholds bounds one band; the last band has no upper end.
    auto* grid = new QGridLayout(frameSegmentSettings);
    for (int band = 0; band < 5; ++band) {
        const int row = band;
        grid->addWidget(label(QStringLiteral("%1 segments from").arg(band + 2), &s.lblSegment),
                        row, 0);
        grid->addWidget(lineEdit(s.txtSegment[static_cast<std::size_t>(band * 2)]), row, 1);
        if (band == 4) {
            grid->addWidget(label(QStringLiteral("and above"), &s.lblSegment), row, 2);
            break;
        }
        grid->addWidget(label(QStringLiteral("to"), &s.lblSegment), row, 2);
        grid->addWidget(lineEdit(s.txtSegment[static_cast<std::size_t>(band * 2 + 1)]), row, 3);
    }
    grid->setColumnStretch(4, 1);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(box);
    groupLayout->addWidget(frameSegmentSettings);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}
