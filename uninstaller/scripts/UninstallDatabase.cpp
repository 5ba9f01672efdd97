#include "UninstallDatabase.h"

#include "ProfileLine.h"
#include "TextCompare.h"

#include <algorithm>

const char kMaskingToolProfileName[] = "Veneer";

namespace {

const char kManufacturerSection[] = "UnPrinterMfgs";
const char kDriverSection[] = "UnPrinterDrivers";
const char kCatchAllSection[] = "Unz_CatchAll";
const char kIgnoreSection[] = "Unx_Ignore";
const char kCommandLineSection[] = "CommandlineParam";
const char kScannerSection[] = "UnScannerDriver";

// Fixed list buffers of the reader: what does not fit is not read.
constexpr size_t kStarterListBufferSize = 260;
constexpr size_t kItemListBufferSize = 4096;
constexpr size_t kMaxItemLineLength = 259;
// 39 characters: a braced GUID still fits when the script quotes it.
constexpr size_t kMaxProductGuidLength = 39;

std::string FirstWord(const std::string& text)
{
    return text.substr(0, text.find(' '));
}

}  // namespace

const char* ScriptRejectionReason(ScriptReadResult result)
{
    switch (result) {
    case ScriptReadResult::FailedToOpen:
        return "failed to open file";
    case ScriptReadResult::NoStarterSections:
        return "no starter sections";
    case ScriptReadResult::Read:
        break;
    }
    return "";
}

UninstallDatabase::UninstallDatabase(int platformClass) : platformClass_(platformClass) {}

const char* UninstallDatabase::MaskingToolExecutable() const
{
    return platformClass_ == 1 ? "VENEER.EXE" : "VENEER32.EXE";
}

ScriptReadResult UninstallDatabase::ReadScript(const std::string& path, ScriptStorage& storage)
{
    std::string contents;
    if (!storage.ReadWholeFile(path, contents) || contents.empty())
        return ScriptReadResult::FailedToOpen;
    return AddScript(ScriptFile::Parse(contents, path), storage);
}

ScriptReadResult UninstallDatabase::AddScript(const ScriptFile& file, ScriptStorage& storage)
{
    int manufacturers = file.CountEntries(kManufacturerSection);
    int drivers = file.CountEntries(kDriverSection);
    int catchAlls = file.CountEntries(kCatchAllSection);
    int ignores = file.CountEntries(kIgnoreSection);
    if (manufacturers + drivers + catchAlls + ignores == 0)
        return ScriptReadResult::NoStarterSections;

    scriptPaths_.push_back(file.Path());
    for (const std::string& line : ReadLinesLimited(file, kManufacturerSection, kStarterListBufferSize))
        AddProfile(file, line, true, false, false);
    for (const std::string& key : ReadKeysLimited(file, kDriverSection, kStarterListBufferSize))
        AddProfile(file, key, false, false, false);
    ReadSettings(file, storage);
    for (const std::string& key : ReadKeysLimited(file, kCatchAllSection, kStarterListBufferSize))
        AddProfile(file, key, false, true, false);
    for (const std::string& key : ReadKeysLimited(file, kIgnoreSection, kStarterListBufferSize))
        AddProfile(file, key, false, false, true);
    SortProfiles();
    return ScriptReadResult::Read;
}

void UninstallDatabase::ReadSettings(const ScriptFile& file, ScriptStorage& storage)
{
    if (file.CountEntries(kCommandLineSection) > 0 && file.IntegerValue(kCommandLineSection, "NOPICK", 0) > 0)
        pickingAllowed_ = false;

    if (file.CountEntries(kScannerSection) == 0)
        return;
    if (file.IntegerValue(kScannerSection, "UninstallScanner", 0) > 0)
        scannerUninstallRequested_ = true;
    if (!scannerUninstallRequested_)
        return;
    scannerProductGuid_ = storage.ReadProfileString(file.Path(), kScannerSection, "ProductGUID", kMaxProductGuidLength);
    if (scannerProductGuid_.size() > kMaxProductGuidLength)
        scannerProductGuid_.resize(kMaxProductGuidLength);
    if (scannerProductGuid_.empty())
        scannerUninstallRequested_ = false;
}

void UninstallDatabase::AddProfile(const ScriptFile& file, const std::string& line, bool manufacturer, bool catchAll,
                                   bool ignore)
{
    ProfileLine parsed = ParseProfileLine(line);
    UninstallProfile profile;
    profile.displayName = parsed.displayName.substr(0, ScriptFile::kMaxNameLength);
    profile.manufacturer = manufacturer;
    profile.catchAll = catchAll;
    profile.ignore = ignore;
    profile.number = parsed.number;
    profile.prefix = parsed.prefix;
    profile.scriptPath = file.Path();
    if (!manufacturer)
        profile.AddItem(ItemList::Drivers, profile.displayName);

    // Without a prefix the profile names no item sections.
    if (!profile.prefix.empty()) {
        for (size_t i = 0; i < kScriptItemListCount; ++i) {
            ItemList list = ItemListAt(i);
            std::vector<std::string> items =
                ReadLinesLimited(file, profile.prefix + "." + ItemListName(list), kItemListBufferSize);
            for (std::string& item : items) {
                if (item.size() > kMaxItemLineLength)
                    item.resize(kMaxItemLineLength);
            }
            profile.SetItems(list, std::move(items));
        }
    }
    profiles_.push_back(std::move(profile));
}

void UninstallDatabase::SortProfiles()
{
    std::stable_sort(profiles_.begin(), profiles_.end(), [](const UninstallProfile& a, const UninstallProfile& b) {
        return LessIgnoringCase(a.displayName, b.displayName);
    });
    auto end = std::unique(profiles_.begin(), profiles_.end(), [](const UninstallProfile& a, const UninstallProfile& b) {
        return EqualsIgnoringCase(a.displayName, b.displayName);
    });
    profiles_.erase(end, profiles_.end());
}

void UninstallDatabase::CollectSelectedSet()
{
    selectedSet_.Clear();
    for (const UninstallProfile& profile : profiles_) {
        if (!profile.ignore)
            selectedSet_.Merge(profile);
    }
}

void UninstallDatabase::ApplyMaskingToolChoice(bool includeMaskingTool)
{
    const UninstallProfile* maskingTool = FindProfileByName(kMaskingToolProfileName);
    if (!maskingTool)
        return;
    if (includeMaskingTool)
        selectedSet_.Assign(*maskingTool);
    else
        selectedSet_.Subtract(*maskingTool);
}

const UninstallProfile* UninstallDatabase::FindProfileByName(const std::string& displayName) const
{
    for (const UninstallProfile& profile : profiles_) {
        if (EqualsIgnoringCase(profile.displayName, displayName))
            return &profile;
    }
    return nullptr;
}

bool UninstallDatabase::FindProfileByDriver(const std::string& driverName, UninstallProfile& found) const
{
    const UninstallProfile* profile = FindProfileByName(driverName);
    if (!profile)
        return false;
    found.Assign(*profile);
    return true;
}

bool UninstallDatabase::FindProfileByManufacturer(const std::string& driverName, UninstallProfile& found) const
{
    std::string driverWord = FirstWord(driverName);
    const UninstallProfile* match = nullptr;
    for (const UninstallProfile& profile : profiles_) {
        if (profile.manufacturer && EqualsIgnoringCase(FirstWord(profile.displayName), driverWord))
            match = &profile;
    }
    if (!match)
        return false;
    found.Assign(*match);
    return true;
}
