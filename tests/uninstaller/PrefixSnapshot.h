#pragma once
// What a Wine prefix (or a Windows machine) holds where the uninstaller may
// reach: registry keys and values below a few roots, and the file tree of
// drive C:. One line per item, so that two snapshots compare as sets:
//   "key HKLM\SOFTWARE\X"
//   "value HKLM\SOFTWARE\X\[Name]=data"
//   "file C:\windows\system32\x.dll"
//   "dir C:\Program Files\X"
#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct PrefixSnapshot {
    std::set<std::string> lines;
};

struct SnapshotRoot {
    HKEY root;
    const char* rootName;  // "HKLM"
    const char* subKey;
};

// The registry below the roots and the files below the directories.
// Directories whose path contains one of skippedDirectoryParts (compared
// case-insensitively) are left out: temporary folders change on their own.
PrefixSnapshot TakeSnapshot(const std::vector<SnapshotRoot>& roots, const std::vector<std::string>& directories,
                            const std::vector<std::string>& skippedDirectoryParts);

struct SnapshotDifference {
    std::vector<std::string> removed;
    std::vector<std::string> added;
};

SnapshotDifference Compare(const PrefixSnapshot& before, const PrefixSnapshot& after);

// "- line" and "+ line", removed first.
std::string FormatDifference(const SnapshotDifference& difference);
