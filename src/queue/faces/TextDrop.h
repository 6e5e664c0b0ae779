#pragma once

#include <QDropEvent>
#include <QMimeData>
#include <QString>
#include <optional>

// Drops onto the main window's drop targets: only the plain-text form of the
// dropped data is taken; anything else is refused.

// For drag-enter and drag-move events.
inline void AcceptTextDrag(QDropEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

// The dropped text, or nothing when the drop has no text form.
inline std::optional<QString> TakeTextDrop(QDropEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return std::nullopt;
    }
    event->acceptProposedAction();
    return event->mimeData()->text();
}
