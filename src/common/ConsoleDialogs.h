#pragma once

#include "common/Dialogs.h"

// Headless dialogs: every message is printed to stderr as "title: text" and the
// default answer is taken (Yes for Yes/No, OK otherwise; input and file dialogs
// return their initial value).
class ConsoleDialogs : public Dialogs {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> saveAs(const QString& title, const QString& initialPath,
                                  const QString& filter) override;
    std::optional<QString> pickFolder(const QString& title, const QString& initialFolder) override;
};
