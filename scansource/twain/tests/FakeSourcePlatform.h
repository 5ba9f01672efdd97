#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SourcePlatform.h"

// Records what the dispatch core asks of the platform; the scanner and the
// window behave as the test sets them up.
class FakeSourcePlatform : public SourcePlatform {
public:
    bool scannerPresent = true;
    bool channelCloses = true;
    bool windowCreates = true;
    bool windowConsumesMessages = true;
    bool windowOpen = false;
    void* windowParent = nullptr;
    int sourceStateAtNotification = 0;
    std::vector<std::string> calls;
    std::vector<TW_UINT16> notifications;
    std::vector<unsigned> tracedWarnings;
    // The application's calls while the source waits: on its message loop
    // during the probe's box, and from inside a notification.
    std::function<void()> duringProbe;
    std::function<void(TW_UINT16)> duringNotification;
    // The window's set-up queries the feeder and may show a box.
    std::function<void()> duringWindowCreation;

    void bindSupportLibrary() override;
    void releaseSupportLibrary() override;
    void releaseImagingLibrary() override;
    void loadSettings() override;
    void saveSettings() override;
    void decideAnsiMode() override;
    bool scannerReachable() override;
    bool closeScannerChannel() override;
    void traceWarning(unsigned stringId) override;
    void sendManagerNotification(TW_UINT16 message) override;
    bool createScanWindow(void* parentWindow) override;
    bool scanWindowExists() override;
    void destroyScanWindow() override;
    bool consumeWindowMessage(void* windowMessage) override;

    TW_HANDLE allocateGlobal(TW_UINT32 bytes) override;
    TW_UINT32 globalSize(TW_HANDLE handle) override;
    void* lockGlobal(TW_HANDLE handle) override;
    void unlockGlobal(TW_HANDLE handle) override;
    void freeGlobal(TW_HANDLE handle) override;
    int feederMissing() override;
    int feederStatus(int reportCovers) override;

    int count(const std::string& call) const;

    // Global memory: each block is exactly as large as asked, so that the
    // sanitizers catch a read past its end; a failed allocation is a switch.
    bool allocationFails = false;
    struct GlobalBlock {
        std::vector<unsigned char> bytes;
        int locks = 0;
    };
    std::map<TW_HANDLE, std::unique_ptr<GlobalBlock>> blocks;
    // A block as an application would send it; the caller frees it.
    TW_HANDLE makeBlock(const void* bytes, size_t size);
    std::vector<unsigned char>& blockBytes(TW_HANDLE handle);
    int lockedBlocks() const;

    // The feeder as isFeederMissing and queryFeederStatus report it.
    int feederMissingAnswer = 0;
    int feederStatusAnswer = 1;
};
