#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so that a
// kill, Ctrl+C or a closed terminal runs the program's normal shutdown. The signal
// handler only writes the number into a pipe; the notifier reads it on the loop.
// One object at a time; the previous handlers come back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[std::size(kSignals)] = {};
};
