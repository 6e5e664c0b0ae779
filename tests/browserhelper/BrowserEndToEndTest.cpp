// KarvoIE in the real browsers, headless: a page on a local server opens links;
// with Lumet running and the integration on, a monitored link reaches Lumet and
// the browser saves nothing; with Lumet not running, with the integration off, or
// for an ignored server, the browser downloads the file itself.
#include "HeadlessBrowser.h"
#include "common/CRegister.h"
#include "common/EnvironmentGuard.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "intake/frmZuLocater.h"
#include "settings/IntegrationSwitches.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <set>

namespace {

using Kind = HeadlessBrowser::Kind;

// Bounds a scenario that goes wrong; a working one is done in a few seconds.
constexpr int kScenarioMs = 90000;

// One step of the test page: a click on a link, an assignment to the page's
// address, or a frame opened on the address.
struct Step {
    enum class Kind { Click, Assign, Frame };
    Kind kind;
    QString url;
};

// Whether the host started for this installation folder runs: once it does, the
// extension is listening and the page may begin.
bool hostRunningFor(const QString& root) {
    const QString host = QFileInfo(QStringLiteral(KARVOIE_HOST_BINARY)).canonicalFilePath();
    const QByteArray variable = "VORNELKARVO_ROOT=" + QFile::encodeName(root);
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() != host)
            continue;
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environment.open(QIODevice::ReadOnly) &&
            environment.readAll().split('\0').contains(variable))
            return true;
    }
    return false;
}

class BrowserEndToEndTest : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        const QString reason = HeadlessBrowser::unavailableReason(GetParam());
        if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
        ASSERT_TRUE(folders.isValid());
        environment.set("HOME", QFile::encodeName(folders.filePath(QStringLiteral("home"))));
        environment.set("XDG_CONFIG_HOME",
                        QFile::encodeName(folders.filePath(QStringLiteral("config"))));
        files = {{"a.zip", patternBytes(64 * 1024, 1)},
                 {"b.zip", patternBytes(64 * 1024, 2)},
                 {"c.zip", patternBytes(1024 * 1024, 3)}};
        site.setHandler(
            [this](const ScriptedHttpServer::Request& request) { return answer(request); });
        ignored.setHandler(
            [this](const ScriptedHttpServer::Request& request) { return answer(request); });
        // The second server is the ignored one: the ignore list names it with its port.
        ASSERT_TRUE(CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey,
                                               QStringLiteral("MonitorServer"),
                                               QStringLiteral("127.0.0.1:%1").arg(ignored.port())));
    }

    ScriptedHttpServer::Reply answer(const ScriptedHttpServer::Request& request) {
        const QByteArray path = request.target.left(
            request.target.indexOf('?') < 0 ? request.target.size() : request.target.indexOf('?'));
        const QList<QByteArray> fresh = {"Cache-Control: no-store"};
        if (path == "/index.html")
            return ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 200 OK", page, fresh + QList<QByteArray>{"Content-Type: text/html"});
        if (path == "/blank.html")
            return ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 200 OK", "<!doctype html>",
                fresh + QList<QByteArray>{"Content-Type: text/html"});
        if (path == "/go")
            return ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 200 OK", ready() ? "go" : "wait",
                fresh + QList<QByteArray>{"Content-Type: text/plain"});
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        if (path.startsWith("/files/") && files.count(name))
            return ScriptedHttpServer::Reply::withLength(
                "HTTP/1.1 200 OK", files.at(name),
                fresh +
                    QList<QByteArray>{"Content-Type: application/zip",
                                      "Content-Disposition: attachment; filename=\"" + name + '"'});
        return ScriptedHttpServer::Reply::withLength("HTTP/1.1 404 Not Found", "", fresh);
    }

    // The page opens the steps one after the other once the server says "go"; until
    // then it keeps opening frames, each of which Firefox's extension asks about.
    void writePage(const QList<Step>& steps) {
        QString links;
        QString script;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            links += QStringLiteral("<a id=\"s%1\" href=\"%2\">%2</a>\n").arg(i).arg(steps[i].url);
            const char* kinds[] = {"click", "assign", "frame"};
            script += QStringLiteral("[\"%1\", %2, \"%3\"],")
                          .arg(QLatin1String(kinds[int(steps[i].kind)]))
                          .arg(i)
                          .arg(steps[i].url);
        }
        page = QStringLiteral(R"(<!doctype html><html><body>
%1<script>
const steps = [%2];
function frame(url) { const f = document.createElement("iframe"); f.src = url; document.body.appendChild(f); }
function run(i) {
  if (i >= steps.length) return;
  const [kind, id, url] = steps[i];
  if (kind === "click") document.getElementById("s" + id).click();
  else if (kind === "assign") location.href = url;
  else frame(url);
  setTimeout(() => run(i + 1), 1500);
}
let probes = 0;
function wait() {
  fetch("/go", {cache: "no-store"}).then(r => r.text()).then(
    t => { if (t === "go") run(0); else { frame("/blank.html?" + probes++); setTimeout(wait, 250); } },
    () => setTimeout(wait, 250));
}
wait();
</script></body></html>)")
                   .arg(links, script)
                   .toUtf8();
    }

    // Chromium loads its extensions before it opens the first page; Firefox does not
    // wait for a side-loaded one, so the page waits for its host to run.
    bool ready() const {
        return GetParam() == Kind::Chromium || !expectHost || hostRunningFor(root.path());
    }

    std::unique_ptr<frmZuLocater> loadReceiver() {
        auto receiver =
            std::make_unique<frmZuLocater>([this](const QString& address) { received << address; });
        EXPECT_TRUE(receiver->Load());
        return receiver;
    }

    std::set<QByteArray> downloads(const HeadlessBrowser& browser) const {
        std::set<QByteArray> names;
        for (const QString& name : QDir(browser.downloadFolder()).entryList(QDir::Files))
            names.insert(QFile::encodeName(name));
        return names;
    }

    // Every expected file is there with its content, and nothing else is.
    bool downloadedExactly(const HeadlessBrowser& browser,
                           const std::set<QByteArray>& expected) const {
        if (downloads(browser) != expected) return false;
        for (const QByteArray& name : expected) {
            QFile file(browser.downloadFolder() + u'/' + QFile::decodeName(name));
            if (!file.open(QIODevice::ReadOnly) || file.readAll() != files.at(name)) return false;
        }
        return true;
    }

    bool requested(const ScriptedHttpServer& server, const QByteArray& name) const {
        for (const ScriptedHttpServer::Request& request : server.requests())
            if (request.target == "/files/" + name) return true;
        return false;
    }

    std::string report(HeadlessBrowser& browser) {
        QStringList names;
        for (const QByteArray& name : downloads(browser)) names << QString::fromUtf8(name);
        return QStringLiteral("received: [%1]\ndownloaded: [%2]\nbrowser output:\n%3")
            .arg(received.join(QLatin1String(", ")), names.join(QLatin1String(", ")),
                 browser.output().right(4000))
            .toStdString();
    }

    // The steps that reach the browser's two ways of noticing a download: a link
    // the user clicks, and the page going to the file by itself (a frame in Firefox,
    // whose extension sees frames; an address change in Chromium, whose extension
    // sees the download it turns into).
    QList<Step> monitoredSteps() const {
        return {{Step::Kind::Click, site.url(QStringLiteral("files/a.zip"))},
                {GetParam() == Kind::Firefox ? Step::Kind::Frame : Step::Kind::Assign,
                 site.url(QStringLiteral("files/b.zip"))}};
    }

    QTemporaryDir folders;
    EnvironmentGuard environment;
    TempRoot root;
    ScriptedHttpServer site;
    ScriptedHttpServer ignored;
    std::map<QByteArray, QByteArray> files;
    QByteArray page;
    QStringList received;
    bool expectHost = true;
};

