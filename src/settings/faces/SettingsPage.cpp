#include "settings/faces/SettingsPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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
    // Numbers are short; a narrow box says so.
    if (logic_.NumberFields().contains(&control))
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
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

QPlainTextEdit* SettingsPage::listBox(TextControl& control) {
    auto* box = new QPlainTextEdit;
    box->setTabChangesFocus(true);
    box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 2 * box->frameWidth() + 8);
    connect(box, &QPlainTextEdit::textChanged, &logic_, [this, box, &control] {
        logic_.Change(control, box->toPlainText().replace(u'\n', u' '));
    });
    box->installEventFilter(this);
    listBoxes_.insert(box, &control);
    onRefresh([box, &control] {
        if (box->toPlainText() != control.Text) {
            const QSignalBlocker blocker(box);
            box->setPlainText(control.Text);
        }
        box->setEnabled(control.Enabled);
    });
    return box;
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (TextControl* control = listBoxes_.value(watched)) {
        if (event->type() == QEvent::FocusOut) logic_.LostFocus(*control);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
    connect(box, &QComboBox::textActivated, &logic_, choose);
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
    connect(pushed, &QPushButton::clicked, &logic_, click);
    return pushed;
}

void SettingsPage::follow(QWidget* widget, const FrameControl& control) {
    onRefresh([widget, &control] {
        widget->setVisible(control.Visible);
        widget->setEnabled(control.Enabled);
    });
}
