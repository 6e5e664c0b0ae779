#include "apps/lumet/LumetCommandLine.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Message titles show the program's title.
    QCoreApplication::setApplicationName(QStringLiteral("Vornel Download Manager"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VK_VERSION));
    return LumetCommandLine(QCoreApplication::arguments().mid(1)).run();
}
