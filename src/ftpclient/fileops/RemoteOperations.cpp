#include "ftpclient/fileops/RemoteOperations.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/fileops/RemoteTreeDelete.h"
#include "ftpclient/transfers/KarvoWindow.h"

#include <algorithm>

namespace {

bool confirm(const QString& question) {
    return Dialogs::instance().message(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                                       kConfirmTitle) == Dialogs::Answer::Yes;
}

QString askText(const QString& prompt, const QString& title) {
    return Dialogs::instance().inputBox(prompt, title, QString()).value_or(QString());
}

}  // namespace

RemoteOperations::RemoteOperations(KarvoWindow& window) : window_(window) {}

void RemoteOperations::Delete() {
    {
        BusyPointer busy(window_);
        const bool yes =
            confirm(QStringLiteral("Are you sure you want to delete the selected remote items?"));
        window_.coverRemoteList(true);
        if (yes) {
            if (FtpResult error = deleteSelection())
                window_.DisplayMessage(QStringLiteral("Error: ") + error->description);
            window_.refreshRemoteList();
        }
    }
    window_.coverRemoteList(false);
}

FtpResult RemoteOperations::deleteSelection() {
    FtpComponent& ftp = window_.xFtp();
    const QList<KarvoListItem> rows = window_.remoteSelection();
    QString start;
    if (FtpResult error = ftp.currentFolder(start)) return error;
    for (const KarvoListItem& row : rows) {
        if (window_.stopRequested()) return FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The program is ending."));
        // Links go as files: removed themselves, never entered.
        FtpResult result = row.isFolder() ? RemoteTreeDelete(ftp).run(start, row.name)
                                          : ftp.deleteFile(row.name);
        if (result) return result;
    }
    return std::nullopt;
}

std::optional<bool> RemoteOperations::exists(const QString& path) {
    FtpComponent& ftp = window_.xFtp();
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.mid(slash + 1);
    const QString folder = slash < 0 ? QString() : slash == 0 ? QStringLiteral("/") : path.left(slash);
    QString start;
    if (!folder.isEmpty()) {
        if (ftp.currentFolder(start) || ftp.changeFolder(folder)) return std::nullopt;
    }
    QList<FtpItem> items;
    const FtpResult listed = ftp.folderContents(QString(), 0, items);
    if (!folder.isEmpty()) ftp.changeFolder(start);
    if (listed) return std::nullopt;
    return std::any_of(items.begin(), items.end(),
                       [&](const FtpItem& item) { return item.name == name; });
}

void RemoteOperations::refuse(const QString& path) {
    const QString text = path + QStringLiteral(" already exists.");
    window_.DisplayMessage(text);
    Dialogs::show(text, Dialogs::Icon::Critical);
}

void RemoteOperations::Rename() {
    const QList<KarvoListItem> selection = window_.remoteSelection();
    if (selection.isEmpty()) return;
    const QString name = selection.first().name;
    if (!confirm(QStringLiteral("Rename remote file ") + name + u'?')) return;
    const QString answer = askText(QStringLiteral("Rename remote file to : "), kClientTitle);
    if (window_.stopRequested()) return;
    if (answer.isEmpty()) {
        Dialogs::show(QStringLiteral("You can not rename the folder/file to empty string"),
                      Dialogs::Icon::Critical);
        return;
    }
    if (exists(answer).value_or(false)) {
        refuse(answer);
    } else if (FtpResult error = window_.xFtp().rename(name, answer)) {
        window_.DisplayMessage(QStringLiteral("Error renaming remote file: ") + error->description);
    }
    window_.refreshRemoteList();
}

void RemoteOperations::CreateFolder() {
    const QString answer =
        askText(QStringLiteral("Enter the name of the folder you want to create."), kClientTitle);
    if (answer.isEmpty() || window_.stopRequested()) return;
    if (FtpResult error = window_.xFtp().createFolder(answer)) {
        window_.DisplayMessage(QStringLiteral("Error creating remote folder: ") + error->description);
        window_.StatusBarInfo(QStringLiteral("Remote folder not created."));
    } else {
        window_.StatusBarInfo(QStringLiteral("Remote folder created."));
    }
    window_.refreshRemoteList();
}

void RemoteOperations::Move() {
    if (window_.xFtp().state() != FtpComponent::Idle) return;
    const QList<KarvoListItem> selection = window_.remoteSelection();
    if (selection.isEmpty()) return;
    if (!confirm(QStringLiteral("Move remote files / folders") + u' ' + selection.first().name + u'?'))
        return;
    for (const KarvoListItem& item : selection) {
        QString folder = askText(QStringLiteral("Move") + u' ' + item.name + QStringLiteral(" to : "),
                                 QStringLiteral("Karvo"));
        if (window_.stopRequested()) break;
        // No answer leaves the item where it is (it would land in the root).
        if (folder.isEmpty()) continue;
        while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
        const QString target = RemoteTreeDelete::join(folder, item.name);
        if (exists(target).value_or(false)) {
            refuse(target);
        } else if (FtpResult error = window_.xFtp().rename(item.name, target)) {
            window_.DisplayMessage(QStringLiteral("Error: ") + error->description);
        }
    }
    window_.refreshRemoteList();
}
