#include "ftpclient/commands/ChangeMode.h"

int ChangeMode::weight(Box box) {
    static constexpr int weights[kBoxes] = {400, 200, 100, 40, 20, 10, 4, 2, 1};
    return weights[box];
}

void ChangeMode::set(Box box, bool on) {
    if (boxes_[box] == on) return;
    boxes_[box] = on;
    value_ += on ? weight(box) : -weight(box);
}
