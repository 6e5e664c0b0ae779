// The add-address dialog's OK step: refusals with their exact messages, the
// limit and block cases with the rows they leave, and the decision.
#include "IntakeFixture.h"
#include "core/Language.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <QDir>
#include <QSignalSpy>

namespace {

using Outcome = frmURL::Outcome;

class frmURLTest : public IntakeFixture {
protected:
    Outcome ok(const QString& address) {
        frmURL form(queue);
        QSignalSpy prompts(&form, &frmURL::savePromptRequested);
        QSignalSpy unloads(&form, &frmURL::unloadRequested);
        const Outcome outcome = form.DownLoadURL(address);
        promptCount = int(prompts.count());
        EXPECT_EQ(unloads.count(), outcome == Outcome::Done ? 1 : 0);
        return outcome;
    }
    int promptCount = 0;
};

TEST_F(frmURLTest, InvalidAddressesAreRefusedWithTheirMessages) {
    const QString url = QStringLiteral(": Invalid URL");
    const QString file = QStringLiteral("Inavlid URL: Invalid File URL...");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("www.server.com/a.zip"), url},
        {QStringLiteral("httpx://server/a.zip"), url},
        {QStringLiteral("https://"), file},
        {QStringLiteral(" http://server/a.zip"), url},  // not trimmed
        {QStringLiteral("ftp://a"), url},               // 7 characters
        {QStringLiteral("http://"), file},
        {QStringLiteral("http://server/download"), file},
        {QStringLiteral("http://server/a.zip?x=1"), file},
        {QStringLiteral("http://server/a.z\\p"), file},
        // Control characters would reach the history file, the request line and the file.
        {QStringLiteral("http://server/a.zip\r\nHost: elsewhere"), url},
        {QStringLiteral("http://server/a") + QChar(0) + QStringLiteral(".zip"), url},
        {QStringLiteral("http://server/a\tb.zip"), url},
        {QStringLiteral("http://server/a\x7f.zip"), url},
        // Names that are no plain entry of a folder: only dots, too long for it.
        {QStringLiteral("http://server/.."), file},
        {QStringLiteral("http://server/") + QString(126, u'\u00e9') + QStringLiteral(".zip"), file},
    };
    Settings.DownloadNowOption = true;
    for (const auto& [address, message] : cases) {
        SCOPED_TRACE(address.toStdString());
        ScriptedDialogs::current().clear();
        ScriptedDialogs::current().allowOkMessages();
        EXPECT_EQ(ok(address), Outcome::Refused);
        EXPECT_EQ(messages(), QStringList{message});
    }
    EXPECT_TRUE(queue.calls.empty());
    EXPECT_EQ(queue.lstMain.Count(), 0);
    // 255 bytes are still a name.
    const QString longest = QString(251, u'n') + QStringLiteral(".zip");
    EXPECT_EQ(ok(QStringLiteral("http://server/") + longest), Outcome::Done);
    // Secure addresses are taken like plain ones.
    EXPECT_EQ(ok(QStringLiteral("https://server/a.zip")), Outcome::Done);
    EXPECT_EQ(ok(QStringLiteral("HTTPS://server/a.zip")), Outcome::Done);
}

TEST_F(frmURLTest, MessagesAndBlockTextsComeFromTheLanguageFile) {
    TempRoot root;
    QDir().mkpath(LanguageFolder());
    ASSERT_TRUE(writeWholeFile(LanguageFolder() + QStringLiteral("Test.ini"),
                               "[Zu]\r\n11041=Adresse?\r\n13028=Datei?\r\n13030=Typ!\r\n"));
    LangFile = QStringLiteral("Test.ini");
    ScriptedDialogs::current().allowOkMessages();
    ok(QStringLiteral("gopher://server/a.zip"));
    ok(QStringLiteral("http://server/noext"));
    ok(QStringLiteral("http://server/a.txt"));
    EXPECT_EQ(messages(),
              (QStringList{QStringLiteral(": Adresse?"), QStringLiteral("Adresse?: Datei?")}));
    EXPECT_EQ(queue.calls, std::vector{RecordingQueue::later(QStringLiteral("http://server/a.txt"),
                                                             QStringLiteral("Typ!"))});
}

TEST_F(frmURLTest, TheServerLimitCountsOnlyActiveRowsOfTheSameServer) {
    Settings.DownloadLaterOption = false;
    Settings.DownloadNowOption = true;
    for (const char* progress : {"5%", "10%", "0 %"})
        queue.addRow(QStringLiteral("http://server/x.zip"), {}, QLatin1String(progress));
    // Neither waiting, finished nor other servers' rows count.
    queue.addRow(QStringLiteral("http://server/w.zip"), {}, QStringLiteral("0%"));
    queue.addRow(QStringLiteral("http://server/d.zip"), {}, QStringLiteral("100%"));
    queue.addRow(QStringLiteral("http://server:81/p.zip"), {}, QStringLiteral("20%"));

    const QString address = QStringLiteral("http://server/a.zip");
    const QString target = inFolder(QStringLiteral("a.zip"));
    EXPECT_EQ(ok(address), Outcome::Done);
    queue.addRow(QStringLiteral("http://server/y.zip"), {}, QStringLiteral("70%"));
    EXPECT_EQ(ok(address), Outcome::Queued);
    EXPECT_EQ(queue.calls, (std::vector{RecordingQueue::start(address, target),
                                        RecordingQueue::later(address, target)}));
    EXPECT_EQ(queue.lstMain.At(queue.lstMain.Count() - 1)->SubItem(2), QStringLiteral("0%"));

    // Only "htt" and "ftp" written in lower case have a limit; any other has none.
    queue.lstMain.Clear();
    EXPECT_EQ(ok(QStringLiteral("HTTP://server/b.zip")), Outcome::Done);
    queue.addRow(QStringLiteral("http://server/x.zip"), {}, QStringLiteral("5%"));
    EXPECT_EQ(ok(QStringLiteral("HTTP://server/b.zip")), Outcome::Queued);
    SettingsLists::instance().LimitHTTP = QStringLiteral("0 downloads");
    EXPECT_EQ(ok(QStringLiteral("http://server/b.zip")), Outcome::Queued);
}

