// The dialog on screen, opened as the main window opens it: every tab shown, the
// widgets wired to the rules of the logic, Cancel dropping the edits and OK handing
// them to the running program.
#include "SettingsFixture.h"

#include "core/Language.h"
#include "settings/faces/SettingsPage.h"
#include "settings/faces/frmSettingsFace.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <type_traits>

namespace {

class frmSettingsFaceTest : public SettingsFixture {
protected:
    frmSettingsFaceTest() {
        // Values that fill every page, so that each tab shows what it holds.
        const std::pair<const char*, const char*> stored[] = {
            {"Segment", "1"},         {"UseProxy", "1"},     {"ProxyServer", "proxy.example.lan"},
            {"ProxyPort", "3128"},    {"SaveFileType", "True"}, {"Downloads", "42"},
            {"AllBytes", "73400320"}, {"LoginProxy", "1"},   {"UserID", "anna"},
        };
        for (const auto& [name, value] : stored)
            CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, name, value);
        SettingsLists::instance().FileTypes = {{"iso", "/srv/images"}, {"mp3", "/home/anna/Music"}};
        SettingsLists::instance().SaveToINI();
        LoadSettings();
        SettingsLists::instance().Logins = {{"ftp.example.org", "anna", "secret"}};
        SettingsLists::instance().SaveToINI();
        QDir().mkpath(LanguageFolder());
        writeFile(LanguageFolder() + "Deutsch.ini", "[Zu]\r\n");
    }

    // Opens the dialog as Options → Settings does and runs `use` on it while it is up.
    void open(const std::function<void(frmSettingsFace&)>& use) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* face = qobject_cast<frmSettingsFace*>(QApplication::activeModalWidget());
            ran = face != nullptr;
            if (!face) return;
            use(*face);
            // Whatever the case left open is closed without saving.
            if (face->isVisible()) face->done(QDialog::Rejected);
        });
        frmSettingsFace::Show(nullptr, [this] { ++helps; });
        EXPECT_TRUE(ran) << "the dialog was not shown modally";
    }

    template <class Widget>
    static Widget* find(QWidget* page, const QString& text) {
        for (Widget* widget : page->findChildren<Widget*>()) {
            if constexpr (std::is_same_v<Widget, QGroupBox>) {
                if (widget->title() == text) return widget;
            } else if (widget->text() == text) {
                return widget;
            }
        }
        ADD_FAILURE() << "no widget " << text.toStdString();
        return nullptr;
    }
    // The text box of a form row whose label is `label`.
    static QLineEdit* field(QWidget* page, const QString& label) {
        const QList<QLineEdit*> edits = page->findChildren<QLineEdit*>();
        for (QLineEdit* edit : edits) {
            for (QLabel* shown : page->findChildren<QLabel*>())
                if (shown->text() == label && shown->buddy() == edit) return edit;
        }
        ADD_FAILURE() << "no field " << label.toStdString();
        return nullptr;
    }
    // Saves a picture of the dialog when VK_SCREENSHOT_DIR names a folder.
    static void screenshot(QWidget& widget, const QString& name) {
        const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name))) << name.toStdString();
    }

    int helps = 0;
};

TEST_F(frmSettingsFaceTest, EveryTabShowsItsPageAndTheWidgetsFollowTheRules) {
    open([this](frmSettingsFace& face) {
        EXPECT_TRUE(face.isModal());
        EXPECT_EQ(face.windowTitle(), "Settings");
        // A second opening (the tray's "Settings..." meanwhile) shows the same dialog.
        frmSettingsFace::Show(nullptr, [] {});
        EXPECT_EQ(QApplication::activeModalWidget(), &face);

        QTabWidget& tabs = *face.tabMainSettings;
        ASSERT_EQ(tabs.count(), frmSettings::PageCount);
        EXPECT_EQ(tabs.currentIndex(), frmSettings::General);
        EXPECT_FALSE(face.cmdApply->isEnabled());
        for (int page = 0; page < tabs.count(); ++page) {
            EXPECT_EQ(tabs.tabText(page), frmSettings::PageCaption(page));
            tabs.setCurrentIndex(page);
            EXPECT_TRUE(face.Pages[static_cast<std::size_t>(page)]->isVisible());
            screenshot(face, "settings-" + frmSettings::PageCaption(page).toLower().remove(' ') +
                                 ".png");
        }

        // Typing goes through the number rule: "-5" puts the stored time-out back.
        QWidget* connection = face.Pages[frmSettings::Connection];
        QLineEdit* timeout = field(connection, "Time-out while connecting (seconds):");
        ASSERT_TRUE(timeout);
        timeout->selectAll();
        QTest::keyClicks(timeout, "-5");
        EXPECT_EQ(timeout->text(), "60");
        EXPECT_FALSE(face.cmdApply->isEnabled());

        // The extension list is checked when it loses the focus; Enter adds no line.
        QWidget* monitoring = face.Pages[frmSettings::Monitoring];
        auto* types = monitoring->findChild<QPlainTextEdit*>();
        ASSERT_TRUE(types);
        types->setPlainText(".ZIP; /x;");
        QTest::keyClick(types, Qt::Key_Return);
        dialogs().allowOkMessages();
        QFocusEvent leaving(QEvent::FocusOut);
        QApplication::sendEvent(types, &leaving);
        EXPECT_EQ(types->toPlainText(), ".ZIP; /x;");
        EXPECT_EQ(messages(),
                  QStringList{"Extensions may not contain these characters: / \\ : * \" < > |"});
        EXPECT_TRUE(face.cmdApply->isEnabled());
        dialogs().answerMessage(Dialogs::Answer::Yes);
        find<QPushButton>(monitoring, "Reset To Defaults")->click();
        EXPECT_EQ(types->toPlainText(), SettingsLists::DefaultMonitorTypes);

        // The proxy box disables its frame.
        QWidget* proxy = face.Pages[frmSettings::Proxy];
        auto* frame = find<QGroupBox>(proxy, "Proxy Settings");
        ASSERT_TRUE(frame);
        EXPECT_TRUE(frame->isEnabled());
        find<QCheckBox>(proxy, "Use Proxy Server")->click();
        EXPECT_FALSE(frame->isEnabled());

        face.cmdHelp->click();
        EXPECT_EQ(helps, 1);

        // Cancel with changes asks; No keeps the dialog, Yes closes it unsaved.
        dialogs().answerMessage(Dialogs::Answer::No);
        face.cmdCancel->click();
        EXPECT_TRUE(face.isVisible());
        dialogs().answerMessage(Dialogs::Answer::Yes);
        face.cmdCancel->click();
        EXPECT_FALSE(face.isVisible());
    });
    EXPECT_EQ(hive("UseProxy"), "1");
    EXPECT_EQ(messages().count("settings changed , Are you sure you want to quit with out saving??"),
              2);
    EXPECT_EQ(hive("MonitorTypes"), "");

    // OK saves, and the running program has the new values at once.
    open([](frmSettingsFace& face) {
        QWidget* general = face.Pages[frmSettings::General];
        find<QCheckBox>(general, "Close download window.")->click();
        auto* language = general->findChild<QComboBox*>();
        ASSERT_EQ(language->currentText(), "English");
        emit language->textActivated("Deutsch");
        face.cmdOK->click();
        EXPECT_FALSE(face.isVisible());
    });
    EXPECT_EQ(hive("CloseDownloadWindowWhenDone"), "1");
    EXPECT_TRUE(Settings.CloseDownloadWindowWhenDone);
    EXPECT_EQ(LangFile, "Deutsch.ini");
}

}  // namespace
