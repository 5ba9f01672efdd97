#include "RegistryLines.h"

#include "TextCompare.h"
#include "TextFields.h"

namespace {

bool rootFromName(std::string_view name, RegistryRoot& root) {
  struct Named {
    const char* name;
    RegistryRoot root;
  };
  static const Named kRoots[] = {{"HKLM", RegistryRoot::LocalMachine},
                                 {"HKCR", RegistryRoot::ClassesRoot},
                                 {"HKCU", RegistryRoot::CurrentUser},
                                 {"HKU", RegistryRoot::Users}};
  for (const Named& named : kRoots) {
    if (EqualsIgnoringCase(name, named.name)) {
      root = named.root;
      return true;
    }
  }
  return false;
}

}  // namespace

ParsedRegistryLine parseRegistryLine(std::string_view text) {
  ParsedRegistryLine parsed;
  std::string_view fields[4];
  std::size_t count = 0;
  std::size_t start = 0;
  while (count < 3) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) break;
    fields[count++] = text.substr(start, comma - start);
    start = comma + 1;
  }
  if (count < 2) {
    parsed.problem = RegistryLineProblem::TooFewFields;
    return parsed;
  }
  fields[count++] = text.substr(start);  // the value name, or the deltree field after three commas

  if (!rootFromName(StripQuotes(TrimSpaces(fields[0])), parsed.line.root)) {
    parsed.problem = RegistryLineProblem::UnknownRoot;
    return parsed;
  }
  parsed.line.subKey = StripQuotes(fields[1]);
  parsed.line.valueName = StripQuotes(fields[2]);
  if (count == 4) parsed.line.deltree = StripQuotes(fields[3]);

  std::string_view subKey = parsed.line.subKey;
  const bool noSubKey = subKey.find_first_not_of("\\ ") == std::string_view::npos;
  if (noSubKey && parsed.line.valueName.empty()) parsed.problem = RegistryLineProblem::RootKeyItself;
  return parsed;
}

bool deltreeAppliesTo(std::string_view deltree, int versionCode) {
  if (deltree.empty()) return true;
  switch (deltree.front()) {
    case '2':
      return versionCode == 3;
    case '3':
      return versionCode == 7;
    case '4':
      return versionCode == 5;
    case '5':
      return versionCode == 6;
    default:
      return true;
  }
}
