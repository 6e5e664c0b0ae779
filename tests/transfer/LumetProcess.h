#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// Runs the built headless lumet with the test's VORNELKARVO_ROOT and returns its
// exit code (-1 when it crashed or hung) and what it printed to stdout and stderr.
struct LumetRun {
    int exitCode = -1;
    QString err;
    QString out;
    // The last line lumet printed on stderr.
    QString lastLine() const { return err.trimmed().section(QLatin1Char('\n'), -1); }
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
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}
