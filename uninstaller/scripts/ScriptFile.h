#pragma once
// The in-memory form of one uninstall script ("Xunz___Z.unm"): INI-like
// sections of key/value entries, read by the uninstaller's own parser.
//
// Format rules, applied line by line (lines end at CR, LF or any run of them;
// the text ends at its first zero byte):
//   - "[name]" at the start of a line opens a section (name cut to 259 chars);
//   - a line starting with a space or ";" is ignored as a whole;
//   - other lines belong to the latest section (none yet: ignored); from the
//     first ";" on the text is a remark; the rest splits at the first "="
//     into key and value, each trimmed of spaces (tabs stay) and cut to 259
//     chars; a line whose key is empty is dropped, since the zero-separated
//     key list could not carry it;
//   - entries keep their file order, duplicate keys included;
//   - names compare case-insensitively; of two sections with one name only
//     the first is ever read.

#include <string>
#include <string_view>
#include <vector>

struct ScriptEntry {
    std::string key;
    std::string value;
};

struct ScriptSection {
    std::string name;
    std::vector<ScriptEntry> entries;
};

class ScriptFile {
public:
    static constexpr size_t kMaxNameLength = 259;

    // Parses text as loaded from the file; path is only recorded.
    static ScriptFile Parse(std::string_view text, std::string path = {});

    const std::string& Path() const { return path_; }
    const std::vector<ScriptSection>& Sections() const { return sections_; }

    // Entries of the first section of that name; 0 when absent or name empty.
    int CountEntries(std::string_view section) const;

    // The section's keys as a list of zero-terminated strings closed by one
    // more zero byte, copied into buffer (size bytes). Returns the bytes the
    // whole list needs, or the negative of that when it did not fit; the
    // buffer then holds the leading entries that fitted, still closed.
    int Keys(std::string_view section, char* buffer, size_t size) const;

    // The same with "key=value" elements (the key alone for an empty value).
    int Lines(std::string_view section, char* buffer, size_t size) const;

    // Leading decimal value of the first entry with that key in the first
    // section of that name; fallback when either is absent or the value empty.
    int IntegerValue(std::string_view section, std::string_view key, int fallback) const;

    // First value of key in the first section of that name, or nullptr.
    const std::string* FindValue(std::string_view section, std::string_view key) const;

private:
    const ScriptSection* FindSection(std::string_view name) const;

    std::string path_;
    std::vector<ScriptSection> sections_;
};

// Reads a zero-separated list as Keys and Lines produce it.
std::vector<std::string> SplitZeroList(const char* buffer, size_t size);

// Keys or lines of a section through a buffer of bufferSize bytes, exactly
// as a fixed buffer would hold them: what does not fit is left out.
std::vector<std::string> ReadKeysLimited(const ScriptFile& file, std::string_view section, size_t bufferSize);
std::vector<std::string> ReadLinesLimited(const ScriptFile& file, std::string_view section, size_t bufferSize);
