// KarvoIE in the real browsers, headless: a page on a local server opens links; with
// Lumet running and the integration on, monitored links reach Lumet and the browser
// saves nothing; with Lumet not running, with the integration off, or for an ignored
// server, the browser downloads the file itself.
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
#include <QTemporaryDir>
#include <map>

namespace {

using Kind = HeadlessBrowser::Kind;
using Reply = ScriptedHttpServer::Reply;

// Bounds a scenario that goes wrong; a working one takes a few seconds.
constexpr int kScenarioMs = 90000;

// The page opens its links one by one once the server says "go". Until then it
// keeps opening frames, which Firefox's extension asks its host about: Firefox does
// not hold the first page for an extension it installs at start, so the server
// waits for the host to run.
const char* const kPage = R"(<!doctype html><html><body>%1<script>
function frame(url) { const f = document.createElement("iframe"); f.src = url; document.body.appendChild(f); }
function run(links) {
  if (!links.length) return;
  const link = links[0];
  if (link.className === "frame") frame(link.href);
  else link.click();
  setTimeout(() => run(links.slice(1)), 1500);
}
let probe = 0;
function wait() {
  fetch("/go", {cache: "no-store"}).then(r => r.text()).then(t => {
    if (t === "go") run([...document.links]);
    else { frame("/blank.html?" + probe++); setTimeout(wait, 250); }
  }, () => setTimeout(wait, 250));
}
wait();
</script></body></html>)";

// Whether a karvoie-host started for this installation folder runs.
bool hostRunningFor(const QString& root) {
    const QString host = QFileInfo(QStringLiteral(KARVOIE_HOST_BINARY)).canonicalFilePath();
    const QByteArray variable = "VORNELKARVO_ROOT=" + QFile::encodeName(root);
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() == host &&
            environment.open(QIODevice::ReadOnly) &&
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
        environment.set("HOME", QFile::encodeName(folders.filePath(QStringLiteral("home"))));
        environment.set("XDG_CONFIG_HOME",
                        QFile::encodeName(folders.filePath(QStringLiteral("config"))));
        site.setHandler([this](const auto& request) { return answer(request); });
        ignored.setHandler([this](const auto& request) { return answer(request); });
        CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("MonitorServer"),
                                   QStringLiteral("127.0.0.1:%1").arg(ignored.port()));
        ASSERT_TRUE(IntegrationSwitches::chkIE_Click(true).ok());
    }

    Reply answer(const ScriptedHttpServer::Request& request) {
        const QByteArray path = request.target.split('?').first();
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        const QList<QByteArray> html = {"Cache-Control: no-store", "Content-Type: text/html"};
        if (path == "/index.html") return Reply::withLength("HTTP/1.1 200 OK", page, html);
        if (path == "/blank.html") return Reply::withLength("HTTP/1.1 200 OK", "<p>", html);
        if (path == "/go")
            return Reply::withLength("HTTP/1.1 200 OK", ready() ? "go" : "wait", html);
        if (!files.count(name)) return Reply::withLength("HTTP/1.1 404 Not Found", "", html);
        return Reply::withLength("HTTP/1.1 200 OK", files.at(name),
                                 {"Cache-Control: no-store", "Content-Type: application/zip",
                                  "Content-Disposition: attachment; filename=" + name});
    }

    // Chromium loads its extensions before it opens the first page.
    bool ready() const {
        return GetParam() == Kind::Chromium || !hostExpected || hostRunningFor(root.path());
    }

    // a.zip is clicked; b.zip is opened by the page itself in a frame, which Chromium's
    // extension sees as a download and Firefox's as a frame; the further links are
    // clicked into frames of their own. Each goes to another frame, so that none
    // stops another still under way.
    void openPage(QStringList more = {}) {
        QString links =
            QStringLiteral("<a href=%1>a</a><a class=frame href=%2>b</a>")
                .arg(site.url(QStringLiteral("a.zip")), site.url(QStringLiteral("b.zip")));
        for (const QString& url : more)
            links += QStringLiteral("<a target=f%1 href=%2>c</a><iframe name=f%1></iframe>")
                         .arg(links.size())
                         .arg(url);
        page = QString::fromLatin1(kPage).arg(links).toUtf8();
        ASSERT_TRUE(browser.start(site.url(QStringLiteral("index.html"))));
    }

    // Exactly these files are in the download folder, each with its content.
    bool downloaded(const QStringList& names) const {
        const QDir folder(browser.downloadFolder());
        if (folder.entryList(QDir::Files, QDir::Name) != names) return false;
        for (const QString& name : names) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly) || file.readAll() != files.at(name.toUtf8()))
                return false;
        }
        return true;
    }

    bool requested(const QByteArray& name) const {
        for (const ScriptedHttpServer::Request& request : site.requests())
            if (request.target == '/' + name) return true;
        return false;
    }

    std::string report() {
        return QStringLiteral("received: %1\ndownloaded: %2\nbrowser:\n%3")
            .arg(received.join(u' '),
                 QDir(browser.downloadFolder()).entryList(QDir::Files).join(u' '), browser.output())
            .toStdString();
    }

    QTemporaryDir folders;
    EnvironmentGuard environment;
    TempRoot root;
    ScriptedHttpServer site;
    ScriptedHttpServer ignored;  // the ignore list names it with its port
    // c.zip is the largest: a monitored file the browser wrongly kept is there first.
    std::map<QByteArray, QByteArray> files = {{"a.zip", patternBytes(64 * 1024, 1)},
                                              {"b.zip", patternBytes(64 * 1024, 2)},
                                              {"c.zip", patternBytes(1024 * 1024, 3)}};
    QByteArray page;
    QStringList received;
    std::function<void(const QString&)> record = [this](const QString& url) { received << url; };
    bool hostExpected = true;
    HeadlessBrowser browser{GetParam(), folders.path()};
};

