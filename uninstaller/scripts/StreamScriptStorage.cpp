#include "StreamScriptStorage.h"

#include "ScriptFile.h"

#include <fstream>
#include <iterator>

bool StreamScriptStorage::ReadWholeFile(const std::string& path, std::string& contents)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return false;
    contents.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

std::string StreamScriptStorage::ReadProfileString(const std::string& path, const std::string& section,
                                                   const std::string& key, size_t maxCharacters)
{
    std::string contents;
    if (!ReadWholeFile(path, contents))
        return {};
    ScriptFile file = ScriptFile::Parse(contents, path);
    const std::string* value = file.FindValue(section, key);
    if (!value)
        return {};
    std::string text = *value;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    if (text.size() > maxCharacters)
        text.resize(maxCharacters);
    return text;
}
