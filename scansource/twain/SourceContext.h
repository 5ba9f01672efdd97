#pragma once
// The process-wide record of the data source, reached only through these
// functions: the manager calls the source on one thread and the source
// serves one application at a time, so nothing here is locked.
#include "twain.h"

enum SourceState {
    StateLoaded = 3,
    StateOpen = 4,
    StateEnabled = 5,
    StateTransferReady = 6,
    StateTransferring = 7,
};

struct SourceContext {
    int state;
    TW_IDENTITY ConnectedApp;
    TW_IDENTITY SourceIdentity;
    TW_STATUS pendingConditionCode;  // Reserved stays 0
    TW_BOOL showUI;
    void* parentWindow;
    TW_ELEMENT8 grayResponse[256];
    TW_ELEMENT8 rgbResponse[256];
    // Nesting count of the waits (a scan, a box) during which the
    // application's message loop may call the source again.
    int busy;
};

// One call from the manager, handed to every handler.
struct TwainRequest {
    TW_IDENTITY* origin;
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    TW_MEMREF data;
};

using OperationHandler = TW_UINT16 (*)(const TwainRequest& request);

SourceContext& sourceContext();

// State at load: not open, no application, identity Id 0, protocol 1.9.
// The identity texts are filled by the library's attach code.
void resetSourceContext();

// A new session starts clean even when the manager kept the library loaded.
void beginSession(const TW_IDENTITY& application, TW_UINT32 sourceId);
void endSession();

int sourceState();
void setSourceState(int state);

void setConditionCode(TW_UINT16 conditionCode);

// While the source scans or shows a box, the application's message loop
// runs and may call it again; such a call must not start a second transfer
// or disable or close the source under the running code.
bool sourceBusy();
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

// Stores the condition code, traces the operation and answers TWRC_FAILURE.
TW_UINT16 failOperation(const char* operationText, TW_UINT16 conditionCode);
