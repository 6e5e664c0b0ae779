#include "intake/frmURL.h"

#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/modFunctions.h"
#include "core/UrlParser.h"
#include "core/modGlobalVariables.h"
#include "intake/AddressChecks.h"
#include "intake/QueueOperations.h"
#include "intake/SaveRules.h"
#include "transfer/ReportList.h"

bool FirstAddressDone = false;

frmURL::frmURL(QueueOperations& queue, QObject* parent) : QObject(parent), queue_(queue) {}

void frmURL::Form_Load(const QString& clipboardText) {
    AddHistURL();
    if (!Settings.ClipboardMonitoring) return;
    // The scheme may stand anywhere: a sentence around the address is kept.
    const QString text = clipboardText.trimmed();
    if (text.contains(QLatin1String("http://")) || text.contains(QLatin1String("https://")) ||
        text.contains(QLatin1String("ftp://"))) {
        txtURL = text;
        txtURLSelectAll = true;
    }
}

void frmURL::AddHistURL() {
    for (ReportList* list : {&queue_.CompleteList(), &queue_.DownloadsList()}) {
        for (const ListRowPtr& row : list->Rows()) txtURLItems << row->SubItem(6);
    }
}

frmURL::Outcome frmURL::DownLoadURL(const QString& address) {
    txtURL = address;
    return cmdOK_Click();
}

frmURL::Outcome frmURL::cmdOK_Click() {
    const QString address = txtURL;
    if (DownloadSchemeLength(address) == 0 || ContainsControlCharacters(address)) {
        refuse(SetCaptionfromINI(QStringLiteral("11041"), QStringLiteral("Invalid URL")));
        return Outcome::Refused;
    }
    if (!address.startsWith(QLatin1String("http://")) && address.size() < 8) {
        refuse(SetCaptionfromINI(QStringLiteral("11041"), QStringLiteral("Invalid URL")));
        return Outcome::Refused;
    }
    const QString fileName = GetFileName(address);
    const QString extension = FileExtension(fileName).toLower();
    if (extension.isEmpty() || !IsValidExt(extension) || IsUnsafeFolderEntry(fileName)) {
        refuse(SetCaptionfromINI(QStringLiteral("13028"), QStringLiteral("Invalid File URL...")),
               SetCaptionfromINI(QStringLiteral("11041"), QStringLiteral("Inavlid URL")));
        return Outcome::Refused;
    }

    const QString lastFolderTarget = LastFolderTarget(address);
    if (!IsLimitOk(address, queue_.DownloadsList())) {
        queue_.AddLaterDownload(address, lastFolderTarget);
        return Outcome::Queued;
    }
    if (!IsServerPermitted(address)) {
        queueBlocked(address, SetCaptionfromINI(QStringLiteral("13029"),
                                                QStringLiteral("You block this server")));
        return Outcome::Queued;
    }
    if (!IsExtPermitted(address)) {
        queueBlocked(address, SetCaptionfromINI(QStringLiteral("13030"),
                                                QStringLiteral("You block this Extenison")));
        return Outcome::Queued;
    }

    // Only one option is ever set, so one branch runs.
    if (Settings.DownloadPromptOption && FirstAddressDone) emit savePromptRequested(address);
    if (Settings.DownloadNowOption && FirstAddressDone) ChooseTarget(address, queue_);
    if (Settings.DownloadLaterOption && FirstAddressDone)
        queue_.AddLaterDownload(address, lastFolderTarget);
    if (!FirstAddressDone) emit savePromptRequested(address);

    FirstAddressDone = true;
    emit unloadRequested();
    return Outcome::Done;
}

void frmURL::refuse(const QString& text, const QString& title) {
    Dialogs::show(text, Dialogs::Icon::Exclamation, title);
}

void frmURL::queueBlocked(const QString& address, const QString& blockText) {
    queue_.AddLaterDownload(address, blockText);
    // "0 %" with the blank marks the row as never to be restarted by the scheduler.
    ReportList& downloads = queue_.DownloadsList();
    if (downloads.Count() > 0)
        downloads.At(downloads.Count() - 1)->setSubItem(2, QStringLiteral("0 %"));
}
