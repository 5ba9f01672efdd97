#include "RemovalPlanTrace.h"

#include <sstream>

#include "PlanReport.h"
#include "PrinterListFile.h"

void BuildRemovalPlanWithTrace(UninstallDatabase& database, const TraceWriter& trace) {
  if (!trace) {
    database.BuildRemovalPlan();
    return;
  }
  for (const InstalledPrinter& printer : database.Printers()) trace("printer\t" + FormatPrinterListLine(printer));
  database.BuildRemovalPlan();
  std::ostringstream report;
  WritePlanReport(database, report);
  std::string line;
  std::istringstream lines(report.str());
  while (std::getline(lines, line)) trace(line);
}
