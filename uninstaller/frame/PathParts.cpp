#include "PathParts.h"

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string limited(std::string_view text) {
  return std::string(text.substr(0, PathSpec::kPartLimit));
}

std::string withTrailingBackslash(std::string_view directory) {
  std::string result(directory);
  if (!result.empty() && !isSeparator(result.back())) result.push_back('\\');
  return result;
}

// Cut to the limit without losing the final backslash.
std::string limitedDirectory(std::string_view directory) {
  if (directory.size() <= PathSpec::kPartLimit) return std::string(directory);
  std::string result(directory.substr(0, PathSpec::kPartLimit - 1));
  result.push_back('\\');
  return result;
}

}  // namespace

PathSpec PathSpec::fromPath(std::string_view path) {
  PathSpec parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive_ = limited(path.substr(0, 2));
    path.remove_prefix(2);
  }
  std::size_t lastSeparator = path.find_last_of("\\/");
  if (lastSeparator != std::string_view::npos) {
    parts.directory_ = limitedDirectory(path.substr(0, lastSeparator + 1));
    path.remove_prefix(lastSeparator + 1);
  }
  std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot != 0) {
    parts.extension_ = limited(path.substr(dot));
    path = path.substr(0, dot);
  }
  parts.fileName_ = limited(path);
  return parts;
}

PathSpec PathSpec::fromDirectory(std::string_view directory) {
  if (directory.empty()) return PathSpec();
  return fromPath(withTrailingBackslash(directory));
}

std::string PathSpec::directoryPart() const { return drive_ + directory_; }

std::string PathSpec::fullPath() const { return drive_ + directory_ + fileName_ + extension_; }

bool PathSpec::empty() const {
  return drive_.empty() && directory_.empty() && fileName_.empty() && extension_.empty();
}

void PathSpec::setFileName(std::string_view name) { fileName_ = limited(name); }

void PathSpec::setExtension(std::string_view extension) { extension_ = limited(extension); }

void PathSpec::appendDirectory(std::string_view subdirectory) {
  if (subdirectory.empty()) return;
  std::string combined = directory_;
  if (!combined.empty() && !isSeparator(combined.back())) combined.push_back('\\');
  combined += subdirectory;
  directory_ = limitedDirectory(withTrailingBackslash(combined));
}
