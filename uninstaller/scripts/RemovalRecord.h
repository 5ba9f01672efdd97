#pragma once
// What a removal is about to take, written before its phases delete
// anything and removed when they end, so that a removal ended abruptly
// (Task Manager, power loss) can be finished by the next run: the printers
// that go, their drivers (which no profile may name, and which no printer
// points at once the printers are gone) and the plan, with the part of it
// that only the removal of the last printer takes.

#include "UninstallProfile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RemovalRecord {
    std::vector<std::string> printers;
    std::vector<std::string> drivers;
    UninstallProfile plan;
    // Items of the plan that are there only because no printer stayed (the
    // scripts, the maker's keys, the masking tool): a later run takes them
    // only if still no printer stays.
    UninstallProfile fullRemovalItems;
};

// Kept beside the scripts, in the printer-driver directory.
extern const char kRemovalRecordName[];  // "Xunz___Z.unr"

// One "kind<TAB>text" line per printer, driver and plan item between a
// first and a last line of their own. The package's directories are never
// part of it: phase 9 reads them from the registry, through its guard. Names holding a line break cannot be
// written; such a printer is left out, which only keeps it on a later run.
std::string FormatRemovalRecord(const RemovalRecord& record);
// Nothing unless the text is a whole record: a record cut short by the end
// of its writer could name something else than was meant, and one that
// names directories was not written by a removal.
std::optional<RemovalRecord> ParseRemovalRecord(std::string_view text);
