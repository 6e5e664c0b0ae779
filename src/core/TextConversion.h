#pragma once

#include <QString>
#include <cmath>
#include <limits>
#include <optional>

// Conversions between the texts the registry holds and typed values. Every
// reader takes the text with blanks around it; a text that does not convert
// gives nothing, never an exception.

// A finite decimal number ("60", "-1.5", "1e3"); nothing for anything else.
std::optional<double> TextToNumber(const QString& text);

// "True" or "False" in any letter case, or a number where non-zero is true.
std::optional<bool> TextToBoolean(const QString& text);

// True when the text is a number equal to 1 ("1", " 1", "01", "1.0"); every other
// text, "True" included, is false.
bool TextIsNumberOne(const QString& text);

// A number rounded to the nearest whole number (halves to even) that fits T.
template <typename T>
std::optional<T> TextToWholeNumber(const QString& text) {
    static_assert(std::numeric_limits<T>::is_integer);
    const QString trimmed = text.trimmed();
    bool ok = false;
    // Exact for whole numbers beyond 2^53, which a double would round.
    const qlonglong whole = trimmed.toLongLong(&ok, 10);
    if (ok) {
        if (whole < static_cast<qlonglong>(std::numeric_limits<T>::min()) ||
            whole > static_cast<qlonglong>(std::numeric_limits<T>::max()))
            return std::nullopt;
        return static_cast<T>(whole);
    }
    const std::optional<double> number = TextToNumber(trimmed);
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);
    const double upper = std::ldexp(1.0, std::numeric_limits<T>::digits);
    const double lower = std::numeric_limits<T>::is_signed ? -upper : 0.0;
    if (!(rounded >= lower && rounded < upper)) return std::nullopt;
    return static_cast<T>(rounded);
}

// Plain decimal text without exponent and without needless digits ("5242881", "1.5").
QString NumberToText(double value);
