#include "FileRemoval.h"

#include "PlanLineSafety.h"
#include "TextCompare.h"

namespace {

std::vector<std::string> resolvedDirectories(const std::function<std::string(int)>& directory,
                                             std::initializer_list<int> codes) {
  std::vector<std::string> result;
  for (int code : codes) {
    std::string path = directory ? directory(code) : std::string();
    if (!path.empty()) result.push_back(withTrailingBackslash(path));
  }
  SortUniqueIgnoringCase(result);
  return result;
}

// System error codes 1 to 3: invalid function, file not found, path not found.
constexpr unsigned long kFirstRealFailure = 4;

}  // namespace

DirectoryLists buildDirectoryLists(const std::function<std::string(int code)>& directory, const OsInfo& os) {
  DirectoryLists lists;
  lists.flat = resolvedDirectories(directory, {4, 3, 33});
  lists.recursive = os.isNtFamily() ? resolvedDirectories(directory, {26, 28, 35, 27, 29})
                                    : resolvedDirectories(directory, {26, 28, 35});
  return lists;
}

FileDeletion FileRemoval::deleteWithFallback(const std::string& path) {
  // DeleteFile refuses a directory, and the delayed deletion that would
  // follow takes the folder at the next start.
  if (context_.platform.files.isDirectory(path)) {
    context_.note("not a file, left: " + path);
    return FileDeletion::Done;
  }
  const unsigned long error = context_.platform.files.deleteFile(path);
  if (error < kFirstRealFailure) return FileDeletion::Done;
  switch (context_.os.versionCode) {
    case 1:
    case 4:
      addToRenameList(path);
      break;
    case 2:
    case 3:
    case 7:
      addToWininit(path);
      break;
    default:
      context_.platform.files.deleteAtRestart(path);
      break;
  }
  context_.note("file in use, deleted at the next start: " + path + " (error " + std::to_string(error) + ")");
  return FileDeletion::Scheduled;
}

void FileRemoval::addToRenameList(const std::string& path) {
  if (context_.programDirectory.empty()) return;
  if (!context_.platform.files.fileExists(context_.programDirectory + kBootProgramName)) return;
  context_.platform.profiles.writePrivateString(context_.programDirectory + kRenameListName, "RENAME", path, "NUL");
}

void FileRemoval::addToWininit(const std::string& path) {
  if (context_.windowsDirectory.empty()) return;
  const std::string wininit = context_.windowsDirectory + "WININIT.INI";
  std::optional<std::string> contents = context_.platform.files.readFile(wininit);
  // One that is there but cannot be read holds other deletions: it is left
  // as it is, and this one goes the way of the other Windows generations.
  if (!contents && (context_.platform.files.fileExists(wininit) || context_.platform.files.isDirectory(wininit))) {
    context_.note("WININIT.INI cannot be read, left as it is");
    context_.platform.files.deleteAtRestart(path);
    return;
  }
  std::string text = contents ? *contents : std::string("[RENAME]\r\n");
  text += "NUL=" + path + "\r\n";
  context_.platform.files.writeFile(wininit, text);
}

bool FileRemoval::searchDirectory(const std::string& directory, const std::string& name, int depth,
                                  bool removeDirectories) {
  bool scheduled = false;
  for (const DirectoryEntry& entry : context_.platform.files.list(directory)) {
    if (!entry.directory) {
      if (EqualsIgnoringCase(entry.name, name) && deleteWithFallback(directory + entry.name) == FileDeletion::Scheduled)
        scheduled = true;
      continue;
    }
    // A directory is never deleted as a file, even when it carries the name.
    if (entry.name.empty() || entry.name.front() == '.' || depth <= 0) continue;
    // A link leads out of the folder being searched, to anywhere.
    if (entry.link) {
      context_.note("link not followed: " + directory + entry.name);
      continue;
    }
    const std::string subdirectory = directory + entry.name + "\\";
    if (searchDirectory(subdirectory, name, depth - 1, removeDirectories)) scheduled = true;
    if (removeDirectories) context_.platform.files.removeDirectory(directory + entry.name);
  }
  return scheduled;
}

void FileRemoval::deleteByName(const std::string& name, const DirectoryLists& lists,
                               const std::vector<std::string>& packageDirectories) {
  bool scheduled = false;
  for (const std::string& directory : lists.flat)
    if (deleteWithFallback(directory + name) == FileDeletion::Scheduled) scheduled = true;
  for (const std::string& directory : lists.recursive)
    if (searchDirectory(directory, name, 2, false)) scheduled = true;
  for (const std::string& packageDirectory : packageDirectories) {
    const std::string directory = withTrailingBackslash(packageDirectory);
    if (searchDirectory(directory, name, 3, true)) scheduled = true;
    context_.platform.files.removeDirectory(directory.substr(0, directory.size() - 1));
  }
  if (scheduled) context_.database.SetRestartNeeded(true);
}
