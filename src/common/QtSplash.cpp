#include "common/QtSplash.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

QPixmap SplashPicture(const QPixmap& icon, const QString& title, const QString& subtitle) {
    QPixmap picture(420, 160);
    picture.fill(QColor(0x1f, 0x4f, 0x8a));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(24, 48, icon);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPointSize(16);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(104, 40, 300, 40), Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPointSize(10);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRect(104, 80, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return picture;
}
