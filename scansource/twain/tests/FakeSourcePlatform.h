#pragma once
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

    void bindSupportLibrary() override;
    void releaseSupportLibrary() override;
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

    int count(const std::string& call) const;
};
