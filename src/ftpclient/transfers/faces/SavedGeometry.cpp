#include "ftpclient/transfers/faces/SavedGeometry.h"

#include "ftpclient/transfers/KarvoRegistry.h"

#include <QWidget>
#include <optional>

namespace SavedGeometry {

namespace {

std::optional<int> number(const QString& prefix, const char* part) {
    bool ok = false;
    const int value =
        KarvoRegistry::get(prefix + u' ' + QLatin1String(part), QString()).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

void restore(QWidget& widget, const QString& prefix) {
    const auto top = number(prefix, "TOP");
    const auto left = number(prefix, "LEFT");
    const auto height = number(prefix, "HEIGHT");
    const auto width = number(prefix, "WIDTH");
    if (!top || !left || !height || !width || *height <= 0 || *width <= 0) return;
    widget.move(*left, *top);
    widget.resize(*width, *height);
}

void save(const QWidget& widget, const QString& prefix) {
    if (widget.isMinimized()) return;
    KarvoRegistry::save(prefix + QStringLiteral(" TOP"), QString::number(widget.y()));
    KarvoRegistry::save(prefix + QStringLiteral(" LEFT"), QString::number(widget.x()));
    KarvoRegistry::save(prefix + QStringLiteral(" HEIGHT"), QString::number(widget.height()));
    KarvoRegistry::save(prefix + QStringLiteral(" WIDTH"), QString::number(widget.width()));
}

}  // namespace SavedGeometry
