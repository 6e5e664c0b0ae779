// A second process for the tests of the shared layer: it writes the hive alongside the
// test (or is killed while doing so) and holds single-instance locks.
//
//   common_helper write ID COUNT   after a line on stdin, COUNT writes of its own values
//                                  and COUNT increments of a shared counter
//   common_helper churn SIZE       rewrites one value of SIZE characters forever,
//                                  printing "wrote N" after each write
//   common_helper hold NAME        takes the single-instance lock NAME, prints "first"
//                                  or "refused", then waits for stdin to close
#include "common/CRegister.h"
#include "common/Hive.h"
#include "common/SingleInstance.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const QString kKey = QStringLiteral("\\Software\\VornelKarvo\\Test\\");
const QString kFullKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\Test");

void say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void waitForLine() {
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) std::exit(3);
}

int write(const QString& id, int count) {
    waitForLine();
    CRegister reg;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1_%2").arg(id).arg(i);
        if (!reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, name, name + QStringLiteral("-data")))
            return 1;
        const bool counted = Hive::update([](Hive& hive) {
            const int n = hive.value(kFullKey, QStringLiteral("Counter")).value_or("0").toInt();
            hive.setValue(kFullKey, QStringLiteral("Counter"), QString::number(n + 1));
            return true;
        });
        if (!counted) return 1;
    }
    say("done");
    return 0;
}

int churn(int size) {
    CRegister reg;
    for (long n = 1;; ++n) {
        const QString big =
            QString(size, QChar(char16_t(u'a' + n % 26))) + QStringLiteral(":%1").arg(n);
        if (!reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Big"), big)) return 1;
        std::printf("wrote %ld\n", n);
        std::fflush(stdout);
    }
}

int hold(const QString& name) {
    SingleInstance instance(name);
    say(instance.isFirst() ? "first" : "refused");
    char buffer[64];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "write") == 0)
        return write(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "churn") == 0) return churn(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0)
        return hold(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "usage: common_helper write ID COUNT | churn SIZE | hold NAME\n");
    return 2;
}
