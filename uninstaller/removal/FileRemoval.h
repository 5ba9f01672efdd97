#pragma once

#include <string>
#include <vector>

#include "RemovalContext.h"

enum class FileDeletion { Done, Scheduled };

// The removal panel's two directory lists, sorted and de-duplicated, with
// unresolvable (empty) directories left out.
struct DirectoryLists {
  std::vector<std::string> flat;       // a file is deleted only directly inside
  std::vector<std::string> recursive;  // searched two levels deep
};

DirectoryLists buildDirectoryLists(const std::function<std::string(int code)>& directory, const OsInfo& os);

// Deleting files, with the boot-time fallback of each Windows generation.
class FileRemoval {
 public:
  static constexpr const char* kRenameListName = "zwininit.ini";
  static constexpr const char* kBootProgramName = "zwininit.exe";

  explicit FileRemoval(RemovalContext& context) : context_(context) {}

  // Deletes now, or schedules the deletion for the next start of Windows.
  // Not-found errors (codes below 4) count as done.
  FileDeletion deleteWithFallback(const std::string& path);

  // The package's own rename list, processed by its boot-time program; only
  // written when that program is there.
  void addToRenameList(const std::string& path);
  // "NUL=" lines in WININIT.INI, which starts with "[RENAME]" when new.
  void addToWininit(const std::string& path);

  // Deletes entries named name in directory and, down to depth levels, in
  // its subdirectories, removing each searched subdirectory afterwards when
  // removeDirectories (only empty ones go). True when any deletion was
  // scheduled.
  bool searchDirectory(const std::string& directory, const std::string& name, int depth, bool removeDirectories);

  // A Files item: name and extension only, looked for in the flat list,
  // the recursive list and the package's directories (which are removed
  // when empty). Raises restart-needed when anything was scheduled.
  void deleteByName(const std::string& name, const DirectoryLists& lists,
                    const std::vector<std::string>& packageDirectories);

 private:
  RemovalContext& context_;
};
