#include "apps/lumet/HeadlessDownload.h"

#include "apps/lumet/ConsoleStatus.h"
#include "apps/lumet/DownloadReport.h"
#include "apps/lumet/HeadlessDialogs.h"
#include "common/ProcessFigures.h"
#include "common/TerminationSignals.h"
#include "common/TickLateness.h"
#include "core/UrlParser.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/ReportList.h"
#include "transfer/frmDownload.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

bool HeadlessDownload::IsOption(const QString& text) {
    return text == QLatin1String("--get") || text == QLatin1String("--save-to") ||
           HeadlessOptions::IsOption(text);
}

bool HeadlessDownload::parse(const QStringList& arguments) {
    const QStringList own = {QStringLiteral("--get"), QStringLiteral("--save-to")};
    const bool parsed = options_.parse(arguments, own, [this](const QString& option, const QString& value) {
        (option == QLatin1String("--get") ? address_ : saveTo_) = value;
        return true;
    });
    if (!parsed) return false;
    if (address_.isEmpty() || saveTo_.isEmpty()) {
        options_.setError(QStringLiteral("--get needs an address and --save-to a file"));
        return false;
    }
    if (DownloadSchemeLength(address_) == 0) {
        options_.setError(QStringLiteral("the address must begin with http://, https:// or ftp://"));
        return false;
    }
    if (ContainsControlCharacters(address_)) {
        options_.setError(QStringLiteral("the address contains control characters"));
        return false;
    }
    return true;
}

int HeadlessDownload::run() {
    options_.apply();
    ConsoleStatus console(stderr);
    HeadlessDialogs dialogs(console);
    Dialogs::setInstance(&dialogs);
    TickLateness ticks;
    if (options_.stats()) ticks.start();

    const QString target = QFileInfo(saveTo_).absoluteFilePath();
    ExistChoice = FileIsReadable(target) && FileExists(target) ? options_.existChoice() : 0;

    ReportList lstMain;
    ReportList lstComplete;
    frmDownload window(&lstMain, &lstComplete);
    window.Index = 0;
    ParseUrlInto(address_, window);
    ListRowPtr row = lstMain.Add(1);
    window.ListItem = row;
    row->setSubItem(1, target);
    row->setSubItem(2, QStringLiteral("0%"));
    row->setSubItem(3, QStringLiteral("N/A"));
    row->setSubItem(4, QStringLiteral("N/A"));
    row->setSubItem(5, QStringLiteral("N/A"));
    row->setSubItem(6, address_);
    window.SavePath = target;
    window.txtSaveTo = target;
    window.txtURL = address_;
    window.URL = address_;

    // The final line is printed once the loop has ended, after any message the
    // window showed on its way out.
    int exitCode = -1;
    QString finalLine;
    const auto end = [&](int code, const QString& line) {
        if (exitCode >= 0) return;
        exitCode = code;
        finalLine = line;
        // Queued: the outcome may be known before the loop runs.
        QTimer::singleShot(0, qApp, [code] { QCoreApplication::exit(code); });
    };
    connect(&window, &frmDownload::rateTick, this,
            [&] { console.progress(DownloadReport::ProgressLine(window)); });
    // Once the transfer has ended the progress line goes, before any message of the
    // window (console dialogs) is printed.
    connect(&window, &frmDownload::changed, this, [&] {
        if (window.outcome() != frmDownload::Outcome::Running) console.clearProgress();
    });
    connect(&window, &frmDownload::completed, this, [&] {
        end(0, DownloadReport::Saved(target, QFileInfo(target).size()));
    });
    connect(&window, &frmDownload::failed, this,
            [&](const QString& status) { end(1, DownloadReport::Failed(status)); });
    // Unloaded without completing: the existing file was to be skipped.
    connect(&window, &frmDownload::unloaded, this, [&] { end(0, DownloadReport::Skipped(target)); });
    // A kill, Ctrl+C or a closed terminal stops the download the way its Stop
    // button does: the journal keeps where every segment stands.
    TerminationSignals terminations;
    connect(&terminations, &TerminationSignals::received, this, [&](int signalNumber) {
        if (exitCode >= 0) return;
        window.StopDown();
        end(128 + signalNumber, DownloadReport::Interrupted(window, address_, target));
    });
    // What the window tells on its way (a journal that could not be used) stands
    // on a line of its own, above the progress line.
    connect(&window, &frmDownload::notice, this, [&](const QString& text) { console.line(text); });

    window.StartDownload();
    const int code = QCoreApplication::exec();
    console.line(finalLine);
    Dialogs::setInstance(nullptr);
    if (options_.stats())
        console.line(DownloadReport::Stats(ticks.summary(), ProcessFigures::PeakResidentBytes(),
                                           ProcessFigures::SchedulerTimes()));
    return code;
}
