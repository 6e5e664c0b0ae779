#pragma once

#include <QProcess>
#include <QString>

// Chromium or Firefox ESR, headless, with the KarvoIE extension installed in a
// profile of its own and downloads saved to downloadFolder(), started in a process
// group of its own that the destructor ends whole. It takes HOME and
// XDG_CONFIG_HOME from this process: Chromium's profile is
// $XDG_CONFIG_HOME/chromium, where the integration switch puts its host manifest;
// Firefox finds the manifest below $HOME/.mozilla.
class HeadlessBrowser {
public:
    enum class Kind { Chromium, Firefox };

    HeadlessBrowser(Kind kind, const QString& folder);
    ~HeadlessBrowser();

    // Why the browser cannot start on this machine; empty when it can.
    static QString unavailableReason(Kind kind);

    // Prepares the profile and opens the address.
    bool start(const QString& url);
    QString downloadFolder() const { return folder_ + QStringLiteral("/downloads"); }
    // What the browser printed, for a failure message.
    QString output() { return QString::fromLocal8Bit(process_.readAll()).right(4000); }

private:
    Kind kind_;
    QString folder_;
    QProcess process_;
};
