#include "MainWindowFlow.h"

InitialView initialView(bool filterSwitchGiven, bool nopickSwitch, bool pickingAllowed) {
  InitialView view;
  if (!filterSwitchGiven) {
    view.panel = pickingAllowed ? Panel::Selection : Panel::Removal;
    return view;
  }
  view.showWindow = true;
  if (nopickSwitch) {
    view.panel = Panel::Removal;
  } else {
    view.panel = Panel::Selection;
    view.fillList = true;
    view.enableExit = true;
  }
  return view;
}

NextStep stepAfterComponentChoice(ComponentChoice choice, bool pickingAllowed) {
  if (choice == ComponentChoice::ScannerOnly) return NextStep::EndAndStartScannerUninstall;
  return pickingAllowed ? NextStep::OfferSelection : NextStep::StartRemoval;
}

Panel panelAfterRemoval(int offeredPrinters, bool restartPending) {
  return offeredPrinters == 0 || restartPending ? Panel::Removal : Panel::Selection;
}
