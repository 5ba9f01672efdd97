#pragma once

#include <string>

#include "FileRemoval.h"
#include "RemovalContext.h"

// The string-table id of the start-up key, the Run key of the current
// version, fetched as a text so that its INI indirection works.
constexpr unsigned kTextRunKey = 51;

// The removal phases that are not spooler work: hooks (phase 5), services
// (7), package directories (9), shortcuts and program groups (10), INI
// entries (12), start-up entries (13), files (14) and registry entries (15).
class CleanupActions {
 public:
  static constexpr const char* kOemPathsKey = "SOFTWARE\\ARVEL NORVANE\\OEM_Z\\OEMPaths";
  static constexpr const char* kProgramGroupsKey = "SOFTWARE\\ARVEL NORVANE\\OEM_Z\\ProgramGroups";

  explicit CleanupActions(RemovalContext& context) : context_(context), files_(context) {}

  // When the phases start.
  void buildDirectoryLists();
  const DirectoryLists& directoryLists() const { return lists_; }

  void callHooks();
  void removeServices();
  void addPackageDirectories();
  void removeShortcuts();
  void removeIniEntries();
  void removeStartupEntries();
  void removeFiles();
  void removeRegistryEntries();

  // Deletes key with every sub key; false when it cannot be opened or the
  // key itself does not go.
  bool deleteKeyTree(RegistryRoot root, const std::string& key);

 private:
  void removeShortcut(const std::string& group, const std::string& description, const std::string& location);
  void sendProgramManagerCommands(const std::string& group, const std::string& description);
  std::vector<std::string> wellKnownDirectories() const;

  RemovalContext& context_;
  FileRemoval files_;
  DirectoryLists lists_;
};
