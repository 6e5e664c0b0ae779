// The Settings.ini loader on any bytes: it never fails, and the rules and logins
// it loads are saved and loaded again unchanged (passwords through their
// scrambling too); the last folder comes back, or a stand-in in the download
// folder instead of one that has no parent.
#include "common/AppPaths.h"
#include "core/SettingsLists.h"
#include "core/modGlobalVariables.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

struct Loaded {
    QString lastDir;
    std::vector<FileTypeRule> rules;
    std::vector<LoginRow> logins;
};

Loaded load() {
    SettingsLists& lists = SettingsLists::instance();
    lists.LoadfromINI();
    return {LastDir, lists.FileTypes, lists.Logins};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // An installation of its own, as the tests have; in memory where there is
    // such a file system, since every save is flushed to the disk.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                     : QDir::tempPath();
    static QByteArray root = base.toUtf8() + "/fuzz_settings_ini-XXXXXX";
    check(mkdtemp(root.data()) != nullptr);
    qputenv("VORNELKARVO_ROOT", root);
    std::atexit([] { QDir(QString::fromUtf8(root)).removeRecursively(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QFile file(AppFilePath(QStringLiteral("Settings.ini")));
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    file.close();
    LastDir = QStringLiteral("/unchanged");
    const Loaded first = load();

    check(SettingsLists::instance().SaveToINI());
    const Loaded again = load();
    check(again.lastDir == first.lastDir || again.lastDir == AppPaths::downloadFolder() + u'/');
    check(again.rules.size() == first.rules.size());
    for (std::size_t i = 0; i < first.rules.size(); ++i) {
        check(again.rules[i].Extension == first.rules[i].Extension);
        check(again.rules[i].Folder == first.rules[i].Folder);
    }
    check(again.logins.size() == first.logins.size());
    for (std::size_t i = 0; i < first.logins.size(); ++i) {
        check(again.logins[i].Server == first.logins[i].Server);
        check(again.logins[i].User == first.logins[i].User);
        check(again.logins[i].Password == first.logins[i].Password);
    }
    return 0;
}
