#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the removal phases ask of Windows, in the few shapes they need. The
// decisions (what to delete, in which order, what to do when it fails) stay
// in the portable core; the Win32 implementation makes the calls through
// XSPOOL_Z and the system, and the tests put recording fakes in its place.

// An open printer; 0 is none.
using PrinterHandle = std::uintptr_t;

// The level-2 facts the default-printer change needs.
struct PrinterSettings {
  std::string portName;
  std::string printProcessor;
};

struct LocalPrinterProcessor {
  std::string printerName;
  std::string printProcessor;
};

// Environment names are null for the local environment.
class SpoolerAccess {
 public:
  virtual ~SpoolerAccess() = default;
  // With all-access rights; 0 when it cannot be opened.
  virtual PrinterHandle openPrinter(const std::string& name) = 0;
  virtual void closePrinter(PrinterHandle printer) = 0;
  // Up to maxJobs job ids from job 0, level 1.
  virtual std::vector<std::uint32_t> jobIds(PrinterHandle printer, unsigned maxJobs) = 0;
  virtual bool controlJob(PrinterHandle printer, std::uint32_t jobId, unsigned command) = 0;
  // String printer data of at most maxBytes; nothing when it cannot be read.
  virtual std::optional<std::string> printerData(PrinterHandle printer, const std::string& valueName,
                                                 unsigned maxBytes) = 0;
  virtual bool deletePrinter(PrinterHandle printer) = 0;
  virtual bool deletePrinterConnection(const std::string& name) = 0;
  // Reads level 2, sets the default attribute bit (4) and writes it back.
  virtual bool setDefaultAttribute(PrinterHandle printer) = 0;
  virtual std::optional<PrinterSettings> printerSettings(PrinterHandle printer) = 0;
  // The driver's main file (level-2 driver information).
  virtual std::optional<std::string> driverFile(PrinterHandle printer) = 0;

  virtual std::vector<std::string> installedDrivers(const char* environment) = 0;
  virtual bool deleteDriver(const char* environment, const std::string& driver) = 0;
  virtual bool deleteMonitor(const char* environment, const std::string& monitor) = 0;
  virtual std::vector<std::string> installedPrintProcessors(const char* environment) = 0;
  virtual bool deletePrintProcessor(const char* environment, const std::string& processor) = 0;
  // Local printers at level 2.
  virtual std::vector<LocalPrinterProcessor> localPrinters() = 0;
  // Level 2 read, one field changed, written back.
  virtual bool setPrintProcessor(const std::string& printerName, const std::string& processor) = 0;
  virtual bool setDataType(const std::string& printerName, const std::string& dataType) = 0;
};

enum class RegistryRoot { LocalMachine, ClassesRoot, CurrentUser, Users };

enum class SubKeyEnumeration { Found, NoMoreItems, Failed };

class RegistryAccess {
 public:
  virtual ~RegistryAccess() = default;
  virtual bool keyOpens(RegistryRoot root, const std::string& key) = 0;
  virtual SubKeyEnumeration subKeyAt(RegistryRoot root, const std::string& key, unsigned index,
                                     std::string& name) = 0;
  // The key alone; fails while it has sub keys where Windows says so.
  virtual bool deleteKey(RegistryRoot root, const std::string& key) = 0;
  // Opens key with all access (0xF003F) and deletes the value; false when
  // the key does not open or the value is not there.
  virtual bool deleteValue(RegistryRoot root, const std::string& key, const std::string& valueName) = 0;
  virtual std::optional<std::string> readString(RegistryRoot root, const std::string& key,
                                                const std::string& valueName, unsigned maxBytes) = 0;
  // Name and string data of every value, in enumeration order.
  virtual std::vector<std::pair<std::string, std::string>> values(RegistryRoot root, const std::string& key) = 0;
};

struct DirectoryEntry {
  std::string name;
  bool directory = false;
  // A junction or symbolic link: what it leads to is not the folder's own.
  bool link = false;
};

class FileSystemAccess {
 public:
  virtual ~FileSystemAccess() = default;
  // 0 when deleted, else the system error code.
  virtual unsigned long deleteFile(const std::string& path) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  // The path, however spelt, names a directory.
  virtual bool isDirectory(const std::string& path) = 0;
  // The full path of an existing file or directory with every component in
  // its long form and every junction or symbolic link on the way followed;
  // nothing when it cannot be resolved.
  virtual std::optional<std::string> longPathName(const std::string& path) = 0;
  // Every entry of directory ("*.*"), "." and ".." included.
  virtual std::vector<DirectoryEntry> list(const std::string& directory) = 0;
  // Succeeds only when the directory is empty.
  virtual bool removeDirectory(const std::string& path) = 0;
  // A move with the delay-until-reboot option and no target.
  virtual bool deleteAtRestart(const std::string& path) = 0;
  virtual std::optional<std::string> readFile(const std::string& path) = 0;
  // Replaces the contents, cutting the file at the new end.
  virtual bool writeFile(const std::string& path, const std::string& contents) = 0;
};

enum class SettingChangeBroadcast {
  Plain,                    // platform class 1: no parameters
  WindowsSectionTimeout,    // consumer Windows: section "windows", 1000 ms per window
  NoSectionTimeout,         // NT family: no section, 1000 ms per window
};

// INI files through the operating system's profile functions.
class ProfileAccess {
 public:
  virtual ~ProfileAccess() = default;
  virtual void writePrivateString(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& value) = 0;
  virtual std::string readUserString(const std::string& section, const std::string& key, unsigned maxChars) = 0;
  virtual void writeUserString(const std::string& section, const std::string& key, const std::string& value) = 0;
  virtual void flushUserProfile() = 0;
  virtual void broadcastSettingChange(SettingChangeBroadcast kind) = 0;
};

// The program manager's DDE interface (service and topic "PROGMAN").
class ProgramManagerAccess {
 public:
  virtual ~ProgramManagerAccess() = default;
  // Sends command (its zero included) as an execute transaction; true when
  // the transaction returned data.
  virtual bool execute(const char* command) = 0;
};

enum class ServiceDeletion { Deleted, AlreadyMarked, Failed };

class ServiceAccess {
 public:
  virtual ~ServiceAccess() = default;
  virtual bool openManager() = 0;
  virtual ServiceDeletion deleteService(const std::string& name) = 0;
  virtual void closeManager() = 0;
};

class HookAccess {
 public:
  virtual ~HookAccess() = default;
  // Loads the library from its own directory, calls the export as a
  // command-style entry point with the program's directory, waits, unloads.
  virtual void callHook(const std::string& libraryPath, const std::string& exportName,
                        const std::string& programDirectory) = 0;
};

class UserNotices {
 public:
  virtual ~UserNotices() = default;
  // A message box with an OK button.
  virtual void show(const std::string& text, const std::string& caption) = 0;
};

struct RemovalPlatform {
  SpoolerAccess& spooler;
  RegistryAccess& registry;
  FileSystemAccess& files;
  ProfileAccess& profiles;
  ProgramManagerAccess& programManager;
  ServiceAccess& services;
  HookAccess& hooks;
  UserNotices& notices;
};
