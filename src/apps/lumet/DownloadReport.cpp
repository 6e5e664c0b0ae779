#include "apps/lumet/DownloadReport.h"

#include "core/modFunctions.h"
#include "transfer/frmDownload.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace DownloadReport {

QString ProgressLine(const frmDownload& window) {
    return QStringLiteral("%1%  %2 of %3  %4  %5 left")
        .arg(window.ProgressBar1.Value, 3)
        .arg(window.lblRecievedSize, window.lblFileSize, window.lblTransferRate,
             window.lblTimeRemaining);
}

QString Saved(const QString& path, qint64 size) {
    return QStringLiteral("Saved %1 (%2).").arg(path, FormatSize(static_cast<double>(size)).trimmed());
}

QString Failed(const QString& status) {
    return QStringLiteral("Download failed: %1").arg(status);
}

QString Skipped(const QString& path) {
    return QStringLiteral("Skipped: %1 exists and --existing skip keeps it.").arg(path);
}

QString Interrupted(const frmDownload& window, const QString& address, const QString& path) {
    const qint64 onDisk = QFileInfo(path).size();
    if (!QFileInfo::exists(path) || onDisk == 0)
        return QStringLiteral("Interrupted before any data arrived; nothing was saved.");
    // Segments leave gaps between their ranges: continuing such a file from its
    // end would keep the gaps.
    if (window.SegCount > 0) {
        return QStringLiteral(
                   "Interrupted. The partial file %1 was fetched in %2 segments and cannot be "
                   "resumed; run the same command again to start over.")
            .arg(path)
            .arg(window.SegCount);
    }
    return QStringLiteral(
               "Interrupted. The partial file is %1 (%2); to resume it:\n"
               "  lumet --get %3 --save-to %4 --existing resume")
        .arg(path, FormatSize(static_cast<double>(onDisk)).trimmed(), ShellQuoted(address),
             ShellQuoted(path));
}

QString AtLine(const QString& listName, int line, const QString& text) {
    return QStringLiteral("%1:%2: %3").arg(listName).arg(line).arg(text);
}

QString ListTotal(int completed, int failed, int skipped, int badLines, qint64 bytes, qint64 elapsedMs) {
    const int downloads = completed + failed + skipped;
    return QStringLiteral("Total: %1 download%2, %3 completed, %4 failed, %5 skipped, %6 bad line%7; %8 in %9 s.")
        .arg(downloads)
        .arg(downloads == 1 ? QLatin1String() : QLatin1String("s"))
        .arg(completed)
        .arg(failed)
        .arg(skipped)
        .arg(badLines)
        .arg(badLines == 1 ? QLatin1String() : QLatin1String("s"))
        .arg(FormatSize(static_cast<double>(bytes)).trimmed())
        .arg(static_cast<double>(elapsedMs) / 1000.0, 0, 'f', 1);
}

QString Stats(const TickLateness::Summary& ticks, qint64 peakResidentBytes,
              const ProcessFigures::CpuTimes& cpu) {
    const auto mib = [](qint64 bytes) { return static_cast<double>(bytes) / 1048576.0; };
    const auto seconds = [](qint64 ns) { return static_cast<double>(ns) / 1e9; };
    QString text = QStringLiteral("stats: 500 ms ticks late by median %1 ms, p99 %2 ms, max %3 ms (%4 ticks)")
                       .arg(ticks.medianMs, 0, 'f', 1)
                       .arg(ticks.p99Ms, 0, 'f', 1)
                       .arg(ticks.maxMs, 0, 'f', 1)
                       .arg(ticks.ticks);
    if (peakResidentBytes >= 0)
        text += QStringLiteral("; peak resident %1 MiB").arg(mib(peakResidentBytes), 0, 'f', 1);
    if (cpu.waitingNs >= 0)
        text += QStringLiteral("; on a CPU %1 s, waiting for one %2 s")
                    .arg(seconds(cpu.runningNs), 0, 'f', 1)
                    .arg(seconds(cpu.waitingNs), 0, 'f', 1);
    return text;
}

QString ShellQuoted(const QString& word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (plain.match(word).hasMatch()) return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace DownloadReport
