#include "core/TextConversion.h"

#include <QLocale>

std::optional<double> TextToNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<bool> TextToBoolean(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const std::optional<double> number = TextToNumber(trimmed);
    if (!number) return std::nullopt;
    return *number != 0;
}

bool TextIsNumberOne(const QString& text) {
    const std::optional<double> number = TextToNumber(text);
    return number && *number == 1;
}

QString NumberToText(double value) {
    // Negative zero would print as "-0".
    if (value == 0) return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}
