#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text surgery on INI files and profile entries, kept apart from any file.

// The text without the first line of section whose key is entry, both
// compared case-insensitively; nothing when the section has no such line.
// A line belongs to the section from its header up to the next header; a
// commented line (";" first) or a longer key that merely starts with entry
// never matches, and the whole line goes, its line feed included.
std::optional<std::string> withoutIniEntry(std::string_view text, std::string_view section, std::string_view entry);

// The "Load" entry of the user profile without the program word: the word
// must start the entry or follow a space, and be followed by a space or the
// end; the space after it goes too. Compared in lower case, as the entry is
// written back lower-cased. Nothing when the word is not there.
std::optional<std::string> withoutLoadWord(std::string_view loadEntry, std::string_view program);

// Formats a program-manager command into the 64-character DDE buffer;
// nothing when the text with its terminating zero does not fit.
std::optional<std::string> programManagerCommand(const char* format, std::string_view argument);
constexpr std::size_t kProgramManagerBufferSize = 64;
