#pragma once

#include <QString>
#include <QStringList>

// The state of the settings dialog's controls as its logic keeps them; the face
// shows it and reports the user's changes back.

// A text box: its text and whether it takes input.
struct TextControl {
    QString Text;
    bool Enabled = true;
};

// A check box or an option button: ticked or chosen, enabled or not.
struct BoxControl {
    bool Value = false;
    bool Enabled = true;
};

// A frame (or a label) that groups controls: shown or hidden, enabled or not.
struct FrameControl {
    bool Visible = true;
    bool Enabled = true;
};

// A drop-down list: its items and the chosen one.
struct ChoiceControl {
    QStringList Items;
    QString Text;
};
