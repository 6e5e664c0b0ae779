#include "ftpclient/browsing/PathBox.h"

namespace karvo {

void PathBox::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    emit changed();
}

void PathBox::AddPathToComboBox(const QString& path) {
    if (!entries_.contains(path)) entries_.append(path);
    text_ = path;
    emit changed();
}

void PathBox::AddItem(const QString& path) {
    if (entries_.contains(path)) return;
    entries_.append(path);
    emit changed();
}

void PathBox::Clear() {
    entries_.clear();
    text_.clear();
    emit changed();
}

}  // namespace karvo
