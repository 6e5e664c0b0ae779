#include "queue/frmSchedule.h"

#include "common/Dialogs.h"
#include "core/Language.h"
#include "queue/ExtraTimer.h"
#include "queue/ScheduleGlobals.h"

namespace {

template <typename Form>
auto dayBoxesOf(Form& form) {
    return std::array{&form.chkSat, &form.chkSun, &form.chkMon, &form.chkTue,
                      &form.chkWed, &form.chkThr, &form.chkFri};
}

void setList(ListControl& list, const QStringList& items, const QString& text) {
    list.Items = items;
    list.Text = text;
}

ScheduleTime timeOf(const ListControl& hour, const ListControl& minute, const ListControl& type) {
    return {hour.Text, minute.Text, type.Text};
}

// Choosing an hour past noon leaves only the 24-hour clock.
void switchTo24Hours(const ListControl& hour, ListControl& type) {
    if (hour.Text.toInt() > 12) type.Text = QStringLiteral("24HR");
}

}  // namespace

const QString frmSchedule::kInfo = QStringLiteral(
    "The program will start downloading leftover files in the Downloads list at this time");

frmSchedule::frmSchedule(ExtraTimer& timer, QObject* parent) : QObject(parent), ExtraTimer1(timer) {
    SetControls(ScheduleSettings());
}

std::array<CheckControl*, 7> frmSchedule::DayBoxes() {
    return dayBoxesOf(*this);
}

void frmSchedule::Form_Load() {
    SetControls(ScheduleSettings::Load());
    Save();
}

void frmSchedule::Save() {
    ScheduleExistChoice = Controls().ExistChoice();
}

ScheduleSettings frmSchedule::Controls() const {
    ScheduleSettings s;
    s.NoSchedule = chkNoSchedule.Value;
    s.Start = timeOf(cboHour, cboMinute, cboType);
    s.SelectDay = optSelectDay.Value;
    const auto boxes = dayBoxesOf(*this);
    for (std::size_t i = 0; i < boxes.size(); ++i) s.Days[i] = boxes[i]->Value;
    s.OverWrite = optOverWrite.Value;
    s.Resume = optResume.Value;
    s.Skip = optSkip.Value;
    s.Stop = chkStop.Value;
    s.StopAt = timeOf(cboStopHour, cboStopMinute, cboStopType);
    return s;
}

void frmSchedule::SetControls(const ScheduleSettings& s) {
    chkNoSchedule.Value = s.NoSchedule;
    setList(cboHour, ScheduleSettings::HourItems, s.Start.Hour);
    setList(cboMinute, ScheduleSettings::MinuteItems, s.Start.Minute);
    setList(cboType, ScheduleSettings::TypeItems, s.Start.Type);
    optToday.Value = !s.SelectDay;
    optSelectDay.Value = s.SelectDay;
    const auto boxes = DayBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->Value = s.Days[i];
    optOverWrite.Value = s.OverWrite;
    optResume.Value = s.Resume;
    optSkip.Value = s.Skip;
    chkStop.Value = s.Stop;
    setList(cboStopHour, ScheduleSettings::HourItems, s.StopAt.Hour);
    setList(cboStopMinute, ScheduleSettings::MinuteItems, s.StopAt.Minute);
    setList(cboStopType, ScheduleSettings::TypeItems, s.StopAt.Type);
    applyEnabledStates();
    emit changed();
}

bool frmSchedule::InitTimer(bool startUp) {
    FireNow = PauseNow = false;
    evaluate(ScheduleSettings::Load(), startUp ? ScheduleTrigger::Silent : ScheduleTrigger::Expiry);
    return FireNow;
}

void frmSchedule::AfterRun() {
    FireNow = PauseNow = false;
    evaluate(ScheduleSettings::Load(), ScheduleTrigger::Silent);
}

void frmSchedule::cmdOK_Click() {
    FireNow = PauseNow = false;
    evaluate(Controls(), ScheduleTrigger::Confirm);
}

// The edits are dropped: the next opening shows the stored values again.
void frmSchedule::cmdCancel_Click() {
    Form_Load();
    emit unloadRequested();
}

void frmSchedule::evaluate(const ScheduleSettings& settings, ScheduleTrigger trigger) {
    const bool interactive = trigger == ScheduleTrigger::Confirm;
    const ScheduleDecision decision = EvaluateSchedule(settings, Now(), trigger, memory_);
    // The stored values were confirmed by the user: a run not started by the user
    // follows them.
    if (!interactive) ScheduleExistChoice = settings.ExistChoice();
    switch (decision.Do) {
        case ScheduleDecision::Action::Reject:
            if (interactive) {
                Dialogs::show(SetCaptionfromINI(decision.MessageKey, decision.Message),
                              Dialogs::Icon::Exclamation);
                return;
            }
            disarm();
            return;
        case ScheduleDecision::Action::Idle:
            disarm();
            return;
        case ScheduleDecision::Action::Fire:
            // Off while the run is under way: it lets the event loop run.
            disarm();
            memory_.FiredUpTo = decision.Target;
            (decision.Event == ScheduleEvent::Start ? FireNow : PauseNow) = true;
            return;
        case ScheduleDecision::Action::Disarm:
            disarm();
            break;
        case ScheduleDecision::Action::Arm:
            ExtraTimer1.setIntervalUnit(decision.IntervalUnit);
            ExtraTimer1.setEnabled(true);
            ExtraTimer1.setInterval(decision.Interval);
            memory_.ArmedTarget = decision.Target;
            memory_.ArmedEvent = decision.Event;
            break;
    }
    if (!interactive) return;
    settings.Store();
    ScheduleExistChoice = settings.ExistChoice();
    emit unloadRequested();
    emit changed();
}

void frmSchedule::disarm() {
    ExtraTimer1.setEnabled(false);
    memory_.ArmedTarget = QDateTime();
}

void frmSchedule::applyEnabledStates() {
    const bool on = !chkNoSchedule.Value;
    for (ListControl* list : {&cboHour, &cboMinute, &cboType}) list->Enabled = on;
    optToday.Enabled = optSelectDay.Enabled = on;
    for (CheckControl* box : DayBoxes()) box->Enabled = on && optSelectDay.Value;
    chkStop.Enabled = on;
    for (ListControl* list : {&cboStopHour, &cboStopMinute, &cboStopType})
        list->Enabled = on && chkStop.Value;
}

void frmSchedule::cboHour_Click() {
    switchTo24Hours(cboHour, cboType);
    emit changed();
}

void frmSchedule::cboStopHour_Click() {
    switchTo24Hours(cboStopHour, cboStopType);
    emit changed();
}

void frmSchedule::chkNoSchedule_Click() {
    applyEnabledStates();
    emit changed();
}

void frmSchedule::optToday_Click() {
    optToday.Value = true;
    optSelectDay.Value = false;
    applyEnabledStates();
    emit changed();
}

void frmSchedule::optSelectDay_Click() {
    optToday.Value = false;
    optSelectDay.Value = true;
    applyEnabledStates();
    emit changed();
}

void frmSchedule::chkStop_Click() {
    applyEnabledStates();
    emit changed();
}
