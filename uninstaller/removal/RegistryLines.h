#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "RemovalPlatform.h"

// One RegistryKeys line: root, sub key and value name (each in double
// quotes in the script), and an optional deltree field.
struct RegistryLine {
  RegistryRoot root = RegistryRoot::LocalMachine;
  std::string subKey;
  std::string valueName;
  std::optional<std::string> deltree;
};

enum class RegistryLineProblem { None, TooFewFields, UnknownRoot, RootKeyItself };

struct ParsedRegistryLine {
  RegistryLineProblem problem = RegistryLineProblem::None;
  RegistryLine line;
};

// Splits at the first three commas and strips the quotes. A line that would
// delete a root key itself (empty sub key, no value name) is refused.
ParsedRegistryLine parseRegistryLine(std::string_view text);

// The deltree field's first character ties the tree deletion to one version
// code: "2" to 3, "3" to 7, "4" to 5, "5" to 6; any other deletes anywhere.
bool deltreeAppliesTo(std::string_view deltree, int versionCode);
