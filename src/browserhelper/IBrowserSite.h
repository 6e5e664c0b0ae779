#pragma once

#include <QString>
#include <memory>

// The browser window a helper object is attached to, as a browser adapter presents
// it. The helper asks it for the interfaces it needs by name, the way a helper
// object asks its site: "IWebBrowser2" is the window whose navigations it watches.
class IBrowserSite {
public:
    virtual ~IBrowserSite() = default;
    // The object that answers for the named interface; null when the site has none.
    virtual std::shared_ptr<IBrowserSite> QueryInterface(const QString& iid) = 0;
};

inline const QString IID_IWebBrowser2 = QStringLiteral("IWebBrowser2");
