#pragma once
// The uninstaller's own answers to ScriptStorage and DirectoryLister: the
// Win32 file API, GetPrivateProfileStringA for the product GUID, and
// FindFirstFileA for script discovery. Windows only.

#include "ScriptStorage.h"

class Win32ScriptStorage : public ScriptStorage {
public:
    bool ReadWholeFile(const std::string& path, std::string& contents) override;
    std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                                  size_t maxCharacters) override;
};

class Win32DirectoryLister : public DirectoryLister {
public:
    std::vector<DirectoryMatch> FindMatches(const std::string& directory, const std::string& fileName) override;
};
