#include "ftpclient/faces/KarvoIcons.h"

#include "common/QtSplash.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace karvo {

namespace {

// Two arrows, up and down, on a rounded square: files going both ways.
QPixmap programPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const qreal s = size;
    p.setBrush(QColor(0x1f, 0x4f, 0x8a));
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
    const auto arrow = [&](qreal x, bool up, const QColor& colour) {
        const qreal tip = up ? 0.14 : 0.86;
        const qreal base = up ? 0.44 : 0.56;
        const qreal end = up ? 0.86 : 0.14;
        QPainterPath path;
        path.moveTo(s * x, s * tip);
        path.lineTo(s * (x + 0.18), s * base);
        path.lineTo(s * (x + 0.07), s * base);
        path.lineTo(s * (x + 0.07), s * end);
        path.lineTo(s * (x - 0.07), s * end);
        path.lineTo(s * (x - 0.07), s * base);
        path.lineTo(s * (x - 0.18), s * base);
        path.closeSubpath();
        p.setBrush(colour);
        p.drawPath(path);
    };
    arrow(0.32, true, Qt::white);
    arrow(0.68, false, QColor(0xff, 0xc8, 0x3d));
    return picture;
}

QPixmap light(int size, const QColor& colour) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(size * 0.2, size * 0.2, size * 0.6, size * 0.6));
    return picture;
}

}  // namespace

QIcon KarvoIcons::Program() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(programPicture(size));
    return icon;
}

QIcon KarvoIcons::Row(int icon) {
    QStyle* style = QApplication::style();
    switch (icon) {
        case 2:
            return style->standardIcon(QStyle::SP_DirIcon);
        case 3:
            return style->standardIcon(QStyle::SP_FileLinkIcon);
        default:
            return style->standardIcon(QStyle::SP_FileIcon);
    }
}

QIcon KarvoIcons::Connected(bool connected) {
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(
            light(size, connected ? QColor(0x2e, 0x9d, 0x4f) : QColor(0x9a, 0x9a, 0x9a)));
    return icon;
}

QPixmap KarvoIcons::Splash(const QString& title) {
    return SplashPicture(programPicture(64), title, QStringLiteral("Karvo FTP client"));
}

}  // namespace karvo
