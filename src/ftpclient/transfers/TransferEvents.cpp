#include "ftpclient/transfers/TransferEvents.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/transfers/KarvoWindow.h"

TransferEvents::TransferEvents(FtpComponent& ftp, KarvoWindow& window, QObject* parent)
    : QObject(parent), ftp_(ftp), window_(window) {
    connect(&ftp, &FtpComponent::progress, this, &TransferEvents::onProgress);
    connect(&ftp, &FtpComponent::receivingFile, this,
            [this](const QString& name) { window_.StatusBarInfo(QStringLiteral("Receiving ") + name); });
    connect(&ftp, &FtpComponent::sendingFile, this,
            [this](const QString& name) { window_.StatusBarInfo(QStringLiteral("Sending ") + name); });
    connect(&ftp, &FtpComponent::scanningFolder, this, [this](const QString& name) {
        window_.StatusBarInfo(QStringLiteral("Scanning this folder ") + name);
    });
    connect(&ftp, &FtpComponent::skippingFile, this,
            [this](const QString& name, const QString& secondName, qint32 reason) {
                window_.DisplayMessage(skipText(name, secondName, reason));
            });
    // The component waits for the answer: a direct connection, whatever thread.
    connect(&ftp, &FtpComponent::fileExists, this, &TransferEvents::onFileExists,
            Qt::DirectConnection);
}

QString TransferEvents::progressText(int state, const QString& name, qint64 bytesDone,
                                     qint64 fileSize) {
    QString verb = QStringLiteral("Processing file '");
    if (state == FtpComponent::SendingFile || state == FtpComponent::SendingFiles)
        verb = QStringLiteral("Uploading file '");
    else if (state == FtpComponent::ReceivingFile || state == FtpComponent::ReceivingFiles)
        verb = QStringLiteral("Downloading file '");
    return verb + name + QStringLiteral("' (") + QString::number(bytesDone / 1024) +
           QStringLiteral(" of ") + QString::number(fileSize / 1024) + QStringLiteral("K)");
}

QString TransferEvents::skipText(const QString& name, const QString& secondName, qint32 reason) {
    const QString shown = name.isEmpty() ? secondName : name;
    return shown + QStringLiteral(" was skipped. Reason code: 0x") +
           QString::number(quint32(reason), 16).toUpper();
}

void TransferEvents::onProgress(const QString& fileName, const QString&, qint64 fileSize,
                                qint64 bytesDone, int percent) {
    window_.StatusBarInfo(progressText(ftp_.state(), fileName, bytesDone, fileSize));
    window_.setProgress(qBound(0, percent, 100));
}

void TransferEvents::onFileExists(const QString& name, bool& replace) {
    replace = Dialogs::instance().message(
                  name + QStringLiteral(" already exits. Do you want to replace it?"),
                  Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                  kConfirmTitle) == Dialogs::Answer::Yes;
}
