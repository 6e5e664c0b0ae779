#include "browserhelper/KarvoIEHost.h"

#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"

namespace {

// The browser window as the helper's site: it answers for the browser interface
// and for the plain object.
class BrowserWindowSite : public IBrowserSite,
                          public std::enable_shared_from_this<BrowserWindowSite> {
public:
    std::shared_ptr<IBrowserSite> QueryInterface(const QString& iid) override {
        if (iid == IID_IWebBrowser2 || iid == QLatin1String("IUnknown")) return shared_from_this();
        return nullptr;
    }
};

}  // namespace

KarvoIEHost::KarvoIEHost(CBrowserHelper::HandOver handOver, std::function<void(const QString&)> log)
    : handOver_(std::move(handOver)), log_(std::move(log)) {
    if (!log_) log_ = [](const QString&) {};
}

bool KarvoIEHost::HelperRegistered() {
    const QStringList keys =
        CRegister().GetAllKeys(HKEY_LOCAL_MACHINE, BrowserHelperIds::kHelperObjectsKey);
    return keys.contains(BrowserHelperIds::kClassId, Qt::CaseInsensitive);
}

QByteArray KarvoIEHost::Answer(const QByteArray& message) {
    const NativeRequest request = NativeRequest::Parse(message);
    bool cancel = false;
    if (!request.error.isEmpty()) {
        log_(QStringLiteral("ignored a message: %1").arg(request.error));
    } else {
        switch (request.type) {
            case NativeRequest::Type::Attach:
                Attach(*request.window);
                break;
            case NativeRequest::Type::Detach:
                Detach(*request.window);
                break;
            case NativeRequest::Type::Navigate:
                cancel = Navigate(request);
                break;
            case NativeRequest::Type::Unknown:
                log_(QStringLiteral("ignored a message of an unknown type"));
                break;
        }
    }
    return NativeAnswer(request.id, cancel);
}

void KarvoIEHost::Attach(qint64 window) {
    if (windows_.count(window)) return;
    std::unique_ptr<CBrowserHelper> helper;
    if (HelperRegistered()) {
        helper = std::make_unique<CBrowserHelper>(handOver_);
        if (!SUCCEEDED(helper->SetSite(std::make_shared<BrowserWindowSite>())))
            log_(QStringLiteral("window %1: \"ClickCapture\" is not a number or True/False; "
                                "this window captures nothing")
                     .arg(window));
    }
    windows_[window] = std::move(helper);
}

void KarvoIEHost::Detach(qint64 window) {
    const auto found = windows_.find(window);
    if (found == windows_.end()) return;
    if (found->second) found->second->SetSite(nullptr);
    windows_.erase(found);
}

bool KarvoIEHost::Navigate(const NativeRequest& request) {
    Attach(*request.window);
    CBrowserHelper* helper = windows_[*request.window].get();
    if (!helper) return false;
    // Any method but GET sends something the address alone does not carry.
    const QVariant postData = request.method.compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0
                                  ? QVariant()
                                  : QVariant(QByteArray());
    bool cancel = false;
    std::shared_ptr<IBrowserSite> browser;
    helper->GetSite(IID_IWebBrowser2, browser);
    helper->BeforeNavigate2(browser.get(), request.url, 0, QString(), postData, QString(), cancel);
    if (cancel) log_(QStringLiteral("handed to Lumet (%1): %2").arg(request.kind, request.url));
    return cancel;
}
