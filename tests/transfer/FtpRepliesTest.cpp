// Each reply of the FTP dialogue, handed to StartLoginFTP in a given state: the
// state, texts and timers it leaves. What goes over the wire is tested against
// the scripted server in the other FTP tests.
#include "DownloadFixture.h"
#include "core/modFunctions.h"

namespace {

struct ReplyCase {
    const char* name;
    int stateBefore;
    QByteArray reply;
    int stateAfter;
    QString status;     // lblStatus afterwards; empty: unchanged
    QString rowStatus;  // sub-item 5 afterwards; empty: unchanged
    QString resume;     // lblResume afterwards; empty: unchanged
    frmDownload::Outcome outcome = frmDownload::Outcome::Running;
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

const QString kBefore = QStringLiteral("before");

class FtpRepliesTest : public DownloadFixture, public ::testing::WithParamInterface<ReplyCase> {
protected:
    frmDownload& prepared(bool passive) {
        Settings.UsePASV = passive;
        window_ = std::make_unique<frmDownload>(&lstMain, &lstComplete);
        frmDownload& dl = *window_;
        ParseUrlInto(QStringLiteral("ftp://127.0.0.1:1/pub/file.bin"), dl);
        dl.ListItem = lstMain.Add(1);
        dl.SavePath = target();
        dl.URL = QStringLiteral("ftp://127.0.0.1:1/pub/file.bin");
        dl.lblStatus = kBefore;
        dl.lblResume = kBefore;
        dl.ListItem->setSubItem(5, kBefore);
        return dl;
    }

