#pragma once

#include <QString>
#include <ostream>

// Failure messages show texts as text instead of as bytes of the object.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
