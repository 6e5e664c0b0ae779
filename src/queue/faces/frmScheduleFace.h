#pragma once

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class frmSchedule;

// The scheduler dialog, "Schedule Downloads". Every change of a widget goes to
// frmSchedule at once, which keeps the rules (enabled states, the 24-hour switch)
// and evaluates OK; the widgets show what it holds.
class frmScheduleFace : public QDialog {
    Q_OBJECT
public:
    explicit frmScheduleFace(frmSchedule& logic, QWidget* parent = nullptr);

    // Loads the dialog from the stored values and shows it modally (Options →
    // Schedule and the toolbar's Schedule).
    static void Show(frmSchedule& logic, QWidget* owner);

    QCheckBox* chkNoSchedule;
    QComboBox* cboHour;
    QComboBox* cboMinute;
    QComboBox* cboType;
    QRadioButton* optToday;
    QRadioButton* optSelectDay;
    std::array<QCheckBox*, 7> DayBoxes;  // Saturday … Friday
    QCheckBox* chkStop;
    QComboBox* cboStopHour;
    QComboBox* cboStopMinute;
    QComboBox* cboStopType;
    QRadioButton* optOverWrite;
    QRadioButton* optResume;
    QRadioButton* optSkip;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    void RefreshControls();
    void connectControls();

    frmSchedule& logic_;
    bool refreshing_ = false;
};
