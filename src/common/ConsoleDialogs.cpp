#include "common/ConsoleDialogs.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void print(const QString& title, const QString& text) {
    const QString shown = title.isEmpty() ? QCoreApplication::applicationName() : title;
    const QByteArray line = (shown + QStringLiteral(": ") + text + u'\n').toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

Dialogs::Answer ConsoleDialogs::message(const QString& text, Buttons buttons, Icon,
                                        const QString& title) {
    print(title, text);
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::OK;
}

std::optional<QString> ConsoleDialogs::inputBox(const QString& prompt, const QString& title,
                                                const QString& defaultText) {
    print(title, prompt);
    return defaultText;
}

std::optional<QString> ConsoleDialogs::saveAs(const QString& title, const QString& initialPath,
                                              const QString&) {
    print(title, initialPath);
    return initialPath;
}

std::optional<QString> ConsoleDialogs::pickFolder(const QString& title,
                                                  const QString& initialFolder) {
    print(title, initialFolder);
    return initialFolder;
}
