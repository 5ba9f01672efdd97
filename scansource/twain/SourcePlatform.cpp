#include "SourcePlatform.h"

namespace {
SourcePlatform* currentPlatform = nullptr;
}

void setSourcePlatform(SourcePlatform* platform)
{
    currentPlatform = platform;
}

SourcePlatform& sourcePlatform()
{
    return *currentPlatform;
}
