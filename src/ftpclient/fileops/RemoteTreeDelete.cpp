#include "ftpclient/fileops/RemoteTreeDelete.h"

#include "ftpclient/component/FtpComponent.h"

namespace {

constexpr int kMaxDepth = 64;

// "/a/b/" and "/a/b" are the same folder.
QString withoutTrailingSlash(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/')) trimmed.chop(1);
    return trimmed;
}

}  // namespace

RemoteTreeDelete::RemoteTreeDelete(FtpComponent& ftp) : ftp_(ftp) {}

QString RemoteTreeDelete::join(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

FtpResult RemoteTreeDelete::run(const QString& parent, const QString& name) {
    const QString from = withoutTrailingSlash(parent);
    top_ = join(from, name);
    FtpResult result = expectFolder(from);
    if (!result) result = deleteFolder(from, name, 0);
    if (result && ftp_.state() == FtpComponent::Idle) ftp_.changeFolder(parent);
    top_.clear();
    return result;
}

bool RemoteTreeDelete::insideTop(const QString& path) const {
    return path == top_ || path.startsWith(join(top_, QString()));
}

FtpResult RemoteTreeDelete::expectFolder(const QString& expected) {
    QString where;
    if (FtpResult error = ftp_.currentFolder(where)) return error;
    if (withoutTrailingSlash(where) == expected) return std::nullopt;
    return FtpErrors::make(FtpErrors::kProtocol,
                           QStringLiteral("The server is in '%1' instead of '%2'; nothing more was "
                                          "deleted.")
                               .arg(where, expected));
}

FtpResult RemoteTreeDelete::deleteFolder(const QString& parent, const QString& name, int depth) {
    const QString folder = join(parent, name);
    if (!insideTop(folder) || depth >= kMaxDepth)
        return FtpErrors::make(FtpErrors::kProtocol,
                               QStringLiteral("'%1' lies outside the folder being deleted or too "
                                              "deep in it; nothing more was deleted.")
                                   .arg(folder));
    if (FtpResult error = ftp_.changeFolder(name)) return error;
    if (FtpResult error = expectFolder(folder)) return error;

    ftp_.listingOption = 1;
    QList<FtpItem> items;
    if (FtpResult error = ftp_.folderContents(QString(), 0, items)) return error;
    for (const FtpItem& item : items) {
        if (item.type == FtpItem::Folder) continue;
        if (FtpResult error = ftp_.deleteFile(item.name)) return error;
    }
    for (const FtpItem& item : items) {
        if (item.type != FtpItem::Folder) continue;
        if (FtpResult error = deleteFolder(folder, item.name, depth + 1)) return error;
    }
    if (FtpResult error = ftp_.changeToParent()) return error;
    if (FtpResult error = expectFolder(parent)) return error;
    return ftp_.removeFolder(name);
}
