#include "apps/lumet/ListDialogs.h"

Dialogs::Answer ListDialogs::message(const QString& text, Buttons buttons, Icon icon,
                                     const QString& title) {
    if (icon == Icon::Question || icon == Icon::Information)
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::OK;
    return HeadlessDialogs::message(text, buttons, icon, title);
}
