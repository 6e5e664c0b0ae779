#include "common/Dialogs.h"

#include "common/ConsoleDialogs.h"

#include <atomic>

namespace {

std::atomic<Dialogs*> installed{nullptr};

}  // namespace

Dialogs& Dialogs::instance() {
    static ConsoleDialogs console;
    Dialogs* dialogs = installed.load();
    return dialogs ? *dialogs : console;
}

void Dialogs::setInstance(Dialogs* dialogs) {
    installed.store(dialogs);
}

void Dialogs::show(const QString& text, Icon icon, const QString& title) {
    instance().message(text, Buttons::OK, icon, title);
}

bool Dialogs::ask(const QString& text, Icon icon, const QString& title) {
    return instance().message(text, Buttons::YesNo, icon, title) == Answer::Yes;
}
