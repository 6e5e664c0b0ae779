#include "intake/frmFile.h"

#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/modGlobalVariables.h"
#include "intake/QueueOperations.h"
#include "intake/SaveRules.h"

const QString frmFile::kFilter = QStringLiteral("All Files(*.*)|*.*");

frmFile::frmFile(QueueOperations& queue, QObject* parent) : QObject(parent), queue_(queue) {}

bool frmFile::Form_Load() {
    txtURL = URL;
    emit changed();
    if (!txtSaveTo.isEmpty()) return true;
    // The name is proposed in the last folder used, where the desktop's own
    // dialog would have opened.
    const QString proposed = JoinPath(LastFolder(), URL.mid(URL.lastIndexOf(u'/') + 1));
    const std::optional<QString> chosen = Dialogs::instance().saveAs(
        SetCaptionfromINI(QStringLiteral("06007"), QStringLiteral("[Save file to?]")), proposed,
        kFilter);
    if (!chosen || chosen->isEmpty()) {
        emit unloadRequested();
        return false;
    }
    txtSaveTo = *chosen;
    LastDir = *chosen;
    emit changed();
    return true;
}

void frmFile::cmdChange_Click() {
    const std::optional<QString> chosen =
        Dialogs::instance().saveAs(QStringLiteral("Save file to..."), txtSaveTo, kFilter);
    if (!chosen || chosen->isEmpty()) return;
    txtSaveTo = *chosen;
    emit changed();
}

void frmFile::cmdBeginDown_Click() {
    if (txtURL.isEmpty() || txtSaveTo.isEmpty()) return;
    // The user has confirmed this target in the save-as dialog already.
    ExistChoice = 0;
    queue_.AddDownload(txtURL, txtSaveTo, -1);
    emit unloadRequested();
}

void frmFile::cmdDownLater_Click() {
    if (txtURL.isEmpty() || txtSaveTo.isEmpty()) return;
    queue_.AddLaterDownload(txtURL, txtSaveTo);
    emit unloadRequested();
}

void frmFile::cmdCancel_Click() {
    emit unloadRequested();
}
