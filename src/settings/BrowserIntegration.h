#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What switching browser capture on puts in place, and takes away again:
// - the registration key of CBrowserHelper under the browser's list of helper
//   objects in the hive, which the host reads when a browser window opens;
// - the native-messaging host manifests through which Chromium and Firefox find
//   karvoie-host: ${XDG_CONFIG_HOME:-~/.config}/chromium/NativeMessagingHosts/ and
//   ~/.mozilla/native-messaging-hosts/ (Firefox looks there even when it keeps its
//   profiles elsewhere);
// - with VORNELKARVO_ROOT set, a small script $VORNELKARVO_ROOT/browser/karvoie-host.sh
//   that starts the host with that variable, since a browser starts a host with
//   neither arguments nor environment of ours. The manifests then name the script.
// The host program and the extensions stay installed either way.
class BrowserIntegration {
public:
    static QString RegistrationKey();  // key path under HKEY_LOCAL_MACHINE
    static QString ChromiumManifestPath();
    static QString FirefoxManifestPath();
    // Empty when VORNELKARVO_ROOT is not set.
    static QString WrapperPath();
    // karvoie-host beside the running program.
    static QString DefaultHostPath();

    // The registration key is there and both manifests are.
    static bool IsOn();

    // Writes everything (the host must exist at hostPath); each file or key written
    // is added to `changes` as "wrote <what>". On failure everything written is
    // taken away again, `failure` says why, and false is returned.
    static bool SwitchOn(const QString& hostPath, QStringList& changes, QString& failure);
    // Removes what SwitchOn writes; what was there is added as "removed <what>".
    // A missing piece is not an error. False, with `failure`, when something
    // could not be removed.
    static bool SwitchOff(QStringList& changes, QString& failure);

private:
    static bool KeyPresent();
    static QByteArray ChromiumManifest(const QString& hostPath);
    static QByteArray FirefoxManifest(const QString& hostPath);
    static QByteArray WrapperScript(const QString& root, const QString& hostPath);
};
