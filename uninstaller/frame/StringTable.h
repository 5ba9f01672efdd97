#pragma once

#include <array>
#include <string>
#include <string_view>

// Where message texts come from: the program's string resources and INI
// files. The Win32 implementation sits in StringSourceWin32.
class StringSource {
 public:
  virtual ~StringSource() = default;
  virtual std::string loadResourceString(unsigned id) = 0;
  // Empty when the file, section or key is missing.
  virtual std::string readIniValue(const std::string& file, const std::string& section,
                                   const std::string& key) = 0;
  // Full path of the file found on the executable search path, or empty.
  virtual std::string searchPath(const std::string& file) = 0;
  // The program's own path with extension ".ini".
  virtual std::string programIniPath() = 0;
};

// "@file@section@key": a text that stands for an INI value.
struct IniReference {
  std::string file;
  std::string section;
  std::string key;
};

enum class IndirectionKind { None, Reference, Malformed };

struct Indirection {
  IndirectionKind kind = IndirectionKind::None;
  IniReference reference;
};

Indirection parseIndirection(std::string_view text);

// INI values write a line break as the two characters backslash and n.
std::string expandLineBreaks(std::string_view text);

// Message texts by id. Four buffers are used round-robin so that up to four
// texts fetched one after another stay valid together (a caption and a
// text for one message box, for example).
class StringTable {
 public:
  static constexpr std::size_t kBufferSize = 512;
  static constexpr std::size_t kBufferCount = 4;

  explicit StringTable(StringSource& source) : source_(source) {}

  const char* text(unsigned id);

 private:
  std::string resolve(unsigned id);
  std::string lookUp(const IniReference& reference);

  StringSource& source_;
  std::array<std::array<char, kBufferSize>, kBufferCount> buffers_{};
  std::size_t nextBuffer_ = 0;
};
