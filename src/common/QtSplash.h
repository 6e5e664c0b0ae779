#pragma once

#include <QPixmap>
#include <QString>

// The picture a program shows while it starts: its 64-pixel icon, its title and
// a line saying what it is, white on the suite's blue.
QPixmap SplashPicture(const QPixmap& icon, const QString& title, const QString& subtitle);
