#include "FakeSourcePlatform.h"

#include <algorithm>

#include "SourceContext.h"

void FakeSourcePlatform::bindSupportLibrary() { calls.push_back("bind"); }
void FakeSourcePlatform::releaseSupportLibrary() { calls.push_back("release"); }
void FakeSourcePlatform::loadSettings() { calls.push_back("load"); }
void FakeSourcePlatform::saveSettings() { calls.push_back("save"); }
void FakeSourcePlatform::decideAnsiMode() { calls.push_back("ansi"); }

bool FakeSourcePlatform::scannerReachable()
{
    calls.push_back("probe");
    return scannerPresent;
}

bool FakeSourcePlatform::closeScannerChannel()
{
    calls.push_back("close channel");
    return channelCloses;
}

void FakeSourcePlatform::traceWarning(unsigned stringId) { tracedWarnings.push_back(stringId); }

void FakeSourcePlatform::sendManagerNotification(TW_UINT16 message)
{
    notifications.push_back(message);
    sourceStateAtNotification = sourceState();
}

bool FakeSourcePlatform::createScanWindow(void* parentWindow)
{
    calls.push_back("create window");
    windowParent = parentWindow;
    windowOpen = windowCreates;
    return windowCreates;
}

bool FakeSourcePlatform::scanWindowExists() { return windowOpen; }

void FakeSourcePlatform::destroyScanWindow()
{
    calls.push_back("destroy window");
    windowOpen = false;
}

bool FakeSourcePlatform::consumeWindowMessage(void*) { return windowConsumesMessages; }

int FakeSourcePlatform::count(const std::string& call) const
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}
