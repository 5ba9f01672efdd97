#include "SystemRemovalSteps.h"

#include "PlanLineSafety.h"

void SystemRemovalSteps::buildDirectoryLists() {
  if (context_.directory) {
    const std::string driverDirectory = context_.directory(26);
    context_.printerDriverDirectory = driverDirectory.empty() ? std::string() : withTrailingBackslash(driverDirectory);
  }
  cleanup_.buildDirectoryLists();
}