TEST_F(frmURLTest, BlockedServersAndExtensionsAreQueuedAsNeverToRestart) {
    const QString server = QStringLiteral("You block this server");
    const QString extension = QStringLiteral("You block this Extenison");
    struct Case {
        const char* monitorServer;
        const char* monitorTypes;
        const char* address;
        QString blockText;  // empty: not blocked
    };
    const Case cases[] = {
        {"*.Example.org ; plain.net", ".ZIP;", "http://dl.example.org/a.zip", server},
        {"*.example.org ; plain.net", ".ZIP;", "http://PLAIN.net/a.zip", server},
        {"*.example.org ; plain.net", ".ZIP;", "http://plain.network/a.zip", {}},
        {"", ".ZIP;", "http://s/a.zip", {}},
        {"", ".EXE;", "http://s/a.zip", extension},
        {"", ".ZIP; .R0?;", "http://s/a.r05", {}},
        {"", ".R0?;", "http://s/a.r0", {}},
        {"", ".R0?;", "http://s/a.r15", extension},
        {"", ".Z", "http://s/a.zip", extension},
        {"", "", "http://s/a.zip", extension},
        {"s", ".EXE;", "http://s/a.zip", server},  // the server list first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        SettingsLists::instance().MonitorServer = QLatin1String(c.monitorServer);
        SettingsLists::instance().MonitorTypes = QLatin1String(c.monitorTypes);
        queue.calls.clear();
        queue.lstMain.Clear();
        const QString address = QLatin1String(c.address);
        EXPECT_EQ(ok(address), c.blockText.isEmpty() ? Outcome::Done : Outcome::Queued);
        ASSERT_EQ(queue.lstMain.Count(), 1);
        const ListRowPtr row = queue.lstMain.At(0);
        if (c.blockText.isEmpty()) {
            EXPECT_EQ(row->SubItem(2), QStringLiteral("0%"));
            continue;
        }
        EXPECT_EQ(queue.calls, std::vector{RecordingQueue::later(address, c.blockText)});
        EXPECT_EQ(row->SubItem(2), QStringLiteral("0 %"));
    }
    EXPECT_TRUE(ScriptedDialogs::current().calls().empty());
}

TEST_F(frmURLTest, TheFirstAddressAlwaysPromptsThenTheOptionDecides) {
    const QString address = QStringLiteral("http://server/a.zip");
    const QString target = inFolder(QStringLiteral("a.zip"));
    struct Case {
        bool now, later, prompt;
        std::vector<RecordingQueue::Call> second;
    };
    const Case cases[] = {
        {true, false, false, {RecordingQueue::start(address, target)}},
        {false, true, false, {RecordingQueue::later(address, target)}},
        {false, false, true, {}},
    };
    for (const Case& c : cases) {
        Settings.DownloadNowOption = c.now;
        Settings.DownloadLaterOption = c.later;
        Settings.DownloadPromptOption = c.prompt;
        FirstAddressDone = false;
        queue.calls.clear();
        // Refused and blocked addresses do not count as the first.
        ScriptedDialogs::current().allowOkMessages();
        ok(QStringLiteral("http://server/noext"));
        SettingsLists::instance().MonitorTypes = QStringLiteral(".TXT;");
        ok(QStringLiteral("http://server/b.zip"));
        SettingsLists::instance().MonitorTypes = QStringLiteral(".ZIP;");
        EXPECT_FALSE(FirstAddressDone);
        queue.calls.clear();
        queue.lstMain.Clear();

        EXPECT_EQ(ok(address), Outcome::Done);
        EXPECT_EQ(promptCount, 1);
        EXPECT_TRUE(queue.calls.empty());
        EXPECT_TRUE(FirstAddressDone);
        EXPECT_EQ(ok(address), Outcome::Done);
        EXPECT_EQ(queue.calls, c.second);
        EXPECT_EQ(promptCount, c.prompt ? 1 : 0);
    }
}

TEST_F(frmURLTest, DownloadNowWithAnEmptyParentFolderQueuesAsNotDownloaded) {
    Settings.DownloadLaterOption = false;
    Settings.DownloadNowOption = true;
    Settings.SaveFileInfo = true;
    Settings.UseDate = true;
    EXPECT_EQ(ok(QStringLiteral("http://server/a.zip")), Outcome::Done);
    EXPECT_EQ(queue.calls, std::vector{RecordingQueue::later(QStringLiteral("http://server/a.zip"),
                                                             inFolder(QStringLiteral("a.zip")))});
}

}  // namespace
