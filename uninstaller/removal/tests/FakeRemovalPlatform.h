#pragma once

// An in-memory Windows for the removal phases: a spooler, a registry, a
// file system and the rest, each recording what was done to it.

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RemovalContext.h"
#include "StreamScriptStorage.h"
#include "TextCompare.h"

namespace fake {

inline std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

inline std::string environmentName(const char* environment) { return environment ? environment : "local"; }

struct Printer {
  explicit Printer(std::string printerName) : name(std::move(printerName)) {}
  std::string name;
  std::vector<std::uint32_t> jobs;
  std::map<std::string, std::string> data;
  std::string port = "LPT1:";
  std::string printProcessor = "WinPrint";
  std::string dataType = "RAW";
  std::string driverFile;
  bool opens = true;
  bool deletable = true;
  bool movable = true;
  bool defaultAttribute = false;
};

class Spooler : public SpoolerAccess {
 public:
  std::vector<Printer> printers;
  std::set<std::string> connections;
  std::map<std::string, std::vector<std::string>> drivers;     // by environment
  std::map<std::string, std::vector<std::string>> processors;  // by environment
  std::set<std::string> undeletableDrivers;
  std::vector<std::string> log;

  Printer* find(const std::string& name) {
    for (Printer& printer : printers)
      if (EqualsIgnoringCase(printer.name, name)) return &printer;
    return nullptr;
  }

  PrinterHandle openPrinter(const std::string& name) override {
    for (std::size_t i = 0; i < printers.size(); ++i)
      if (EqualsIgnoringCase(printers[i].name, name) && printers[i].opens) return i + 1;
    return 0;
  }
  void closePrinter(PrinterHandle) override {}
  std::vector<std::uint32_t> jobIds(PrinterHandle printer, unsigned maxJobs) override {
    std::vector<std::uint32_t>& jobs = at(printer).jobs;
    return {jobs.begin(), jobs.begin() + std::min<std::size_t>(jobs.size(), maxJobs)};
  }
  bool controlJob(PrinterHandle printer, std::uint32_t jobId, unsigned command) override {
    log.push_back("job " + at(printer).name + " " + std::to_string(jobId) + " " + std::to_string(command));
    if (command == 5) {
      std::vector<std::uint32_t>& jobs = at(printer).jobs;
      jobs.erase(std::remove(jobs.begin(), jobs.end(), jobId), jobs.end());
    }
    return true;
  }
  std::optional<std::string> printerData(PrinterHandle printer, const std::string& valueName, unsigned) override {
    auto found = at(printer).data.find(valueName);
    if (found == at(printer).data.end()) return std::nullopt;
    return found->second;
  }
  bool deletePrinter(PrinterHandle printer) override {
    Printer& target = at(printer);
    if (!target.deletable) return false;
    log.push_back("delete printer " + target.name);
    target.opens = false;
    return true;
  }
  bool deletePrinterConnection(const std::string& name) override {
    log.push_back("delete connection " + name);
    return connections.erase(name) > 0;
  }
  bool setDefaultAttribute(PrinterHandle printer) override {
    at(printer).defaultAttribute = true;
    log.push_back("default attribute " + at(printer).name);
    return true;
  }
  std::optional<PrinterSettings> printerSettings(PrinterHandle printer) override {
    return PrinterSettings{at(printer).port, at(printer).printProcessor};
  }
  std::optional<std::string> driverFile(PrinterHandle printer) override {
    if (at(printer).driverFile.empty()) return std::nullopt;
    return at(printer).driverFile;
  }
  std::vector<std::string> installedDrivers(const char* environment) override {
    return drivers[environmentName(environment)];
  }
  bool deleteDriver(const char* environment, const std::string& driver) override {
    log.push_back("delete driver " + environmentName(environment) + " " + driver);
    return !undeletableDrivers.count(driver);
  }
  bool deleteMonitor(const char* environment, const std::string& monitor) override {
    log.push_back("delete monitor " + environmentName(environment) + " " + monitor);
    return true;
  }
  std::vector<std::string> installedPrintProcessors(const char* environment) override {
    return processors[environmentName(environment)];
  }
  bool deletePrintProcessor(const char* environment, const std::string& processor) override {
    log.push_back("delete processor " + environmentName(environment) + " " + processor);
    return true;
  }
  std::vector<LocalPrinterProcessor> localPrinters() override {
    std::vector<LocalPrinterProcessor> result;
    for (const Printer& printer : printers)
      if (printer.opens) result.push_back({printer.name, printer.printProcessor});
    return result;
  }
  bool setPrintProcessor(const std::string& printerName, const std::string& processor) override {
    Printer* printer = find(printerName);
    if (!printer || !printer->movable) return false;
    printer->printProcessor = processor;
    return true;
  }
  bool setDataType(const std::string& printerName, const std::string& dataType) override {
    Printer* printer = find(printerName);
    if (!printer) return false;
    printer->dataType = dataType;
    return true;
  }

