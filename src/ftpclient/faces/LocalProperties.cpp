#include "ftpclient/faces/LocalProperties.h"

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QUrl>
#include <QVBoxLayout>

#ifdef KARVO_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#endif

namespace karvo {

namespace {

QString permissionsText(QFile::Permissions permissions) {
    const std::pair<QFile::Permission, char> bits[] = {
        {QFile::ReadOwner, 'r'}, {QFile::WriteOwner, 'w'}, {QFile::ExeOwner, 'x'},
        {QFile::ReadGroup, 'r'}, {QFile::WriteGroup, 'w'}, {QFile::ExeGroup, 'x'},
        {QFile::ReadOther, 'r'}, {QFile::WriteOther, 'w'}, {QFile::ExeOther, 'x'}};
    QString text;
    for (const auto& [bit, letter] : bits)
        text += permissions.testFlag(bit) ? QLatin1Char(letter) : QLatin1Char('-');
    return text;
}

#ifdef KARVO_HAVE_DBUS
bool showThroughFileManager(const QString& path) {
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service))
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                       service, QStringLiteral("ShowItemProperties"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    return bus.send(call);
}
#endif

}  // namespace

void LocalProperties::Show(const QString& path, QWidget* parent) {
#ifdef KARVO_HAVE_DBUS
    if (showThroughFileManager(path)) return;
#endif
    ShowOwn(path, parent);
}

void LocalProperties::ShowOwn(const QString& path, QWidget* parent) {
    const QFileInfo info(path);
    QDialog dialog(parent);
    dialog.setWindowTitle(info.fileName() + QStringLiteral(" Properties"));
    auto* form = new QFormLayout;
    const QLocale locale;
    const auto row = [&](const QString& label, const QString& text) {
        auto* value = new QLabel(text, &dialog);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, value);
    };
    row(QStringLiteral("Name:"), info.fileName());
    row(QStringLiteral("Folder:"), info.absolutePath());
    QString type = info.isSymLink() ? QStringLiteral("Link to ") + info.symLinkTarget()
                   : info.isDir()   ? QStringLiteral("Folder")
                   : info.isFile()  ? QStringLiteral("File")
                                    : QStringLiteral("Other");
    row(QStringLiteral("Type:"), type);
    if (info.isFile()) {
        row(QStringLiteral("Size:"), locale.toString(info.size()) + QStringLiteral(" bytes"));
    }
    row(QStringLiteral("Modified:"), locale.toString(info.lastModified(), QLocale::LongFormat));
    row(QStringLiteral("Accessed:"), locale.toString(info.lastRead(), QLocale::LongFormat));
    row(QStringLiteral("Permissions:"), permissionsText(info.permissions()));
    row(QStringLiteral("Owner:"), info.owner() + QLatin1Char(':') + info.group());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog.exec();
}

}  // namespace karvo
