#include "queue/faces/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

const QColor kBlue(0x1f, 0x6f, 0xc5);
const QColor kGreen(0x2e, 0x9d, 0x4f);
const QColor kTeal(0x1b, 0x8a, 0x8f);

// A transparent square picture of size pixels, drawn antialiased without outlines
// by draw(painter, size).
QPixmap drawn(int size, const std::function<void(QPainter&, qreal)>& draw) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    draw(p, size);
    p.end();
    return picture;
}

// A coloured rounded square, leaving the brush white for what goes on it.
void roundedSquare(QPainter& p, qreal s, const QColor& colour) {
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
    p.setBrush(Qt::white);
}

// A downward arrow into a tray, on a coloured rounded square.
QPixmap arrowPicture(int size, const QColor& colour) {
    return drawn(size, [&](QPainter& p, qreal s) {
        roundedSquare(p, s, colour);
        QPainterPath arrow;
        arrow.moveTo(s * 0.40, s * 0.16);
        arrow.lineTo(s * 0.60, s * 0.16);
        arrow.lineTo(s * 0.60, s * 0.46);
        arrow.lineTo(s * 0.76, s * 0.46);
        arrow.lineTo(s * 0.50, s * 0.72);
        arrow.lineTo(s * 0.24, s * 0.46);
        arrow.lineTo(s * 0.40, s * 0.46);
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.drawRect(QRectF(s * 0.20, s * 0.78, s * 0.60, s * 0.08));
    });
}

QPixmap checkPicture(int size) {
    return drawn(size, [](QPainter& p, qreal s) {
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
        QPen pen(Qt::white, s * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.drawPolyline(QPolygonF({QPointF(s * 0.27, s * 0.52), QPointF(s * 0.44, s * 0.68),
                                  QPointF(s * 0.74, s * 0.34)}));
    });
}

// An up and a down arrow side by side on a rounded square.
QPixmap transferPicture(int size) {
    return drawn(size, [](QPainter& p, qreal s) {
        roundedSquare(p, s, kTeal);
        const auto arrow = [&](qreal x, bool up) {
            const qreal tip = up ? 0.16 : 0.84;
            const qreal base = up ? 0.44 : 0.56;
            const qreal end = up ? 0.84 : 0.16;
            QPainterPath path;
            path.moveTo(s * x, s * tip);
            path.lineTo(s * (x + 0.17), s * base);
            path.lineTo(s * (x + 0.07), s * base);
            path.lineTo(s * (x + 0.07), s * end);
            path.lineTo(s * (x - 0.07), s * end);
            path.lineTo(s * (x - 0.07), s * base);
            path.lineTo(s * (x - 0.17), s * base);
            path.closeSubpath();
            p.drawPath(path);
        };
        arrow(0.32, true);
        arrow(0.68, false);
    });
}

}  // namespace

QIcon AppIcons::FtpClient() {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) icon.addPixmap(transferPicture(size));
    return icon;
}

QIcon AppIcons::Program() {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64}) icon.addPixmap(arrowPicture(size, kBlue));
    return icon;
}

QIcon AppIcons::ListIcon(int smallIcon) {
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(smallIcon == 4 ? checkPicture(size) : arrowPicture(size, kBlue));
    return icon;
}
