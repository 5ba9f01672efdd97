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

}  // namespace

bool isPlainFileName(std::string_view name) {
  if (name.empty() || isDotComponent(name)) return false;
  return name.find_first_of("\\/:*?") == std::string_view::npos;
}

bool isPlainKeyName(std::string_view name) { return !name.empty() && name.find('\\') == std::string_view::npos; }

bool isSafeSubdirectory(std::string_view group) {
  if (group.empty() || isSeparator(group.front()) || group.find(':') != std::string_view::npos) return false;
  for (std::string_view part : components(group))
    if (isDotComponent(part)) return false;
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
    if (parts[i].empty() || isDotComponent(parts[i])) return false;

  const std::string candidate = withTrailingBackslash(directory);
  for (const std::string& known : wellKnownDirectories) {
    if (known.empty()) continue;
    if (StartsWithIgnoringCase(withTrailingBackslash(known), candidate)) return false;
  }
  return true;
}
