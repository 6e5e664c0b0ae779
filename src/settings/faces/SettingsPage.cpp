#include "settings/faces/SettingsPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

SettingsPage::SettingsPage(frmSettings& logic, QWidget* parent) : QWidget(parent), logic_(logic) {}

void SettingsPage::RefreshControls() {
    for (const std::function<void()>& show : shows_) show();
}

void SettingsPage::onRefresh(std::function<void()> show) {
    shows_.push_back(std::move(show));
}

QLineEdit* SettingsPage::lineEdit(TextControl& control) {
    auto* edit = new QLineEdit;
    connect(edit, &QLineEdit::textEdited, &logic_,
            [this, &control](const QString& text) { logic_.Change(control, text); });
    connect(edit, &QLineEdit::editingFinished, &logic_,
            [this, &control] { logic_.LostFocus(control); });
    onRefresh([edit, &control] {
        // Setting the same text again would move the cursor of someone typing.
        if (edit->text() != control.Text) edit->setText(control.Text);
        edit->setEnabled(control.Enabled);
    });
    return edit;
}

QCheckBox* SettingsPage::checkBox(const QString& caption, BoxControl& control) {
    auto* box = new QCheckBox(caption);
    connect(box, &QAbstractButton::clicked, &logic_,
            [this, &control](bool checked) { logic_.Click(control, checked); });
    onRefresh([box, &control] {
        box->setChecked(control.Value);
        box->setEnabled(control.Enabled);
    });
    return box;
}

QRadioButton* SettingsPage::optionButton(const QString& caption, BoxControl& control) {
    auto* option = new QRadioButton(caption);
    connect(option, &QAbstractButton::clicked, &logic_,
            [this, &control](bool checked) { logic_.Click(control, checked); });
    onRefresh([option, &control] {
        // The logic keeps the group to one choice; the face shows each as it is.
        option->setAutoExclusive(false);
        option->setChecked(control.Value);
        option->setAutoExclusive(true);
        option->setEnabled(control.Enabled);
    });
    return option;
}

QComboBox* SettingsPage::comboBox(ChoiceControl& control,
                                  void (frmSettings::*choose)(const QString&)) {
    auto* box = new QComboBox;
    connect(box, &QComboBox::activated, &logic_,
            [this, box, choose](int index) { (logic_.*choose)(box->itemText(index)); });
    onRefresh([box, &control] {
        const QSignalBlocker blocker(box);
        QStringList shown;
        for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
        if (shown != control.Items) {
            box->clear();
            box->addItems(control.Items);
        }
        box->setCurrentIndex(box->findText(control.Text));
    });
    return box;
}

QLabel* SettingsPage::label(const QString& text, const FrameControl* frame) {
    auto* shown = new QLabel(text);
    if (frame) follow(shown, *frame);
    return shown;
}

QPushButton* SettingsPage::button(const QString& caption, void (frmSettings::*click)()) {
    auto* pushed = new QPushButton(caption);
    connect(pushed, &QPushButton::clicked, &logic_, [this, click] { (logic_.*click)(); });
    return pushed;
}

void SettingsPage::follow(QWidget* widget, const FrameControl& control) {
    onRefresh([widget, &control] {
        widget->setVisible(control.Visible);
        widget->setEnabled(control.Enabled);
    });
}
