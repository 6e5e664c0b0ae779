#include "ftpclient/transfers/ListDrag.h"

#include <QMimeData>
#include <QUrl>

namespace ListDrag {

namespace {

const QString kMimeType = QStringLiteral("application/x-vornelkarvo-karvo-list");

}  // namespace

QMimeData* dragData(List source, const QStringList& names) {
    auto* data = new QMimeData;
    data->setData(kMimeType, source == List::Local ? "local" : "remote");
    data->setText(names.join(u'\n'));
    return data;
}

Action dropAction(const QMimeData* data, List target) {
    if (!data) return Action::None;
    if (data->hasFormat(kMimeType)) {
        const QByteArray source = data->data(kMimeType);
        if (target == List::Remote && source == "local") return Action::UploadSelection;
        if (target == List::Local && source == "remote") return Action::DownloadSelection;
        return Action::None;
    }
    if (target == List::Remote && !droppedFiles(data).isEmpty()) return Action::UploadFiles;
    return Action::None;
}

QStringList droppedFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        // Every address must be a local file, or the drop is not ours to take.
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace ListDrag
