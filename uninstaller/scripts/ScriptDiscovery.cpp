#include "ScriptDiscovery.h"

#include "TextCompare.h"

const char kScriptFileName[] = "Xunz___Z.unm";

namespace {

// The attribute word of an entry that is a directory and nothing else.
constexpr unsigned long kDirectoryAttribute = 0x10;

std::string WithTrailingBackslash(const std::string& directory)
{
    if (directory.empty() || directory.back() == '\\' || directory.back() == '/')
        return directory;
    return directory + "\\";
}

}  // namespace

std::vector<std::string> ScriptSearchDirectories(const std::string& printerDriverDirectory,
                                                 const std::string& programDirectory,
                                                 const std::string& systemDirectory)
{
    std::string driverDirectory = WithTrailingBackslash(printerDriverDirectory);
    std::string driverSubdirectory = driverDirectory.empty() ? std::string{} : driverDirectory + "3\\";
    return {driverDirectory, driverSubdirectory, WithTrailingBackslash(programDirectory),
            WithTrailingBackslash(systemDirectory)};
}

std::vector<std::string> DiscoverScripts(const std::vector<std::string>& directories, DirectoryLister& lister)
{
    std::vector<std::string> paths;
    for (const std::string& given : directories) {
        if (given.empty())
            continue;
        std::string directory = WithTrailingBackslash(given);
        for (const DirectoryMatch& match : lister.FindMatches(directory, kScriptFileName)) {
            if (match.attributes == kDirectoryAttribute)
                continue;
            paths.push_back(directory + match.name);
        }
    }
    SortUniqueIgnoringCase(paths);
    return paths;
}
