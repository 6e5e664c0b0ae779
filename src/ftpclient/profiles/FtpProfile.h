#pragma once

#include <QString>
#include <optional>

namespace karvo {

// One saved site: an INI file "<profile name>.Profile" with the section
// "PROFILE" and the keys "sname", "adresa", "id", "Passive", "pass", "port".
// User name and password are stored scrambled: every character's code raised
// by 10. That hides them from a glance only, so the files are made readable by
// their owner alone (0600).
//
// Values are read back into fixed buffers (50 characters, the host 75) and cut
// to one character less; Check() tells, before saving, which value would not
// read back whole.
struct FtpProfile {
    static constexpr int kValueBuffer = 50;
    static constexpr int kHostBuffer = 75;

    // Which field of the dialog a problem is in.
    enum class Problem { None, Name, Host, UserName, Password, Port };

    QString sname;
    QString adresa;
    // Plain, as the dialog shows them.
    QString id;
    QString pass;
    bool Passive = false;
    QString port;

    static QString Section() { return QStringLiteral("PROFILE"); }
    static QString Extension() { return QStringLiteral(".Profile"); }

    // Each character's code raised by 10; nothing when a character has no
    // such code (the result would not be a character).
    static std::optional<QString> Scramble(const QString& text);
    // Cut at the first NUL, then each code lowered by 10; a stored character
    // below 10 has no plain form and stays as it is.
    static QString Unscramble(const QString& text);

    // A missing file or key gives an empty field.
    static FtpProfile Read(const QString& path);
    // Writes the six keys in their order into the file, made user-only when it
    // is new; the other lines of an existing file stay. False when it could not
    // be written.
    bool Write(const QString& path) const;

    // The first value that would not read back as it is: a profile name that
    // is no plain file name (empty, "/", a leading ".", control characters) or
    // that is too long, a host, user name, password or port that is too long or
    // holds characters a profile cannot keep.
    Problem Check() const;
    static bool IsFileName(const QString& name);
};

}  // namespace karvo
