#include "Win32RemovalPlatform.h"

#include <ddeml.h>
#include <shlobj.h>
#include <winspool.h>

#include <vector>

#include "DirectoryResolver.h"

namespace {

HANDLE handleOf(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }

LPSTR mutableText(const std::string& text) { return const_cast<LPSTR>(text.c_str()); }
LPSTR mutableText(const char* text) { return const_cast<LPSTR>(text); }

// Level-2 printer information, size first.
std::vector<BYTE> printerInfo2(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  if (needed == 0) return {};
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed)) return {};
  return buffer;
}

// Opens name, changes one field of its level-2 information and writes it back.
template <typename Change>
bool changePrinter(const std::string& name, Change change) {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterA(mutableText(name), &printer, &all)) return false;
  bool changed = false;
  std::vector<BYTE> buffer = printerInfo2(printer);
  if (!buffer.empty()) {
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    change(*info);
    // The security descriptor is not ours to rewrite.
    info->pSecurityDescriptor = nullptr;
    changed = SetPrinterA(printer, 2, buffer.data(), 0) != FALSE;
  }
  ClosePrinter(printer);
  return changed;
}

// An enumeration with a sizing call first; a zero size means nothing to do.
template <typename Enumerate>
std::vector<BYTE> enumerate(Enumerate call, DWORD& count) {
  DWORD needed = 0;
  count = 0;
  call(nullptr, 0, &needed, &count);
  if (needed == 0) return {};
  std::vector<BYTE> buffer(needed);
  if (!call(buffer.data(), needed, &needed, &count)) {
    count = 0;
    return {};
  }
  return buffer;
}

HKEY rootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::Users:
      return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

constexpr REGSAM kRegistryAllAccess = 0xF003F;
constexpr DWORD kServiceManagerAccess = 2;
constexpr DWORD kServiceAllAccess = 0xF01FF;
constexpr DWORD kServiceMarkedForDelete = 1072;

std::string withoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

HDDEDATA CALLBACK ignoreDdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

}  // namespace

PrinterHandle Win32Spooler::openPrinter(const std::string& name) {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterA(mutableText(name), &printer, &all)) return 0;
  return reinterpret_cast<PrinterHandle>(printer);
}

void Win32Spooler::closePrinter(PrinterHandle printer) { ClosePrinter(handleOf(printer)); }

std::vector<std::uint32_t> Win32Spooler::jobIds(PrinterHandle printer, unsigned maxJobs) {
  DWORD count = 0;
  std::vector<BYTE> buffer = enumerate(
      [&](BYTE* data, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumJobsA(handleOf(printer), 0, maxJobs, 1, data, size, needed, returned);
      },
      count);
  std::vector<std::uint32_t> jobs;
  const auto* infos = reinterpret_cast<const JOB_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) jobs.push_back(infos[i].JobId);
  return jobs;
}

bool Win32Spooler::controlJob(PrinterHandle printer, std::uint32_t jobId, unsigned command) {
  return SetJobA(handleOf(printer), jobId, 0, nullptr, command) != FALSE;
}

std::optional<std::string> Win32Spooler::printerData(PrinterHandle printer, const std::string& valueName,
                                                     unsigned maxBytes) {
  std::vector<BYTE> data(maxBytes + 1, 0);
  DWORD type = 0;
  DWORD needed = 0;
  if (GetPrinterDataA(handleOf(printer), mutableText(valueName), &type, data.data(), maxBytes, &needed) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::string(reinterpret_cast<const char*>(data.data()));
}

bool Win32Spooler::deletePrinter(PrinterHandle printer) { return DeletePrinter(handleOf(printer)) != FALSE; }

bool Win32Spooler::deletePrinterConnection(const std::string& name) {
  return DeletePrinterConnectionA(mutableText(name)) != FALSE;
}

bool Win32Spooler::setDefaultAttribute(PrinterHandle printer) {
  std::vector<BYTE> buffer = printerInfo2(handleOf(printer));
  if (buffer.empty()) return false;
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  info->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  info->pSecurityDescriptor = nullptr;
  return SetPrinterA(handleOf(printer), 2, buffer.data(), 0) != FALSE;
}

std::optional<PrinterSettings> Win32Spooler::printerSettings(PrinterHandle printer) {
  std::vector<BYTE> buffer = printerInfo2(handleOf(printer));
  if (buffer.empty()) return std::nullopt;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  return PrinterSettings{info->pPortName ? info->pPortName : "", info->pPrintProcessor ? info->pPrintProcessor : ""};
}

std::optional<std::string> Win32Spooler::driverFile(PrinterHandle printer) {
  DWORD needed = 0;
  GetPrinterDriverA(handleOf(printer), nullptr, 2, nullptr, 0, &needed);
  if (needed == 0) return std::nullopt;
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterDriverA(handleOf(printer), nullptr, 2, buffer.data(), needed, &needed)) return std::nullopt;
  const auto* info = reinterpret_cast<const DRIVER_INFO_2A*>(buffer.data());
  if (!info->pDriverPath) return std::nullopt;
  return std::string(info->pDriverPath);
}

