// Built only while the program has no printer-setup layer.
#include "SetupLayerFactory.h"

OwnedSetupLayer CreateSetupLayer()
{
    return OwnedSetupLayer{};
}
