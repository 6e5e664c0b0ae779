#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The lines of an INI file as the private-profile calls see them. Lines we do not
// change keep their bytes exactly (comments, spacing, line ends, even an encoding
// other than UTF-8), so a write touches only the one line it means.
class IniFile {
public:
    static IniFile parse(const QByteArray& content);
    QByteArray content() const;

    // The value of the first key of that name in the first section of that name,
    // without the blanks around it.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the key's line, or adds it at the end of its section, or adds the
    // section at the end of the file. False (and nothing changed) when a name or the
    // value would not read back as written: line breaks anywhere, an empty key or one
    // with "=", a section with "]".
    bool setValue(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        QByteArray text;    // without the line end
        QByteArray ending;  // "\r\n", "\n", or empty on a last line without one
    };
    enum class Kind { Other, Section, Entry };
    struct Meaning {
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value;
    };

    Meaning meaningOf(std::size_t index) const;
    QByteArray encode(const QString& text) const;
    void makeRoomFor(const QString& text);
    std::optional<std::size_t> findSection(const QString& section) const;
    std::size_t sectionEnd(std::size_t header) const;

    std::vector<Line> lines_;
    bool latin1_ = false;  // not valid UTF-8: an older file in a single-byte code page
    QByteArray newline_ = "\r\n";
};
