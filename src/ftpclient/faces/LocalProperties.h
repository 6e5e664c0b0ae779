#pragma once

#include <QString>

class QWidget;

namespace karvo {

// The properties of a local file or folder: the file manager's own properties
// window when the desktop offers one (org.freedesktop.FileManager1), else a
// read-only window of ours with name, folder, type, size, times, permissions
// and owner.
class LocalProperties {
public:
    static void Show(const QString& path, QWidget* parent);
    // The window of ours, without asking the desktop first.
    static void ShowOwn(const QString& path, QWidget* parent);
};

}  // namespace karvo
