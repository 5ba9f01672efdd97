#pragma once

#include <string>

// What the loading sequence hands to the main window: the settings read
// from the scripts and what the printer list offers.
struct LoadingResult {
  bool prepared = false;  // false ends the program
  bool pickingAllowed = true;
  bool scannerUninstallRequested = false;
  std::string productGuid;
  int offeredPrinters = 0;
};
