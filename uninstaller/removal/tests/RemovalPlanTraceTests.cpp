#include "RemovalPlanTrace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "PlanReport.h"
#include "StreamScriptStorage.h"

using ::testing::ElementsAreArray;

namespace {

InstalledPrinter printer(const char* name, const char* driver, const char* baseName, bool ours) {
  InstalledPrinter result;
  result.name = name;
  result.driver = driver;
  result.baseName = baseName;
  result.ours = ours;
  result.DeriveForeign();
  return result;
}

class ScriptOnlyStorage : public StreamScriptStorage {
 public:
  bool ReadWholeFile(const std::string&, std::string& contents) override {
    contents =
        "[UnPrinterDrivers]\nDrv A,A,1\n"
        "[A.Files]\na.dll\n";
    return true;
  }
};

}  // namespace

// The trace holds what unzplan needs to replay the run (the printers as the
// plan saw them, before the build changes their flags) and then exactly
// the tool's report.
TEST(RemovalPlanTrace, TracesThePrintersAndThenTheToolsReport) {
  UninstallDatabase database;
  ScriptOnlyStorage storage;
  ASSERT_EQ(database.ReadScript("C:\\DRV\\Xunz___Z.unm", storage), ScriptReadResult::Read);
  database.CollectSelectedSet();
  InstalledPrinter masked = printer("Office (masked)", "Veneer", "Office", false);
  masked.keep = true;
  database.Printers() = {printer("Office", "Drv A", "", true), masked};

  std::vector<std::string> trace;
  BuildRemovalPlanWithTrace(database, [&trace](const std::string& line) { trace.push_back(line); });

  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[0], "printer\tOffice\tDrv A\t\t\to");
  EXPECT_EQ(trace[1], "printer\tOffice (masked)\tVeneer\tOffice\t\tk");
  EXPECT_TRUE(database.Printers()[1].Goes()) << "the masked copy follows its base printer";

  std::ostringstream report;
  WritePlanReport(database, report);
  std::vector<std::string> expected;
  std::istringstream lines(report.str());
  for (std::string line; std::getline(lines, line);) expected.push_back(line);
  EXPECT_THAT(std::vector<std::string>(trace.begin() + 2, trace.end()), ElementsAreArray(expected));
  EXPECT_NE(std::find(trace.begin(), trace.end(), "plan.Files\ta.dll"), trace.end());
  EXPECT_NE(std::find(trace.begin(), trace.end(), "counter.going\t2"), trace.end());
}
