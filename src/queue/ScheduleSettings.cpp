#include "queue/ScheduleSettings.h"

#include "common/CRegister.h"
#include "core/TextConversion.h"
#include "core/modGlobalVariables.h"

namespace {

QStringList hourItems() {
    QStringList items;
    for (int hour = 1; hour <= 23; ++hour) items << QString::number(hour);
    return items << QStringLiteral("00");
}

QStringList minuteItems() {
    QStringList items;
    for (int minute = 0; minute < 60; minute += 5)
        items << QStringLiteral(":%1").arg(minute, 2, 10, QLatin1Char('0'));
    return items;
}

class Values {
public:
    QString text(const QString& name, const QString& def) const {
        return reg_.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, name, def);
    }
    QString item(const QString& name, const QStringList& items, const QString& def) const {
        const QString value = text(name, def);
        return items.contains(value) ? value : def;
    }
    // Boxes are written "0"/"1" and options "True"/"False"; either is read back.
    bool flag(const QString& name, bool def) const {
        return TextToBoolean(text(name, def ? QStringLiteral("1") : QStringLiteral("0")))
            .value_or(def);
    }
    ScheduleTime time(const QString& prefix, const ScheduleTime& def) const {
        return {item(prefix + QStringLiteral("Hour"), ScheduleSettings::HourItems, def.Hour),
                item(prefix + QStringLiteral("Minute"), ScheduleSettings::MinuteItems, def.Minute),
                item(prefix + QStringLiteral("Type"), ScheduleSettings::TypeItems, def.Type)};
    }
    void put(const QString& name, const QString& value) const {
        reg_.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, name, value);
    }
    void putBox(const QString& name, bool value) const {
        put(name, value ? QStringLiteral("1") : QStringLiteral("0"));
    }
    void putOption(const QString& name, bool value) const {
        put(name, value ? QStringLiteral("True") : QStringLiteral("False"));
    }
    void putTime(const QString& prefix, const ScheduleTime& time) const {
        put(prefix + QStringLiteral("Hour"), time.Hour);
        put(prefix + QStringLiteral("Minute"), time.Minute);
        put(prefix + QStringLiteral("Type"), time.Type);
    }

private:
    CRegister reg_;
};

}  // namespace

const QStringList ScheduleSettings::HourItems = hourItems();
const QStringList ScheduleSettings::MinuteItems = minuteItems();
const QStringList ScheduleSettings::TypeItems = {QStringLiteral("AM"), QStringLiteral("PM"),
                                                 QStringLiteral("24HR")};
const std::array<QString, 7> ScheduleSettings::DayNames = {
    QStringLiteral("Sat"), QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
    QStringLiteral("Wed"), QStringLiteral("Thr"), QStringLiteral("fri")};

ScheduleSettings ScheduleSettings::Load() {
    const Values values;
    const ScheduleSettings def;
    ScheduleSettings s;
    s.NoSchedule = values.flag(QStringLiteral("NoSchedule"), def.NoSchedule);
    s.Start = values.time(QStringLiteral("Sch"), def.Start);
    // Two option buttons of one group: the selected-days one decides.
    s.SelectDay = values.flag(QStringLiteral("SelectDay"), def.SelectDay);
    for (std::size_t i = 0; i < DayNames.size(); ++i) s.Days[i] = values.flag(DayNames[i], false);
    // One existing-file option is chosen; the first one stored as chosen wins.
    s.OverWrite = values.flag(QStringLiteral("OverWrite"), true);
    s.Resume = !s.OverWrite && values.flag(QStringLiteral("Resume"), false);
    s.Skip = !s.OverWrite && !s.Resume && values.flag(QStringLiteral("Skip"), false);
    if (!s.Resume && !s.Skip) s.OverWrite = true;
    s.Stop = values.flag(QStringLiteral("SchStop"), def.Stop);
    s.StopAt = values.time(QStringLiteral("SchStop"), def.StopAt);
    return s;
}

void ScheduleSettings::Store() const {
    const Values values;
    values.putBox(QStringLiteral("NoSchedule"), NoSchedule);
    values.putTime(QStringLiteral("Sch"), Start);
    values.putOption(QStringLiteral("Today"), !SelectDay);
    values.putOption(QStringLiteral("SelectDay"), SelectDay);
    for (std::size_t i = 0; i < DayNames.size(); ++i) values.putBox(DayNames[i], Days[i]);
    values.putOption(QStringLiteral("OverWrite"), OverWrite);
    values.putOption(QStringLiteral("Resume"), Resume);
    values.putOption(QStringLiteral("Skip"), Skip);
    values.putBox(QStringLiteral("SchStop"), Stop);
    values.putTime(QStringLiteral("SchStop"), StopAt);
}

std::int16_t ScheduleSettings::ExistChoice() const {
    if (Resume) return 2;
    if (Skip) return 3;
    return 1;
}

bool ScheduleSettings::Today(int weekday) const {
    for (std::size_t i = 0; i < DayNames.size(); ++i)
        if (Days[i] && IsScheduleDay(weekday, DayNames[i])) return true;
    return false;
}

bool ScheduleSettings::IsScheduleDay(int weekday, const QString& name) {
    static const QString kByWeekday[] = {
        QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
        QStringLiteral("Thr"), QStringLiteral("fri"), QStringLiteral("Sat")};
    return weekday >= 0 && weekday <= 6 && name == kByWeekday[weekday];
}
