// The controls' events: boxes and option groups with their dependent controls, the
// two switches, and the checks of the number fields.
#include "settings/frmSettings.h"

#include "common/Dialogs.h"
#include "core/TextConversion.h"
#include "settings/IntegrationSwitches.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Every number the dialog stores is read back as a 16-bit whole number, except the
// rollback (32 bits), the segment sizes (floating point) and the proxy port.
constexpr double kShort = std::numeric_limits<std::int16_t>::max();
constexpr double kLong = std::numeric_limits<std::int32_t>::max();
constexpr double kPort = std::numeric_limits<std::uint16_t>::max();
constexpr double kMegabyte = 1048576;

}  // namespace

frmSettings::frmSettings(QObject* parent) : QObject(parent) {
    numbers_ = {
        {&txtLimitHTTP, QStringLiteral("LimitHTTP"), 1, 0, kShort, kShort},
        {&txtLimitFTP, QStringLiteral("LimitFTP"), 1, 0, kShort, kShort},
        {&txtTimeout, QStringLiteral("Timeout"), 1, 0, kShort, kShort},
        {&txtTimeResume, QStringLiteral("TimeResume"), 60, 0, kShort, kShort},
        {&txtTimeNoResume, QStringLiteral("TimeNoResume"), 60, 0, kShort, kShort},
        {&txtRetryTime, QStringLiteral("RetryTime"), 1, 0, kShort, kShort},
        {&txtRetries, QStringLiteral("Retries"), 1, 0, kShort, kShort},
        {&txtRollback, QStringLiteral("Rollback"), 1024, 0, kShort, kLong},
    };
    for (std::size_t i = 0; i < txtSegment.size(); ++i)
        numbers_.push_back({&txtSegment[i], QStringLiteral("SegmentSize%1").arg(i + 1), kMegabyte,
                            0, kShort, kShort * kMegabyte});
    numbers_.push_back({&txtProxyPort, QStringLiteral("ProxyPort"), 1, 1, kPort, kPort});

    optionGroups_ = {
        {&chkDownloadNow, &chkDownloadLater, &chkDownloadPrompt},
        {&optSameDir, &optLastDir, &optFileType, &optFileInfo},
        {&optFileExt, &optDate, &optServer},
    };
    PickFolder = [](const QString& initialFolder) {
        return Dialogs::instance().pickFolder(QString(), initialFolder);
    };
}

QList<TextControl*> frmSettings::NumberFields() {
    QList<TextControl*> fields;
    for (const NumberRule& rule : numbers_) fields << rule.control;
    return fields;
}

void frmSettings::Click(BoxControl& box, bool checked) {
    if (!box.Enabled || box.Value == checked) return;
    for (const std::vector<BoxControl*>& group : optionGroups_) {
        if (std::find(group.begin(), group.end(), &box) == group.end()) continue;
        // An option is chosen, never un-chosen, by a click: choosing it clears the others.
        if (!checked) return;
        for (BoxControl* option : group) option->Value = option == &box;
        applyDependentStates();
        edited();
        return;
    }
    if (&box == &chkIE) {
        runIntegrationSwitch(checked, true);
        return;
    }
    if (&box == &chkStartWin) {
        runStartupSwitch(checked);
        return;
    }
    box.Value = checked;
    applyDependentStates();
    edited();
}

void frmSettings::runIntegrationSwitch(bool checked, bool byUser) {
    const SwitchOutcome outcome = IntegrationSwitches::chkIE_Click(checked);
    chkIE.Value = outcome.state;
    if (!outcome.ok()) Dialogs::show(outcome.failure, Dialogs::Icon::Exclamation);
    if (byUser)
        edited();
    else
        emit changed();
}

void frmSettings::runStartupSwitch(bool checked) {
    const SwitchOutcome outcome = IntegrationSwitches::chkStartWin_Click(checked);
    chkStartWin.Value = outcome.state;
    if (!outcome.ok()) Dialogs::show(outcome.failure, Dialogs::Icon::Exclamation);
    edited();
}

