// The selector's printer-setup layer: the real spooler and the Port Name
// Editor, whose dialog and messages are in the program's own resources.
#include <windows.h>

#include "SetupFactory.h"
#include "discovery/SetupLayerFactory.h"

OwnedSetupLayer CreateSetupLayer()
{
    OwnedSetupLayer layer;
    layer.setup = CreateSpoolerPrinterSetup();
    layer.editor = CreatePortNameEditor(nullptr, GetModuleHandleA(nullptr));
    layer.prompts = CreateSetupPrompts(nullptr, GetModuleHandleA(nullptr));
    return layer;
}
