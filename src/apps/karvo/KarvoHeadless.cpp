#include "apps/karvo/KarvoHeadless.h"

#include "ftpclient/main/KarvoFirewall.h"
#include "ftpclient/component/FtpComponent.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

namespace {

QString reasonText(qint32 reason) {
    switch (reason) {
    case FtpComponent::kExistsNotReplaced: return QStringLiteral("the local file exists");
    case FtpComponent::kUnsafeName: return QStringLiteral("its name could leave the target folder");
    case FtpComponent::kLinkNotFollowed: return QStringLiteral("links are not followed");
    case FtpComponent::kNotRegularFile: return QStringLiteral("not a regular file");
    case FtpComponent::kTooDeep: return QStringLiteral("folders nested too deep");
    default: return QStringLiteral("reason %1").arg(reason);
    }
}

void printLine(FILE* stream, const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

}  // namespace

int KarvoHeadless::run() {
    terminal_ = ::isatty(STDERR_FILENO) == 1;
    FtpComponent ftp;
    configure(ftp);
    watch(ftp);
    if (const FtpResult error = ftp.connectToServer()) return failed(error->description);
    const int code = perform(ftp);
    ftp.disconnectFromServer();
    return code;
}

void KarvoHeadless::configure(FtpComponent& ftp) {
    const KarvoAddress& address = request_.address;
    ftp.serverAddress = address.host;
    ftp.serverPort = address.port;
    ftp.userName = address.user;
    ftp.password = address.password;
    ftp.passiveMode = !request_.active;
    ftp.representation = request_.ascii ? 1 : 0;
    QString note;
    const FtpProxy proxy = request_.proxy ? *request_.proxy : KarvoFirewall::fromHive(note);
    if (!note.isEmpty()) printLine(stderr, QStringLiteral("karvo: ") + note);
    ftp.firewallType = proxy.type;
    ftp.firewallHost = proxy.host;
    ftp.firewallPort = proxy.port;
    ftp.firewallUserName = proxy.userName;
    ftp.firewallPassword = proxy.password;
}

void KarvoHeadless::watch(FtpComponent& ftp) {
    // The user named the target: an existing file there is replaced (safely:
    // the old one stays until the new one is complete).
    connect(&ftp, &FtpComponent::fileExists, this, [](const QString&, bool& replace) { replace = true; });
    connect(&ftp, &FtpComponent::skippingFile, this,
            [this](const QString& name, const QString& second, qint32 reason) {
                endProgressLine();
                printLine(stderr, QStringLiteral("karvo: skipped %1: %2")
                                      .arg(name.isEmpty() ? second : name, reasonText(reason)));
            });
    connect(&ftp, &FtpComponent::progress, this,
            [this](const QString& name, const QString&, qint64 size, qint64 done, int percent) {
                if (!terminal_) return;
                const QString line = size > 0 ? QStringLiteral("%1  %2 of %3 bytes  %4%")
                                                    .arg(name).arg(done).arg(size).arg(percent)
                                              : QStringLiteral("%1  %2 bytes").arg(name).arg(done);
                std::fprintf(stderr, "\r\033[K%s", qPrintable(line));
                std::fflush(stderr);
                progressShown_ = true;
            });
}

int KarvoHeadless::perform(FtpComponent& ftp) {
    switch (request_.command) {
    case KarvoRequest::Command::List: return list(ftp);
    case KarvoRequest::Command::Get: return get(ftp);
    case KarvoRequest::Command::Put: return put(ftp);
    case KarvoRequest::Command::Mirror: return mirror(ftp);
    case KarvoRequest::Command::MirrorUp: return mirrorUp(ftp);
    }
    return 1;
}

int KarvoHeadless::list(FtpComponent& ftp) {
    const QString& path = request_.address.path;
    if (!path.isEmpty()) {
        if (const FtpResult error = ftp.changeFolder(path)) return failed(error->description);
    }
    QList<FtpItem> items;
    if (const FtpResult error = ftp.folderContents(QString(), 0, items)) return failed(error->description);
    for (const FtpItem& item : items) {
        const char* type = item.type == FtpItem::Folder ? "d" : item.type == FtpItem::Link ? "l" : "-";
        const QString when = item.dateTime.isValid()
                                 ? item.dateTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm"))
                                 : QStringLiteral("-");
        printLine(stdout, QStringLiteral("%1 %2 %3 %4").arg(QLatin1String(type)).arg(item.size).arg(when, item.name));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int KarvoHeadless::get(FtpComponent& ftp) {
    const QString& path = request_.address.path;
    if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) return failed(QStringLiteral("the address names no file"));
    QString local = request_.local;
    if (QFileInfo(local).isDir()) local = QDir(local).filePath(QFileInfo(path).fileName());
    const FtpResult error = ftp.receiveFile(path, 0, local);
    endProgressLine();
    return error ? failed(error->description) : 0;
}

int KarvoHeadless::put(FtpComponent& ftp) {
    QString folder = request_.address.path;
    QString name = QFileInfo(request_.local).fileName();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) {
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        name = folder.mid(slash + 1);
        folder = slash < 0 ? QString() : folder.left(slash + 1);
    }
    if (!folder.isEmpty()) {
        if (const FtpResult error = ftp.changeFolder(folder)) return failed(error->description);
    }
    const FtpResult error = ftp.sendFile(request_.local, 0, name, false);
    endProgressLine();
    return error ? failed(error->description) : 0;
}

int KarvoHeadless::mirror(FtpComponent& ftp) {
    QString folder = request_.address.path;
    while (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    const QString mask = folder.isEmpty() ? QStringLiteral("*") : folder + QStringLiteral("/*");
    const FtpResult error = ftp.receiveFiles(mask, request_.local, true);
    endProgressLine();
    return error ? failed(error->description) : 0;
}

int KarvoHeadless::mirrorUp(FtpComponent& ftp) {
    if (!QFileInfo(request_.local).isDir()) return failed(QStringLiteral("%1 is not a folder").arg(request_.local));
    QString folder = request_.address.path;
    while (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    const FtpResult error = ftp.sendFiles(QDir(request_.local).filePath(QStringLiteral("*")), folder, true, true);
    endProgressLine();
    return error ? failed(error->description) : 0;
}

int KarvoHeadless::failed(const QString& reason) {
    endProgressLine();
    printLine(stderr, QStringLiteral("karvo: ") + reason);
    return 1;
}

void KarvoHeadless::endProgressLine() {
    if (!progressShown_) return;
    std::fputc('\n', stderr);
    progressShown_ = false;
}