 private:
  Printer& at(PrinterHandle handle) { return printers.at(handle - 1); }
};

inline const char* rootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::LocalMachine:
      return "HKLM";
    case RegistryRoot::ClassesRoot:
      return "HKCR";
    case RegistryRoot::CurrentUser:
      return "HKCU";
    case RegistryRoot::Users:
      return "HKU";
  }
  return "?";
}

// Keys as "HKLM\Path\To\Key", compared case-insensitively; a key with sub
// keys cannot be deleted, as on the NT family.
class Registry : public RegistryAccess {
 public:
  std::map<std::string, std::string> keys;  // lower-cased full path -> spelling
  std::map<std::string, std::map<std::string, std::string>> valuesByKey;  // lower-cased key -> name -> data
  std::vector<std::string> log;

  static std::string full(RegistryRoot root, const std::string& key) {
    return key.empty() ? rootName(root) : std::string(rootName(root)) + "\\" + key;
  }
  void addKey(const std::string& path) {
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
      keys.emplace(lower(path.substr(0, at)), path.substr(0, at));
    keys.emplace(lower(path), path);
  }
  void setValue(const std::string& key, const std::string& name, const std::string& data) {
    addKey(key);
    valuesByKey[lower(key)][name] = data;
  }
  bool hasKey(const std::string& path) const { return keys.count(lower(path)) > 0; }
  bool hasValue(const std::string& key, const std::string& name) const {
    auto found = valuesByKey.find(lower(key));
    return found != valuesByKey.end() && found->second.count(name) > 0;
  }
  std::vector<std::string> children(const std::string& path) const {
    std::vector<std::string> result;
    const std::string prefix = lower(path) + "\\";
    for (const auto& [key, spelling] : keys)
      if (key.compare(0, prefix.size(), prefix) == 0 && key.find('\\', prefix.size()) == std::string::npos)
        result.push_back(spelling.substr(prefix.size()));
    return result;
  }

  bool keyOpens(RegistryRoot root, const std::string& key) override { return hasKey(full(root, key)); }
  SubKeyEnumeration subKeyAt(RegistryRoot root, const std::string& key, unsigned index, std::string& name) override {
    if (!hasKey(full(root, key))) return SubKeyEnumeration::Failed;
    std::vector<std::string> list = children(full(root, key));
    if (index >= list.size()) return SubKeyEnumeration::NoMoreItems;
    name = list[index];
    return SubKeyEnumeration::Found;
  }
  bool deleteKey(RegistryRoot root, const std::string& key) override {
    const std::string path = full(root, key);
    log.push_back("delete key " + path);
    if (key.empty() || !hasKey(path) || !children(path).empty()) return false;
    keys.erase(lower(path));
    valuesByKey.erase(lower(path));
    return true;
  }
  bool deleteValue(RegistryRoot root, const std::string& key, const std::string& valueName) override {
    const std::string path = full(root, key);
    log.push_back("delete value " + path + " " + valueName);
    if (!hasKey(path)) return false;
    return valuesByKey[lower(path)].erase(valueName) > 0;
  }
  std::optional<std::string> readString(RegistryRoot root, const std::string& key, const std::string& valueName,
                                        unsigned) override {
    auto found = valuesByKey.find(lower(full(root, key)));
    if (found == valuesByKey.end() || !found->second.count(valueName)) return std::nullopt;
    return found->second.at(valueName);
  }
  std::vector<std::pair<std::string, std::string>> values(RegistryRoot root, const std::string& key) override {
    auto found = valuesByKey.find(lower(full(root, key)));
    if (found == valuesByKey.end()) return {};
    return {found->second.begin(), found->second.end()};
  }
};

// Paths like "C:\WINDOWS\x.dll"; directories are kept without their
// trailing backslash.
class FileSystem : public FileSystemAccess {
 public:
  std::map<std::string, std::string> files;  // lower-cased path -> contents
  std::map<std::string, std::string> spelling;
  std::set<std::string> directories;  // lower-cased
  std::set<std::string> locked;       // lower-cased: deletion fails with error 32
  std::set<std::string> unreadable;   // lower-cased: reading fails
  std::map<std::string, std::string> shortNames;  // lower-cased short path -> long path
  std::set<std::string> links;                      // lower-cased directories that are junctions
  std::vector<std::string> deletedAtRestart;
  std::vector<std::string> log;

