#pragma once

#include <string>

#include "StringTable.h"

// Starts the scanner driver's own uninstall program, registered under the
// product GUID, without waiting for it. Tells the user when it cannot.
bool startScannerUninstall(const std::string& productGuid, StringTable& texts);
