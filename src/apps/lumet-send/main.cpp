// lumet-send ADDRESS: hands one address to the running Lumet, as the browser
// add-on does, and says whether Lumet took it.
#include "common/HandOverSender.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Usage: lumet-send ADDRESS\n");
        return 2;
    }
    switch (HandOverSender::send(arguments.at(1))) {
        case HandOverSender::Result::Taken:
            std::printf("Lumet took the address.\n");
            return 0;
        case HandOverSender::Result::NotRunning:
            std::fprintf(stderr, "Lumet is not running.\n");
            return 1;
        case HandOverSender::Result::NotTaken:
            break;
    }
    std::fprintf(stderr, "Lumet did not take the address.\n");
    return 1;
}
