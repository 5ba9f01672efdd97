#include "ScanParameters.h"

namespace {
constexpr int16_t kThresholdByLevel[] = {90, 120, 140, 160, 175, 180, 200};
}

ScanParameters& currentScanParameters()
{
    static ScanParameters parameters;
    return parameters;
}

int16_t thresholdForLevel(int level)
{
    if (level < 1 || level > 7)
        return 0;
    return kThresholdByLevel[level - 1];
}

int levelForThreshold(int threshold)
{
    for (int level = 1; level <= 7; ++level) {
        if (kThresholdByLevel[level - 1] == threshold)
            return level;
    }
    return 4;
}