  static std::string trimmed(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
  }
  // As Windows reads a path: either separator, "." and ".." resolved,
  // trailing dots and spaces dropped from each component.
  static std::string resolved(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    auto finish = [&] {
      while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." && part != "..") part.pop_back();
      if (part == "..") {
        if (parts.size() > 1) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      part.clear();
    };
    for (char c : path) {
      if (c == '\\' || c == '/')
        finish();
      else
        part += c;
    }
    finish();
    std::string result;
    for (const std::string& each : parts) result += (result.empty() ? "" : "\\") + each;
    return result;
  }
  bool isDirectory(const std::string& path) override { return hasDirectory(resolved(path)); }
  std::optional<std::string> longPathName(const std::string& path) override {
    std::string full = resolved(path);
    for (const auto& [shortPath, longPath] : shortNames) {
      const std::string lowered = lower(full);
      if (lowered == shortPath || lowered.rfind(shortPath + "\\", 0) == 0) full = longPath + full.substr(shortPath.size());
    }
    if (!hasDirectory(full) && !has(full)) return std::nullopt;
    return full;
  }
  void addDirectory(const std::string& path) {
    std::string directory = trimmed(path);
    for (std::size_t at = directory.find('\\', 3); at != std::string::npos; at = directory.find('\\', at + 1))
      directories.insert(lower(directory.substr(0, at)));
    directories.insert(lower(directory));
  }
  void addFile(const std::string& path, const std::string& contents = "x") {
    addDirectory(path.substr(0, path.rfind('\\')));
    files[lower(path)] = contents;
    spelling[lower(path)] = path;
  }
  bool has(const std::string& path) const { return files.count(lower(path)) > 0; }
  bool hasDirectory(const std::string& path) const { return directories.count(lower(trimmed(path))) > 0; }
  std::string contents(const std::string& path) const { return has(path) ? files.at(lower(path)) : std::string(); }

  unsigned long deleteFile(const std::string& path) override {
    log.push_back("delete " + path);
    if (isDirectory(path)) return 5;
    if (locked.count(lower(path))) return 32;
    if (!has(path)) return hasDirectory(path.substr(0, path.rfind('\\'))) ? 2 : 3;
    files.erase(lower(path));
    return 0;
  }
  bool fileExists(const std::string& path) override { return has(path); }
  std::vector<DirectoryEntry> list(const std::string& directory) override {
    log.push_back("list " + directory);
    std::vector<DirectoryEntry> entries;
    const std::string prefix = lower(trimmed(directory)) + "\\";
    if (!hasDirectory(directory)) return entries;
    entries.push_back({".", true});
    entries.push_back({"..", true});
    for (const auto& [path, text] : files)
      if (path.compare(0, prefix.size(), prefix) == 0 && path.find('\\', prefix.size()) == std::string::npos)
        entries.push_back({spelling.at(path).substr(prefix.size()), false});
    for (const std::string& path : directories)
      if (path.compare(0, prefix.size(), prefix) == 0 && path.find('\\', prefix.size()) == std::string::npos)
        entries.push_back({path.substr(prefix.size()), true, links.count(path) > 0});
    return entries;
  }
  bool removeDirectory(const std::string& path) override {
    const std::string directory = lower(trimmed(path));
    log.push_back("rmdir " + trimmed(path));
    if (!directories.count(directory)) return false;
    const std::string prefix = directory + "\\";
    for (const auto& [file, text] : files)
      if (file.compare(0, prefix.size(), prefix) == 0) return false;
    for (const std::string& other : directories)
      if (other.compare(0, prefix.size(), prefix) == 0) return false;
    directories.erase(directory);
    return true;
  }
  bool deleteAtRestart(const std::string& path) override {
    deletedAtRestart.push_back(path);
    return true;
  }
  std::optional<std::string> readFile(const std::string& path) override {
    if (!has(path) || unreadable.count(lower(path))) return std::nullopt;
    return contents(path);
  }
  bool writeFile(const std::string& path, const std::string& text) override {
    addFile(path, text);
    return true;
  }
};

class Profiles : public ProfileAccess {
 public:
  std::map<std::string, std::string> user;  // "section/key" lower-cased
  std::vector<std::string> privateWrites;   // "file [section] key=value"
  std::vector<SettingChangeBroadcast> broadcasts;
  int flushes = 0;

  void writePrivateString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& value) override {
    privateWrites.push_back(file + " [" + section + "] " + key + "=" + value);
  }
  std::string readUserString(const std::string& section, const std::string& key, unsigned) override {
    auto found = user.find(lower(section + "/" + key));
    return found == user.end() ? std::string() : found->second;
  }
  void writeUserString(const std::string& section, const std::string& key, const std::string& value) override {
    user[lower(section + "/" + key)] = value;
  }
  void flushUserProfile() override { ++flushes; }
  void broadcastSettingChange(SettingChangeBroadcast kind) override { broadcasts.push_back(kind); }
};

