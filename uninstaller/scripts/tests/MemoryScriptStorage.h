#pragma once
// Scripts held in memory by path, for the reader's tests.

#include "ScriptFile.h"
#include "ScriptStorage.h"

#include <map>
#include <string>

class MemoryScriptStorage : public ScriptStorage {
public:
    std::map<std::string, std::string> files;

    bool ReadWholeFile(const std::string& path, std::string& contents) override
    {
        auto found = files.find(path);
        if (found == files.end())
            return false;
        contents = found->second;
        return true;
    }

    std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                                  size_t maxCharacters) override
    {
        ++profileLookups;
        std::string contents;
        if (!ReadWholeFile(path, contents))
            return {};
        ScriptFile file = ScriptFile::Parse(contents, path);
        const std::string* value = file.FindValue(section, key);
        return value ? value->substr(0, maxCharacters) : std::string{};
    }

    int profileLookups = 0;
};
