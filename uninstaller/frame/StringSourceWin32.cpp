#include "StringSourceWin32.h"

#include "PathParts.h"

std::string StringSourceWin32::loadResourceString(unsigned id) {
  char buffer[StringTable::kBufferSize];
  int length = LoadStringA(instance_, id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string StringSourceWin32::readIniValue(const std::string& file, const std::string& section,
                                            const std::string& key) {
  // The profile functions would look for a bare name in the Windows
  // directory; a name without a directory means the current directory here.
  std::string path = file.find_first_of("\\/:") == std::string::npos ? ".\\" + file : file;
  char buffer[StringTable::kBufferSize];
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, path.c_str());
  return std::string(buffer, length);
}

std::string StringSourceWin32::searchPath(const std::string& file) {
  char buffer[MAX_PATH];
  char* namePart = nullptr;
  DWORD length = SearchPathA(nullptr, file.c_str(), nullptr, sizeof buffer, buffer, &namePart);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

std::string StringSourceWin32::programIniPath() {
  char buffer[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  PathSpec path = PathSpec::fromPath(std::string(buffer, length));
  path.setExtension(".ini");
  return path.fullPath();
}
