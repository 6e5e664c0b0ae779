#pragma once

#include <QIcon>

// The program's pictures, drawn rather than shipped.
class AppIcons {
public:
    // The program's icon (window, tray).
    static QIcon Program();
    // The FTP client of the suite.
    static QIcon FtpClient();
    // A small icon of the lists' image list: 1 a download, 4 a finished one.
    static QIcon ListIcon(int smallIcon);
};
