#include "browserhelper/CBrowserHelper.h"

#include "common/CRegister.h"
#include "core/MonitorLists.h"
#include "core/SettingsLists.h"
#include "core/TextConversion.h"
#include "core/UrlParser.h"
#include "core/modGlobalVariables.h"

#include <exception>

namespace {

QString lumetSetting(const QString& name, const QString& def) {
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, name, def);
}

}  // namespace

CBrowserHelper::CBrowserHelper(HandOver handOver) : handOver_(std::move(handOver)) {
    if (!handOver_) {
        handOver_ = [](const QString& address) {
            return HandOverSender::send(address, kHandOverWaitMs);
        };
    }
}

HRESULT CBrowserHelper::SetSite(std::shared_ptr<IBrowserSite> site) {
    if (!site) {
        moBrowser.reset();
        return S_OK;
    }
    moBrowser = site->QueryInterface(IID_IWebBrowser2);
    if (!moBrowser) return E_NOINTERFACE;
    const std::optional<bool> capture =
        TextToBoolean(lumetSetting(QStringLiteral("ClickCapture"), QStringLiteral("1")));
    // A text that does not convert was a failed conversion: this window captures nothing.
    captureOff_ = !capture.value_or(false);
    return capture ? S_OK : E_FAIL;
}

HRESULT CBrowserHelper::GetSite(const QString& iid, std::shared_ptr<IBrowserSite>& object) const {
    object.reset();
    if (!moBrowser) return S_OK;
    object = moBrowser->QueryInterface(iid);
    return object ? S_OK : E_NOINTERFACE;
}

HRESULT CBrowserHelper::BeforeNavigate2(IBrowserSite*, const QString& address, int, const QString&,
                                        const QVariant& postData, const QString&, bool& cancel) {
    try {
        if (!moBrowser || captureOff_) return S_OK;
        if (postData.isValid()) return S_OK;
        const QString lower = address.toLower();
        qsizetype schemeLength = 0;
        if (lower.startsWith(QLatin1String("http://")))
            schemeLength = 7;
        else if (lower.startsWith(QLatin1String("ftp://")))
            schemeLength = 6;
        else
            return S_OK;
        if (address.size() <= schemeLength) return S_OK;
        const QString extension = FileExtension(GetFileName(address));
        if (extension.isEmpty()) return S_OK;
        if (!IsValidExt(extension)) return S_OK;
        if (!IsExtPermitted(address)) return S_OK;
        if (!IsServerPermitted(address)) return S_OK;
        if (FindWin(address) > 0) cancel = true;
        return S_OK;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

qintptr CBrowserHelper::FindWin(const QString& address) {
    return handOver_(address) == HandOverSender::Result::Taken ? 1 : 0;
}

QString CBrowserHelper::GetFileName(const QString& address) const {
    return ::GetFileName(address);
}

QString CBrowserHelper::GetServerName(const QString& address) const {
    return ::GetServerName(address);
}

bool CBrowserHelper::IsValidExt(const QString& extension) const {
    return ::IsValidExt(extension);
}

bool CBrowserHelper::IsExtPermitted(const QString& address) const {
    const QString list =
        lumetSetting(QStringLiteral("MonitorTypes"), SettingsLists::DefaultMonitorTypes);
    return ExtListMatches(list, u'.' + FileExtension(GetFileName(address)));
}

bool CBrowserHelper::IsServerPermitted(const QString& address) const {
    const QString list =
        lumetSetting(QStringLiteral("MonitorServer"), SettingsLists::DefaultMonitorServer);
    return !ServerListMatches(list, GetServerName(address));
}
