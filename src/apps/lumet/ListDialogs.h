#pragma once

#include "apps/lumet/HeadlessDialogs.h"

// The dialogs of `--get-list`: up to twenty download windows ask and tell the same
// things at once, and the list's own lines say how each download ended. Questions
// take their default answer and information is not shown; warnings and errors are
// printed as the console prints them, never on the progress line.
class ListDialogs : public HeadlessDialogs {
public:
    using HeadlessDialogs::HeadlessDialogs;

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
};
