#pragma once

#include "settings/SettingsControls.h"

#include <QHash>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class frmSettings;

// One page of the settings dialog. A page lays its widgets out; each widget made
// here shows one control of the logic and hands the user's changes to it: typing
// to Change, leaving a text box to LostFocus, a click to Click. What the face sets
// while showing the controls never reaches the logic.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(frmSettings& logic, QWidget* parent = nullptr);

    // Shows the logic's controls again.
    virtual void RefreshControls();

protected:
    QLineEdit* lineEdit(TextControl& control);
    // A text of several entries in one line ("a; b; c;"), wrapped over a few lines to
    // be read whole; the Enter key and pasted line breaks add no line.
    QPlainTextEdit* listBox(TextControl& control);
    QCheckBox* checkBox(const QString& caption, BoxControl& control);
    QRadioButton* optionButton(const QString& caption, BoxControl& control);
    QComboBox* comboBox(ChoiceControl& control, void (frmSettings::*choose)(const QString&));
    QLabel* label(const QString& text, const FrameControl* frame = nullptr);
    QPushButton* button(const QString& caption, void (frmSettings::*click)());
    // A widget (a frame) shown, hidden, enabled and disabled with the control.
    void follow(QWidget* widget, const FrameControl& control);
    // Something shown that the controls above do not cover.
    void onRefresh(std::function<void()> show);

    frmSettings& logic_;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::function<void()>> shows_;
    QHash<QObject*, TextControl*> listBoxes_;
};