class ProgramManager : public ProgramManagerAccess {
 public:
  std::vector<std::string> commands;
  bool answers = true;
  bool execute(const char* command) override {
    commands.emplace_back(command);
    return answers;
  }
};

class Services : public ServiceAccess {
 public:
  std::map<std::string, ServiceDeletion> results;
  std::vector<std::string> deleted;
  bool managerOpens = true;
  bool openManager() override { return managerOpens; }
  ServiceDeletion deleteService(const std::string& name) override {
    deleted.push_back(name);
    auto found = results.find(name);
    return found == results.end() ? ServiceDeletion::Failed : found->second;
  }
  void closeManager() override {}
};

class Hooks : public HookAccess {
 public:
  std::vector<std::string> calls;
  void callHook(const std::string& libraryPath, const std::string& exportName,
                const std::string& programDirectory) override {
    calls.push_back(libraryPath + " " + exportName + " " + programDirectory);
  }
};

class Notices : public UserNotices {
 public:
  std::vector<std::string> shown;
  void show(const std::string& text, const std::string& caption) override { shown.push_back(caption + ": " + text); }
};

// A machine with the usual directories; os decides the platform branch.
struct Machine {
  Spooler spooler;
  Registry registry;
  FileSystem files;
  Profiles profiles;
  ProgramManager programManager;
  Services services;
  Hooks hooks;
  Notices notices;
  RemovalPlatform platform{spooler, registry, files, profiles, programManager, services, hooks, notices};
  std::vector<std::string> trace;

  static std::string directoryFor(int code) {
    switch (code) {
      case 2: return "C:\\PROGRAM\\";
      case 3: return "C:\\WINDOWS\\";
      case 4: return "C:\\WINDOWS\\SYSTEM32\\";
      case 17: return "C:\\MENU\\PROGRAMS\\";
      case 21: return "C:\\MENU\\STARTUP\\";
      case 22: return "C:\\MENU\\ALTSTARTUP\\";
      case 23: return "C:\\ALLMENU\\STARTUP\\";
      case 24: return "C:\\ALLMENU\\ALTSTARTUP\\";
      case 26: return "C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\";
      case 27: return "C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\WIN40\\";
      case 28:
      case 29: return "C:\\WINDOWS\\SYSTEM32\\SPOOL\\PRTPROCS\\W32X86\\";
      case 30: return "C:\\PROGRAM FILES\\";
      case 32: return "C:\\ALLMENU\\PROGRAMS\\";
      case 33: return "C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\COLOR\\";
      case 35: return "C:\\WINDOWS\\INF\\";
      default: return "";
    }
  }

  static std::string textFor(unsigned id) {
    switch (id) {
      case 51: return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
      case 159: return "no printer left";
      case 160: return "new default '%s'";
      case 161: return "Uninstall";
      default: return "";
    }
  }

  RemovalContext context(UninstallDatabase& database, OsInfo os) {
    return RemovalContext{database,
                          platform,
                          os,
                          directoryFor(3),
                          directoryFor(2),
                          directoryFor(26),
                          directoryFor,
                          textFor,
                          [this](const std::string& line) { trace.push_back(line); },
                          {"C:\\PROGRAM FILES (X86)\\", "C:\\WINDOWS\\SYSWOW64\\", "C:\\WINDOWS\\SYSNATIVE\\"}};
  }
};

inline OsInfo ntFamily() { return OsInfo{3, 6}; }
inline OsInfo nt4() { return OsInfo{3, 5}; }
inline OsInfo consumerWindows(int versionCode = 3) { return OsInfo{2, versionCode}; }
inline OsInfo platformClass1() { return OsInfo{1, 1}; }

inline InstalledPrinter printer(const std::string& name, const std::string& driver, bool keep = false,
                                bool isDefault = false) {
  InstalledPrinter result;
  result.name = name;
  result.driver = driver;
  result.ours = true;
  result.keep = keep;
  result.isDefault = isDefault;
  return result;
}

// Reads one script given as text into database and collects the selected set.
inline void loadScript(UninstallDatabase& database, const std::string& text) {
  struct TextStorage : StreamScriptStorage {
    std::string text;
    bool ReadWholeFile(const std::string&, std::string& contents) override {
      contents = text;
      return true;
    }
  } storage;
  storage.text = text;
  database.ReadScript("C:\\WINDOWS\\SYSTEM32\\Xunz___Z.unm", storage);
  database.CollectSelectedSet();
}

}  // namespace fake
