#include "common/TerminationSignals.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>

namespace {

int pipeFds[2] = {-1, -1};

void onSignal(int number) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    // A full pipe already holds a wake-up; dropping this one loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t wanted;
    sigemptyset(&wanted);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &action, &previous_[i]);
        sigaddset(&wanted, kSignals[i]);
    }
    // A parent may have started us with them blocked; they would never arrive.
    ::pthread_sigmask(SIG_UNBLOCK, &wanted, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void TerminationSignals::readPipe() {
    char byte = 0;
    while (::read(pipeFds[0], &byte, 1) == 1) emit received(static_cast<unsigned char>(byte));
}
