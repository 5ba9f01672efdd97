#include "FakeSourcePlatform.h"

#include <algorithm>
#include <cstring>

#include "SourceContext.h"

void FakeSourcePlatform::bindSupportLibrary() { calls.push_back("bind"); }
void FakeSourcePlatform::releaseSupportLibrary() { calls.push_back("release"); }
void FakeSourcePlatform::releaseImagingLibrary() { calls.push_back("release imaging"); }
void FakeSourcePlatform::loadSettings() { calls.push_back("load"); }
void FakeSourcePlatform::saveSettings() { calls.push_back("save"); }
void FakeSourcePlatform::decideAnsiMode() { calls.push_back("ansi"); }

bool FakeSourcePlatform::scannerReachable()
{
    calls.push_back("probe");
    bool present = scannerPresent;
    if (duringProbe)
        duringProbe();
    return present;
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
    if (duringNotification)
        duringNotification(message);
}

bool FakeSourcePlatform::createScanWindow(void* parentWindow)
{
    calls.push_back("create window");
    windowParent = parentWindow;
    if (duringWindowCreation)
        duringWindowCreation();
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

TW_HANDLE FakeSourcePlatform::allocateGlobal(TW_UINT32 bytes)
{
    if (allocationFails)
        return nullptr;
    auto block = std::make_unique<GlobalBlock>();
    block->bytes.assign(bytes, 0xCD);
    TW_HANDLE handle = block.get();
    blocks[handle] = std::move(block);
    return handle;
}

TW_UINT32 FakeSourcePlatform::globalSize(TW_HANDLE handle)
{
    auto found = blocks.find(handle);
    return found == blocks.end() ? 0 : static_cast<TW_UINT32>(found->second->bytes.size());
}

void* FakeSourcePlatform::lockGlobal(TW_HANDLE handle)
{
    auto found = blocks.find(handle);
    if (found == blocks.end())
        return nullptr;
    ++found->second->locks;
    return found->second->bytes.data();
}

void FakeSourcePlatform::unlockGlobal(TW_HANDLE handle)
{
    auto found = blocks.find(handle);
    if (found != blocks.end())
        --found->second->locks;
}

void FakeSourcePlatform::freeGlobal(TW_HANDLE handle) { blocks.erase(handle); }

int FakeSourcePlatform::feederMissing()
{
    calls.push_back("feeder missing");
    return feederMissingAnswer;
}

int FakeSourcePlatform::feederStatus(int reportCovers)
{
    calls.push_back(reportCovers ? "feeder status reporting covers" : "feeder status");
    return feederStatusAnswer;
}

TW_HANDLE FakeSourcePlatform::makeBlock(const void* bytes, size_t size)
{
    bool failing = allocationFails;
    allocationFails = false;
    TW_HANDLE handle = allocateGlobal(static_cast<TW_UINT32>(size));
    allocationFails = failing;
    if (size != 0)
        memcpy(blocks[handle]->bytes.data(), bytes, size);
    return handle;
}

std::vector<unsigned char>& FakeSourcePlatform::blockBytes(TW_HANDLE handle)
{
    return blocks.at(handle)->bytes;
}

int FakeSourcePlatform::lockedBlocks() const
{
    int locked = 0;
    for (const auto& block : blocks)
        locked += block.second->locks != 0;
    return locked;
}
