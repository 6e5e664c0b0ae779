#pragma once

#include <QByteArray>
#include <QString>

class QObject;

// " Bytes" below 1024, " KB" up to 1 MiB, " MB" above; locale decimal and group marks.
// A value that is not a finite number shows as 0.
QString FormatSize(double bytes);
// "HH:MM:SS"; 24 hours and more show the total hours (e.g. 27:03:04). Negative
// seconds and values that are not finite numbers show as 00:00:00.
QString FormatSeconds(double seconds);
// The value after label (found without regard to case) up to the next CR LF;
// one character after the label (the blank) is skipped. "" when not found.
QByteArray HeaderFieldValue(const QByteArray& text, const QByteArray& label);

// The fields of an operating-system time record that TimeDiff works on.
struct SystemTime {
    int wYear = 0;
    int wMonth = 0;
    int wDayOfWeek = 0;
    int wDay = 0;
    int wHour = 0;
    int wMinute = 0;
    int wSecond = 0;
    int wMilliseconds = 0;
};
// later − earlier on hours, minutes, seconds and milliseconds, borrowing in later
// (which is changed); no day borrow, so across midnight the hours are negative.
SystemTime TimeDiff(SystemTime& later, const SystemTime& earlier);

bool FileExists(const QString& path);
bool FileIsReadable(const QString& path);
void KillFileQuiet(const QString& path);
void CopyFileQuiet(const QString& source, const QString& target);
// Appends the platform separator ("/") when the trimmed path does not end in one.
QString AddTrailingBackslash(const QString& path);
// True when the text holds a C0 control character or DEL: such a text would end a
// request line, a command or a file record early.
bool ContainsControlCharacters(const QString& text);
// Asks a window's face to repaint its controls; a logic object without a face
// (no "RefreshControls" slot) is left alone.
void RefreshControls(QObject* form);
