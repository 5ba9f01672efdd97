#pragma once
// Where the printer-setup layer plugs into the selector: the program calls
// CreateSetupLayer() once at start-up. The setup layer defines it; until
// then NoSetupLayer.cpp answers with nothing, and every tick is taken back.
#include <memory>

#include "setup/PrinterSetup.h"

struct OwnedSetupLayer {
    std::unique_ptr<PrinterSetup> setup;
    std::unique_ptr<PortNameEditor> editor;
    std::unique_ptr<SetupPrompts> prompts;
};

OwnedSetupLayer CreateSetupLayer();
