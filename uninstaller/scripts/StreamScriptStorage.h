#pragma once
// ScriptStorage over the C++ standard streams, for tools and tests. The
// profile-string lookup is answered from the parsed script as the system's
// lookup would: first section and key of that name, one pair of enclosing
// double quotes removed.

#include "ScriptStorage.h"

class StreamScriptStorage : public ScriptStorage {
public:
    bool ReadWholeFile(const std::string& path, std::string& contents) override;
    std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                                  size_t maxCharacters) override;
};
