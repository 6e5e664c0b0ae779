#include "intake/SaveRules.h"

#include "common/AppPaths.h"
#include "core/SettingsLists.h"
#include "core/UrlParser.h"
#include "core/modGlobalVariables.h"
#include "intake/AddressChecks.h"
#include "intake/QueueOperations.h"

#include <QDir>

namespace {

constexpr int kNewRow = -1;

// The sub-folder of the "by file information" mode.
QString infoFolderName(const QString& address, const QDate& today) {
    if (Settings.UseServer) return GetServerName(address);
    if (Settings.UseDate) return DateFolderName(today);
    if (Settings.UseFileExt) return FileExtension(GetFileName(address));
    return QString();
}

void startIn(const QString& folder, const QString& address, QueueOperations& queue) {
    queue.AddDownload(address, JoinPath(folder, GetFileName(address)), kNewRow);
}

}  // namespace

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString LastFolder() {
    const qsizetype slash = LastDir.lastIndexOf(u'/');
    if (slash > 0) return LastDir.left(slash);
    if (slash == 0 && LastDir.size() > 1) return QStringLiteral("/");
    return AppPaths::downloadFolder();
}

QString LastFolderTarget(const QString& address) {
    return JoinPath(LastFolder(), GetFileName(address));
}

QString GetPathFromList(const QString& name) {
    const std::vector<FileTypeRule>& rules = SettingsLists::instance().FileTypes;
    if (rules.empty()) return LastFolder();
    const QString extension = FileExtension(name.mid(name.lastIndexOf(u'/') + 1));
    for (const FileTypeRule& rule : rules) {
        if (rule.Extension == extension) return rule.Folder;
    }
    return rules.back().Folder;
}

QString DateFolderName(const QDate& date) {
    return QStringLiteral("%1-%2-%3").arg(date.day()).arg(date.month()).arg(date.year());
}

void ChooseTarget(const QString& address, QueueOperations& queue, const QDate& today) {
    if (Settings.SaveSameDir && !Settings.TextSameDir.isEmpty()) {
        startIn(Settings.TextSameDir, address, queue);
    } else if (Settings.SaveSameDir) {
        startIn(LastFolder(), address, queue);
    } else if (Settings.SaveFileType) {
        startIn(GetPathFromList(address), address, queue);
    } else if (Settings.SaveFileInfo) {
        const QString subFolder = infoFolderName(address, today);
        // A server written as ".." would lead out of the parent folder.
        if (Settings.ParentDir.isEmpty() || IsUnsafeFolderEntry(subFolder)) {
            queue.AddLaterDownload(address, LastFolderTarget(address));
            return;
        }
        const QString folder = JoinPath(Settings.ParentDir, subFolder);
        // One level only; a folder that exists already is what we want anyway.
        QDir().mkdir(folder);
        startIn(folder, address, queue);
    } else {
        startIn(LastFolder(), address, queue);
    }
}
