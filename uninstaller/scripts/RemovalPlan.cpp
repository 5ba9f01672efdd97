// Building the removal plan: what the removal phases delete, given the
// selected set and which installed printers stay.

#include "UninstallDatabase.h"

#include "TextCompare.h"
#include "TextFields.h"

namespace {

// The maker's registry keys, removed only with the last printer.
struct MakerKey {
    const char* subKey;
    const char* deltree;
};

constexpr MakerKey kMakerKeys[] = {
    {"SOFTWARE\\ARVEL NORVANE\\OEM_Z", "1"},
    {"SOFTWARE\\ARVEL NORVANE\\XSR32__Z", "1"},
    {"SOFTWARE\\ARVEL NORVANE\\Filters", "1"},
    {"SOFTWARE\\ARVEL NORVANE", "0"},
};

std::string RegistryKeyLine(const char* subKey, const char* deltree)
{
    return std::string("HKLM,\"") + subKey + "\",\"\"," + deltree;
}

std::string FileNameOf(const std::string& path)
{
    size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// A Files line names its file before any "=".
bool FilesListNames(const UninstallProfile& profile, std::string_view fileName)
{
    for (const std::string& item : profile.Items(ItemList::Files)) {
        std::string_view named = TrimSpaces(std::string_view(item).substr(0, item.find('=')));
        if (EqualsIgnoringCase(named, fileName))
            return true;
    }
    return false;
}

}  // namespace

void UninstallDatabase::BuildRemovalPlan()
{
    protectedSet_.Clear();
    removalPlan_.Clear();
    printersStaying_ = 0;
    printersGoing_ = 0;

    // A masked copy goes with the printer it stands for.
    for (const InstalledPrinter& printer : printers_) {
        if (!printer.Goes())
            continue;
        for (InstalledPrinter& copy : printers_) {
            if (EqualsIgnoringCase(copy.baseName, printer.name))
                copy.keep = false;
        }
    }

    for (const InstalledPrinter& printer : printers_) {
        if (printer.foreign || printer.removed)
            continue;
        if (!printer.keep) {
            ++printersGoing_;
            continue;
        }
        ++printersStaying_;
        UninstallProfile profile;
        if (FindProfileByDriver(printer.driver, profile) || FindProfileByManufacturer(printer.driver, profile))
            protectedSet_.Merge(profile);
    }

    bool fullRemoval = printersStaying_ == 0;
    if (fullRemoval)
        ExtendSelectedSetForFullRemoval();

    // Ignore profiles are never removed; catch-all profiles only with the
    // last printer, so while one stays they are protected.
    for (const UninstallProfile& profile : profiles_) {
        if (profile.ignore || (profile.catchAll && !fullRemoval))
            protectedSet_.Merge(profile);
    }

    removalPlan_.Assign(selectedSet_);
    removalPlan_.Subtract(protectedSet_);

    maskingToolKept_ = !FilesListNames(removalPlan_, MaskingToolExecutable());

    selectedSet_.SortAll();
    protectedSet_.SortAll();
    removalPlan_.SortAll();
}

void UninstallDatabase::ExtendSelectedSetForFullRemoval()
{
    if (const UninstallProfile* maskingTool = FindProfileByName(kMaskingToolProfileName))
        selectedSet_.Merge(*maskingTool);
    for (const std::string& path : scriptPaths_) {
        if (EndsWithIgnoringCase(path, ".unm"))
            selectedSet_.AddItem(ItemList::Files, FileNameOf(path));
    }
    for (const UninstallProfile& profile : profiles_) {
        if (profile.catchAll)
            selectedSet_.Merge(profile);
    }
    for (const MakerKey& key : kMakerKeys)
        selectedSet_.AddItem(ItemList::RegistryKeys, RegistryKeyLine(key.subKey, key.deltree));
}
