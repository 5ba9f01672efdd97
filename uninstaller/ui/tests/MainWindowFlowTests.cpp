#include <gtest/gtest.h>

#include "MainWindowFlow.h"
#include "ScannerUninstallCommand.h"

namespace {

TEST(MainWindowFlow, WithoutFilterSwitchesTheWindowWaitsAndTheScriptsDecideThePanel) {
  InitialView picking = initialView(false, false, true);
  EXPECT_EQ(picking.panel, Panel::Selection);
  EXPECT_FALSE(picking.showWindow);
  EXPECT_FALSE(picking.fillList);
  EXPECT_EQ(initialView(false, false, false).panel, Panel::Removal);
  // NOPICK alone is not enough to hide the list.
  EXPECT_EQ(initialView(false, true, true).panel, Panel::Selection);
}

TEST(MainWindowFlow, FilterSwitchesShowTheWindowAtOnce) {
  InitialView listed = initialView(true, false, false);
  EXPECT_EQ(listed.panel, Panel::Selection);
  EXPECT_TRUE(listed.showWindow);
  EXPECT_TRUE(listed.fillList);
  EXPECT_TRUE(listed.enableExit);

  InitialView hidden = initialView(true, true, true);
  EXPECT_EQ(hidden.panel, Panel::Removal);
  EXPECT_TRUE(hidden.showWindow);
  EXPECT_FALSE(hidden.fillList);
  EXPECT_FALSE(hidden.enableExit);
}

TEST(MainWindowFlow, ComponentChoiceAndAfterRemoval) {
  EXPECT_EQ(stepAfterComponentChoice(ComponentChoice::ScannerOnly, true), NextStep::EndAndStartScannerUninstall);
  EXPECT_EQ(stepAfterComponentChoice(ComponentChoice::Both, true), NextStep::OfferSelection);
  EXPECT_EQ(stepAfterComponentChoice(ComponentChoice::PrinterOnly, false), NextStep::StartRemoval);

  EXPECT_EQ(panelAfterRemoval(0, false), Panel::Removal);
  EXPECT_EQ(panelAfterRemoval(2, true), Panel::Removal);
  EXPECT_EQ(panelAfterRemoval(2, false), Panel::Selection);
}

TEST(ScannerUninstallCommand, AppendsTheUnattendedSwitches) {
  EXPECT_EQ(scannerUninstallKey("{1234}"), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{1234}");
  EXPECT_EQ(scannerUninstallCommand("\"C:\\Scan\\unins.exe\" -x"), "\"C:\\Scan\\unins.exe\" -x /z auto-uninstall");
}

}  // namespace
