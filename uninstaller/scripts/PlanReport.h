#pragma once
// unzplan's output: one line per item of the selected set, the protected set
// and the removal plan ("plan.Files<TAB>a.dll"), then the flags and counters.

#include "UninstallDatabase.h"

#include <ostream>

void WritePlanReport(const UninstallDatabase& database, std::ostream& out);