std::vector<std::string> Win32Spooler::installedDrivers(const char* environment) {
  DWORD count = 0;
  std::vector<BYTE> buffer = enumerate(
      [&](BYTE* data, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrinterDriversA(nullptr, mutableText(environment), 2, data, size, needed, returned);
      },
      count);
  std::vector<std::string> names;
  const auto* infos = reinterpret_cast<const DRIVER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (infos[i].pName) names.emplace_back(infos[i].pName);
  return names;
}

bool Win32Spooler::deleteDriver(const char* environment, const std::string& driver) {
  return DeletePrinterDriverA(nullptr, mutableText(environment), mutableText(driver)) != FALSE;
}

bool Win32Spooler::deleteMonitor(const char* environment, const std::string& monitor) {
  return DeleteMonitorA(nullptr, mutableText(environment), mutableText(monitor)) != FALSE;
}

std::vector<std::string> Win32Spooler::installedPrintProcessors(const char* environment) {
  DWORD count = 0;
  std::vector<BYTE> buffer = enumerate(
      [&](BYTE* data, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrintProcessorsA(nullptr, mutableText(environment), 1, data, size, needed, returned);
      },
      count);
  std::vector<std::string> names;
  const auto* infos = reinterpret_cast<const PRINTPROCESSOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (infos[i].pName) names.emplace_back(infos[i].pName);
  return names;
}

bool Win32Spooler::deletePrintProcessor(const char* environment, const std::string& processor) {
  return DeletePrintProcessorA(nullptr, mutableText(environment), mutableText(processor)) != FALSE;
}

std::vector<LocalPrinterProcessor> Win32Spooler::localPrinters() {
  DWORD count = 0;
  std::vector<BYTE> buffer = enumerate(
      [&](BYTE* data, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, returned);
      },
      count);
  std::vector<LocalPrinterProcessor> printers;
  const auto* infos = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    printers.push_back({infos[i].pPrinterName ? infos[i].pPrinterName : "",
                        infos[i].pPrintProcessor ? infos[i].pPrintProcessor : ""});
  return printers;
}

bool Win32Spooler::setPrintProcessor(const std::string& printerName, const std::string& processor) {
  return changePrinter(printerName, [&](PRINTER_INFO_2A& info) { info.pPrintProcessor = mutableText(processor); });
}

bool Win32Spooler::setDataType(const std::string& printerName, const std::string& dataType) {
  return changePrinter(printerName, [&](PRINTER_INFO_2A& info) { info.pDatatype = mutableText(dataType); });
}

