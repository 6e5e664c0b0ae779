#pragma once

#include "browserhelper/ComResult.h"
#include "browserhelper/IBrowserSite.h"
#include "common/HandOverSender.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

// The browser helper object of KarvoIE: one per browser window, from SetSite with
// the window to SetSite without one. Before each navigation of its window it
// decides whether the address is a download Lumet should take (a monitored file
// type on a server that is not ignored); if so it hands the address to Lumet and
// cancels the browser's own navigation, but only once Lumet has taken it.
//
// Settings are read from Lumet's key: "ClickCapture" once, when the site is set;
// "MonitorTypes" and "MonitorServer" anew for every navigation, so that changes made
// in the settings dialog apply at once.
class CBrowserHelper {
public:
    // Hands one address to Lumet; the default sends it over the hand-over socket and
    // waits at most kHandOverWaitMs for Lumet to take it.
    using HandOver = std::function<HandOverSender::Result(const QString& address)>;
    // Beyond this the browser keeps the download itself: the user must not wait for
    // a Lumet that hangs, and a browser may apply no time-out of its own.
    static constexpr int kHandOverWaitMs = 10000;

    explicit CBrowserHelper(HandOver handOver = {});

    // With a site: keeps its browser window and reads "ClickCapture" (a number,
    // or "True"/"False"); a text that is neither turns capture off and fails.
    // Without one: lets the window go.
    HRESULT SetSite(std::shared_ptr<IBrowserSite> site);
    // The held window's object for the interface; success and no object without one.
    HRESULT GetSite(const QString& iid, std::shared_ptr<IBrowserSite>& object) const;

    // The navigation decision. A navigation that carries post data (a valid
    // postData, even an empty one) is a form being sent and is never taken: Lumet
    // would fetch the address without the form. Flags, target frame and headers
    // are not used.
    HRESULT BeforeNavigate2(IBrowserSite* browser, const QString& address, int flags,
                            const QString& targetFrameName, const QVariant& postData,
                            const QString& headers, bool& cancel);

    // Hands the address to Lumet. A positive handle only when Lumet took it; 0 when
    // Lumet is not running, refused it, or did not answer in time.
    qintptr FindWin(const QString& address);
    // The last path segment, query included; the host part of the address.
    QString GetFileName(const QString& address) const;
    QString GetServerName(const QString& address) const;
    bool IsValidExt(const QString& extension) const;
    // "." and the extension match "MonitorTypes".
    bool IsExtPermitted(const QString& address) const;
    // The server matches no entry of "MonitorServer".
    bool IsServerPermitted(const QString& address) const;

private:
    std::shared_ptr<IBrowserSite> moBrowser;
    bool captureOff_ = false;
    HandOver handOver_;
};
