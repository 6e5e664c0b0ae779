#include "queue/faces/frmScheduleFace.h"

#include "queue/frmSchedule.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QComboBox* list(const ListControl& control) {
    auto* box = new QComboBox;
    box->addItems(control.Items);
    return box;
}

void display(QComboBox* box, const ListControl& control) {
    box->setCurrentText(control.Text);
    box->setEnabled(control.Enabled);
}

void display(QAbstractButton* button, const CheckControl& control) {
    button->setChecked(control.Value);
    button->setEnabled(control.Enabled);
}

QHBoxLayout* timeRow(const QString& caption, QWidget* lead, QComboBox* hour, QComboBox* minute,
                     QComboBox* type) {
    auto* row = new QHBoxLayout;
    if (lead)
        row->addWidget(lead);
    else
        row->addWidget(new QLabel(caption));
    for (QComboBox* box : {hour, minute, type}) row->addWidget(box);
    row->addStretch();
    return row;
}

}  // namespace

frmScheduleFace::frmScheduleFace(frmSchedule& logic, QWidget* parent)
    : QDialog(parent),
      chkNoSchedule(new QCheckBox(QStringLiteral("Do not schdeule Downloads"))),
      cboHour(list(logic.cboHour)),
      cboMinute(list(logic.cboMinute)),
      cboType(list(logic.cboType)),
      optToday(new QRadioButton(QStringLiteral("Today Only"))),
      optSelectDay(new QRadioButton(QStringLiteral("Selected Days:"))),
      DayBoxes{
          new QCheckBox(QStringLiteral("Saturday")),  new QCheckBox(QStringLiteral("Sunday")),
          new QCheckBox(QStringLiteral("Monday")),    new QCheckBox(QStringLiteral("Tuesday")),
          new QCheckBox(QStringLiteral("Wednesday")), new QCheckBox(QStringLiteral("Thursday")),
          new QCheckBox(QStringLiteral("Friday"))},
      chkStop(new QCheckBox(QStringLiteral("Pause downloads at"))),
      cboStopHour(list(logic.cboStopHour)),
      cboStopMinute(list(logic.cboStopMinute)),
      cboStopType(list(logic.cboStopType)),
      optOverWrite(new QRadioButton(QStringLiteral("Overwrite"))),
      optResume(new QRadioButton(QStringLiteral("Resume"))),
      optSkip(new QRadioButton(QStringLiteral("Skip"))),
      cmdOK(new QPushButton(QStringLiteral("OK"))),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"))),
      logic_(logic) {
    setWindowTitle(QStringLiteral("Schedule Downloads"));

    auto* info = new QLabel(frmSchedule::kInfo);
    info->setWordWrap(true);

    // Two groups of options, each exclusive on its own.
    auto* dayMode = new QButtonGroup(this);
    dayMode->addButton(optToday);
    dayMode->addButton(optSelectDay);
    auto* days = new QGridLayout;
    days->setContentsMargins(24, 0, 0, 0);
    for (std::size_t i = 0; i < DayBoxes.size(); ++i)
        days->addWidget(DayBoxes[i], static_cast<int>(i / 4), static_cast<int>(i % 4));

    auto* existing = new QGroupBox(QStringLiteral("When the file exists already"));
    auto* existingRow = new QHBoxLayout(existing);
    auto* existMode = new QButtonGroup(this);
    for (QRadioButton* option : {optOverWrite, optResume, optSkip}) {
        existMode->addButton(option);
        existingRow->addWidget(option);
    }
    existingRow->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    cmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkNoSchedule);
    layout->addWidget(info);
    layout->addLayout(timeRow(QStringLiteral("Start at:"), nullptr, cboHour, cboMinute, cboType));
    layout->addWidget(optToday);
    layout->addWidget(optSelectDay);
    layout->addLayout(days);
    layout->addLayout(timeRow(QString(), chkStop, cboStopHour, cboStopMinute, cboStopType));
    layout->addWidget(existing);
    layout->addLayout(buttons);

    RefreshControls();
    connectControls();
}

void frmScheduleFace::Show(frmSchedule& logic, QWidget* owner) {
    logic.Form_Load();
    frmScheduleFace face(logic, owner);
    face.exec();
}

// A change the face makes while it shows the logic is not the user's: only the
// user's changes reach the logic.
void frmScheduleFace::connectControls() {
    frmSchedule& s = logic_;
    const auto onText = [this](QComboBox* box, ListControl& control, auto click) {
        connect(box, &QComboBox::currentTextChanged, this,
                [this, &control, click](const QString& text) {
                    if (refreshing_) return;
                    control.Text = text;
                    click();
                });
    };
    const auto onCheck = [this](QAbstractButton* button, CheckControl& control, auto click) {
        connect(button, &QAbstractButton::toggled, this, [this, &control, click](bool checked) {
            if (refreshing_) return;
            control.Value = checked;
            click();
        });
    };
    const auto none = [] {};
    onText(cboHour, s.cboHour, [&s] { s.cboHour_Click(); });
    onText(cboMinute, s.cboMinute, none);
    onText(cboType, s.cboType, none);
    onText(cboStopHour, s.cboStopHour, [&s] { s.cboStopHour_Click(); });
    onText(cboStopMinute, s.cboStopMinute, none);
    onText(cboStopType, s.cboStopType, none);
    onCheck(chkNoSchedule, s.chkNoSchedule, [&s] { s.chkNoSchedule_Click(); });
    onCheck(chkStop, s.chkStop, [&s] { s.chkStop_Click(); });
    onCheck(optToday, s.optToday, [&s] {
        if (s.optToday.Value) s.optToday_Click();
    });
    onCheck(optSelectDay, s.optSelectDay, [&s] {
        if (s.optSelectDay.Value) s.optSelectDay_Click();
    });
    const auto days = s.DayBoxes();
    for (std::size_t i = 0; i < days.size(); ++i) onCheck(DayBoxes[i], *days[i], none);
    onCheck(optOverWrite, s.optOverWrite, none);
    onCheck(optResume, s.optResume, none);
    onCheck(optSkip, s.optSkip, none);

    connect(cmdOK, &QPushButton::clicked, &s, &frmSchedule::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, &s, &frmSchedule::cmdCancel_Click);
    connect(&s, &frmSchedule::changed, this, &frmScheduleFace::RefreshControls);
    connect(&s, &frmSchedule::unloadRequested, this, &QDialog::accept);
}

void frmScheduleFace::RefreshControls() {
    refreshing_ = true;
    const frmSchedule& s = logic_;
    display(chkNoSchedule, s.chkNoSchedule);
    display(cboHour, s.cboHour);
    display(cboMinute, s.cboMinute);
    display(cboType, s.cboType);
    display(optToday, s.optToday);
    display(optSelectDay, s.optSelectDay);
    const auto days = logic_.DayBoxes();
    for (std::size_t i = 0; i < days.size(); ++i) display(DayBoxes[i], *days[i]);
    display(chkStop, s.chkStop);
    display(cboStopHour, s.cboStopHour);
    display(cboStopMinute, s.cboStopMinute);
    display(cboStopType, s.cboStopType);
    display(optOverWrite, s.optOverWrite);
    display(optResume, s.optResume);
    display(optSkip, s.optSkip);
    refreshing_ = false;
}
