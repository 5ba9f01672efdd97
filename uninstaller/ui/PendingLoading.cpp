#include "PendingLoading.h"

#include "Trace.h"

LoadingResult runPendingLoading() {
  writeTrace("uninstaller: loading sequence not implemented yet: no rights check, no scripts read, no printers listed");
  LoadingResult result;
  result.prepared = true;
  return result;
}
