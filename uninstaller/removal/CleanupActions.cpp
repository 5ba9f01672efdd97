#include "CleanupActions.h"

#include <algorithm>

#include "IniText.h"
#include "PlanLineSafety.h"
#include "RegistryLines.h"
#include "TextCompare.h"
#include "TextFields.h"

namespace {

// Fields separated by commas; the last one takes the rest of the line.
std::vector<std::string> splitFields(std::string_view line, std::size_t count) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() + 1 < count) {
    std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) break;
    fields.emplace_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  fields.emplace_back(line.substr(start));
  fields.resize(count);
  return fields;
}

std::string fieldText(const std::string& field) { return StripQuotes(TrimSpaces(field)); }

// Name and extension of a path, as a path splitter would give them.
struct NameAndExtension {
  std::string name;
  std::string extension;  // with its dot
};

NameAndExtension splitFileName(std::string_view path) {
  std::size_t start = path.find_last_of("\\/:");
  std::string_view file = start == std::string_view::npos ? path : path.substr(start + 1);
  std::size_t dot = file.rfind('.');
  if (dot == std::string_view::npos) return {std::string(file), {}};
  return {std::string(file.substr(0, dot)), std::string(file.substr(dot))};
}

struct FolderRow {
  int code;
  bool groupAppended;
};

constexpr FolderRow kStandardFolders[] = {{17, true}, {32, true}};
constexpr FolderRow kStartupFolders[] = {{17, true}, {32, true}, {21, false}, {22, false}, {23, false}, {24, false}};

const char kHookDirectoryError[] = "hook library not found: ";

// A DDE command is text in brackets whose arguments are split at commas and
// quoted with double quotes: such characters in a name could end the
// command and start another.
bool fitsProgramManagerArgument(std::string_view name) { return name.find_first_of("[]\",") == std::string_view::npos; }

}  // namespace

void CleanupActions::buildDirectoryLists() { lists_ = ::buildDirectoryLists(context_.directory, context_.os); }

std::vector<std::string> CleanupActions::wellKnownDirectories() const {
  std::vector<std::string> known = lists_.flat;
  known.insert(known.end(), lists_.recursive.begin(), lists_.recursive.end());
  known.push_back(context_.windowsDirectory);
  if (context_.directory) {
    // Program Files, the Programs folders, Desktop, application data, documents.
    for (int code : {30, 17, 32, 6, 9, 15}) known.push_back(context_.directory(code));
  }
  known.insert(known.end(), context_.otherFolderViews.begin(), context_.otherFolderViews.end());
  // Compared as the candidates are; a folder that does not resolve keeps
  // its own spelling.
  for (std::string& directory : known)
    if (std::optional<std::string> canonical = canonicalDirectory(directory, context_.platform.files))
      directory = *canonical;
  return known;
}

void CleanupActions::callHooks() {
  for (const std::string& item : context_.database.RemovalPlan().Items(ItemList::Hooks)) {
    std::vector<std::string> fields = splitFields(item, 2);
    const std::string library = fieldText(fields[0]);
    const std::string exportName = fieldText(fields[1]);
    if (library.empty() || exportName.empty()) continue;
    NameAndExtension file = splitFileName(library);
    const std::string fileName = file.name + file.extension;
    std::string path;
    if (!context_.printerDriverDirectory.empty() &&
        context_.platform.files.fileExists(context_.printerDriverDirectory + fileName))
      path = context_.printerDriverDirectory + fileName;
    else if (!context_.programDirectory.empty() &&
             context_.platform.files.fileExists(context_.programDirectory + fileName))
      path = context_.programDirectory + fileName;
    if (path.empty()) {
      context_.note(kHookDirectoryError + fileName);
      continue;
    }
    context_.note("hook called: " + path + " " + exportName);
    context_.platform.hooks.callHook(path, exportName, context_.programDirectory);
  }
}

void CleanupActions::removeServices() {
  if (!context_.os.isNtFamily()) return;
  ServiceAccess& services = context_.platform.services;
  if (!services.openManager()) return;
  for (const std::string& name : context_.database.RemovalPlan().Items(ItemList::Services)) {
    ServiceDeletion result = services.deleteService(name);
    if (result != ServiceDeletion::Failed) {
      context_.database.SetRestartNeeded(true);
      context_.note("service deleted: " + name);
    }
  }
  services.closeManager();
}

