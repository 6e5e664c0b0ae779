#include "ftpclient/transfers/ManualTransfer.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/component/FtpNames.h"
#include "ftpclient/transfers/KarvoWindow.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kTitle = QStringLiteral("Remote Server Custom Command");

// The input dialog: the typed text, or empty after Cancel or an empty answer,
// which have been told "No command entered, quiting".
QString askName(const QString& prompt) {
    const QString name = Dialogs::instance().inputBox(prompt, kTitle, QString()).value_or(QString());
    if (name.isEmpty())
        Dialogs::show(QStringLiteral("No command entered, quiting"), Dialogs::Icon::Information);
    return name;
}

}  // namespace

ManualTransfer::ManualTransfer(KarvoWindow& window) : window_(window) {}

void ManualTransfer::Receive() {
    const QString name = askName(QStringLiteral(
        "Enter File Name to Receive (Make sure you are in the Remote directory where the file "));
    if (name.isEmpty()) return;
    const QString localName = name.section(u'/', -1);
    FtpResult result;
    if (!FtpNames::isSafeLocalName(localName)) {
        result = FtpErrors::make(FtpErrors::kUnsafeArgument,
                                 QStringLiteral("'%1' names no file to write locally.").arg(name));
    } else {
        result = window_.xFtp().receiveFile(
            name, 0, QDir(window_.currentLocalFolder()).filePath(localName));
    }
    if (result) window_.DisplayMessage(QStringLiteral("Error: ") + result->description);
    window_.refreshLocalList();
}

void ManualTransfer::Send() {
    const QString name = askName(QStringLiteral(
        "Enter File Name to Send (Make sure you are in the local directory where the file "
        "resides, "));
    if (name.isEmpty()) return;
    const QString path = QDir(window_.currentLocalFolder()).filePath(name);
    // A pipe or a device would block the read for ever.
    FtpResult result = QFileInfo(path).isFile()
                           ? window_.xFtp().sendFile(path, 0, name, false)
                           : FtpErrors::make(FtpErrors::kLocalFile,
                                             QStringLiteral("%1 is no file.").arg(path));
    if (result) window_.DisplayMessage(QStringLiteral("Error: ") + result->description);
    window_.refreshRemoteList();
}
