#include "ScriptFile.h"

#include "TextCompare.h"
#include "TextFields.h"

#include <climits>
#include <cstring>

namespace {

std::string CutToName(std::string_view text)
{
    return std::string(text.substr(0, ScriptFile::kMaxNameLength));
}

void ParseLine(std::string_view line, std::vector<ScriptSection>& sections)
{
    if (line[0] == '[') {
        std::string_view rest = line.substr(1);
        size_t close = rest.find(']');
        sections.push_back(ScriptSection{CutToName(rest.substr(0, close)), {}});
        return;
    }
    if (line[0] == ' ' || line[0] == ';' || sections.empty())
        return;
    std::string_view content = line.substr(0, line.find(';'));
    size_t equals = content.find('=');
    std::string_view key = TrimSpaces(content.substr(0, equals));
    std::string_view value = equals == std::string_view::npos ? std::string_view{} : TrimSpaces(content.substr(equals + 1));
    if (key.empty())
        return;
    sections.back().entries.push_back(ScriptEntry{CutToName(key), CutToName(value)});
}

// Copies elements into a zero-separated list; see ScriptFile::Keys.
int CopyZeroList(const std::vector<std::string>& elements, char* buffer, size_t size)
{
    size_t needed = 1;
    for (const std::string& element : elements)
        needed += element.size() + 1;

    size_t used = 0;
    bool complete = true;
    for (const std::string& element : elements) {
        if (!buffer || used + element.size() + 1 + 1 > size) {
            complete = false;
            break;
        }
        std::memcpy(buffer + used, element.data(), element.size());
        used += element.size();
        buffer[used++] = '\0';
    }
    if (buffer && used < size)
        buffer[used] = '\0';
    else
        complete = false;

    int result = needed > INT_MAX ? INT_MAX : static_cast<int>(needed);
    return complete ? result : -result;
}

}  // namespace

ScriptFile ScriptFile::Parse(std::string_view text, std::string path)
{
    ScriptFile file;
    file.path_ = std::move(path);
    // The loaded text is zero-terminated: a stray zero byte ends it, so no
    // key or value can carry one into the zero-separated lists.
    text = text.substr(0, text.find('\0'));
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find_first_of("\r\n", position);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > position)
            ParseLine(text.substr(position, end - position), file.sections_);
        position = end + 1;
    }
    return file;
}

const ScriptSection* ScriptFile::FindSection(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (const ScriptSection& section : sections_) {
        if (EqualsIgnoringCase(section.name, name))
            return &section;
    }
    return nullptr;
}

int ScriptFile::CountEntries(std::string_view section) const
{
    const ScriptSection* found = FindSection(section);
    return found ? static_cast<int>(found->entries.size()) : 0;
}

int ScriptFile::Keys(std::string_view section, char* buffer, size_t size) const
{
    std::vector<std::string> keys;
    if (const ScriptSection* found = FindSection(section)) {
        for (const ScriptEntry& entry : found->entries)
            keys.push_back(entry.key);
    }
    return CopyZeroList(keys, buffer, size);
}

int ScriptFile::Lines(std::string_view section, char* buffer, size_t size) const
{
    std::vector<std::string> lines;
    if (const ScriptSection* found = FindSection(section)) {
        for (const ScriptEntry& entry : found->entries)
            lines.push_back(entry.value.empty() ? entry.key : entry.key + "=" + entry.value);
    }
    return CopyZeroList(lines, buffer, size);
}

const std::string* ScriptFile::FindValue(std::string_view section, std::string_view key) const
{
    const ScriptSection* found = FindSection(section);
    if (!found)
        return nullptr;
    for (const ScriptEntry& entry : found->entries) {
        if (EqualsIgnoringCase(entry.key, key))
            return &entry.value;
    }
    return nullptr;
}

int ScriptFile::IntegerValue(std::string_view section, std::string_view key, int fallback) const
{
    const std::string* value = FindValue(section, key);
    if (!value || value->empty())
        return fallback;
    return LeadingInteger(*value);
}

std::vector<std::string> SplitZeroList(const char* buffer, size_t size)
{
    std::vector<std::string> list;
    size_t position = 0;
    while (position < size && buffer[position] != '\0') {
        size_t length = strnlen(buffer + position, size - position);
        list.emplace_back(buffer + position, length);
        position += length + 1;
    }
    return list;
}

std::vector<std::string> ReadKeysLimited(const ScriptFile& file, std::string_view section, size_t bufferSize)
{
    std::vector<char> buffer(bufferSize);
    file.Keys(section, buffer.data(), buffer.size());
    return SplitZeroList(buffer.data(), buffer.size());
}

std::vector<std::string> ReadLinesLimited(const ScriptFile& file, std::string_view section, size_t bufferSize)
{
    std::vector<char> buffer(bufferSize);
    file.Lines(section, buffer.data(), buffer.size());
    return SplitZeroList(buffer.data(), buffer.size());
}
