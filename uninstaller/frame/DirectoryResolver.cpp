#include <windows.h>
#include <shlobj.h>
#include <winspool.h>

#include "DirectoryCodes.h"
#include "DirectoryResolver.h"

namespace {

PathSpec fromLength(const char* buffer, UINT length, UINT capacity) {
  if (length == 0 || length >= capacity) return PathSpec();
  return PathSpec::fromDirectory(std::string(buffer, length));
}

std::string programFile() {
  char buffer[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

PathSpec windowsDirectory() {
  char buffer[MAX_PATH];
  return fromLength(buffer, GetWindowsDirectoryA(buffer, sizeof buffer), sizeof buffer);
}

PathSpec systemDirectory() {
  char buffer[MAX_PATH];
  return fromLength(buffer, GetSystemDirectoryA(buffer, sizeof buffer), sizeof buffer);
}

PathSpec temporaryDirectory() {
  char buffer[MAX_PATH];
  return fromLength(buffer, GetTempPathA(sizeof buffer, buffer), sizeof buffer);
}

PathSpec temporaryFileName() {
  PathSpec directory = temporaryDirectory();
  char buffer[MAX_PATH];
  if (directory.empty() || !GetTempFileNameA(directory.directoryPart().c_str(), "~~", 0, buffer)) return PathSpec();
  return PathSpec::fromPath(buffer);
}

PathSpec shellFolder(int csidl, const OsInfo& os) {
  if (os.isPlatformClass1()) return PathSpec();
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return PathSpec();
  char buffer[MAX_PATH] = {};
  BOOL found = SHGetPathFromIDListA(items, buffer);
  CoTaskMemFree(items);
  if (!found) return PathSpec();
  return PathSpec::fromDirectory(buffer);
}

PathSpec printerDriverDirectory(PrinterEnvironment environment) {
  char buffer[MAX_PATH] = {};
  DWORD needed = 0;
  LPSTR environmentName = const_cast<LPSTR>(printerEnvironmentName(environment));
  if (!GetPrinterDriverDirectoryA(nullptr, environmentName, 1, reinterpret_cast<LPBYTE>(buffer), sizeof buffer,
                                  &needed))
    return PathSpec();
  return PathSpec::fromDirectory(buffer);
}

PathSpec printProcessorDirectory() {
  char buffer[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrintProcessorDirectoryA(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(buffer), sizeof buffer, &needed))
    return PathSpec();
  return PathSpec::fromDirectory(buffer);
}

// The colour-management library is not on every system, so it is looked
// up at run time and the usual place below the system directory is the
// fallback.
PathSpec colorDirectory(const OsInfo& os) {
  if (!os.isPlatformClass1()) {
    if (HMODULE mscms = LoadLibraryA("mscms.dll")) {
      using GetColorDirectory = BOOL(WINAPI*)(PCSTR, PSTR, PDWORD);
      auto getColorDirectory =
          reinterpret_cast<GetColorDirectory>(reinterpret_cast<void*>(GetProcAddress(mscms, "GetColorDirectoryA")));
      char buffer[MAX_PATH] = {};
      DWORD size = sizeof buffer;
      BOOL found = getColorDirectory && getColorDirectory(nullptr, buffer, &size);
      FreeLibrary(mscms);
      if (found && buffer[0]) return PathSpec::fromDirectory(buffer);
    }
  }
  PathSpec color = systemDirectory();
  if (color.empty()) return color;
  color.appendDirectory("Color");
  CreateDirectoryA(color.directoryPart().c_str(), nullptr);
  return color;
}

PathSpec currentDirectory() {
  char buffer[MAX_PATH];
  return fromLength(buffer, GetCurrentDirectoryA(sizeof buffer, buffer), sizeof buffer);
}

}  // namespace

PathSpec resolveDirectoryCode(int code, const OsInfo& os) {
  DirectoryCodeEntry entry = directoryCodeEntry(code);
  switch (entry.source) {
    case DirectorySource::None: return PathSpec();
    case DirectorySource::ProgramFile: return PathSpec::fromPath(programFile());
    case DirectorySource::ProgramDirectory: {
      PathSpec program = PathSpec::fromPath(programFile());
      return PathSpec::fromDirectory(program.directoryPart());
    }
    case DirectorySource::WindowsDirectory: return windowsDirectory();
    case DirectorySource::SystemDirectory: return systemDirectory();
    case DirectorySource::TemporaryDirectory: return temporaryDirectory();
    case DirectorySource::TemporaryFileName: return temporaryFileName();
    case DirectorySource::ShellFolder: return shellFolder(entry.shellFolder, os);
    case DirectorySource::PrinterDriverDirectory: return printerDriverDirectory(entry.environment);
    case DirectorySource::PrintProcessorDirectory: return printProcessorDirectory();
    case DirectorySource::ColorDirectory: return colorDirectory(os);
    case DirectorySource::CurrentDirectory: return currentDirectory();
    case DirectorySource::WindowsInfDirectory: {
      PathSpec inf = windowsDirectory();
      if (!inf.empty()) inf.appendDirectory("INF");
      return inf;
    }
  }
  return PathSpec();
}
