#pragma once

#include <QString>

class QWidget;

// A dialog's place on the screen in four values of Karvo's key: prefix + " TOP",
// " LEFT", " HEIGHT" and " WIDTH" (pixels).
namespace SavedGeometry {

// Puts the widget where it was last closed; nothing when no whole, sensible
// place was stored.
void restore(QWidget& widget, const QString& prefix);
// Stores the place, unless the widget is minimised.
void save(const QWidget& widget, const QString& prefix);

}  // namespace SavedGeometry
