#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// The karvo executable run as the user runs it. The event loop keeps running
// while it works, so a scripted server in this process can answer it.
struct KarvoRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline KarvoRun runKarvo(const QStringList& arguments, int timeoutMs = 120000) {
    QProcess process;
    process.setProgram(QStringLiteral(KARVO_BINARY));
    process.setArguments(arguments);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    process.start();
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}
