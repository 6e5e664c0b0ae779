#include "apps/lumet/HeadlessDialogs.h"

#include "apps/lumet/ConsoleStatus.h"

Dialogs::Answer HeadlessDialogs::message(const QString& text, Buttons buttons, Icon icon,
                                         const QString& title) {
    status_.clearProgress();
    return ConsoleDialogs::message(text, buttons, icon, title);
}
