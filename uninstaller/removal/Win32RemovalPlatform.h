#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "RemovalContext.h"

// The removal platform on Windows. Spooler and registry calls resolve to
// XSPOOL_Z; files, profiles, DDE, services and hooks go to the system.
class Win32Spooler : public SpoolerAccess {
 public:
  PrinterHandle openPrinter(const std::string& name) override;
  void closePrinter(PrinterHandle printer) override;
  std::vector<std::uint32_t> jobIds(PrinterHandle printer, unsigned maxJobs) override;
  bool controlJob(PrinterHandle printer, std::uint32_t jobId, unsigned command) override;
  std::optional<std::string> printerData(PrinterHandle printer, const std::string& valueName,
                                         unsigned maxBytes) override;
  bool deletePrinter(PrinterHandle printer) override;
  bool deletePrinterConnection(const std::string& name) override;
  bool setDefaultAttribute(PrinterHandle printer) override;
  std::optional<PrinterSettings> printerSettings(PrinterHandle printer) override;
  std::optional<std::string> driverFile(PrinterHandle printer) override;
  std::vector<std::string> installedDrivers(const char* environment) override;
  bool deleteDriver(const char* environment, const std::string& driver) override;
  bool deleteMonitor(const char* environment, const std::string& monitor) override;
  std::vector<std::string> installedPrintProcessors(const char* environment) override;
  bool deletePrintProcessor(const char* environment, const std::string& processor) override;
  std::vector<LocalPrinterProcessor> localPrinters() override;
  bool setPrintProcessor(const std::string& printerName, const std::string& processor) override;
  bool setDataType(const std::string& printerName, const std::string& dataType) override;
};

class Win32Registry : public RegistryAccess {
 public:
  bool keyOpens(RegistryRoot root, const std::string& key) override;
  SubKeyEnumeration subKeyAt(RegistryRoot root, const std::string& key, unsigned index, std::string& name) override;
  bool deleteKey(RegistryRoot root, const std::string& key) override;
  bool deleteValue(RegistryRoot root, const std::string& key, const std::string& valueName) override;
  std::optional<std::string> readString(RegistryRoot root, const std::string& key, const std::string& valueName,
                                        unsigned maxBytes) override;
  std::vector<std::pair<std::string, std::string>> values(RegistryRoot root, const std::string& key) override;
};

class Win32FileSystem : public FileSystemAccess {
 public:
  unsigned long deleteFile(const std::string& path) override;
  bool fileExists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  std::optional<std::string> longPathName(const std::string& path) override;
  std::vector<DirectoryEntry> list(const std::string& directory) override;
  bool removeDirectory(const std::string& path) override;
  bool deleteAtRestart(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  bool writeFile(const std::string& path, const std::string& contents) override;
};

class Win32Profiles : public ProfileAccess {
 public:
  void writePrivateString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& value) override;
  std::string readUserString(const std::string& section, const std::string& key, unsigned maxChars) override;
  void writeUserString(const std::string& section, const std::string& key, const std::string& value) override;
  void flushUserProfile() override;
  void broadcastSettingChange(SettingChangeBroadcast kind) override;
};

class Win32ProgramManager : public ProgramManagerAccess {
 public:
  bool execute(const char* command) override;
};

class Win32Services : public ServiceAccess {
 public:
  ~Win32Services() override { closeManager(); }
  bool openManager() override;
  ServiceDeletion deleteService(const std::string& name) override;
  void closeManager() override;

 private:
  SC_HANDLE manager_ = nullptr;
};

// Hooks get the removal panel's window and message boxes are owned by it.
class Win32Hooks : public HookAccess {
 public:
  void setWindow(HWND window) { window_ = window; }
  void callHook(const std::string& libraryPath, const std::string& exportName,
                const std::string& programDirectory) override;

 private:
  HWND window_ = nullptr;
};

class Win32Notices : public UserNotices {
 public:
  void setOwner(HWND owner) { owner_ = owner; }
  void show(const std::string& text, const std::string& caption) override;

 private:
  HWND owner_ = nullptr;
};

class Win32RemovalPlatform {
 public:
  // The removal panel, once it exists.
  void setWindow(HWND window) {
    hooks_.setWindow(window);
    notices_.setOwner(window);
  }

  Win32Spooler spooler_;
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32Profiles profiles_;
  Win32ProgramManager programManager_;
  Win32Services services_;
  Win32Hooks hooks_;
  Win32Notices notices_;
  RemovalPlatform platform{spooler_,  registry_, files_,  profiles_,
                           programManager_, services_, hooks_, notices_};
};

// The context of the running program: directories resolved through the
// frame's directory codes, texts from text.
RemovalContext makeWin32RemovalContext(UninstallDatabase& database, RemovalPlatform& platform, const OsInfo& os,
                                       std::function<std::string(unsigned id)> text,
                                       std::function<void(const std::string&)> trace);