void CleanupActions::addPackageDirectories() {
  const std::vector<std::string> known = wellKnownDirectories();
  UninstallProfile& plan = context_.database.MutableRemovalPlan();
  for (const auto& [name, data] : context_.platform.registry.values(RegistryRoot::LocalMachine, kOemPathsKey)) {
    const std::optional<std::string> canonical =
        isSafePackageDirectory(data, known) ? canonicalDirectory(data, context_.platform.files) : std::nullopt;
    if (!canonical || !isSafePackageDirectory(*canonical, known)) {
      context_.note("refused: package directory \"" + data + "\" (OEMPaths " + name + ")" +
                    (canonical ? " is " + *canonical : ""));
      continue;
    }
    plan.AddItem(ItemList::Directories, *canonical);
  }
}

void CleanupActions::sendProgramManagerCommands(const std::string& group, const std::string& description) {
  if (!fitsProgramManagerArgument(group) || !fitsProgramManagerArgument(description)) {
    context_.note("refused: program manager command for group \"" + group + "\", item \"" + description + "\"");
    return;
  }
  std::optional<std::string> showGroup = programManagerCommand("[ShowGroup(%s,1)]", group);
  if (!showGroup) {
    context_.note("refused: program manager command for group \"" + group + "\" does not fit 64 characters");
    return;
  }
  if (!context_.platform.programManager.execute(showGroup->c_str())) return;
  std::optional<std::string> deleteItem = programManagerCommand("[DeleteItem(%s)]", description);
  if (!deleteItem) {
    context_.note("refused: program manager command for item \"" + description + "\" does not fit 64 characters");
    return;
  }
  context_.platform.programManager.execute(deleteItem->c_str());
}

void CleanupActions::removeShortcut(const std::string& group, const std::string& description,
                                    const std::string& location) {
  if (context_.os.isPlatformClass1()) {
    if (!description.empty()) sendProgramManagerCommands(group, description);
    return;
  }
  if (!isSafeSubdirectory(group)) {
    context_.note("refused: program group \"" + group + "\"");
    return;
  }
  const std::string groupDirectory = withTrailingBackslash(group);
  if (description.empty()) {
    const std::string programs = context_.directory(context_.os.isNtFamily() ? 32 : 17);
    if (!programs.empty())
      context_.platform.files.removeDirectory(withTrailingBackslash(programs) + group);
    return;
  }
  NameAndExtension file = splitFileName(description);
  if (file.name.empty() && file.extension.empty()) return;
  // "." or ".." would name the group's folder or the Programs folder itself.
  if (!isPlainFileName(file.name + file.extension)) {
    context_.note("refused: shortcut description \"" + description + "\"");
    return;
  }
  const bool startup = EqualsIgnoringCase(location, "STARTUP");
  const FolderRow* rows = startup ? kStartupFolders : kStandardFolders;
  const std::size_t rowCount = startup ? std::size(kStartupFolders) : std::size(kStandardFolders);
  for (std::size_t row = 0; row < rowCount; ++row) {
    const std::string folder = context_.directory(rows[row].code);
    if (folder.empty()) continue;
    std::string directory = withTrailingBackslash(folder);
    if (rows[row].groupAppended) directory += groupDirectory;
    // Shortcuts do not ask for a restart.
    for (const std::string& extension : {file.extension, std::string(".LNK"), std::string(".PIF")}) {
      if (file.name.empty() && extension != file.extension) continue;
      files_.deleteWithFallback(directory + file.name + extension);
    }
  }
}

void CleanupActions::removeShortcuts() {
  for (const std::string& item : context_.database.RemovalPlan().Items(ItemList::Shortcuts)) {
    std::vector<std::string> fields = splitFields(item, 3);
    const std::string group = fieldText(fields[0]);
    if (group.empty()) continue;
    removeShortcut(group, fieldText(fields[1]), fieldText(fields[2]));
  }
}

void CleanupActions::removeIniEntries() {
  if (context_.windowsDirectory.empty()) return;
  for (const std::string& item : context_.database.RemovalPlan().Items(ItemList::DeleteIni)) {
    std::vector<std::string> fields = splitFields(item, 3);
    const std::string file = fieldText(fields[0]);
    const std::string section = fieldText(fields[1]);
    const std::string entry = fieldText(fields[2]);
    if (file.empty() || section.empty() || entry.empty()) continue;
    NameAndExtension name = splitFileName(file);
    const std::string path = context_.windowsDirectory + name.name + name.extension;
    std::optional<std::string> text = context_.platform.files.readFile(path);
    if (!text) continue;
    std::optional<std::string> changed = withoutIniEntry(*text, section, entry);
    if (!changed) continue;
    context_.platform.files.writeFile(path, *changed);
    context_.note("INI entry removed: " + path + " [" + section + "] " + entry);
  }
}

