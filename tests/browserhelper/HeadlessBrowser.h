#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Chromium or Firefox ESR, headless, with a profile and a download folder of its
// own below `folder`, started in a process group of its own so that stop() ends
// every process it started. It takes HOME and XDG_CONFIG_HOME from this process:
// Chromium's profile is $XDG_CONFIG_HOME/chromium (where the integration switch
// puts its host manifest), Firefox finds the manifest below $HOME/.mozilla.
// The KarvoIE extension is installed into the profile before the start.
class HeadlessBrowser {
public:
    enum class Kind { Chromium, Firefox };

    HeadlessBrowser(Kind kind, QString folder);
    ~HeadlessBrowser() { stop(); }
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // Why the browser cannot start on this machine; empty when it can.
    static QString unavailableReason(Kind kind);

    // Prepares the profile and opens the address; false with a reason in error().
    bool start(const QString& url);
    void stop();
    bool running() const { return process_.state() != QProcess::NotRunning; }

    QString downloadFolder() const { return folder_ + QStringLiteral("/downloads"); }
    // The browser's own output, for a failure message.
    QString output();
    QString error() const { return error_; }

private:
    bool prepareChromium();
    bool prepareFirefox();

    Kind kind_;
    QString folder_;
    QProcess process_;
    QString error_;
    QByteArray output_;
};