    static void hand(frmDownload& dl, int state, const QByteArray& reply) {
        dl.FtpState = state;
        dl.FtpReply = reply;
        dl.FtpReplyCode = reply.left(3);
        dl.StartLoginFTP(0);
    }
};

TEST_P(FtpRepliesTest, LeavesStateAndTexts) {
    const ReplyCase& c = GetParam();
    frmDownload& dl = prepared(true);
    hand(dl, c.stateBefore, c.reply);
    EXPECT_EQ(dl.FtpState, c.stateAfter);
    EXPECT_EQ(dl.lblStatus, c.status.isEmpty() ? kBefore : c.status);
    EXPECT_EQ(dl.ListItem->SubItem(5), c.rowStatus.isEmpty() ? kBefore : c.rowStatus);
    EXPECT_EQ(dl.lblResume, c.resume.isEmpty() ? kBefore : c.resume);
    EXPECT_EQ(dl.outcome(), c.outcome);
}

const QString kNoPasv =
    QStringLiteral("FTP Server could not build PASV Mode data connection!  Try Non-PASV mode!");

INSTANTIATE_TEST_SUITE_P(
    FtpReplyTable, FtpRepliesTest,
    ::testing::Values(
        ReplyCase{"Greeting", 0, "220 Ready.\r\n", 220, "Logging In...", "Logging In...", {}},
        ReplyCase{"PasswordWanted", 220, "331 Password required.\r\n", 331, {}, {}, {}},
        ReplyCase{"LoggedIn",
                  331,
                  "230 Logged in.\r\n",
                  230,
                  "Connected... Setting Up Transfer!",
                  "Connected",
                  {}},
        ReplyCase{"SecondPassive",
                  227,
                  "227 Entering Passive Mode (127,0,0,1,4,1).\r\n",
                  227,
                  kNoPasv,
                  kNoPasv,
                  {},
                  frmDownload::Outcome::Failed},
        ReplyCase{"PassiveWithoutAddress",
                  230,
                  "227 Entering Passive Mode.\r\n",
                  230,
                  kNoPasv,
                  kNoPasv,
                  {},
                  frmDownload::Outcome::Failed},
        ReplyCase{"FirstOk", 227, "200 Type set to I.\r\n", 200, {}, {}, "** Resume Supported **"},
        ReplyCase{"SecondOk", 200, "200 Type set to I.\r\n", 200, {}, {}, {}},
        ReplyCase{"FirstOkAfterPort",
                  230,
                  "200 Type set to I.\r\n",
                  200,
                  {},
                  {},
                  "** Resume Supported **"},
        ReplyCase{
            "LatePortReply", 350, "200 Active data connection established.\r\n", 350, {}, {}, {}},
        ReplyCase{"LateRestartReply", 150, "350 Restarting at position 0.\r\n", 150, {}, {}, {}},
        ReplyCase{
            "RestartAccepted", 200, "350 Restarting at 0.\r\n", 350, "Waiting For File...", {}, {}},
        ReplyCase{"SecondRestartAccepted", 350, "350 Restarting at 0.\r\n", 350, {}, {}, {}},
        ReplyCase{"NotFoundAfterRetr",
                  350,
                  "550 No such file.\r\n",
                  550,
                  "File Not Found",
                  "File Not Found",
                  {},
                  frmDownload::Outcome::Failed},
        ReplyCase{"NotFoundElsewhere", 331, "550 Not here.\r\n", 331, {}, {}, {}},
        ReplyCase{"RestRefused",
                  200,
                  "504 Reply marker for REST not supported.\r\n",
                  350,
                  "Waiting For File...",
                  {},
                  "**RESUME NOT SUPPORTED**"},
        ReplyCase{"RestUnknown",
                  200,
                  "502 Command not implemented.\r\n",
                  350,
                  "Waiting For File...",
                  {},
                  "**RESUME NOT SUPPORTED**"},
        ReplyCase{"NotImplementedElsewhere",
                  230,
                  "504 Not implemented for that parameter.\r\n",
                  504,
                  {},
                  {},
                  "**RESUME NOT SUPPORTED**"},
        ReplyCase{"NoDataConnection",
                  350,
                  "425 Can't open data connection.\r\n",
                  425,
                  "Could Not Establish Data Connection",
                  "Could Not Establish Data Connection",
                  {}},
        ReplyCase{"TransferComplete",
                  150,
                  "226 Transfer complete.\r\n",
                  150,
                  "Transfer Completed...",
                  {},
                  {}},
        ReplyCase{"LoginRefused",
                  331,
                  "530 Login incorrect.\r\n",
                  331,
                  "Useranonymous can not log in.",
                  " can not log in.",
                  {},
                  frmDownload::Outcome::Failed},
        ReplyCase{"AbortedBeforeTransfer", 350, "426 Connection closed.\r\n", 350, {}, {}, {}},
        ReplyCase{"Unlisted", 220, "421 Service not available.\r\n", 220, {}, {}, {}}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

using FtpReplyDetailsTest = DownloadFixture;

TEST_F(FtpReplyDetailsTest, LoggedInStartsTheTimeOutAndShowsTheAddress) {
    Settings.UsePASV = true;
    Settings.Timeout = 17;
    window_ = std::make_unique<frmDownload>(&lstMain, &lstComplete);
    frmDownload& dl = *window_;
    ParseUrlInto(QStringLiteral("ftp://127.0.0.1:1/f"), dl);
    dl.URL = QStringLiteral("ftp://127.0.0.1:1/f");
    dl.PasvConnected = true;
    dl.FtpReply = "230 Logged in.\r\n";
    dl.FtpReplyCode = "230";
    dl.StartLoginFTP(0);
    EXPECT_EQ(dl.txtURL, dl.URL);
    EXPECT_EQ(dl.TimeoutTicks, 17);
    EXPECT_TRUE(dl.tmrTimeOut.isActive());
    EXPECT_FALSE(dl.PasvConnected);
}

TEST_F(FtpReplyDetailsTest, OpeningReplyTakesTheSizeInParentheses) {
    struct Case {
        QByteArray reply;
        bool known;
        qint64 size;
    };
    const Case cases[] = {
        {"150 Opening BINARY mode data connection for f (12345 bytes).\r\n", true, 12345},
        {"150 Opening data connection for f (127.0.0.1,40000) (5000000000 bytes)\r\n", true,
         5000000000},
        {"125 Data connection already open. Transfer starting.\r\n", false, 0},
        {"150 Opening data connection for f (12345).\r\n", false, 0},
        {"150 File status okay; about to open data connection.\r\n", false, 0},
    };
    for (const Case& c : cases) {
        window_ = std::make_unique<frmDownload>(&lstMain, &lstComplete);
        frmDownload& dl = *window_;
        ParseUrlInto(QStringLiteral("ftp://127.0.0.1:1/f"), dl);
        dl.ListItem = lstMain.Add(1);
        dl.SavePath = target();
        dl.FtpState = 350;
        dl.tmrTimeOut.start();
        dl.FtpReply = c.reply;
        dl.FtpReplyCode = c.reply.left(3);
        dl.StartLoginFTP(0);
        EXPECT_EQ(dl.FtpState, 150) << c.reply.toStdString();
        EXPECT_EQ(dl.LengthKnown, c.known) << c.reply.toStdString();
        EXPECT_EQ(dl.ContentLength, c.size) << c.reply.toStdString();
        EXPECT_EQ(dl.lblFileSize, c.known ? FormatSize(c.size) : QStringLiteral("N/A"));
        EXPECT_EQ(dl.ListItem->SubItem(3), dl.lblFileSize);
        EXPECT_EQ(dl.lblStatus, QStringLiteral("Downloading"));
        EXPECT_TRUE(dl.cmdPause.Enabled);
        EXPECT_TRUE(dl.tmrUpdate.isActive());
        EXPECT_TRUE(dl.tmrUpdate2.isActive());
        // No data connection yet: the time-out keeps watching.
        EXPECT_TRUE(dl.tmrTimeOut.isActive());
    }
}

TEST_F(FtpReplyDetailsTest, AbortAfterTheWholeFileShowsCompletion) {
    window_ = std::make_unique<frmDownload>(&lstMain, &lstComplete);
    frmDownload& dl = *window_;
    ParseUrlInto(QStringLiteral("ftp://127.0.0.1:1/f"), dl);
    dl.ListItem = lstMain.Add(1);
    dl.ContentLength = 100;
    dl.SegNext[0] = 101;
    dl.FtpState = 150;
    dl.FtpReply = "426 Connection closed; transfer aborted.\r\n";
    dl.FtpReplyCode = "426";
    dl.StartLoginFTP(0);
    EXPECT_EQ(dl.lblStatus, QStringLiteral("Download Completed!"));
    EXPECT_EQ(dl.ListItem->SubItem(5), QStringLiteral("Download Completed!"));
    EXPECT_TRUE(dl.cmdOpen.Visible);
    EXPECT_TRUE(dl.cmdGotoDir.Visible);
    EXPECT_FALSE(dl.cmdStop.Visible);
    EXPECT_FALSE(dl.cmdPause.Visible);
}

TEST_F(FtpReplyDetailsTest, RefusedRestSetsTheNoResumeInterval) {
    Settings.StopResume = true;
    Settings.TimeNoResume = 321;
    window_ = std::make_unique<frmDownload>(&lstMain, &lstComplete);
    frmDownload& dl = *window_;
    ParseUrlInto(QStringLiteral("ftp://127.0.0.1:1/f"), dl);
    dl.SegStart[0] = 5000;
    dl.SegNext[0] = 5001;
    dl.ResumeMode = true;
    dl.FtpState = 200;
    dl.FtpReply = "504 Reply marker for REST not supported.\r\n";
    dl.FtpReplyCode = "504";
    dl.StartLoginFTP(0);
    EXPECT_TRUE(dl.tmrReconnect.Enabled());
    EXPECT_EQ(dl.tmrReconnect.Interval(), 321);
    // The transfer goes on from the first byte.
    EXPECT_EQ(dl.SegStart[0], 0);
    EXPECT_EQ(dl.SegNext[0], 1);
    EXPECT_FALSE(dl.ResumeMode);
}

}  // namespace
