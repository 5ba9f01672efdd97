#include "StringTable.h"

#include <cstring>

Indirection parseIndirection(std::string_view text) {
  Indirection result;
  if (text.empty() || text.front() != '@') return result;
  std::string_view rest = text.substr(1);
  std::size_t firstAt = rest.find('@');
  std::size_t secondAt = firstAt == std::string_view::npos ? firstAt : rest.find('@', firstAt + 1);
  if (secondAt == std::string_view::npos) {
    result.kind = IndirectionKind::Malformed;
    return result;
  }
  result.kind = IndirectionKind::Reference;
  result.reference.file = std::string(rest.substr(0, firstAt));
  result.reference.section = std::string(rest.substr(firstAt + 1, secondAt - firstAt - 1));
  result.reference.key = std::string(rest.substr(secondAt + 1));
  return result;
}

std::string expandLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      result.push_back('\n');
      ++i;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

const char* StringTable::text(unsigned id) {
  std::array<char, kBufferSize>& buffer = buffers_[nextBuffer_];
  nextBuffer_ = (nextBuffer_ + 1) % kBufferCount;
  std::string value = resolve(id);
  std::size_t length = value.size() < kBufferSize - 1 ? value.size() : kBufferSize - 1;
  std::memcpy(buffer.data(), value.data(), length);
  buffer[length] = '\0';
  return buffer.data();
}

std::string StringTable::resolve(unsigned id) {
  std::string text = source_.loadResourceString(id);
  Indirection indirection = parseIndirection(text);
  switch (indirection.kind) {
    case IndirectionKind::None: return text;
    case IndirectionKind::Malformed: return std::string();
    case IndirectionKind::Reference: return expandLineBreaks(lookUp(indirection.reference));
  }
  return std::string();
}

std::string StringTable::lookUp(const IniReference& reference) {
  std::string file = reference.file.empty() ? source_.programIniPath() : reference.file;
  std::string value = source_.readIniValue(file, reference.section, reference.key);
  if (!value.empty()) return value;
  std::string found = source_.searchPath(file);
  if (found.empty()) return std::string();
  return source_.readIniValue(found, reference.section, reference.key);
}
