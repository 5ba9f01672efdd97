#pragma once
// How the script reader reaches files, so that the core stays portable: the
// Win32 program answers with the file API and GetPrivateProfileStringA,
// tools and tests with streams or memory.

#include <string>
#include <vector>

class ScriptStorage {
public:
    virtual ~ScriptStorage() = default;
    // Whole file contents; false when the file cannot be opened or read.
    virtual bool ReadWholeFile(const std::string& path, std::string& contents) = 0;
    // The operating system's profile-string lookup of one key (empty when
    // absent), at most maxCharacters characters.
    virtual std::string ReadProfileString(const std::string& path, const std::string& section,
                                          const std::string& key, size_t maxCharacters) = 0;
};

// One directory entry that matched a name.
struct DirectoryMatch {
    std::string name;          // file name inside the directory
    unsigned long attributes;  // the file system's attribute word
};

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // Entries of directory (ending with a backslash) matching fileName.
    virtual std::vector<DirectoryMatch> FindMatches(const std::string& directory, const std::string& fileName) = 0;
};
