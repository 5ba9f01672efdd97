// Capability containers as an application sends them with MSG_SET (and the
// other messages): any container type, item type, count and bytes, in a
// global block of exactly the size sent. A request the source refuses
// changes nothing; an enumeration sets only an allowed value; the
// application's block is never replaced, freed or left locked.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "../tests/FakeSourcePlatform.h"
#include "CapabilityContainers.h"
#include "CapabilityTable.h"
#include "DeferredOperations.h"
#include "FuzzCheck.h"
#include "ScanParameters.h"
#include "SourceContext.h"

namespace {

struct Snapshot {
    std::vector<CapabilityValue> values;
    ScanParameters parameters;
};

const std::vector<TW_UINT16>& heldCapabilities()
{
    static const std::vector<TW_UINT16> ids = [] {
        std::vector<TW_UINT16> found;
        for (unsigned id = 0; id < 0x9100; ++id)
            if (FindCapability(static_cast<TW_UINT16>(id)))
                found.push_back(static_cast<TW_UINT16>(id));
        return found;
    }();
    return ids;
}

Snapshot take()
{
    Snapshot snapshot{{}, currentScanParameters()};
    for (TW_UINT16 id : heldCapabilities())
        snapshot.values.push_back(capabilityStorage(*FindCapability(id)).current);
    return snapshot;
}

bool sameParameters(const ScanParameters& a, const ScanParameters& b)
{
    return a.resolution == b.resolution && a.pixelType == b.pixelType && a.invert == b.invert
           && a.brightness == b.brightness && a.contrast == b.contrast && a.highlight == b.highlight
           && a.shadow == b.shadow && a.threshold == b.threshold && a.left == b.left && a.top == b.top
           && a.right == b.right && a.bottom == b.bottom && a.transferMechanism == b.transferMechanism
           && a.paperSize == b.paperSize && a.descreen == b.descreen && a.jpegQuality == b.jpegQuality;
}

bool unchanged(const Snapshot& before)
{
    const std::vector<TW_UINT16>& ids = heldCapabilities();
    for (size_t i = 0; i < ids.size(); ++i) {
        const CapabilityEntry& entry = capabilityStorage(*FindCapability(ids[i]));
        if (!sameCapabilityValue(FindCapability(ids[i])->itemType, entry.current, before.values[i]))
            return false;
    }
    return sameParameters(before.parameters, currentScanParameters());
}

}  // namespace

// Input: byte 0 picks the capability, byte 1 the container type (3..6 or
// anything), byte 2 the message (mostly MSG_SET); the rest is the block.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    static FakeSourcePlatform platform;
    platform.calls.clear();
    resetSourceContext();
    setSourcePlatform(&platform);
    currentScanParameters() = ScanParameters{};
    sourceContext().ConnectedApp.Id = 7;
    sourceContext().ConnectedApp.ProtocolMajor = 1;
    sourceContext().ConnectedApp.ProtocolMinor = static_cast<TW_UINT16>(data[2] & 0x80 ? 5 : 9);
    BuildCapabilityTable();

    const std::vector<TW_UINT16>& ids = heldCapabilities();
    const TW_UINT16 capId = ids[data[0] % ids.size()];
    const TW_UINT16 conType = data[1] < 0xF0 ? static_cast<TW_UINT16>(TWON_ARRAY + data[1] % 4) : data[1];
    static const TW_UINT16 messages[] = {MSG_SET, MSG_SET, MSG_SET, MSG_SET, MSG_RESET, MSG_GET, MSG_QUERYSUPPORT};
    const TW_UINT16 msg = messages[(data[2] & 0x7F) % 7];

    const Snapshot before = take();
    const TW_HANDLE block = platform.makeBlock(data + 3, size - 3);
    TW_CAPABILITY capability{capId, conType, block};
    const TwainRequest request{&sourceContext().ConnectedApp, DG_CONTROL, DAT_CAPABILITY, msg, &capability};
    const TW_UINT16 result = HandleCapability(request);

    FUZZ_CHECK(platform.lockedBlocks() == 0, "a container left locked");
    if (msg == MSG_SET) {
        FUZZ_CHECK(capability.hContainer == block, "the application's container was replaced");
        FUZZ_CHECK(platform.blocks.count(block) == 1, "the application's container was freed");
        if (result != TWRC_SUCCESS)
            FUZZ_CHECK(unchanged(before), "a refused container changed a setting");
        const CapabilityEntry* entry = FindCapability(capId);
        // A single value is taken as it comes; an enumeration only with an allowed first item.
        if (result == TWRC_SUCCESS && conType == TWON_ENUMERATION && !entry->allowed.empty() && !unchanged(before))
            FUZZ_CHECK(isAllowedValue(*entry, capabilityStorage(*entry).current), "an enumeration set a value not allowed");
        FUZZ_CHECK(currentScanParameters().pixelType >= 0 && currentScanParameters().pixelType <= 2,
                   "a pixel type the bitmap building has no layout for");
    } else if (result == TWRC_SUCCESS && capability.hContainer != block) {
        platform.freeGlobal(capability.hContainer);
    }
    platform.freeGlobal(block);
    FUZZ_CHECK(platform.blocks.empty(), "a container was leaked");
    DestroyCapabilityTable();
    setSourcePlatform(nullptr);
    return 0;
}
