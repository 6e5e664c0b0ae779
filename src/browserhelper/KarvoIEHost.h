#pragma once

#include "browserhelper/CBrowserHelper.h"
#include "browserhelper/NativeRequest.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>

// The native-messaging host's side of the browser windows: one CBrowserHelper per
// window the extension reports, created when the window is attached, as a browser
// loads its registered helper objects into a new window. A window gets a helper
// only while KarvoIE is registered (the class id under the browser's list of
// helper objects in the hive), so switching the integration off stops capture in
// windows opened afterwards. A navigation in a window not yet attached attaches it.
//
// Answer() takes one message and gives the answer to send back; every message gets
// exactly one, "cancel" true only when Lumet took the address.
class KarvoIEHost {
public:
    explicit KarvoIEHost(CBrowserHelper::HandOver handOver = {},
                         std::function<void(const QString&)> log = {});

    QByteArray Answer(const QByteArray& message);

    // Whether the class id is listed under the browser's helper objects.
    static bool HelperRegistered();

private:
    void Attach(qint64 window);
    void Detach(qint64 window);
    bool Navigate(const NativeRequest& request);

    CBrowserHelper::HandOver handOver_;
    std::function<void(const QString&)> log_;
    // A window without a helper (null) was attached while KarvoIE was not registered.
    std::map<qint64, std::unique_ptr<CBrowserHelper>> windows_;
};
