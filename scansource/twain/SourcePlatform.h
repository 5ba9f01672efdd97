#pragma once
// What the dispatch core asks of the world around it: the support library,
// the settings file, the scanner, the data source manager and the scan
// settings window. The Win32 shell implements it; tests put a fake in.
#include "twain.h"

class SourcePlatform {
public:
    virtual ~SourcePlatform() = default;

    // MSG_OPENDS binds the support library again when MSG_CLOSEDS released it.
    virtual void bindSupportLibrary() = 0;
    virtual void releaseSupportLibrary() = 0;
    // The imaging library goes with the session that used it; the next scan
    // loads it again.
    virtual void releaseImagingLibrary() = 0;

    virtual void loadSettings() = 0;
    virtual void saveSettings() = 0;

    // Asks the support library which text variant the windows use.
    virtual void decideAnsiMode() = 0;

    // The reachability probe opens and closes the device and shows its own box.
    virtual bool scannerReachable() = 0;
    // False when the channel could not be closed.
    virtual bool closeScannerChannel() = 0;
    // Passes a message key to the warning routine with its show flag off.
    virtual void traceWarning(unsigned stringId) = 0;

    // Sends MSG_XFERREADY or MSG_CLOSEDSREQ to the connected application.
    virtual void sendManagerNotification(TW_UINT16 message) = 0;

    virtual bool createScanWindow(void* parentWindow) = 0;
    virtual bool scanWindowExists() = 0;
    virtual void destroyScanWindow() = 0;
    // True when the scan settings window consumed the event's window message.
    virtual bool consumeWindowMessage(void* windowMessage) = 0;

    // Movable global memory: the capability containers handed to the
    // application (which frees them) and those it sends with MSG_SET.
    // allocateGlobal answers null when memory is short; globalSize answers
    // 0 and lockGlobal null for a handle that is not a live block.
    virtual TW_HANDLE allocateGlobal(TW_UINT32 bytes) = 0;
    virtual TW_UINT32 globalSize(TW_HANDLE handle) = 0;
    virtual void* lockGlobal(TW_HANDLE handle) = 0;
    virtual void unlockGlobal(TW_HANDLE handle) = 0;
    virtual void freeGlobal(TW_HANDLE handle) = 0;

    // The scanner's feeder queries: isFeederMissing and queryFeederStatus.
    virtual int feederMissing() = 0;
    virtual int feederStatus(int reportCovers) = 0;
};

// The platform that the dispatch core uses; set once at library attach.
void setSourcePlatform(SourcePlatform* platform);
SourcePlatform& sourcePlatform();
