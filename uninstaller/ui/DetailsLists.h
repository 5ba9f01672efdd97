#pragma once
// What the details dialog (resource 116) shows: for each radio button one
// list of the removal plan (or of one printer's profile) with its columns,
// and the dialog's title. A diagnostic view for support engineers.

#include "InstalledPrinter.h"
#include "UninstallDatabase.h"
#include "UninstallProfile.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct DetailsChoice {
    int control;                 // radio button id
    std::optional<ItemList> list;  // empty: the directory variables
    std::vector<std::string> columns;
};

// The twelve choices in radio-button order, 1097 to 1107 and 1109.
const std::vector<DetailsChoice>& DetailsChoices();
const DetailsChoice* FindDetailsChoice(int control);

using DetailsRow = std::vector<std::string>;

// Each line split at commas into the columns; the last column keeps the
// rest of the line. An empty list gives one row "(empty)".
std::vector<DetailsRow> DetailsRowsOf(const std::vector<std::string>& lines, std::size_t columnCount);

// "WINDIR", "SYSDIR", "COLORDIR", "PRINTPROCDIR", "PRINTPROCDIR_W40",
// "PRINTDRIVERDIR", "PRINTDRIVERDIR_W40" with the directories of codes
// 3, 4, 33, 28, 29, 26 and 27.
std::vector<DetailsRow> DirectoryVariableRows(const std::function<std::string(int code)>& directoryOf);

// The one printer picked for removal among those offered, if exactly one is.
const InstalledPrinter* SingleSelectedPrinter(const std::vector<InstalledPrinter>& printers);

struct DetailsProfile {
    bool found = false;
    UninstallProfile profile;
};

// That printer's profile: by driver, else by manufacturer.
DetailsProfile ProfileOfPrinter(const UninstallDatabase& database, const InstalledPrinter& printer);

// "Extra Info - Printer: %s", "Extra Info - Mfg: %s" or "Extra Info - EMPTY
// AND UNKNOWN SETTINGS!!!" in single-profile mode, else "Extra Info -
// Multiple Printers".
std::string DetailsTitle(bool singleProfileMode, const DetailsProfile& profile);
