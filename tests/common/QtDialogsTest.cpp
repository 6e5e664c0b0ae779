// The desktop dialogs: the box a user sees for each icon and button set, and the
// answer each click gives back.
#include "common/QtDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include "QStringPrinter.h"

#include <functional>

namespace {

using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

// Hands the next modal dialog that opens to `handle`, which must close it. Gives up
// (and closes whatever is open) after a bounded number of looks.
void whenDialogOpens(const std::function<void(QDialog*)>& handle) {
    auto* timer = new QTimer(qApp);
    auto looks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handle, looks] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (dialog && dialog->isVisible()) {
                timer->deleteLater();
                timer->stop();
                handle(dialog);
                return;
            }
        }
        if (++*looks > 2000) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "no dialog opened";
        }
    });
    timer->start(5);
}

struct MessageCase {
    Buttons buttons;
    Icon icon;
    QMessageBox::StandardButton click;
    QMessageBox::StandardButtons shown;
    QMessageBox::Icon boxIcon;
    Answer answer;
};

TEST(QtDialogsTest, MessageBoxesShowTheIconAndButtonsAndReturnTheClick) {
    const MessageCase cases[] = {
        {Buttons::OK, Icon::Information, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Information,
         Answer::OK},
        {Buttons::YesNo, Icon::Question, QMessageBox::Yes, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Question, Answer::Yes},
        {Buttons::YesNo, Icon::Exclamation, QMessageBox::No, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Warning, Answer::No},
        {Buttons::OKCancel, Icon::Critical, QMessageBox::Cancel,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Critical, Answer::Cancel},
        {Buttons::OKCancel, Icon::None, QMessageBox::Ok, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::NoIcon, Answer::OK},
    };
    QtDialogs dialogs;
    for (const MessageCase& c : cases) {
        QString title;
        QString text;
        QMessageBox::StandardButtons shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenDialogOpens([&](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (!box) {
                ADD_FAILURE() << "not a message box";
                dialog->reject();
                return;
            }
            title = box->windowTitle();
            text = box->text();
            shown = box->standardButtons();
            icon = box->icon();
            box->button(c.click)->click();
        });
        EXPECT_EQ(dialogs.message("Text here", c.buttons, c.icon, ""), c.answer);
        EXPECT_EQ(title, "Vornel Download Manager");
        EXPECT_EQ(text, "Text here");
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(icon, c.boxIcon);
    }
}

TEST(QtDialogsTest, InputBoxReturnsTheTextOrNothingWhenCancelled) {
    QtDialogs dialogs;
    QString shownDefault;
    whenDialogOpens([&](QDialog* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        if (!input) {
            ADD_FAILURE() << "not an input dialog";
            dialog->reject();
            return;
        }
        shownDefault = input->textValue();
        input->setTextValue("new name");
        input->accept();
    });
    EXPECT_EQ(dialogs.inputBox("Name:", "Rename", "old"), QString("new name"));
    EXPECT_EQ(shownDefault, "old");

    whenDialogOpens([](QDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(dialogs.inputBox("Name:", "Rename", "old"), std::nullopt);
}

TEST(QtDialogsTest, FileDialogsGiveNothingWhenCancelled) {
    QtDialogs dialogs;
    QString title;
    whenDialogOpens([&](QDialog* dialog) {
        title = dialog->windowTitle();
        dialog->reject();
    });
    EXPECT_EQ(dialogs.saveAs("Save file as", "/tmp/x.zip", "Zip|*.zip"), std::nullopt);
    EXPECT_EQ(title, "Save file as");

    whenDialogOpens([](QDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(dialogs.pickFolder("", "/tmp"), std::nullopt);
}

// The caller asks about a file that exists (with more answers than replace or
// not); the chooser must not ask first.
TEST(QtDialogsTest, TheSaveAsDialogLeavesAnExistingFileToTheCaller) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString existing = folder.filePath("there.zip");
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QtDialogs dialogs;
    bool asks = true;
    whenDialogOpens([&](QDialog* dialog) {
        auto* chooser = qobject_cast<QFileDialog*>(dialog);
        if (!chooser) {
            ADD_FAILURE() << "not a file dialog";
            dialog->reject();
            return;
        }
        asks = !chooser->testOption(QFileDialog::DontConfirmOverwrite);
        EXPECT_EQ(chooser->acceptMode(), QFileDialog::AcceptSave);
        // Accepted while the chooser would ask, its question would wait for ever.
        if (asks)
            dialog->reject();
        else
            dialog->accept();
    });
    EXPECT_EQ(dialogs.saveAs("Save file to", existing, "All Files(*.*)|*.*"), existing);
    EXPECT_FALSE(asks);
}

TEST(QtDialogsTest, DesktopFiltersBecomeQtFilters) {
    const std::pair<QString, QString> cases[] = {
        {"Text files (*.txt)|*.txt|All files|*.*", "Text files (*.txt);;All files (*)"},
        {"Archives|*.zip;*.rar", "Archives (*.zip *.rar)"},
        {"Images (*.png *.jpg);;All (*)", "Images (*.png *.jpg);;All (*)"},
        {"", ""},
    };
    for (const auto& [desktop, qt] : cases)
        EXPECT_EQ(QtDialogs::qtFilter(desktop), qt) << desktop.toStdString();
}

}  // namespace
