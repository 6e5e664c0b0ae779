// The hive parser on any bytes: it never fails, and what it writes back reads as the
// same hive (so a damaged file, once rewritten, stays as it was read).
#include "common/Hive.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool sameHive(const Hive& a, const Hive& b) {
    if (a.keys().size() != b.keys().size()) return false;
    for (std::size_t k = 0; k < a.keys().size(); ++k) {
        const Hive::Key& x = a.keys()[k];
        const Hive::Key& y = b.keys()[k];
        if (x.name != y.name || x.values.size() != y.values.size()) return false;
        for (std::size_t v = 0; v < x.values.size(); ++v) {
            if (x.values[v].name != y.values[v].name || x.values[v].data != y.values[v].data)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Hive first = Hive::parse(input);
    const QByteArray written = first.serialize();
    const Hive second = Hive::parse(written);
    if (!sameHive(first, second) || second.serialize() != written) std::abort();

    // Every value is found again under its key, whatever the spelling of the names.
    for (const Hive::Key& key : second.keys()) {
        for (const Hive::Value& value : key.values) {
            if (second.value(key.name.toCaseFolded(), value.name.toCaseFolded()) != value.data)
                std::abort();
        }
        second.subkeys(key.name);
    }
    return 0;
}