void CleanupActions::removeStartupEntries() {
  ProfileAccess& profiles = context_.platform.profiles;
  for (const std::string& item : context_.database.RemovalPlan().Items(ItemList::DeleteLoadRun)) {
    std::vector<std::string> fields = splitFields(item, 2);
    const std::string display = fieldText(fields[0]);
    const std::string program = fieldText(fields[1]);
    if (display.empty() || program.empty()) continue;
    if (!context_.os.isPlatformClass1()) {
      const std::string runKey = context_.text(kTextRunKey);
      if (runKey.empty()) continue;
      if (context_.platform.registry.deleteValue(RegistryRoot::LocalMachine, runKey, display))
        context_.note("start-up entry removed: " + display);
      continue;
    }
    profiles.flushUserProfile();
    std::optional<std::string> load = withoutLoadWord(profiles.readUserString("windows", "Load", 255), program);
    if (!load) continue;
    profiles.writeUserString("windows", "load", *load);
    profiles.flushUserProfile();
  }
}

void CleanupActions::removeFiles() {
  std::vector<std::string> items = context_.database.RemovalPlan().Items(ItemList::Files);
  SortUniqueIgnoringCase(items);
  const std::vector<std::string>& packageDirectories = context_.database.RemovalPlan().Items(ItemList::Directories);
  bool settingsFileDeleted = false;
  for (const std::string& item : items) {
    const std::string name(TrimSpaces(std::string_view(item).substr(0, item.find('='))));
    if (!isPlainFileName(name)) {
      context_.note("refused: Files line \"" + item + "\" is not a plain file name");
      continue;
    }
    files_.deleteByName(name, lists_, packageDirectories);
    if (EqualsIgnoringCase(name, "zreg32s.ini")) settingsFileDeleted = true;
  }
  const bool noPrinterStays = context_.database.PrintersStaying() == 0;
  if (noPrinterStays && !context_.os.isPlatformClass1() && !context_.database.RestartNeeded())
    files_.deleteByName("ZRESTART.EXE", lists_, packageDirectories);
  if (noPrinterStays && context_.os.isPlatformClass1() && settingsFileDeleted && !context_.windowsDirectory.empty())
    files_.addToRenameList(context_.windowsDirectory + "zreg32s.ini");
}

bool CleanupActions::deleteKeyTree(RegistryRoot root, const std::string& key) {
  RegistryAccess& registry = context_.platform.registry;
  if (!registry.keyOpens(root, key)) return false;
  for (int index = 0;; ++index) {
    std::string name;
    switch (registry.subKeyAt(root, key, static_cast<unsigned>(index), name)) {
      case SubKeyEnumeration::Found:
        // The sub key is gone, so the next one now has this index.
        if (deleteKeyTree(root, key + "\\" + name)) --index;
        break;
      case SubKeyEnumeration::NoMoreItems:
        return registry.deleteKey(root, key);
      case SubKeyEnumeration::Failed:
        return false;
    }
  }
}

void CleanupActions::removeRegistryEntries() {
  RegistryAccess& registry = context_.platform.registry;
  registry.deleteKey(RegistryRoot::LocalMachine, kProgramGroupsKey);

  std::vector<std::string> lines = context_.database.RemovalPlan().Items(ItemList::RegistryKeys);
  SortUniqueIgnoringCase(lines);
  std::reverse(lines.begin(), lines.end());
  for (const std::string& text : lines) {
    ParsedRegistryLine parsed = parseRegistryLine(text);
    if (parsed.problem == RegistryLineProblem::RootKeyItself) {
      context_.note("refused: registry line \"" + text + "\" names a root key itself");
      continue;
    }
    if (parsed.problem != RegistryLineProblem::None) continue;
    const RegistryLine& line = parsed.line;
    if (!line.valueName.empty()) {
      registry.deleteValue(line.root, line.subKey, line.valueName);
    } else if (line.deltree) {
      if (deltreeAppliesTo(*line.deltree, context_.os.versionCode)) deleteKeyTree(line.root, line.subKey);
    } else {
      registry.deleteKey(line.root, line.subKey);
    }
  }
}
