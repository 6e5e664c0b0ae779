#pragma once

#include <QString>
#include <cstdio>

// What `lumet --get` tells on stderr: one progress line, rewritten in place, only
// when stderr is a terminal (a log or a pipe gets none), and one final line that
// stands on a line of its own.
class ConsoleStatus {
public:
    explicit ConsoleStatus(std::FILE* stream);

    bool isTerminal() const { return terminal_; }
    // Replaces the progress line; nothing when the stream is no terminal.
    void progress(const QString& line);
    // Clears a progress line that is showing, so that other output starts on a clean line.
    void clearProgress();
    // Clears the progress line and prints text on a line of its own (a notice on
    // the way, or the last word); the progress line comes back at the next tick.
    void line(const QString& text);

private:
    std::FILE* stream_;
    bool terminal_ = false;
    bool progressShown_ = false;
};
