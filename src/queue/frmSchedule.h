#pragma once

#include "queue/ScheduleEvaluation.h"
#include "queue/ScheduleSettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class ExtraTimer;

// A drop-down list of the dialog: its items, the chosen text, enabled or not.
struct ListControl {
    QStringList Items;
    QString Text;
    bool Enabled = true;
};

// A check box or an option button: ticked or chosen, enabled or not.
struct CheckControl {
    bool Value = false;
    bool Enabled = true;
};

// The scheduler dialog's logic ("Schedule Downloads"): a time of day at which the
// left-over rows of the Downloads list are restarted, today only or on ticked
// days, and what happens to a target file that exists. It arms the main
// window's ExtraTimer1; the main window runs what is due when it expires.
//
// The controls hold what the user is editing. Evaluations the user did not start
// (start-up, timer expiry) work on the values stored in the registry and never
// touch the controls or close the dialog. Only a confirmed evaluation stores
// values and changes what a scheduled run does.
class frmSchedule : public QObject {
    Q_OBJECT
public:
    static const QString kInfo;  // the explanatory line of the dialog

    explicit frmSchedule(ExtraTimer& timer, QObject* parent = nullptr);

    // --- Controls
    CheckControl chkNoSchedule;
    ListControl cboHour, cboMinute, cboType;
    CheckControl optToday, optSelectDay;
    CheckControl chkSat, chkSun, chkMon, chkTue, chkWed, chkThr, chkFri;
    CheckControl optOverWrite, optResume, optSkip;
    CheckControl chkStop;  // "Pause downloads at"
    ListControl cboStopHour, cboStopMinute, cboStopType;
    // The day boxes, Saturday … Friday.
    std::array<CheckControl*, 7> DayBoxes();

    // The local date and time; tests set their own clock.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

    // --- Results of the last evaluation
    bool FireNow = false;   // the start is due: the main window runs the schedule
    bool PauseNow = false;  // the stop time is due: the main window pauses the downloads

    // Reads the stored values into the controls, sets their enabled states, runs Save.
    void Form_Load();
    // Copies the controls into the scheduler's program-wide values (ScheduleExistChoice).
    void Save();
    // The controls as stored values, and back.
    ScheduleSettings Controls() const;
    void SetControls(const ScheduleSettings& settings);
    // Whether the box of the weekday (0 Sunday … 6 Saturday) is ticked.
    bool Today(int weekday) const { return Controls().Today(weekday); }
    static bool IsScheduleDay(int weekday, const QString& name) {
        return ScheduleSettings::IsScheduleDay(weekday, name);
    }

    // The evaluation the user did not start: at the program's start (startUp) or
    // when ExtraTimer1 expires. Returns FireNow.
    bool InitTimer(bool startUp);
    // After the main window ran what was due: arms what comes next (the stop time,
    // the next ticked day) or leaves the timer off.
    void AfterRun();

    // --- Events of the controls
    void cmdOK_Click();
    void cmdCancel_Click();
    void cboHour_Click();
    void cboStopHour_Click();
    void chkNoSchedule_Click();
    void optToday_Click();
    void optSelectDay_Click();
    void chkStop_Click();
    // The dialog closes (program shutdown).
    void Unload() { emit unloadRequested(); }

signals:
    // The controls changed; the face shows them again.
    void changed();
    // The dialog is to close.
    void unloadRequested();

private:
    void evaluate(const ScheduleSettings& settings, ScheduleTrigger trigger);
    void disarm();
    void applyEnabledStates();

    ExtraTimer& ExtraTimer1;
    ScheduleMemory memory_;
};
