#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RemovalPlatform.h"

// Plan lines come from text files anybody can edit. A line that would make
// a deletion reach outside the directories and keys the phases are meant to
// touch is refused (and traced by the caller) instead of being widened.

// A bare file name: no drive, no directory, no wildcard, not "." or ".."
// however many dots and spaces spell it.
bool isPlainFileName(std::string_view name);

// A name that is used as one registry key below a fixed parent: no
// backslash, not empty.
bool isPlainKeyName(std::string_view name);

// A program-group path appended below a shell folder: relative, no "." or
// ".." component (in any spelling), no drive.
bool isSafeSubdirectory(std::string_view group);

// A package directory from the registry: absolute, no "." or ".."
// component, not a drive or share root, and neither one of the well-known
// directories nor a parent of one (those are searched by their own rules).
bool isSafePackageDirectory(std::string_view directory, const std::vector<std::string>& wellKnownDirectories);

// A directory in the one spelling the guards compare, so that no other
// spelling of a folder slips past them: either separator taken as a
// backslash, the "\\?\" and "\\.\" prefixes of a drive or share path
// taken off, trailing dots and spaces of each component dropped (Windows
// drops them too), then the full path with every component in its long
// form, without a trailing backslash. Nothing when the path is not an
// absolute drive or share path or cannot be resolved (it does not exist).
std::optional<std::string> canonicalDirectory(std::string_view directory, FileSystemAccess& files);

// The directory with exactly one trailing backslash.
std::string withTrailingBackslash(std::string_view directory);
