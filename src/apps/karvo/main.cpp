// karvo: the FTP client. With arguments it runs one headless command; the
// desktop program comes in here when it is started without any.
#include "apps/karvo/KarvoCommandLine.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vornel FTP"));
    return KarvoCommandLine(QCoreApplication::arguments().mid(1)).run();
}
