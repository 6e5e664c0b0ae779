#include "ftpclient/fileops/LocalOperations.h"

#include "common/Dialogs.h"
#include "ftpclient/fileops/LocalTrash.h"
#include "ftpclient/transfers/KarvoWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool confirm(const QString& question) {
    return Dialogs::instance().message(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                                       kConfirmTitle) == Dialogs::Answer::Yes;
}

QString askText(const QString& prompt) {
    return Dialogs::instance()
        .inputBox(prompt, QCoreApplication::applicationName(), QString())
        .value_or(QString());
}

}  // namespace

LocalOperations::LocalOperations(KarvoWindow& window)
    : trashFolders(&LocalTrash::folders), window_(window) {}

void LocalOperations::Erase() {
    if (!confirm(QStringLiteral("Are you sure you want to delete the selected local file(s)?"))) {
        window_.StatusBarInfo(QStringLiteral("Local file(s) not deleted."));
        return;
    }
    QStringList kept;
    for (const KarvoListItem& item : window_.localSelection()) {
        if (window_.stopRequested()) break;
        if (!erase(QDir(window_.currentLocalFolder()).filePath(item.name))) kept << item.name;
    }
    window_.refreshLocalList();
    window_.StatusBarInfo(kept.isEmpty()
                              ? QStringLiteral("Local file(s) deleted.")
                              : QStringLiteral("Local file(s) not deleted: ") + kept.join(QStringLiteral(", ")));
}

bool LocalOperations::erase(const QString& path) {
    const QFileInfo entry(path);
    if (!entry.isDir() || entry.isSymLink()) {
        // A link goes itself; what it points to stays.
        QFile file(path);
        if (file.remove()) return true;
        window_.DisplayMessage(QStringLiteral("Error no") + u' ' + file.errorString());
        return false;
    }
    if (QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (QDir().rmdir(path)) return true;
        window_.DisplayMessage(QStringLiteral("Error no") + u' ' +
                               QStringLiteral("Cannot remove the folder ") + path);
        return false;
    }
    // A folder with contents is never deleted for good from here.
    if (!confirm(QStringLiteral("The folder '") + path +
                 QStringLiteral("' is not empty. Do you want to send it to the recycle bin?")))
        return false;
    if (const auto error = LocalTrash::moveToTrash(path)) {
        window_.DisplayMessage(QStringLiteral("Error no") + u' ' + *error);
        return false;
    }
    return true;
}

void LocalOperations::DeleteToRecycleBin() {
    if (!confirm(QStringLiteral("do u want to send this files to recycle bin"))) return;
    for (const KarvoListItem& item : window_.localSelection()) {
        if (window_.stopRequested()) break;
        if (const auto error =
                LocalTrash::moveToTrash(QDir(window_.currentLocalFolder()).filePath(item.name)))
            window_.DisplayMessage(QStringLiteral("Error no") + u' ' + *error);
    }
    window_.refreshLocalList();
}

void LocalOperations::Rename() {
    const QList<KarvoListItem> selection = window_.localSelection();
    if (selection.isEmpty()) return;
    const QDir folder(window_.currentLocalFolder());
    const QString path = folder.filePath(selection.first().name);
    const QString notRenamed = QStringLiteral("Local file not renamed.");
    if (!confirm(QStringLiteral("Rename local file ") + path + u'?')) {
        window_.StatusBarInfo(notRenamed);
        return;
    }
    const QString answer = askText(QStringLiteral("Enter the new name for ") + path);
    if (answer.isEmpty()) {
        window_.StatusBarInfo(notRenamed);
        return;
    }
    const QString target = folder.filePath(answer);
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink()) {
        Dialogs::show(target + QStringLiteral(" already exists."), Dialogs::Icon::Critical);
        window_.StatusBarInfo(notRenamed);
        return;
    }
    if (!QDir().rename(path, target)) {
        window_.DisplayMessage(QStringLiteral("Error: Cannot rename ") + path + QStringLiteral(" to ") + target);
        window_.StatusBarInfo(notRenamed);
        return;
    }
    window_.refreshLocalList();
    window_.StatusBarInfo(QStringLiteral("Local file renamed."));
}

void LocalOperations::CreateFolder() {
    const QString answer =
        askText(QStringLiteral("Enter the name of the local folder you wish to create."));
    if (answer.isEmpty()) return;
    if (!QDir(window_.currentLocalFolder()).mkdir(answer)) {
        window_.StatusBarInfo(QStringLiteral("Local folder not created."));
        return;
    }
    window_.refreshLocalList();
    window_.StatusBarInfo(QStringLiteral("Local folder created."));
}

void LocalOperations::EmptyRecycleBin() {
    if (!confirm(QStringLiteral("Empty the recycle bin? This cannot be undone."))) return;
    for (const QString& error : LocalTrash::empty(trashFolders()))
        window_.DisplayMessage(QStringLiteral("Error ") + error);
}
