#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace karvo {

// Karvo's pictures: the program's own, drawn rather than shipped, and the
// icons of the lists' rows.
class KarvoIcons {
public:
    static QIcon Program();
    // 1 file, 2 folder, 3 link.
    static QIcon Row(int icon);
    // The connected / disconnected light of the toolbar.
    static QIcon Connected(bool connected);
    // The picture shown while the program starts.
    static QPixmap Splash(const QString& title);
};

}  // namespace karvo
