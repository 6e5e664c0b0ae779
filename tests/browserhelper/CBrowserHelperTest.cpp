// The navigation decision of the browser helper without a browser: which addresses
// are handed to Lumet, and that the navigation is cancelled only when Lumet took it.
#include "browserhelper/CBrowserHelper.h"
#include "browserhelper/KarvoIEHost.h"
#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

using Result = HandOverSender::Result;

class TestWindow : public IBrowserSite, public std::enable_shared_from_this<TestWindow> {
public:
    std::shared_ptr<IBrowserSite> QueryInterface(const QString& iid) override {
        return iid == IID_IWebBrowser2 ? shared_from_this() : nullptr;
    }
};

void setLumetValue(const char* name, const char* value) {
    if (value)
        CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name),
                                   QString::fromUtf8(value));
}

struct DecisionRow {
    const char* name;
    const char* address;
    bool handedOver;  // the address reaches Lumet
    bool cancel;      // the browser does not navigate
    Result lumet = Result::Taken;
    const char* clickCapture = nullptr;  // null: the value is missing
    const char* monitorServer = nullptr;
    bool post = false;
};

class DecisionTest : public ::testing::TestWithParam<DecisionRow> {};

TEST_P(DecisionTest, HandsOverAndCancelsAsTheSettingsSay) {
    const DecisionRow& row = GetParam();
    TempRoot root;
    setLumetValue("ClickCapture", row.clickCapture);
    setLumetValue("MonitorServer", row.monitorServer);
    QStringList handed;
    CBrowserHelper helper([&](const QString& address) {
        handed << address;
        return row.lumet;
    });
    helper.SetSite(std::make_shared<TestWindow>());
    const QString address = QString::fromUtf8(row.address);
    bool cancel = false;
    EXPECT_EQ(
        helper.BeforeNavigate2(nullptr, address, 0, {},
                               row.post ? QVariant(QByteArray("q=1")) : QVariant(), {}, cancel),
        S_OK);
    EXPECT_EQ(cancel, row.cancel);
    EXPECT_EQ(handed, row.handedOver ? QStringList{address} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, DecisionTest,
    ::testing::Values(
        DecisionRow{"zip", "http://files.example.org/pub/a.zip", true, true},
        DecisionRow{"scheme_in_capitals", "HTTP://files.example.org/A.ZIP", true, true},
        DecisionRow{"r05_through_R0_pattern", "http://example.org/movie.r05", true, true},
        DecisionRow{"non_ascii", "http://example.org/Grüße/файл.zip", true, true},
        DecisionRow{"secure_scheme_never", "https://files.example.org/a.zip", false, false},
        DecisionRow{"query_string", "http://files.example.org/a.zip?session=1", false, false},
        DecisionRow{"host_is_no_file_name", "http://a.zip", false, false},
        DecisionRow{"ignored_server", "http://deb.debian.org/debian/a.zip", false, false},
        DecisionRow{"ignored_by_star", "http://mirror.archive.ubuntu.com/a.zip", false, false},
        // An ftp server is ignored by its host, not by the user name before "@".
        DecisionRow{"ftp_ignored_by_host", "ftp://user:pw@deb.debian.org/a.zip", false, false},
        DecisionRow{"ftp_user_named_like_ignored", "ftp://deb.debian.org:pw@example.org/a.zip",
                    true, true},
        DecisionRow{"capture_off_0", "http://example.org/a.zip", false, false, Result::Taken, "0"},
        DecisionRow{"capture_off_False", "http://example.org/a.zip", false, false, Result::Taken,
                    "False"},
        DecisionRow{"capture_on_True", "http://example.org/a.zip", true, true, Result::Taken,
                    "True"},
        DecisionRow{"capture_unreadable", "http://example.org/a.zip", false, false, Result::Taken,
                    "maybe"},
        DecisionRow{"form_post", "http://example.org/a.zip", false, false, Result::Taken, nullptr,
                    nullptr, true},
        DecisionRow{"lumet_not_running", "http://example.org/a.zip", true, false,
                    Result::NotRunning},
        DecisionRow{"lumet_refused_or_silent", "http://example.org/a.zip", true, false,
                    Result::NotTaken}),
    [](const ::testing::TestParamInfo<DecisionRow>& info) { return std::string(info.param.name); });

TEST(CBrowserHelperTest, TheSiteIsKeptUntilDetached) {
    TempRoot root;
    CBrowserHelper helper([](const QString&) { return Result::Taken; });
    auto window = std::make_shared<TestWindow>();
    std::shared_ptr<IBrowserSite> site;
    EXPECT_EQ(helper.SetSite(window), S_OK);
    EXPECT_EQ(helper.GetSite(IID_IWebBrowser2, site), S_OK);
    EXPECT_EQ(site, window);
    EXPECT_EQ(helper.GetSite(QStringLiteral("IOleCommandTarget"), site), E_NOINTERFACE);
    EXPECT_EQ(helper.SetSite(nullptr), S_OK);
    EXPECT_EQ(helper.GetSite(IID_IWebBrowser2, site), S_OK);
    EXPECT_EQ(site, nullptr);
    bool cancel = false;
    helper.BeforeNavigate2(nullptr, QStringLiteral("http://example.org/a.zip"), 0, {}, {}, {},
                           cancel);
    EXPECT_FALSE(cancel);
}

TEST(KarvoIEHostTest, AWindowGetsAHelperWhenItOpensWhileKarvoIEIsRegistered) {
    TempRoot root;
    KarvoIEHost host([](const QString&) { return Result::Taken; });
    const auto navigate = [&](int window) {
        return host.Answer(
                   QStringLiteral(R"({"type":"navigate","window":%1,"url":"http://a/b.zip"})")
                       .arg(window)
                       .toUtf8()) == R"({"cancel":true})";
    };
    EXPECT_FALSE(navigate(1));
    CRegister().REGSaveSetting(
        HKEY_LOCAL_MACHINE,
        BrowserHelperIds::kHelperObjectsKey + BrowserHelperIds::kClassId.toLower(), QString(),
        QString());
    // Window 1 opened before: it stays without a helper until it closes.
    EXPECT_FALSE(navigate(1));
    EXPECT_TRUE(navigate(2));
    host.Answer(R"({"type":"detach","window":1})");
    setLumetValue("ClickCapture", "False");
    EXPECT_FALSE(navigate(1));
    EXPECT_TRUE(navigate(2));
}

}  // namespace
