#include "Win32ScriptStorage.h"

#include <windows.h>

bool Win32ScriptStorage::ReadWholeFile(const std::string& path, std::string& contents)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    contents.clear();
    bool ok = true;
    char chunk[4096];
    while (true) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        contents.append(chunk, read);
    }
    CloseHandle(file);
    return ok;
}

std::string Win32ScriptStorage::ReadProfileString(const std::string& path, const std::string& section,
                                                  const std::string& key, size_t maxCharacters)
{
    std::string buffer(maxCharacters + 1, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                            static_cast<DWORD>(buffer.size()), path.c_str());
    buffer.resize(length);
    return buffer;
}

std::vector<DirectoryMatch> Win32DirectoryLister::FindMatches(const std::string& directory, const std::string& fileName)
{
    std::vector<DirectoryMatch> matches;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + fileName).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return matches;
    do {
        matches.push_back(DirectoryMatch{found.cFileName, found.dwFileAttributes});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return matches;
}
