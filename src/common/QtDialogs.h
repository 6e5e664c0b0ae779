#pragma once

#include "common/Dialogs.h"

class QWidget;

// Desktop dialogs on Qt's message box, input dialog and file dialogs.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> saveAs(const QString& title, const QString& initialPath,
                                  const QString& filter) override;
    std::optional<QString> pickFolder(const QString& title, const QString& initialFolder) override;

    // A desktop filter ("Text files (*.txt)|*.txt|All files|*.*") in Qt's form
    // ("Text files (*.txt);;All files (*)"); a Qt filter comes back unchanged.
    static QString qtFilter(const QString& filter);

private:
    QWidget* parent_;
};
