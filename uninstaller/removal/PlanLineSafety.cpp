#include "PlanLineSafety.h"

#include "TextCompare.h"

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Splits at backslashes and slashes; empty components are kept.
std::vector<std::string_view> components(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || isSeparator(path[i])) {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

bool isDotComponent(std::string_view part) { return part == "." || part == ".."; }

// Windows drops trailing dots and spaces, so such a name means "." or ".."
// or the folder itself.
bool namesNothing(std::string_view part) {
  return !part.empty() && part.find_first_not_of(". ") == std::string_view::npos;
}

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool startsWithDrive(std::string_view path) {
  return path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

// The path without the Win32 namespace prefixes; nothing for a device or
// volume path, which names no folder the package could own.
std::optional<std::string> withoutNamespacePrefix(std::string path) {
  if (StartsWithIgnoringCase(path, "\\\\?\\UNC\\")) return "\\\\" + path.substr(8);
  if (StartsWithIgnoringCase(path, "\\\\?\\") || StartsWithIgnoringCase(path, "\\\\.\\")) {
    path.erase(0, 4);
    if (!startsWithDrive(path)) return std::nullopt;
  }
  return path;
}

}  // namespace

bool isPlainFileName(std::string_view name) {
  if (name.empty() || namesNothing(name)) return false;
  return name.find_first_of("\\/:*?") == std::string_view::npos;
}

bool isPlainKeyName(std::string_view name) { return !name.empty() && name.find('\\') == std::string_view::npos; }

bool isSafeSubdirectory(std::string_view group) {
  if (group.empty() || isSeparator(group.front()) || group.find(':') != std::string_view::npos) return false;
  for (std::string_view part : components(group))
    if (namesNothing(part)) return false;
  return true;
}

std::string withTrailingBackslash(std::string_view directory) {
  std::string result(directory);
  while (!result.empty() && isSeparator(result.back())) result.pop_back();
  result += '\\';
  return result;
}

bool isSafePackageDirectory(std::string_view directory, const std::vector<std::string>& wellKnownDirectories) {
  std::vector<std::string_view> parts = components(directory);
  while (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  std::size_t rootParts = 0;
  if (directory.size() >= 2 && directory[1] == ':' && parts.size() >= 1 && parts[0].size() == 2) {
    rootParts = 1;  // "C:"
  } else if (directory.size() >= 2 && isSeparator(directory[0]) && isSeparator(directory[1])) {
    rootParts = 4;  // "", "", server, share
    if (parts.size() < 4 || parts[2].empty() || parts[3].empty()) return false;
  } else {
    return false;
  }
  if (parts.size() <= rootParts) return false;
  for (std::size_t i = rootParts; i < parts.size(); ++i)
    if (parts[i].empty() || namesNothing(parts[i])) return false;

  const std::string candidate = withTrailingBackslash(directory);
  for (const std::string& known : wellKnownDirectories) {
    if (known.empty()) continue;
    if (StartsWithIgnoringCase(withTrailingBackslash(known), candidate)) return false;
  }
  return true;
}

std::optional<std::string> canonicalDirectory(std::string_view directory, FileSystemAccess& files) {
  std::string path(directory);
  for (char& c : path)
    if (c == '/') c = '\\';
  std::optional<std::string> plain = withoutNamespacePrefix(path);
  if (!plain) return std::nullopt;
  const bool share = plain->size() > 2 && plain->compare(0, 2, "\\\\") == 0 && (*plain)[2] != '\\';
  if (!share && !startsWithDrive(*plain)) return std::nullopt;

  std::vector<std::string_view> kept;
  for (std::string_view part : components(std::string_view(*plain).substr(share ? 2 : 0))) {
    if (!isDotComponent(part))
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
    if (!part.empty()) kept.push_back(part);
  }
  std::string cleaned = share ? "\\\\" : "";
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) cleaned += '\\';
    cleaned += kept[i];
  }
  // "C:" alone would be the current folder of drive C.
  if (!share && kept.size() == 1) cleaned += '\\';

  std::optional<std::string> resolved = files.longPathName(cleaned);
  if (!resolved || resolved->empty()) return std::nullopt;
  std::string result = *resolved;
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}
