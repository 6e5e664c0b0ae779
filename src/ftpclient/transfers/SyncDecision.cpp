#include "ftpclient/transfers/SyncDecision.h"

#include "ftpclient/transfers/KarvoRegistry.h"
#include "ftpclient/transfers/ListingMinute.h"

namespace SyncDecision {

bool transfer(const Facts& facts, bool bySize) {
    if (!facts.targetExists) return true;
    if (bySize || !facts.sourceTime.isValid() || !facts.targetTime.isValid())
        return facts.sourceSize != facts.targetSize;
    return listingMinute(facts.sourceTime) > listingMinute(facts.targetTime);
}

bool bySizeSetting() {
    return KarvoRegistry::get(QStringLiteral("DIR SYNC BY FILE SIZE"), QStringLiteral("0"))
               .trimmed()
               .toInt() == 1;
}

}  // namespace SyncDecision
