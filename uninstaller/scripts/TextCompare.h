#pragma once
// Case-insensitive comparisons as the uninstaller's lists and names use them:
// ASCII letters fold, every other byte compares as it stands.

#include <string>
#include <string_view>
#include <vector>

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool LessIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

// Sorts case-insensitively (stable, so of equal strings the first stays)
// and drops every later string equal to an earlier one.
void SortUniqueIgnoringCase(std::vector<std::string>& list);