bool Win32Registry::keyOpens(RegistryRoot root, const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(rootKey(root), key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

SubKeyEnumeration Win32Registry::subKeyAt(RegistryRoot root, const std::string& key, unsigned index,
                                          std::string& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(rootKey(root), key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return SubKeyEnumeration::Failed;
  char buffer[261] = {};
  LONG status = RegEnumKeyA(opened, index, buffer, sizeof buffer);
  RegCloseKey(opened);
  if (status == ERROR_NO_MORE_ITEMS) return SubKeyEnumeration::NoMoreItems;
  if (status != ERROR_SUCCESS) return SubKeyEnumeration::Failed;
  name = buffer;
  return SubKeyEnumeration::Found;
}

bool Win32Registry::deleteKey(RegistryRoot root, const std::string& key) {
  // An empty sub key would name the root itself.
  if (key.empty()) return false;
  return RegDeleteKeyA(rootKey(root), key.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(RegistryRoot root, const std::string& key, const std::string& valueName) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(rootKey(root), key.c_str(), 0, kRegistryAllAccess, &opened) != ERROR_SUCCESS) return false;
  const bool deleted = RegDeleteValueA(opened, valueName.c_str()) == ERROR_SUCCESS;
  RegCloseKey(opened);
  return deleted;
}

std::optional<std::string> Win32Registry::readString(RegistryRoot root, const std::string& key,
                                                     const std::string& valueName, unsigned maxBytes) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(rootKey(root), key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
  std::vector<BYTE> data(maxBytes + 1, 0);
  DWORD size = maxBytes;
  DWORD type = 0;
  LONG status = RegQueryValueExA(opened, valueName.c_str(), nullptr, &type, data.data(), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(data.data()));
}

std::vector<std::pair<std::string, std::string>> Win32Registry::values(RegistryRoot root, const std::string& key) {
  std::vector<std::pair<std::string, std::string>> result;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(rootKey(root), key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return result;
  for (DWORD index = 0;; ++index) {
    char name[260] = {};
    BYTE data[261] = {};
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data - 1;
    DWORD type = 0;
    LONG status = RegEnumValueA(opened, index, name, &nameSize, nullptr, &type, data, &dataSize);
    if (status == ERROR_MORE_DATA) continue;  // longer than a path: not a directory
    if (status != ERROR_SUCCESS) break;
    if (type == REG_SZ || type == REG_EXPAND_SZ) result.emplace_back(name, reinterpret_cast<const char*>(data));
  }
  RegCloseKey(opened);
  return result;
}

unsigned long Win32FileSystem::deleteFile(const std::string& path) {
  if (DeleteFileA(path.c_str())) return 0;
  return GetLastError();
}

bool Win32FileSystem::fileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::isDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

using FinalPathNameFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

// The path with every junction and symbolic link followed, which
// GetLongPathName leaves as they are ("C:\Documents and Settings" stays
// itself). Windows before Vista has no such call and no such links of its
// own: the long name is all there is.
std::optional<std::string> finalPathName(const std::string& path) {
  const auto function = reinterpret_cast<FinalPathNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (!function) return path;
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE handle = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  char resolved[MAX_PATH] = "";
  const DWORD length = function(handle, resolved, sizeof resolved, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(handle);
  if (length == 0 || length >= sizeof resolved) return std::nullopt;
  const std::string result = resolved;
  if (result.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + result.substr(8);
  if (result.rfind("\\\\?\\", 0) == 0) return result.substr(4);
  return result;
}

}  // namespace

std::optional<std::string> Win32FileSystem::longPathName(const std::string& path) {
  char full[MAX_PATH] = "";
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return std::nullopt;
  char longName[MAX_PATH] = "";
  length = GetLongPathNameA(full, longName, sizeof longName);
  if (length == 0 || length >= sizeof longName) return std::nullopt;
  return finalPathName(longName);
}

std::vector<DirectoryEntry> Win32FileSystem::list(const std::string& directory) {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((directory + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

bool Win32FileSystem::removeDirectory(const std::string& path) {
  return RemoveDirectoryA(withoutTrailingBackslash(path).c_str()) != FALSE;
}

bool Win32FileSystem::deleteAtRestart(const std::string& path) {
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

std::optional<std::string> Win32FileSystem::readFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string contents;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) contents.append(buffer, read);
  CloseHandle(file);
  return contents;
}

bool Win32FileSystem::writeFile(const std::string& path, const std::string& contents) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = contents.empty() ||
            (WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
             written == contents.size());
  ok = SetEndOfFile(file) && ok;
  // On the disk before the phases go on: the removal record must outlast a
  // power loss in the phases that follow it, WININIT.INI one before the
  // restart.
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  return ok;
}

void Win32Profiles::writePrivateString(const std::string& file, const std::string& section, const std::string& key,
                                       const std::string& value) {
  WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

std::string Win32Profiles::readUserString(const std::string& section, const std::string& key, unsigned maxChars) {
  std::vector<char> buffer(maxChars + 1, 0);
  GetProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), maxChars + 1);
  return buffer.data();
}

void Win32Profiles::writeUserString(const std::string& section, const std::string& key, const std::string& value) {
  WriteProfileStringA(section.c_str(), key.c_str(), value.c_str());
}

void Win32Profiles::flushUserProfile() { WriteProfileStringA(nullptr, nullptr, nullptr); }

void Win32Profiles::broadcastSettingChange(SettingChangeBroadcast kind) {
  DWORD_PTR result = 0;
  switch (kind) {
    case SettingChangeBroadcast::Plain:
      SendMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
      break;
    case SettingChangeBroadcast::WindowsSectionTimeout:
      SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("windows"), SMTO_NORMAL, 1000,
                          &result);
      break;
    case SettingChangeBroadcast::NoSectionTimeout:
      SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_NORMAL, 1000, &result);
      break;
  }
}

bool Win32ProgramManager::execute(const char* command) {
  DWORD instance = 0;
  if (DdeInitializeA(&instance, ignoreDdeCallback, APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR)
    return false;
  bool done = false;
  // Without the name a connect would take any service and topic that answers.
  if (HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI)) {
    if (HCONV conversation = DdeConnect(instance, name, name, nullptr)) {
      const DWORD length = static_cast<DWORD>(lstrlenA(command)) + 1;
      done = DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)), length, conversation,
                                  nullptr, CF_TEXT, XTYP_EXECUTE, 5000, nullptr) != nullptr;
      DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, name);
  }
  DdeUninitialize(instance);
  return done;
}