TEST_P(BrowserEndToEndTest, AMonitoredLinkGoesToLumetAndTheBrowserSavesNothing) {
    ASSERT_TRUE(IntegrationSwitches::chkIE_Click(true).ok());
    const auto receiver = loadReceiver();
    QList<Step> steps = monitoredSteps();
    steps << Step{Step::Kind::Click, ignored.url(QStringLiteral("files/c.zip"))};
    writePage(steps);
    HeadlessBrowser browser(GetParam(), folders.path());
    ASSERT_TRUE(browser.start(site.url(QStringLiteral("index.html"))))
        << browser.error().toStdString();

    // c.zip is the largest: a monitored file the browser kept would be there before it.
    EXPECT_TRUE(waitFor(
        [&] { return received.size() >= 2 && downloadedExactly(browser, {"c.zip"}); }, kScenarioMs))
        << report(browser);
    EXPECT_EQ(received, (QStringList{steps[0].url, steps[1].url})) << report(browser);
    // A click is held before the browser asks the server; in Firefox every navigation is.
    EXPECT_FALSE(requested(site, "a.zip"));
    if (GetParam() == Kind::Firefox) {
        EXPECT_FALSE(requested(site, "b.zip"));
    }
}

TEST_P(BrowserEndToEndTest, WithLumetNotRunningTheBrowserDownloadsItself) {
    ASSERT_TRUE(IntegrationSwitches::chkIE_Click(true).ok());
    writePage(monitoredSteps());
    HeadlessBrowser browser(GetParam(), folders.path());
    ASSERT_TRUE(browser.start(site.url(QStringLiteral("index.html"))))
        << browser.error().toStdString();
    EXPECT_TRUE(waitFor(
        [&] {
            return downloadedExactly(browser, {"a.zip", "b.zip"});
        },
        kScenarioMs))
        << report(browser);
}

TEST_P(BrowserEndToEndTest, WithTheIntegrationSwitchedOffTheBrowserDownloadsItself) {
    ASSERT_TRUE(IntegrationSwitches::chkIE_Click(true).ok());
    ASSERT_TRUE(IntegrationSwitches::chkIE_Click(false).ok());
    expectHost = false;
    const auto receiver = loadReceiver();
    writePage(monitoredSteps());
    HeadlessBrowser browser(GetParam(), folders.path());
    ASSERT_TRUE(browser.start(site.url(QStringLiteral("index.html"))))
        << browser.error().toStdString();
    EXPECT_TRUE(waitFor(
        [&] {
            return downloadedExactly(browser, {"a.zip", "b.zip"});
        },
        kScenarioMs))
        << report(browser);
    EXPECT_TRUE(received.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Browsers, BrowserEndToEndTest,
                         ::testing::Values(Kind::Chromium, Kind::Firefox),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                             return info.param == Kind::Chromium ? "Chromium" : "Firefox";
                         });

}  // namespace
