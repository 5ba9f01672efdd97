#include "ScriptDiscovery.h"

#include "TextCompare.h"

const char kScriptFileName[] = "Xunz___Z.unm";

namespace {

// The attribute word of an entry that is a directory and nothing else.
constexpr unsigned long kDirectoryAttribute = 0x10;

}  // namespace

std::vector<std::string> ScriptSearchDirectories(const std::string& printerDriverDirectory,
                                                 const std::string& programDirectory,
                                                 const std::string& systemDirectory)
{
    std::string driverSubdirectory = printerDriverDirectory.empty() ? std::string{} : printerDriverDirectory + "3\\";
    return {printerDriverDirectory, driverSubdirectory, programDirectory, systemDirectory};
}

std::vector<std::string> DiscoverScripts(const std::vector<std::string>& directories, DirectoryLister& lister)
{
    std::vector<std::string> paths;
    for (const std::string& directory : directories) {
        if (directory.empty())
            continue;
        for (const DirectoryMatch& match : lister.FindMatches(directory, kScriptFileName)) {
            if (match.attributes == kDirectoryAttribute)
                continue;
            paths.push_back(directory + match.name);
        }
    }
    SortUniqueIgnoringCase(paths);
    return paths;
}
