#include "PendingLoading.h"

#include "DirectoryResolver.h"
#include "ScriptDiscovery.h"
#include "ScriptLoading.h"
#include "Trace.h"
#include "Win32PrinterList.h"
#include "Win32ScriptStorage.h"
#include "resource.h"

namespace {

std::vector<std::string> scriptDirectories(const OsInfo& os) {
  return ScriptSearchDirectories(resolveDirectoryCode(26, os).directoryPart(),
                                 resolveDirectoryCode(2, os).directoryPart(),
                                 resolveDirectoryCode(4, os).directoryPart());
}

void traceScript(const std::string& path, ScriptReadResult result) {
  if (result == ScriptReadResult::Read)
    writeTrace("uninstaller: script read: " + path);
  else
    writeTrace("uninstaller: script skipped: " + path + ": " + ScriptRejectionReason(result));
}

}  // namespace

LoadingResult runPendingLoading(UninstallDatabase& database, const CommandLineSwitches& switches, const OsInfo& os,
                                StringTable& texts, HWND owner) {
  writeTrace(
      "uninstaller: loading sequence not implemented yet: no rights check, no spooler restart, no closing of the "
      "package's other programs, no loading dialog");
  LoadingResult result;

  Win32DirectoryLister lister;
  Win32ScriptStorage storage;
  if (ReadDiscoveredScripts(database, scriptDirectories(os), lister, storage, traceScript).empty())
    writeTrace("uninstaller: no uninstall script found; the warning comes with the loading dialog");

  SpoolerPrinterList printers = ListInstalledPrinters(os.platformClass);
  if (printers.status == PrinterListStatus::SpoolerNotAnswering) {
    writeTrace("uninstaller: " + printers.failure);
    MessageBoxA(owner, texts.text(IDS_SPOOLER_NOT_ANSWERING), texts.text(IDS_TITLE), MB_OK | MB_ICONERROR);
    return result;
  }
  if (printers.status == PrinterListStatus::Failed)
    writeTrace("uninstaller: printer list empty: " + printers.failure + "; the retry comes with the loading dialog");

  result.offeredPrinters =
      ApplySelectionRules(database, PrinterFilterFromSwitches(switches), std::move(printers.printers));
  result.prepared = true;
  result.pickingAllowed = database.PickingAllowed();
  result.scannerUninstallRequested = database.ScannerUninstallRequested();
  result.productGuid = database.ScannerProductGuid();
  return result;
}
