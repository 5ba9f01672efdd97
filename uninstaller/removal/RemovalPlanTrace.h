#pragma once

#include <functional>
#include <string>

#include "UninstallDatabase.h"

using TraceWriter = std::function<void(const std::string&)>;

// Phase 0: builds the removal plan from the database. With a trace, the
// printers the plan was built for and the plan itself go to it in unzplan's
// form, so that a run can be checked against the tool.
void BuildRemovalPlanWithTrace(UninstallDatabase& database, const TraceWriter& trace);
