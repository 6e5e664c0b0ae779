#include "apps/lumet/ConsoleStatus.h"

#include <unistd.h>

ConsoleStatus::ConsoleStatus(std::FILE* stream)
    : stream_(stream), terminal_(::isatty(::fileno(stream)) == 1) {}

void ConsoleStatus::progress(const QString& line) {
    if (!terminal_) return;
    // Back to the line's start and clear it: a shorter line leaves nothing behind.
    std::fprintf(stream_, "\r\033[K%s", qPrintable(line));
    std::fflush(stream_);
    progressShown_ = true;
}

void ConsoleStatus::clearProgress() {
    if (!progressShown_) return;
    std::fputs("\r\033[K", stream_);
    std::fflush(stream_);
    progressShown_ = false;
}

void ConsoleStatus::line(const QString& text) {
    clearProgress();
    std::fprintf(stream_, "%s\n", qPrintable(text));
    std::fflush(stream_);
}
