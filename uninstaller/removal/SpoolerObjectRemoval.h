#pragma once

#include <string>

#include "RemovalContext.h"

// The string-table texts these phases show.
constexpr unsigned kTextDefaultDeletedNoPrinter = 159;
constexpr unsigned kTextDefaultReplaced = 160;
constexpr unsigned kTextCaption = 161;

// Removal phases 3 to 6: printers and their jobs, drivers, port monitors
// and print processors, in the three environments.
class SpoolerObjectRemoval {
 public:
  static constexpr unsigned kMaxJobs = 100;
  static constexpr unsigned kJobCancel = 3;
  static constexpr unsigned kJobDelete = 5;

  explicit SpoolerObjectRemoval(RemovalContext& context) : context_(context) {}

  void removePrinters();
  void removeDrivers();
  void removeMonitors();
  void removePrintProcessors();

  // Sets the default attribute, the user profile's "device" entry and
  // announces the change; false when the printer could not be opened (or,
  // on consumer Windows, the attribute not written).
  bool makeDefaultPrinter(const std::string& name);

 private:
  void removeLocalPrinter(InstalledPrinter& printer, bool& defaultDeleted);
  void removeClassesRootKey(const std::string& uniqueId);
  void removeDriversIn(const char* environment);
  void removePrintProcessorsIn(const char* environment);
  void addRegistryItem(const std::string& subKey, const char* deltree);

  RemovalContext& context_;
};

// The environments phases 4 to 6 run for: local (null), "Windows NT x86",
// "Windows 4.0".
extern const char* const kRemovalEnvironments[3];
