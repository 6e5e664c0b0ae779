// One main for every test program: a Qt application object (offscreen for widget
// tests), an isolated installation under a temporary VORNELKARVO_ROOT, and the
// scripted dialogs installed so that an unexpected dialog fails the test.
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir root;
    if (!root.isValid()) return 3;
    qputenv("VORNELKARVO_ROOT", root.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornel Download Manager"));
    Dialogs::setInstance(&ScriptedDialogs::current());

    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