TEST_P(BrowserEndToEndTest, MonitoredLinksGoToLumetAndTheBrowserSavesNothing) {
    frmZuLocater lumet(record);
    ASSERT_TRUE(lumet.Load());
    openPage({ignored.url(QStringLiteral("c.zip"))});
    EXPECT_TRUE(waitFor([&] { return received.size() >= 2 && downloaded({"c.zip"}); }, kScenarioMs))
        << report();
    // A loaded machine may let the frame's question overtake the click's.
    received.sort();
    EXPECT_EQ(received,
              (QStringList{site.url(QStringLiteral("a.zip")), site.url(QStringLiteral("b.zip"))}));
    // A click is held before its request; in Firefox every navigation is.
    EXPECT_FALSE(requested("a.zip"));
    EXPECT_EQ(requested("b.zip"), GetParam() == Kind::Chromium);
}

TEST_P(BrowserEndToEndTest, WithLumetNotRunningTheBrowserDownloadsItself) {
    openPage();
    EXPECT_TRUE(waitFor([&] { return downloaded({"a.zip", "b.zip"}); }, kScenarioMs)) << report();
}

TEST_P(BrowserEndToEndTest, WithTheIntegrationSwitchedOffTheBrowserDownloadsItself) {
    ASSERT_TRUE(IntegrationSwitches::chkIE_Click(false).ok());
    hostExpected = false;
    frmZuLocater lumet(record);
    ASSERT_TRUE(lumet.Load());
    openPage();
    EXPECT_TRUE(waitFor([&] { return downloaded({"a.zip", "b.zip"}); }, kScenarioMs)) << report();
    EXPECT_TRUE(received.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Browsers, BrowserEndToEndTest,
                         ::testing::Values(Kind::Chromium, Kind::Firefox), [](const auto& info) {
                             return info.param == Kind::Chromium ? "Chromium" : "Firefox";
                         });

}  // namespace