bool Win32Services::openManager() {
  closeManager();
  manager_ = OpenSCManagerA(nullptr, nullptr, kServiceManagerAccess);
  return manager_ != nullptr;
}

ServiceDeletion Win32Services::deleteService(const std::string& name) {
  SC_HANDLE service = OpenServiceA(manager_, name.c_str(), kServiceAllAccess);
  if (!service) return ServiceDeletion::Failed;
  ServiceDeletion result = ServiceDeletion::Deleted;
  if (!DeleteService(service))
    result = GetLastError() == kServiceMarkedForDelete ? ServiceDeletion::AlreadyMarked : ServiceDeletion::Failed;
  CloseServiceHandle(service);
  return result;
}

void Win32Services::closeManager() {
  if (manager_) CloseServiceHandle(manager_);
  manager_ = nullptr;
}

void Win32Hooks::callHook(const std::string& libraryPath, const std::string& exportName,
                          const std::string& programDirectory) {
  using CommandEntry = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);
  const std::string directory = libraryPath.substr(0, libraryPath.find_last_of('\\') + 1);
  SetCurrentDirectoryA(directory.c_str());
  if (HMODULE library = LoadLibraryA(libraryPath.c_str())) {
    // Through a void pointer: the export's real type is only known by name.
    if (auto entry = reinterpret_cast<CommandEntry>(
            reinterpret_cast<void*>(GetProcAddress(library, exportName.c_str())))) {
      std::vector<char> argument(programDirectory.begin(), programDirectory.end());
      argument.push_back('\0');
      entry(window_, GetModuleHandleA(nullptr), argument.data(), 0);
    }
    // The hook may have started work of its own; give it a moment.
    Sleep(1000);
    FreeLibrary(library);
  }
  SetCurrentDirectoryA(programDirectory.c_str());
}

void Win32Notices::show(const std::string& text, const std::string& caption) {
  MessageBoxA(owner_, text.c_str(), caption.c_str(), MB_OK);
}

namespace {

std::string shellFolder(int csidl) {
  char path[MAX_PATH] = "";
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? std::string(path)
                                                                                        : std::string();
}

// Under WOW64 a 32-bit program sees Program Files and the system folder
// under one name and reaches the other views by theirs; a 64-bit program
// the other way round. Each is listed when it resolves.
std::vector<std::string> otherFolderViews(const std::string& windowsDirectory) {
  std::vector<std::string> views = {shellFolder(CSIDL_PROGRAM_FILESX86), shellFolder(CSIDL_SYSTEMX86)};
  char nativeProgramFiles[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("ProgramW6432", nativeProgramFiles, sizeof nativeProgramFiles);
  if (length > 0 && length < sizeof nativeProgramFiles) views.emplace_back(nativeProgramFiles);
  if (!windowsDirectory.empty()) views.push_back(windowsDirectory + "Sysnative");
  std::erase(views, std::string());
  return views;
}

}  // namespace

RemovalContext makeWin32RemovalContext(UninstallDatabase& database, RemovalPlatform& platform, const OsInfo& os,
                                       std::function<std::string(unsigned id)> text,
                                       std::function<void(const std::string&)> trace) {
  auto directory = [os](int code) { return resolveDirectoryCode(code, os).directoryPart(); };
  const std::string windowsDirectory = directory(3);
  return RemovalContext{database,         platform,     os, windowsDirectory, directory(2), directory(26), directory,
                        std::move(text),  std::move(trace), otherFolderViews(windowsDirectory)};
}
