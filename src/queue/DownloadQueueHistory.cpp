// Both lists survive a restart through "History.ini" in the program folder.
#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "core/Language.h"
#include "core/modGlobalVariables.h"
#include "queue/DownloadQueue.h"
#include "queue/HistoryFile.h"

#include <QFile>
#include <QLocale>

QString DownloadQueue::HistoryPath() {
    return AppFilePath(QStringLiteral("History.ini"));
}

void DownloadQueue::SaveHistory(const QDate& today) {
    // The language in use, kept where per-user program settings live.
    StoreLanguageFile(LangFile);
    // A file that could not be read holds rows these lists never got: it is kept,
    // and the lists go beside it.
    const QString path = historyUnreadable_ ? HistoryPath() + QStringLiteral(".new") : HistoryPath();
    if (lstMain.Count() == 0 && lstComplete.Count() == 0) {
        if (!historyUnreadable_) QFile::remove(path);
        return;
    }
    // Written beside and renamed into place: a crash never leaves the queue half-saved.
    const QString saveDate = QLocale().toString(today, QLocale::ShortFormat);
    const bool saved =
        WriteFileAtomically(path, HistoryFile::Serialize(lstMain, lstComplete, saveDate));
    if (historyUnreadable_ && saved)
        logHistory(QStringLiteral("History.ini could not be read and is kept; the lists were "
                                  "saved to ") +
                       path,
                   QStringLiteral("SaveHistory"));
}

void DownloadQueue::LoadHistory() {
    QFile file(HistoryPath());
    if (!file.exists()) return;
    QByteArray content;
    if (file.open(QIODevice::ReadOnly)) content = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        historyUnreadable_ = true;
        logHistory(QStringLiteral("History.ini could not be read (") + file.errorString() +
                       QStringLiteral("); it is kept, and the lists will be saved beside it"),
                   QStringLiteral("LoadHistory"));
        return;
    }
    HistoryFile::Parse(content, lstMain, lstComplete);
}

void DownloadQueue::logHistory(const QString& text, const QString& method) {
    qWarning("%s", qUtf8Printable(text));
    WriteErrorLog(text, 0, method);
}
