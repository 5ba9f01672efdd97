#include "PlanBuildingRemovalSteps.h"

#include <sstream>

#include "PlanReport.h"
#include "PrinterListFile.h"

void PlanBuildingRemovalSteps::buildRemovalPlan() {
  if (!trace_) {
    database_.BuildRemovalPlan();
    return;
  }
  // Before the build, which clears keep on masked copies of printers that go.
  for (const InstalledPrinter& printer : database_.Printers()) trace_("printer\t" + FormatPrinterListLine(printer));
  database_.BuildRemovalPlan();
  std::ostringstream report;
  WritePlanReport(database_, report);
  std::string line;
  std::istringstream lines(report.str());
  while (std::getline(lines, line)) trace_(line);
}
