#include "apps/lumet/HeadlessList.h"

#include "apps/lumet/ConsoleStatus.h"
#include "apps/lumet/DownloadReport.h"
#include "apps/lumet/ListDialogs.h"
#include "common/ProcessFigures.h"
#include "common/TerminationSignals.h"
#include "common/TickLateness.h"
#include "queue/DownloadListFile.h"
#include "queue/DownloadListRun.h"
#include "queue/DownloadQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

bool HeadlessList::IsOption(const QString& text) {
    return text == QLatin1String("--get-list") || HeadlessOptions::IsOption(text);
}

bool HeadlessList::parse(const QStringList& arguments) {
    const bool parsed = options_.parse(arguments, {QStringLiteral("--get-list")},
                                       [this](const QString&, const QString& value) {
                                           listFile_ = value;
                                           return true;
                                       });
    if (!parsed) return false;
    if (listFile_.isEmpty()) {
        options_.setError(QStringLiteral("--get-list needs a list file"));
        return false;
    }
    // Checked now, so that a wrong name ends lumet before any download starts.
    QFile file(listFile_);
    if (!file.open(QIODevice::ReadOnly)) {
        options_.setError(QStringLiteral("cannot read %1: %2").arg(listFile_, file.errorString()), true);
        return false;
    }
    return true;
}

int HeadlessList::run() {
    options_.apply();
    ConsoleStatus console(stderr);
    TickLateness ticks;
    if (options_.stats()) ticks.start();
    QElapsedTimer clock;
    clock.start();

    QFile file(listFile_);
    if (!file.open(QIODevice::ReadOnly)) {
        console.line(QStringLiteral("lumet: cannot read %1: %2").arg(listFile_, file.errorString()));
        return 1;
    }
    const DownloadListFile list = DownloadListFile::Parse(file.readAll(), QDir::current());
    file.close();
    for (const DownloadListFile::BadLine& bad : list.badLines())
        console.line(
            DownloadReport::AtLine(listFile_, bad.line, QStringLiteral("skipped, ") + bad.reason));

    ListDialogs dialogs(console);
    Dialogs::setInstance(&dialogs);
    DownloadQueue queue;
    DownloadListRun listRun(queue, list.entries(), options_.existChoice());
    const int total = static_cast<int>(list.entries().size());
    int completed = 0;
    int failed = 0;
    int skipped = 0;
    qint64 bytes = 0;
    const auto showProgress = [&] {
        console.progress(QStringLiteral("%1 of %2 ended, %3 running, %4 waiting")
                             .arg(completed + failed + skipped)
                             .arg(total)
                             .arg(listRun.running())
                             .arg(listRun.waiting()));
    };
    connect(&listRun, &DownloadListRun::ended, this, [&](const DownloadListRun::Result& result) {
        QString text;
        switch (result.outcome) {
            case DownloadListRun::Outcome::Completed:
                ++completed;
                bytes += result.bytes;
                text = DownloadReport::Saved(result.entry.target, result.bytes);
                break;
            case DownloadListRun::Outcome::Failed:
                ++failed;
                text = DownloadReport::Failed(result.status) + QStringLiteral(" (%1)").arg(result.entry.address);
                break;
            case DownloadListRun::Outcome::Skipped:
                ++skipped;
                text = DownloadReport::Skipped(result.entry.target);
                break;
        }
        console.line(DownloadReport::AtLine(listFile_, result.entry.line, text));
        showProgress();
    });
    connect(&listRun, &DownloadListRun::finished, qApp, [] { QCoreApplication::exit(0); });
    int interruptedBy = 0;
    TerminationSignals terminations;
    connect(&terminations, &TerminationSignals::received, this, [&](int signalNumber) {
        if (interruptedBy) return;
        interruptedBy = signalNumber;
        const int notStarted = listRun.waiting();
        listRun.stop(QStringLiteral("Interrupted; the file is incomplete."));
        if (notStarted > 0)
            console.line(QStringLiteral("Interrupted: %1 more download%2 not started.")
                             .arg(notStarted)
                             .arg(notStarted == 1 ? QLatin1String(" was") : QLatin1String("s were")));
    });

    listRun.start();
    showProgress();
    QCoreApplication::exec();
    Dialogs::setInstance(nullptr);
    const int badLines = static_cast<int>(list.badLines().size());
    console.line(DownloadReport::ListTotal(completed, failed, skipped, badLines, bytes, clock.elapsed()));
    if (options_.stats())
        console.line(DownloadReport::Stats(ticks.summary(), ProcessFigures::PeakResidentBytes(),
                                           ProcessFigures::SchedulerTimes()));
    if (interruptedBy) return 128 + interruptedBy;
    return failed > 0 || badLines > 0 ? 1 : 0;
}
