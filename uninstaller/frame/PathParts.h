#pragma once

#include <string>
#include <string_view>

// A path split into drive, directory, file name and extension, each kept
// to the 259 characters that fit a MAX_PATH buffer. Directories always end
// with a backslash so that names can be appended to them directly.
class PathSpec {
 public:
  static constexpr std::size_t kPartLimit = 259;

  PathSpec() = default;
  static PathSpec fromPath(std::string_view path);
  static PathSpec fromDirectory(std::string_view directory);

  const std::string& drive() const { return drive_; }
  const std::string& directory() const { return directory_; }
  const std::string& fileName() const { return fileName_; }
  const std::string& extension() const { return extension_; }

  std::string directoryPart() const;
  std::string fullPath() const;
  bool empty() const;

  void setFileName(std::string_view name);
  void setExtension(std::string_view extension);
  // Appends a subdirectory below the current directory part.
  void appendDirectory(std::string_view subdirectory);

 private:
  std::string drive_;
  std::string directory_;
  std::string fileName_;
  std::string extension_;
};
