#pragma once

#include "common/ConsoleDialogs.h"

class ConsoleStatus;

// The console dialogs of `lumet --get`: a message of the download window (a
// segment's socket error, the end of the download) never lands on the progress
// line. The line is cleared first; the next rate tick draws it again below.
class HeadlessDialogs : public ConsoleDialogs {
public:
    explicit HeadlessDialogs(ConsoleStatus& status) : status_(status) {}

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;

private:
    ConsoleStatus& status_;
};
