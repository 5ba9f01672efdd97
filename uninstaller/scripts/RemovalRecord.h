#pragma once
// What a removal is about to take, written before its phases delete
// anything and removed when they end, so that a removal ended abruptly
// (Task Manager, power loss) can be finished by the next run: the printers
// that go, their drivers (which no profile may name, and which no printer
// points at once the printers are gone) and the plan.

#include "UninstallProfile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RemovalRecord {
    std::vector<std::string> printers;
    std::vector<std::string> drivers;
    UninstallProfile plan;
};

// Kept beside the scripts, in the printer-driver directory.
extern const char kRemovalRecordName[];  // "Xunz___Z.unr"

// One "kind<TAB>text" line per printer, driver and plan item between a
// first and a last line of their own. Names holding a line break cannot be
// written; such a printer is left out, which only keeps it on a later run.
std::string FormatRemovalRecord(const RemovalRecord& record);
// Nothing unless the text is a whole record: a record cut short by the end
// of its writer could name something else than was meant.
std::optional<RemovalRecord> ParseRemovalRecord(std::string_view text);
