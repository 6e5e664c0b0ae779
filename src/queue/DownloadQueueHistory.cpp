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
    const QString path = HistoryPath();
    if (lstMain.Count() == 0 && lstComplete.Count() == 0) {
        QFile::remove(path);
        return;
    }
    // Written beside and renamed into place: a crash never leaves the queue half-saved.
    const QString saveDate = QLocale().toString(today, QLocale::ShortFormat);
    WriteFileAtomically(path, HistoryFile::Serialize(lstMain, lstComplete, saveDate));
}

void DownloadQueue::LoadHistory() {
    QFile file(HistoryPath());
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) return;
    HistoryFile::Parse(file.readAll(), lstMain, lstComplete);
}