void frmSettings::applyDependentStates() {
    // The proxy's login fields follow both boxes: proxy on with login off leaves them off.
    const bool proxy = chkUseProxy.Value;
    frameProxy.Enabled = proxy;
    for (TextControl* field : {&txtProxyServer, &txtProxyPort}) field->Enabled = proxy;
    chkFTPProxy.Enabled = chkLogProx.Enabled = proxy;
    const bool login = proxy && chkLogProx.Value;
    txtUserID.Enabled = txtPass.Enabled = chkPass.Enabled = login;

    const bool segments = chkSegment.Value;
    frameSegmentSettings.Enabled = lblSegment.Enabled = segments;
    for (TextControl& field : txtSegment) field.Enabled = segments;

    frameSameDir.Visible = optSameDir.Value;
    frameLastDir.Visible = optLastDir.Value;
    frameFileType.Visible = optFileType.Value;
    frameFileInfo.Visible = optFileInfo.Value;
}

void frmSettings::Change(TextControl& field, const QString& text) {
    if (!field.Enabled || field.Text == text) return;
    field.Text = text;
    if (&field == &txtTestURL) {
        emit changed();
        return;
    }
    const NumberRule* rule = ruleOf(&field);
    if (!rule) {
        edited();
        return;
    }
    switch (read(*rule, text)) {
        case Reading::Accepted:
            edited();
            break;
        case Reading::Negative:
            field.Text = stored_.value(&field);
            emit changed();
            break;
        case Reading::NotValid:
            // Perhaps half typed: it is put back when the field loses the focus.
            emit changed();
            break;
    }
}

void frmSettings::LostFocus(TextControl& field) {
    if (&field == &txtMonitorTypes) {
        static const QString forbidden = QStringLiteral("/\\:*\"<>|");
        for (const QChar c : forbidden) {
            if (!txtMonitorTypes.Text.contains(c)) continue;
            const QString text = Message(QStringLiteral("11029"));
            Dialogs::show(text, Dialogs::Icon::Critical, text);
            break;
        }
        return;
    }
    const NumberRule* rule = ruleOf(&field);
    if (!rule || read(*rule, field.Text) == Reading::Accepted) return;
    field.Text = stored_.value(&field);
    emit changed();
}

void frmSettings::restoreNotValidNumbers() {
    for (const NumberRule& rule : numbers_) {
        if (read(rule, rule.control->Text) != Reading::Accepted)
            rule.control->Text = stored_.value(rule.control);
    }
}

const frmSettings::NumberRule* frmSettings::ruleOf(const TextControl* field) const {
    for (const NumberRule& rule : numbers_)
        if (rule.control == field) return &rule;
    return nullptr;
}

frmSettings::Reading frmSettings::read(const NumberRule& rule, const QString& text,
                                       double* stored) const {
    const std::optional<double> number = TextToNumber(text);
    if (!number) return Reading::NotValid;
    if (*number < 0) return Reading::Negative;
    const double whole = std::nearbyint(*number);
    if (whole < rule.lowest || whole > rule.highest) return Reading::NotValid;
    // Fractions of minutes, kilobytes and megabytes count; the stored value is whole.
    const double converted = std::nearbyint(*number * rule.unit);
    if (converted > rule.storedMax) return Reading::NotValid;
    if (stored) *stored = converted;
    return Reading::Accepted;
}

QString frmSettings::storedText(const NumberRule& rule) const {
    double stored = 0;
    read(rule, rule.control->Text, &stored);
    return QString::number(static_cast<qint64>(stored));
}

void frmSettings::show(TextControl& field, const QString& text) {
    field.Text = text;
    stored_.insert(&field, text);
}

void frmSettings::showNumber(TextControl& field, const QString& text, const QString& fallback) {
    const NumberRule* rule = ruleOf(&field);
    show(field, rule && read(*rule, text) == Reading::Accepted ? text : fallback);
}
