#include "core/SettingsFields.h"

#include "core/TextConversion.h"

#include <type_traits>
#include <utility>

namespace {

template <auto Member>
using FieldType = std::remove_cvref_t<decltype(std::declval<SettingsRecord&>().*Member)>;

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// A flag read by the text-to-Boolean rule ("True"/"False" or a number).
template <auto Member>
SettingsField flag(const char* name) {
    return {QLatin1String(name),
            [](SettingsRecord& record, const QString& text) {
                if (const std::optional<bool> value = TextToBoolean(text)) record.*Member = *value;
            },
            [](const SettingsRecord& record) { return booleanText(record.*Member); }};
}

// A check box whose only true text is the number 1.
template <auto Member>
SettingsField onlyOneIsTrue(const char* name) {
    return {
        QLatin1String(name),
        [](SettingsRecord& record, const QString& text) { record.*Member = TextIsNumberOne(text); },
        [](const SettingsRecord& record) { return booleanText(record.*Member); }};
}

// Every number of the record is a count, a size, a time or a port: a negative
// one would, for example, move a resume point past the end of what is on disk.
// It is refused and the field keeps its value.
template <typename T>
bool nonNegative(T value) {
    if constexpr (std::is_signed_v<T>)
        return value >= 0;
    else
        return true;
}

template <auto Member>
SettingsField wholeNumber(const char* name) {
    return {QLatin1String(name),
            [](SettingsRecord& record, const QString& text) {
                const auto value = TextToWholeNumber<FieldType<Member>>(text);
                if (value && nonNegative(*value)) record.*Member = *value;
            },
            [](const SettingsRecord& record) { return QString::number(record.*Member); }};
}

// A floating-point value; the odd segment thresholds get one byte added so that
// they lie just above the even threshold before them.
template <auto Member, int Added = 0>
SettingsField number(const char* name) {
    return {QLatin1String(name),
            [](SettingsRecord& record, const QString& text) {
                const std::optional<double> value = TextToNumber(text);
                if (value && nonNegative(*value)) record.*Member = *value + Added;
            },
            [](const SettingsRecord& record) { return NumberToText(record.*Member); }};
}

template <auto Member>
SettingsField text(const char* name) {
    return {QLatin1String(name),
            [](SettingsRecord& record, const QString& value) { record.*Member = value; },
            [](const SettingsRecord& record) { return record.*Member; }};
}

// A password: whoever reads the printed settings learns only whether one is set.
template <auto Member>
SettingsField secret(const char* name) {
    SettingsField field = text<Member>(name);
    field.text = [](const SettingsRecord& record) {
        return (record.*Member).isEmpty() ? QString() : QStringLiteral("***");
    };
    return field;
}

using R = SettingsRecord;

}  // namespace

const std::vector<SettingsField>& SettingsFields() {
    static const std::vector<SettingsField> fields = {
        wholeNumber<&R::Downloads>("Downloads"),
        number<&R::AllBytes>("AllBytes"),
        flag<&R::ClickCapture>("ClickCapture"),
        onlyOneIsTrue<&R::ClipboardMonitoring>("ClipboardMonitoring"),
        flag<&R::UsePASV>("UsePASV"),
        flag<&R::UseProxy>("UseProxy"),
        flag<&R::LoginProxy>("LoginProxy"),
        flag<&R::UsePass>("UsePass"),
        text<&R::ProxyServer>("ProxyServer"),
        wholeNumber<&R::ProxyPort>("ProxyPort"),
        flag<&R::UseFTPProxy>("UseFTPProxy"),
        text<&R::UserID>("UserID"),
        secret<&R::UserPass>("UserPass"),
        wholeNumber<&R::Timeout>("Timeout"),
        flag<&R::StopResume>("StopResume"),
        wholeNumber<&R::TimeResume>("TimeResume"),
        wholeNumber<&R::TimeNoResume>("TimeNoResume"),
        flag<&R::Retry>("Retry"),
        wholeNumber<&R::RetryTime>("RetryTime"),
        wholeNumber<&R::Retries>("Retries"),
        wholeNumber<&R::Rollback>("Rollback"),
        wholeNumber<&R::Segment>("Segment"),
        number<&R::SegmentSize1>("SegmentSize1"),
        number<&R::SegmentSize2>("SegmentSize2"),
        number<&R::SegmentSize3, 1>("SegmentSize3"),
        number<&R::SegmentSize4>("SegmentSize4"),
        number<&R::SegmentSize5, 1>("SegmentSize5"),
        number<&R::SegmentSize6>("SegmentSize6"),
        number<&R::SegmentSize7, 1>("SegmentSize7"),
        number<&R::SegmentSize8>("SegmentSize8"),
        number<&R::SegmentSize9, 1>("SegmentSize9"),
        onlyOneIsTrue<&R::PromptDone>("PromptDone"),
        onlyOneIsTrue<&R::CloseDownloadWindowWhenDone>("CloseDownloadWindowWhenDone"),
        flag<&R::DownloadNowOption>("DownloadNowOption"),
        flag<&R::DownloadLaterOption>("DownloadLaterOption"),
        flag<&R::DownloadPromptOption>("DownloadPromptOption"),
        flag<&R::StartupWithWindows>("StartupWithWindows"),
        flag<&R::SaveSameDir>("SaveSameDir"),
        text<&R::TextSameDir>("TextSameDir"),
        flag<&R::SaveFileType>("SaveFileType"),
        flag<&R::SaveFileInfo>("SaveFileInfo"),
        text<&R::ParentDir>("ParentDir"),
        flag<&R::UseServer>("UseServer"),
        flag<&R::UseDate>("UseDate"),
        flag<&R::UseFileExt>("UseFileExt"),
    };
    return fields;
}
