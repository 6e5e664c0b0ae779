#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The settings hive as a text file in REGEDIT4 style:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0]
//   "Timeout"="60"
//   @="default value"
//
// Full key names ("ROOT\path") and value names match without regard to letter
// case and keep the case they were first written with. Reading never fails: a
// damaged file is read as far as it makes sense. Writing goes through update(),
// which holds an exclusive flock on registry.lock, re-reads the file, applies the
// change and renames a fsync'ed temporary file over the old one. Readers take no lock:
// the rename lets them see the old file or the new one, never a part.
//
// Key names cannot hold a line break (a key line has no escapes); CRegister refuses
// such paths before they get here.
class Hive {
public:
    struct Value {
        QString name;  // empty for the default value ("@")
        QString data;
    };
    struct Key {
        QString name;  // full name, e.g. "HKEY_LOCAL_MACHINE\Software\VornelKarvo\Zu4.0"
        std::vector<Value> values;
    };

    // The hive file: $VORNELKARVO_ROOT/registry/registry.reg, else
    // ${XDG_CONFIG_HOME:-~/.config}/VornelKarvo/registry.reg.
    static QString filePath();

    // Reads the current file (an absent file is an empty hive).
    static Hive load();
    // Runs change on the freshly read hive under the lock and writes the result
    // when change returns true. Returns false when the file could not be written
    // or change returned false.
    static bool update(const std::function<bool(Hive&)>& change);

    static Hive parse(const QByteArray& text);
    QByteArray serialize() const;

    const Key* findKey(const QString& fullName) const;
    Key* findKey(const QString& fullName);
    Key& ensureKey(const QString& fullName);
    // Removes the key and every key below it; true when something was removed.
    bool removeKeyTree(const QString& fullName);
    std::optional<QString> value(const QString& fullName, const QString& valueName) const;
    void setValue(const QString& fullName, const QString& valueName, const QString& data);
    bool removeValue(const QString& fullName, const QString& valueName);
    // Names of the direct subkeys of a key (last path component), in file order.
    QStringList subkeys(const QString& fullName) const;

    const std::vector<Key>& keys() const { return keys_; }

private:
    std::vector<Key> keys_;
};
