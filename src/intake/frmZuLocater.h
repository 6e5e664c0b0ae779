#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>

class HandOverConnection;
class QLocalServer;

// The hand-over receiver: the local socket "KarvoRecieveMessage" in the runtime
// folder, on which the browser library and lumet-send deliver addresses. Each
// address is put into txtChager, whose change handler passes it to DownLoadURL
// of the add-address dialog; the sender is answered once that has run.
class frmZuLocater : public QObject {
    Q_OBJECT
public:
    // Bounds on one sender: an address with its NUL, the time to deliver it, and
    // how many senders may be connected at once.
    static constexpr qint64 kMaxAddressBytes = 64 * 1024;
    static constexpr int kDefaultReadTimeoutMs = 10000;
    static constexpr int kMaxConnections = 32;

    explicit frmZuLocater(std::function<void(const QString&)> downLoadURL,
                          QObject* parent = nullptr);
    ~frmZuLocater() override;

    // Starts listening (start-up step 8); false when the socket cannot be made.
    bool Load();
    // Stops listening and drops every sender (shutdown).
    void Unload();
    bool isLoaded() const;

    // The text box the sender writes into; its change handler runs when the
    // text changes, so it is emptied after every address.
    QString txtChager() const { return txtChager_; }
    void setTxtChager(const QString& text);

    void setReadTimeout(int ms) { readTimeoutMs_ = ms; }

private:
    void txtChager_Change();
    void accept();
    void onAddressRead(HandOverConnection* connection);
    void onFinished(HandOverConnection* connection);
    void handleWaiting();

    std::function<void(const QString&)> downLoadURL_;
    QLocalServer* server_ = nullptr;
    QString txtChager_;
    int readTimeoutMs_ = kDefaultReadTimeoutMs;
    int connections_ = 0;
    // Addresses wait here while one is being handled: a message box of the
    // add-address flow runs the event loop, and the flow is not re-entered.
    std::deque<HandOverConnection*> waiting_;
    bool handling_ = false;
};
