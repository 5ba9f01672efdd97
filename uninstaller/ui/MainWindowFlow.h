#pragma once

// The main window's decisions about which panel to show and what comes
// next, kept apart from the window so that each case can be tested.

enum class Panel { Selection, Removal };

struct InitialView {
  Panel panel = Panel::Selection;
  bool showWindow = false;
  bool fillList = false;
  bool enableExit = false;
};

// After loading. A filter switch is MFG, PRN or UNVEN.
InitialView initialView(bool filterSwitchGiven, bool nopickSwitch, bool pickingAllowed);

// Values match the component dialog's result.
enum class ComponentChoice { Both = 0, PrinterOnly = 1, ScannerOnly = 2 };

enum class NextStep { EndAndStartScannerUninstall, OfferSelection, StartRemoval };

NextStep stepAfterComponentChoice(ComponentChoice choice, bool pickingAllowed);

// After the phases: the selection panel returns with a fresh list only
// when there is still something to offer and no restart is pending.
Panel panelAfterRemoval(int offeredPrinters, bool restartPending);
