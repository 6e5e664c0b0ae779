#pragma once

#include <QString>
#include <optional>

// Every message box, question, input box, save-as and folder pick of the programs
// goes through this interface. The desktop uses the Qt implementation, headless
// runs the console one, tests a scripted one.
class Dialogs {
public:
    enum class Icon { None, Exclamation, Critical, Information, Question };
    enum class Buttons { OK, YesNo, OKCancel };
    enum class Answer { OK, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    // title empty means the program's title (QCoreApplication::applicationName()).
    virtual Answer message(const QString& text, Buttons buttons, Icon icon,
                           const QString& title) = 0;
    // The entered text, or nothing when cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The chosen file path, or nothing when cancelled. A file that exists is not
    // asked about here: the caller decides what happens to it.
    virtual std::optional<QString> saveAs(const QString& title, const QString& initialPath,
                                          const QString& filter) = 0;
    // The chosen folder, or nothing when cancelled.
    virtual std::optional<QString> pickFolder(const QString& title,
                                              const QString& initialFolder) = 0;

    // The implementation in use. Defaults to the console one until a program or a
    // test installs another; the caller keeps ownership of what it installs.
    static Dialogs& instance();
    static void setInstance(Dialogs* dialogs);

    // Convenience: a message with only an OK button.
    static void show(const QString& text, Icon icon, const QString& title = QString());
    // Convenience: a Yes/No question; true for Yes.
    static bool ask(const QString& text, Icon icon, const QString& title = QString());
};
