#pragma once
// Everything the uninstaller knows about what to remove: the profiles of all
// uninstall scripts, the installed printers, and the sets computed from them
// (selected set, protected set, removal plan).
//
// Filled during loading: ReadScript for each discovered script, then
// CollectSelectedSet and ApplyMaskingToolChoice, then the printer list.
// BuildRemovalPlan may be called any number of times afterwards.

#include "InstalledPrinter.h"
#include "RemovalRecord.h"
#include "ScriptFile.h"
#include "ScriptStorage.h"
#include "UninstallProfile.h"

#include <optional>
#include <string>
#include <vector>

enum class ScriptReadResult {
    Read,
    FailedToOpen,       // missing, unreadable or empty
    NoStarterSections,  // none of the four starter sections has an entry
};

// The internal reason for a rejected script ("failed to open file", ...);
// empty for Read.
const char* ScriptRejectionReason(ScriptReadResult result);

// The masking tool's profile name.
extern const char kMaskingToolProfileName[];  // "Veneer"

class UninstallDatabase {
public:
    // platformClass as the frame's OsInfo gives it (1 oldest subset,
    // 2 consumer Windows, 3 NT family); it picks the masking tool's
    // executable name and the consumer-Windows flag.
    explicit UninstallDatabase(int platformClass = 3);

    // Loads, parses and adds one script. A rejected script adds nothing.
    ScriptReadResult ReadScript(const std::string& path, ScriptStorage& storage);
    // The same for a script already parsed; storage answers the profile-string
    // lookup of the scanner's product GUID.
    ScriptReadResult AddScript(const ScriptFile& file, ScriptStorage& storage);

    // Selected set := merge of every profile that is not an ignore profile.
    void CollectSelectedSet();
    // With the masking tool included (switch UNVEN) the selected set becomes
    // its profile alone; otherwise its items leave the selected set. Nothing
    // happens without a masking tool profile.
    void ApplyMaskingToolChoice(bool includeMaskingTool);

    // First profile of any kind whose name equals driverName.
    bool FindProfileByDriver(const std::string& driverName, UninstallProfile& found) const;
    // The last manufacturer profile whose first word equals the driver's.
    bool FindProfileByManufacturer(const std::string& driverName, UninstallProfile& found) const;
    const UninstallProfile* FindProfileByName(const std::string& displayName) const;

    // Recomputes the protected set and the plan from the selected set and
    // the printers' flags; also marks the masked copies of printers that go
    // and counts staying and going printers. The result depends on the
    // current selection alone, however often and after whichever other
    // selections it is built.
    void BuildRemovalPlan();
    // Once the printers' phase is over: a printer still installed, kept or
    // one whose deletion failed, stays, and while one stays the plan gives
    // back what only the removal of the last printer takes (the scripts,
    // the maker's keys, the masking tool, the catch-all profiles), so that
    // the printer can still be uninstalled later.
    void RecountAfterPrinterRemoval();
    // The masking tool goes only because no printer stays; its run then
    // waits for the printers' phase.
    bool MaskingToolGoesOnlyWithLastPrinter() const;

    const std::vector<UninstallProfile>& Profiles() const { return profiles_; }
    const std::vector<std::string>& ScriptPaths() const { return scriptPaths_; }
    const UninstallProfile& SelectedSet() const { return selectedSet_; }
    const UninstallProfile& ProtectedSet() const { return protectedSet_; }
    const UninstallProfile& RemovalPlan() const { return removalPlan_; }
    // The removal phases add the package's directories to the plan.
    UninstallProfile& MutableRemovalPlan() { return removalPlan_; }

    std::vector<InstalledPrinter>& Printers() { return printers_; }
    const std::vector<InstalledPrinter>& Printers() const { return printers_; }

    // A removal that an earlier run recorded and did not finish: this run
    // takes up its plan and its drivers instead of building its own, and
    // takes nothing that removal did not.
    void ResumeUnfinishedRemoval(RemovalRecord record) { unfinished_ = std::move(record); }
    const std::optional<RemovalRecord>& UnfinishedRemoval() const { return unfinished_; }
    // With an unfinished removal: every printer it did not take is kept and
    // not offered.
    void KeepPrintersOutsideUnfinishedRemoval();
    // What the removal is about to take, once the plan is built: the
    // printers that go, their drivers, the plan.
    RemovalRecord RecordOfRemoval() const;

    int PlatformClass() const { return platformClass_; }
    bool ConsumerWindows() const { return platformClass_ == 2; }
    bool PickingAllowed() const { return pickingAllowed_; }
    bool ScannerUninstallRequested() const { return scannerUninstallRequested_; }
    void SetScannerUninstallRequested(bool requested) { scannerUninstallRequested_ = requested; }
    const std::string& ScannerProductGuid() const { return scannerProductGuid_; }
    bool RestartNeeded() const { return restartNeeded_; }
    void SetRestartNeeded(bool needed) { restartNeeded_ = needed; }
    bool MaskingToolKept() const { return maskingToolKept_; }
    // The masking tool's executable: "VENEER.EXE" on platform class 1,
    // "VENEER32.EXE" otherwise.
    const char* MaskingToolExecutable() const;

    // Kept printers; after RecountAfterPrinterRemoval every printer of the
    // package still installed.
    int PrintersStaying() const { return printersStaying_; }
    int PrintersGoing() const { return printersGoing_; }

private:
    void AddProfile(const ScriptFile& file, const std::string& line, bool manufacturer, bool catchAll, bool ignore);
    void ReadSettings(const ScriptFile& file, ScriptStorage& storage);
    void SortProfiles();
    // What only the removal of the last printer takes: the masking tool,
    // the scripts, the catch-all profiles and the maker's keys.
    void AddFullRemovalItems(UninstallProfile& items) const;
    void MarkMaskedCopiesOfGoingPrinters();

    int platformClass_;
    std::vector<UninstallProfile> profiles_;
    std::vector<std::string> scriptPaths_;
    UninstallProfile selectedSet_;
    UninstallProfile protectedSet_;
    UninstallProfile removalPlan_;
    UninstallProfile fullRemovalItems_;  // of the plan, there only as no printer stays
    std::vector<InstalledPrinter> printers_;
    std::optional<RemovalRecord> unfinished_;
    bool restartNeeded_ = false;
    bool scannerUninstallRequested_ = false;
    bool pickingAllowed_ = true;
    bool maskingToolKept_ = false;
    std::string scannerProductGuid_;
    int printersStaying_ = 0;
    int printersGoing_ = 0;
};
