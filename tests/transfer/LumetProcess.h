#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// Runs the built headless lumet with the test's VORNELKARVO_ROOT and returns its
// exit code (-1 when it crashed or hung) and what it printed to stderr.
struct LumetRun {
    int exitCode = -1;
    QString err;
};

inline LumetRun runLumet(const QStringList& arguments, int timeoutMs = 120000) {
    QProcess process;
    process.setProgram(QStringLiteral(LUMET_BINARY));
    process.setArguments(arguments);
    process.start();
    LumetRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "lumet did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
