#include "common/QtDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QString caption(const QString& title) {
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

QMessageBox::Icon messageIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Exclamation:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Dialogs::Answer QtDialogs::message(const QString& text, Buttons buttons, Icon icon,
                                   const QString& title) {
    QMessageBox box(messageIcon(icon), caption(title), text, QMessageBox::NoButton, parent_);
    switch (buttons) {
        case Buttons::OK:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case Buttons::OKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return Answer::OK;
    }
}

std::optional<QString> QtDialogs::inputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption(title), prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::saveAs(const QString& title, const QString& initialPath,
                                         const QString& filter) {
    QFileDialog dialog(parent_, caption(title), initialPath, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // What to do with a file that exists is asked by the caller, in its own words
    // and with more answers than replace or not.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtDialogs::pickFolder(const QString& title, const QString& initialFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent_, caption(title), initialFolder);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

QString QtDialogs::qtFilter(const QString& filter) {
    if (!filter.contains(u'|')) return filter;
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const qsizetype paren = description.indexOf(u'(');
        if (paren >= 0) description = description.left(paren).trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            // "*.*" meant every file on the desktop; here it would skip names without a dot.
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        entries << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return entries.join(QStringLiteral(";;"));
}
