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

void UninstallDatabase::MarkMaskedCopiesOfGoingPrinters()
{
    for (InstalledPrinter& printer : printers_)
        printer.goesWithBase = false;
    // A masked copy goes with the printer it stands for, and a copy of that
    // copy with it.
    for (bool marked = true; marked;) {
        marked = false;
        for (const InstalledPrinter& printer : printers_) {
            if (!printer.Goes())
                continue;
            for (InstalledPrinter& copy : printers_) {
                if (copy.keep && !copy.goesWithBase && EqualsIgnoringCase(copy.baseName, printer.name)) {
                    copy.goesWithBase = true;
                    marked = true;
                }
            }
        }
    }
}

void UninstallDatabase::BuildRemovalPlan()
{
    protectedSet_.Clear();
    removalPlan_.Clear();
    printersStaying_ = 0;
    printersGoing_ = 0;
    MarkMaskedCopiesOfGoingPrinters();

    for (const InstalledPrinter& printer : printers_) {
        if (printer.foreign || printer.removed)
            continue;
        if (printer.Goes()) {
            ++printersGoing_;
            continue;
        }
        ++printersStaying_;
        UninstallProfile profile;
        if (FindProfileByDriver(printer.driver, profile) || FindProfileByManufacturer(printer.driver, profile))
            protectedSet_.Merge(profile);
    }

    // The selected set itself never changes here: the details dialog builds
    // the plan for one selection after another. An unfinished removal
    // recorded its plan with the items only the full removal takes apart;
    // those are not for a run in which a printer stays (one kept this time,
    // or installed since).
    const bool fullRemoval = printersStaying_ == 0;
    UninstallProfile chosen = unfinished_ ? unfinished_->plan : selectedSet_;
    UninstallProfile fullRemovalItems;
    if (unfinished_) {
        fullRemovalItems = unfinished_->fullRemovalItems;
        chosen.Subtract(fullRemovalItems);
    } else if (fullRemoval) {
        AddFullRemovalItems(fullRemovalItems);
    }

    // Ignore profiles are never removed; catch-all profiles only with the
    // last printer, so while one stays they are protected.
    for (const UninstallProfile& profile : profiles_) {
        if (profile.ignore || (profile.catchAll && !fullRemoval))
            protectedSet_.Merge(profile);
    }

    removalPlan_.Assign(chosen);
    if (fullRemoval)
        removalPlan_.Merge(fullRemovalItems);
    removalPlan_.Subtract(protectedSet_);
    fullRemovalItems_.Clear();
    if (fullRemoval) {
        fullRemovalItems_.Assign(removalPlan_);
        fullRemovalItems_.Subtract(chosen);
    }

    maskingToolKept_ = !FilesListNames(removalPlan_, MaskingToolExecutable());

    selectedSet_.SortAll();
    protectedSet_.SortAll();
    removalPlan_.SortAll();
}

void UninstallDatabase::RecountAfterPrinterRemoval()
{
    printersStaying_ = 0;
    for (const InstalledPrinter& printer : printers_) {
        if (!printer.foreign && !printer.removed)
            ++printersStaying_;
    }
    if (printersStaying_ == 0)
        return;
    // As if the printer had stayed from the start. The record written
    // before the phases keeps these items apart, so a later run takes
    // them only if by then no printer stays.
    removalPlan_.Subtract(fullRemovalItems_);
    fullRemovalItems_.Clear();
    for (const UninstallProfile& profile : profiles_) {
        if (profile.catchAll) {
            protectedSet_.Merge(profile);
            removalPlan_.Subtract(profile);
        }
    }
    maskingToolKept_ = !FilesListNames(removalPlan_, MaskingToolExecutable());
    protectedSet_.SortAll();
    removalPlan_.SortAll();
}

bool UninstallDatabase::MaskingToolGoesOnlyWithLastPrinter() const
{
    return FilesListNames(fullRemovalItems_, MaskingToolExecutable());
}

void UninstallDatabase::AddFullRemovalItems(UninstallProfile& items) const
{
    if (const UninstallProfile* maskingTool = FindProfileByName(kMaskingToolProfileName))
        items.Merge(*maskingTool);
    for (const std::string& path : scriptPaths_) {
        if (EndsWithIgnoringCase(path, ".unm"))
            items.AddItem(ItemList::Files, FileNameOf(path));
    }
    for (const UninstallProfile& profile : profiles_) {
        if (profile.catchAll)
            items.Merge(profile);
    }
    for (const MakerKey& key : kMakerKeys)
        items.AddItem(ItemList::RegistryKeys, RegistryKeyLine(key.subKey, key.deltree));
}

void UninstallDatabase::KeepPrintersOutsideUnfinishedRemoval()
{
    if (!unfinished_)
        return;
    for (InstalledPrinter& printer : printers_) {
        bool taken = false;
        for (const std::string& name : unfinished_->printers)
            taken = taken || EqualsIgnoringCase(name, printer.name);
        if (!taken) {
            printer.keep = true;
            printer.eligible = false;
        }
    }
}

RemovalRecord UninstallDatabase::RecordOfRemoval() const
{
    RemovalRecord record;
    if (unfinished_)
        record.drivers = unfinished_->drivers;
    for (const InstalledPrinter& printer : printers_) {
        if (!printer.Goes())
            continue;
        record.printers.push_back(printer.name);
        record.drivers.push_back(printer.driver);
    }
    SortUniqueIgnoringCase(record.drivers);
    record.plan = removalPlan_;
    record.fullRemovalItems = fullRemovalItems_;
    return record;
}
