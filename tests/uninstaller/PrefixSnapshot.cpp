#include "PrefixSnapshot.h"

#include <algorithm>

namespace {

std::string Lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return text;
}

std::string ValueText(DWORD type, const BYTE* data, DWORD size)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string text(reinterpret_cast<const char*>(data), size);
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }
    if (type == REG_MULTI_SZ) {
        std::string text(reinterpret_cast<const char*>(data), size);
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        std::replace(text.begin(), text.end(), '\0', '|');
        return text;
    }
    if (type == REG_DWORD && size == 4)
        return "dword:" + std::to_string(*reinterpret_cast<const DWORD*>(data));
    return "type" + std::to_string(type) + ":" + std::to_string(size) + " bytes";
}

void DumpKey(HKEY key, const std::string& path, std::set<std::string>& lines)
{
    lines.insert("key " + path);
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        DWORD dataSize = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(dataSize + 2, 0);
        nameSize = sizeof name;
        DWORD size = dataSize;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            continue;
        lines.insert("value " + path + "\\[" + name + "]=" + ValueText(type, data.data(), size));
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        if (RegEnumKeyA(key, index, name, sizeof name) != ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            DumpKey(sub, path + "\\" + name, lines);
            RegCloseKey(sub);
        }
    }
}

void DumpDirectory(const std::string& directory, const std::vector<std::string>& skipped, std::set<std::string>& lines)
{
    const std::string lower = Lowercase(directory);
    for (const std::string& part : skipped)
        if (lower.find(Lowercase(part)) != std::string::npos)
            return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = directory + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines.insert("dir " + path);
            DumpDirectory(path, skipped, lines);
        } else {
            lines.insert("file " + path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

PrefixSnapshot TakeSnapshot(const std::vector<SnapshotRoot>& roots, const std::vector<std::string>& directories,
                            const std::vector<std::string>& skippedDirectoryParts)
{
    PrefixSnapshot snapshot;
    for (const SnapshotRoot& root : roots) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root.root, root.subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DumpKey(key, std::string(root.rootName) + "\\" + root.subKey, snapshot.lines);
        RegCloseKey(key);
    }
    for (const std::string& directory : directories)
        DumpDirectory(directory, skippedDirectoryParts, snapshot.lines);
    return snapshot;
}

SnapshotDifference Compare(const PrefixSnapshot& before, const PrefixSnapshot& after)
{
    SnapshotDifference difference;
    std::set_difference(before.lines.begin(), before.lines.end(), after.lines.begin(), after.lines.end(),
                        std::back_inserter(difference.removed));
    std::set_difference(after.lines.begin(), after.lines.end(), before.lines.begin(), before.lines.end(),
                        std::back_inserter(difference.added));
    return difference;
}

std::string FormatDifference(const SnapshotDifference& difference)
{
    std::string text;
    for (const std::string& line : difference.removed)
        text += "- " + line + "\n";
    for (const std::string& line : difference.added)
        text += "+ " + line + "\n";
    return text;
}
