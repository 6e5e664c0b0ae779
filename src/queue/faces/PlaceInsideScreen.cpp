#include "queue/faces/PlaceInsideScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// Room for the title bar and borders of a usual window manager, while the real
// frame is not known.
constexpr QMargins kLikelyFrame(8, 40, 8, 8);

// The frame the window manager puts around a window is known only once one has
// been shown; a window and its owner get the same decoration.
QMargins frameOf(const QWidget* window, const QWidget* over) {
    for (const QWidget* widget : {window, over})
        if (widget && widget->isVisible() && widget->windowHandle())
            return widget->windowHandle()->frameMargins();
    return kLikelyFrame;
}

int inside(int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

}  // namespace

void PlaceInsideScreen(QWidget* window, const QWidget* over, QPoint offset) {
    QScreen* screen = over ? over->screen() : window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frameOf(window, over);
    const QSize room(area.width() - frame.left() - frame.right(),
                     area.height() - frame.top() - frame.bottom());
    window->resize(window->size().boundedTo(room));
    const QSize outer = window->size().grownBy(frame);

    QPoint topLeft = window->pos();
    if (over)
        topLeft = over->frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2) +
                  offset;
    else if (!window->testAttribute(Qt::WA_Moved))
        topLeft = area.center() - QPoint(outer.width() / 2, outer.height() / 2);
    window->move(inside(topLeft.x(), outer.width(), area.left(), area.width()),
                 inside(topLeft.y(), outer.height(), area.top(), area.height()));
}
