#include "IniText.h"

#include <cctype>
#include <cstdio>

#include "TextCompare.h"

namespace {

struct Line {
  std::size_t start;
  std::size_t end;   // before the line feed (and a carriage return before it)
  std::size_t next;  // after the line feed
};

Line lineAt(std::string_view text, std::size_t start) {
  std::size_t feed = text.find('\n', start);
  std::size_t next = feed == std::string_view::npos ? text.size() : feed + 1;
  std::size_t end = feed == std::string_view::npos ? text.size() : feed;
  if (end > start && text[end - 1] == '\r') --end;
  return {start, end, next};
}

std::string_view trimmedStart(std::string_view line) {
  std::size_t first = line.find_first_not_of(" \t");
  return first == std::string_view::npos ? std::string_view() : line.substr(first);
}

bool isHeader(std::string_view line) { return !line.empty() && line.front() == '['; }

bool isHeaderOf(std::string_view line, std::string_view section) {
  return line.size() >= section.size() + 2 && line.front() == '[' &&
         EqualsIgnoringCase(line.substr(1, section.size()), section) && line[section.size() + 1] == ']';
}

bool isEntryLine(std::string_view line, std::string_view entry) {
  if (line.size() < entry.size() || !EqualsIgnoringCase(line.substr(0, entry.size()), entry)) return false;
  std::string_view rest = trimmedStart(line.substr(entry.size()));
  return rest.empty() || rest.front() == '=';
}

std::string lowered(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace

std::optional<std::string> withoutIniEntry(std::string_view text, std::string_view section, std::string_view entry) {
  if (section.empty() || entry.empty()) return std::nullopt;
  bool inSection = false;
  for (std::size_t start = 0; start < text.size();) {
    Line line = lineAt(text, start);
    std::string_view content = trimmedStart(text.substr(line.start, line.end - line.start));
    if (isHeader(content)) {
      inSection = isHeaderOf(content, section);
    } else if (inSection && isEntryLine(content, entry)) {
      std::string result(text.substr(0, line.start));
      result.append(text.substr(line.next));
      return result;
    }
    start = line.next;
  }
  return std::nullopt;
}

std::optional<std::string> withoutLoadWord(std::string_view loadEntry, std::string_view program) {
  if (program.empty()) return std::nullopt;
  const std::string entry = lowered(loadEntry);
  const std::string word = lowered(program);
  for (std::size_t at = entry.find(word); at != std::string::npos; at = entry.find(word, at + 1)) {
    const std::size_t end = at + word.size();
    if ((at == 0 || entry[at - 1] == ' ') && (end == entry.size() || entry[end] == ' ')) {
      std::size_t cut = end < entry.size() ? end + 1 : end;
      return entry.substr(0, at) + entry.substr(cut);
    }
  }
  return std::nullopt;
}

std::optional<std::string> programManagerCommand(const char* format, std::string_view argument) {
  char buffer[kProgramManagerBufferSize];
  const std::string value(argument);
  const int length = std::snprintf(buffer, sizeof buffer, format, value.c_str());
  if (length < 0 || static_cast<std::size_t>(length) + 1 > sizeof buffer) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length));
}
