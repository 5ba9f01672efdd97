#include "SpoolerObjectRemoval.h"

#include "PlanLineSafety.h"
#include "TextCompare.h"

const char* const kRemovalEnvironments[3] = {nullptr, "Windows NT x86", "Windows 4.0"};

namespace {

const char kPrintersKey[] = "System\\CurrentControlSet\\control\\Print\\Printers\\";
const char kMonitorsKey[] = "System\\CurrentControlSet\\control\\Print\\Monitors\\";
const char kConsumerDriversKey[] = "System\\CurrentControlSet\\control\\Print\\Environments\\Windows 4.0\\Drivers\\";
const char kNtEnvironmentsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";
const char kConsumerProcessorsKey[] =
    "System\\CurrentControlSet\\control\\Print\\Environments\\Windows 4.0\\Print Processors\\";
const char kNtProcessorsEnvironmentsKey[] = "System\\CurrentControlSet\\Control\\Print\\Environments\\";

// The per-user traces of a printer on the NT family.
const char* const kUserPrinterKeys[] = {
    "Printers\\DevModes2",
    "Printers\\Settings",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\PrinterPorts",
};

const char* environmentKeyName(const char* environment) { return environment ? environment : "Windows NT x86"; }

std::string environmentLabel(const char* environment) { return environment ? environment : "local"; }

bool containsIgnoringCase(const std::vector<std::string>& list, std::string_view item) {
  for (const std::string& entry : list)
    if (EqualsIgnoringCase(entry, item)) return true;
  return false;
}

bool usedByInstalledPrinter(const std::vector<InstalledPrinter>& printers, const std::string& driver) {
  for (const InstalledPrinter& printer : printers)
    if (!printer.removed && EqualsIgnoringCase(printer.driver, driver)) return true;
  return false;
}

std::string withoutDirectoryAndExtension(const std::string& path) {
  std::size_t start = path.find_last_of("\\/:");
  std::string name = start == std::string::npos ? path : path.substr(start + 1);
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string replacePlaceholder(std::string text, const std::string& value) {
  std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

void SpoolerObjectRemoval::addRegistryItem(const std::string& subKey, const char* deltree) {
  context_.database.MutableRemovalPlan().AddItem(ItemList::RegistryKeys,
                                                  "HKLM,\"" + subKey + "\",\"\"," + deltree);
}

void SpoolerObjectRemoval::removeClassesRootKey(const std::string& uniqueId) {
  // An empty or nested id would name HKEY_CLASSES_ROOT itself or a key
  // elsewhere in it.
  if (!isPlainKeyName(uniqueId)) {
    context_.note("refused: UniqueID \"" + uniqueId + "\" is not a single key name");
    return;
  }
  RegistryAccess& registry = context_.platform.registry;
  if (!registry.keyOpens(RegistryRoot::ClassesRoot, uniqueId)) return;
  std::string subKey;
  // One level only; a sub key that will not go ends the loop instead of
  // spinning on it.
  while (registry.subKeyAt(RegistryRoot::ClassesRoot, uniqueId, 0, subKey) == SubKeyEnumeration::Found) {
    if (!registry.deleteKey(RegistryRoot::ClassesRoot, uniqueId + "\\" + subKey)) break;
  }
  registry.deleteKey(RegistryRoot::ClassesRoot, uniqueId);
}

void SpoolerObjectRemoval::removeLocalPrinter(InstalledPrinter& printer, bool& defaultDeleted) {
  SpoolerAccess& spooler = context_.platform.spooler;
  PrinterHandle handle = spooler.openPrinter(printer.name);
  if (!handle) {
    printer.removed = true;
  } else {
    for (std::uint32_t job : spooler.jobIds(handle, kMaxJobs)) {
      spooler.controlJob(handle, job, kJobCancel);
      spooler.controlJob(handle, job, kJobDelete);
    }
    std::optional<std::string> uniqueId =
        context_.os.isConsumerWindows()
            ? context_.platform.registry.readString(RegistryRoot::LocalMachine,
                                                    kPrintersKey + printer.name + "\\PrinterDriverData", "UniqueID", 32)
            : spooler.printerData(handle, "UniqueID", 32);
    if (spooler.deletePrinter(handle)) {
      if (printer.isDefault) defaultDeleted = true;
      printer.removed = true;
      context_.note("printer deleted: " + printer.name);
    } else {
      context_.note("printer not deleted: " + printer.name);
    }
    spooler.closePrinter(handle);
    // The id is read while the printer can still be asked; its key goes
    // only with the printer.
    if (uniqueId && printer.removed) removeClassesRootKey(*uniqueId);
  }

  // A printer that stays keeps the user's settings and its spooler keys.
  if (!printer.removed) return;
  if (context_.os.isNtFamily()) {
    for (const char* key : kUserPrinterKeys)
      context_.platform.registry.deleteValue(RegistryRoot::CurrentUser, key, printer.name);
  }
  if (context_.os.isConsumerWindows()) {
    // No closing quote and no deltree field: each key goes without recursion.
    UninstallProfile& plan = context_.database.MutableRemovalPlan();
    plan.AddItem(ItemList::RegistryKeys, "HKLM,\"" + std::string(kPrintersKey) + printer.name + "\\PrinterDriverData,\"\"");
    plan.AddItem(ItemList::RegistryKeys, "HKLM,\"" + std::string(kPrintersKey) + printer.name + ",\"\"");
  }
}

void SpoolerObjectRemoval::removePrinters() {
  bool defaultDeleted = false;
  const InstalledPrinter* candidate = nullptr;
  std::vector<InstalledPrinter>& printers = context_.database.Printers();
  for (InstalledPrinter& printer : printers) {
    if (!printer.Goes()) {
      candidate = &printer;
      continue;
    }
    if (printer.server.empty()) {
      removeLocalPrinter(printer, defaultDeleted);
    } else if (context_.platform.spooler.deletePrinterConnection(printer.name)) {
      if (printer.isDefault) defaultDeleted = true;
      printer.removed = true;
      context_.note("printer connection deleted: " + printer.name);
    }
  }
  if (!defaultDeleted) return;

  const std::string caption = context_.text(kTextCaption);
  if (!candidate) {
    context_.platform.notices.show(context_.text(kTextDefaultDeletedNoPrinter), caption);
    return;
  }
  const std::string name = candidate->name;
  if (makeDefaultPrinter(name)) {
    for (InstalledPrinter& printer : printers) printer.isDefault = EqualsIgnoringCase(printer.name, name);
  }
  context_.platform.notices.show(replacePlaceholder(context_.text(kTextDefaultReplaced), name), caption);
}

bool SpoolerObjectRemoval::makeDefaultPrinter(const std::string& name) {
  SpoolerAccess& spooler = context_.platform.spooler;
  PrinterHandle handle = spooler.openPrinter(name);
  if (!handle) return false;
  const bool attributeWritten = spooler.setDefaultAttribute(handle);

  if (!context_.os.isConsumerWindows()) {
    std::optional<PrinterSettings> settings = spooler.printerSettings(handle);
    std::string driverWord = "winspool";
    if (context_.os.isPlatformClass1()) {
      std::optional<std::string> driverFile = spooler.driverFile(handle);
      if (driverFile)
        driverWord = withoutDirectoryAndExtension(*driverFile);
      else
        driverWord = settings ? settings->printProcessor : std::string();
    }
    const std::string port = settings ? settings->portName : std::string();
    context_.platform.profiles.writeUserString("windows", "device", name + "," + driverWord + "," + port);
  }

  if (context_.os.isPlatformClass1())
    context_.platform.profiles.broadcastSettingChange(SettingChangeBroadcast::Plain);
  else if (context_.os.isConsumerWindows())
    context_.platform.profiles.broadcastSettingChange(SettingChangeBroadcast::WindowsSectionTimeout);
  else
    context_.platform.profiles.broadcastSettingChange(SettingChangeBroadcast::NoSectionTimeout);

  spooler.closePrinter(handle);
  return context_.os.isConsumerWindows() ? attributeWritten : true;
}

void SpoolerObjectRemoval::removeDriversIn(const char* environment) {
  SpoolerAccess& spooler = context_.platform.spooler;
  const std::vector<std::string> installed = spooler.installedDrivers(environment);
  if (installed.empty()) return;

  // What goes with the selection: the plan's drivers and those of the
  // printers that were chosen, here or by the unfinished removal this run
  // takes up (whose printers may be gone already).
  std::vector<std::string> chosen = context_.database.RemovalPlan().Items(ItemList::Drivers);
  const std::vector<InstalledPrinter>& printers = context_.database.Printers();
  for (const InstalledPrinter& printer : printers)
    if (printer.Chosen()) chosen.push_back(printer.driver);
  if (const std::optional<RemovalRecord>& unfinished = context_.database.UnfinishedRemoval())
    chosen.insert(chosen.end(), unfinished->drivers.begin(), unfinished->drivers.end());

  for (const std::string& driver : installed) {
    bool goes = containsIgnoringCase(chosen, driver);
    if (!goes && !context_.database.MaskingToolKept() && driver.find("(PSCRIPT)") != std::string::npos) {
      PrinterHandle sameName = spooler.openPrinter(driver);
      if (sameName)
        spooler.closePrinter(sameName);
      else
        goes = true;
    }
    if (!goes) continue;
    // Whichever rule named it, a driver stays while a printer that is still
    // installed uses it: one that stays, another vendor's, or one whose
    // deletion failed.
    if (usedByInstalledPrinter(printers, driver)) {
      context_.note("driver still in use, kept (" + environmentLabel(environment) + "): " + driver);
      continue;
    }
    // Its registry entries go with it, not without it.
    if (!spooler.deleteDriver(environment, driver)) {
      context_.note("driver not deleted (" + environmentLabel(environment) + "): " + driver);
      continue;
    }
    context_.note("driver deleted (" + environmentLabel(environment) + "): " + driver);
    if (!isPlainKeyName(driver)) {
      context_.note("refused: registry keys of driver \"" + driver + "\"");
      continue;
    }
    if (context_.os.isConsumerWindows()) {
      addRegistryItem(kConsumerDriversKey + driver, "0");
    } else if (context_.os.isNtFamily()) {
      for (const char* version : {"Version-0\\", "Version-1\\", "Version-2\\", "Version-3\\"})
        addRegistryItem(std::string(kNtEnvironmentsKey) + environmentKeyName(environment) + "\\Drivers\\" + version +
                            driver,
                        "0");
    }
  }
}

void SpoolerObjectRemoval::removeDrivers() {
  for (const char* environment : kRemovalEnvironments) removeDriversIn(environment);
}

void SpoolerObjectRemoval::removeMonitors() {
  const std::vector<std::string>& monitors = context_.database.RemovalPlan().Items(ItemList::Monitors);
  for (const char* environment : kRemovalEnvironments) {
    for (const std::string& monitor : monitors) {
      context_.platform.spooler.deleteMonitor(environment, monitor);
      if (context_.os.isPlatformClass1()) continue;
      if (!isPlainKeyName(monitor)) {
        context_.note("refused: monitor key \"" + monitor + "\"");
        continue;
      }
      context_.platform.registry.deleteKey(RegistryRoot::LocalMachine, kMonitorsKey + monitor);
    }
  }
}

void SpoolerObjectRemoval::removePrintProcessorsIn(const char* environment) {
  SpoolerAccess& spooler = context_.platform.spooler;
  const std::vector<std::string>& planned = context_.database.RemovalPlan().Items(ItemList::PrintProcessors);
  for (const std::string& processor : spooler.installedPrintProcessors(environment)) {
    if (!containsIgnoringCase(planned, processor)) continue;
    bool allMoved = true;
    for (const LocalPrinterProcessor& printer : spooler.localPrinters()) {
      if (!EqualsIgnoringCase(printer.printProcessor, processor)) continue;
      if (spooler.setPrintProcessor(printer.printerName, "WinPrint")) {
        spooler.setDataType(printer.printerName, "RAW");
        context_.note("printer moved to WinPrint: " + printer.printerName);
      } else {
        allMoved = false;
      }
    }
    if (!allMoved) {
      context_.note("print processor still in use, kept: " + processor);
      continue;
    }
    spooler.deletePrintProcessor(environment, processor);
    context_.note("print processor deleted (" + environmentLabel(environment) + "): " + processor);
    if (!isPlainKeyName(processor)) {
      context_.note("refused: print processor key \"" + processor + "\"");
      continue;
    }
    if (context_.os.isConsumerWindows())
      context_.platform.registry.deleteKey(RegistryRoot::LocalMachine, kConsumerProcessorsKey + processor);
    else if (context_.os.isNtFamily())
      context_.platform.registry.deleteKey(RegistryRoot::LocalMachine, std::string(kNtProcessorsEnvironmentsKey) +
                                                                           environmentKeyName(environment) +
                                                                           "\\Print Processors\\" + processor);
  }
}

void SpoolerObjectRemoval::removePrintProcessors() {
  for (const char* environment : kRemovalEnvironments) removePrintProcessorsIn(environment);
}
