// DG_CONTROL / DAT_CAPABILITY: answers from the capability table, with the
// live values and redirections that the table alone cannot give.
#include <cstdint>
#include <cstring>

#include "CapabilityContainers.h"
#include "CapabilityTable.h"
#include "DeferredOperations.h"
#include "PaperSizes.h"
#include "ScanParameters.h"
#include "SourcePlatform.h"

namespace {
// Keeps the application's MSG_SET block locked while its value is read.
class LockedBlock {
public:
    explicit LockedBlock(TW_HANDLE handle) : handle(handle)
    {
        if (!handle)
            return;
        size = sourcePlatform().globalSize(handle);
        if (size != 0)
            bytes = static_cast<unsigned char*>(sourcePlatform().lockGlobal(handle));
    }
    ~LockedBlock()
    {
        if (bytes)
            sourcePlatform().unlockGlobal(handle);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    TW_HANDLE handle;
    unsigned char* bytes = nullptr;
    size_t size = 0;
};

// Hands a container to the application in a movable global block that it
// frees; the application's handle is replaced only when all went well.
TW_UINT16 handOver(TW_CAPABILITY& capability, TW_UINT16 conType, const ContainerBytes& container)
{
    SourcePlatform& platform = sourcePlatform();
    TW_HANDLE handle = platform.allocateGlobal(static_cast<TW_UINT32>(container.size()));
    if (!handle)
        return TWCC_LOWMEMORY;
    void* memory = platform.lockGlobal(handle);
    if (!memory) {
        platform.freeGlobal(handle);
        return TWCC_LOWMEMORY;
    }
    memcpy(memory, container.data(), container.size());
    platform.unlockGlobal(handle);
    capability.ConType = conType;
    capability.hContainer = handle;
    return TWCC_SUCCESS;
}

TW_UINT16 handOverValue(TW_CAPABILITY& capability, const CapabilityEntry& entry, const CapabilityValue& value)
{
    if (entry.valueContainer == TWON_ARRAY)
        return handOver(capability, TWON_ARRAY, buildArray(entry));
    return handOver(capability, TWON_ONEVALUE, buildOneValue(entry.itemType, value));
}

TW_UINT16 handOverGet(TW_CAPABILITY& capability, const CapabilityEntry& entry)
{
    switch (entry.getContainer) {
    case TWON_ENUMERATION:
        return handOver(capability, TWON_ENUMERATION, buildEnumeration(entry));
    case TWON_ARRAY:
        return handOver(capability, TWON_ARRAY, buildArray(entry));
    case TWON_RANGE:
        return handOver(capability, TWON_RANGE, buildRange(entry));
    default:
        return handOverValue(capability, entry, capabilityStorage(entry).current);
    }
}

TW_UINT16 handOverOperations(TW_CAPABILITY& capability, const CapabilityEntry& entry)
{
    CapabilityValue operations;
    operations.number = entry.operations;
    return handOver(capability, TWON_ONEVALUE, buildOneValue(TWTY_UINT32, operations));
}

// Truncated toward zero as the settings take it. An application may send any
// 32-bit item for any capability: beyond the int32 range the value saturates
// instead of overflowing the conversion.
int32_t truncatedWhole(double number)
{
    if (number >= 2147483647.0)
        return INT32_MAX;
    if (number <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(number);
}

// The effect of a value read from a TW_ONEVALUE on the scan settings;
// requestedCap is the id the application named (before any redirection).
void applyValue(const CapabilityEntry& entry, TW_UINT16 requestedCap, const CapabilityValue& value)
{
    ScanParameters& parameters = currentScanParameters();
    int32_t whole = truncatedWhole(value.number);
    switch (entry.capId) {
    case ICAP_PIXELTYPE:
        parameters.pixelType = whole;
        break;
    case ICAP_XFERMECH:
        parameters.transferMechanism = whole;
        break;
    case CAP_FEEDERENABLED:
        setFeederEnabled(whole != 0);
        break;
    case ICAP_HIGHLIGHT:
        parameters.highlight = whole;
        break;
    case ICAP_SHADOW:
        parameters.shadow = whole;
        break;
    case ICAP_XRESOLUTION:
        parameters.resolution = whole;
        break;
    case ICAP_PIXELFLAVOR:
        parameters.invert = whole;
        break;
    case ICAP_SUPPORTEDSIZESFORADF:
    case ICAP_SUPPORTEDSIZESFORFLATBED:
        // The feeder's own id centres the page on the bed; the glass's and
        // ICAP_SUPPORTEDSIZES (which reaches the feeder's entry while the
        // feeder is enabled) put it at the left edge. A size the table
        // lacks (TWSS_NONE, the custom area) keeps the frame the scan has.
        parameters.paperSize = whole;
        applyPaperSizeFrame(parameters, whole, requestedCap == ICAP_SUPPORTEDSIZESFORADF);
        setCurrentPaperSize(entry.capId == ICAP_SUPPORTEDSIZESFORADF, whole);
        break;
    case ICAP_JPEGQUALITY:
        parameters.jpegQuality = static_cast<int16_t>(whole);
        break;
    default:
        break;
    }
}

// An enumeration's first item changes only these; the others are accepted
// without effect.
bool appliedFromEnumeration(TW_UINT16 capId)
{
    switch (capId) {
    case ICAP_HIGHLIGHT:
    case ICAP_XFERMECH:
    case CAP_FEEDERENABLED:
    case ICAP_SHADOW:
    case ICAP_XRESOLUTION:
    case ICAP_PIXELFLAVOR:
        return true;
    default:
        return false;
    }
}

// A pixel type outside black and white, gray and RGB has no bit depth
// entry and no bitmap layout; it is refused rather than passed to a scan.
bool acceptableValue(const CapabilityEntry& entry, const CapabilityValue& value)
{
    if (entry.capId == ICAP_PIXELTYPE)
        return value.number >= TWPT_BW && value.number <= TWPT_RGB;
    return true;
}

// MSG_SET: a TW_ONEVALUE or a TW_ENUMERATION's first item. A TW_RANGE, any
// other container and an enumeration whose first item is not allowed are
// answered TWRC_SUCCESS and change nothing; the application's container is
// left as it was sent, since it is the application's to free.
TW_UINT16 setValue(const TW_CAPABILITY& capability, const CapabilityEntry& entry)
{
    LockedBlock block(capability.hContainer);
    if (!block.bytes)
        return TWCC_BADVALUE;
    CapabilityValue value;
    switch (readSetContainer(entry, capability.ConType, block.bytes, block.size, value)) {
    case SetContainerRead::Malformed:
        return TWCC_BADVALUE;
    case SetContainerRead::Ignored:
    case SetContainerRead::NotAllowed:
        return TWCC_SUCCESS;
    case SetContainerRead::Value:
        break;
    }
    if (!acceptableValue(entry, value))
        return TWCC_BADVALUE;
    if (capability.ConType == TWON_ONEVALUE || appliedFromEnumeration(entry.capId))
        applyValue(entry, capability.Cap, value);
    storeScanParameters();
    return TWCC_SUCCESS;
}

// Live values and the capabilities answered through another entry.
// Answers the entry id to look up, or 0 when the request is refused.
TW_UINT16 resolveCapability(TW_UINT16 capId)
{
    SourcePlatform& platform = sourcePlatform();
    switch (capId) {
    case CAP_FEEDERENABLED:
        return platform.feederMissing() == 1 ? 0 : capId;
    case CAP_FEEDERLOADED:
        // The scanner is asked only while the feeder is in use.
        setCapabilityCurrentNumber(CAP_FEEDERLOADED, feederEnabled() && platform.feederStatus(0) == 0 ? 1 : 0);
        return capId;
    case ICAP_SUPPORTEDSIZES:
        return feederEnabled() ? ICAP_SUPPORTEDSIZESFORADF : ICAP_SUPPORTEDSIZESFORFLATBED;
    case ICAP_BITDEPTH:
        return static_cast<TW_UINT16>(CAP_BITDEPTHFORPIXELTYPE + currentPixelType());
    default:
        return capId;
    }
}

TW_UINT16 answerCapability(TW_CAPABILITY* capability, TW_UINT16 message)
{
    if (!capability)
        return TWCC_BADVALUE;
    // Before MSG_OPENDS and after MSG_CLOSEDS nothing is held, and the
    // scanner is not asked about its feeder.
    if (!capabilityTableBuilt())
        return TWCC_CAPUNSUPPORTED;
    TW_UINT16 capId = resolveCapability(capability->Cap);
    CapabilityEntry* entry = capId ? FindCapability(capId) : nullptr;
    if (!entry)
        return TWCC_CAPUNSUPPORTED;

    TW_UINT16 needed = 0;
    switch (message) {
    case MSG_GET:
        needed = TWQC_GET;
        break;
    case MSG_GETCURRENT:
        needed = TWQC_GETCURRENT;
        break;
    case MSG_GETDEFAULT:
        needed = TWQC_GETDEFAULT;
        break;
    case MSG_SET:
        needed = TWQC_SET;
        break;
    case MSG_RESET:
        needed = TWQC_RESET;
        break;
    case MSG_QUERYSUPPORT:
        return handOverOperations(*capability, *entry);
    default:
        return TWCC_CAPUNSUPPORTED;
    }
    if ((entry->operations & needed) == 0)
        return TWCC_CAPBADOPERATION;

    CapabilityEntry& storage = capabilityStorage(*entry);
    switch (message) {
    case MSG_GET:
        return handOverGet(*capability, *entry);
    case MSG_GETCURRENT:
        return handOverValue(*capability, *entry, storage.current);
    case MSG_GETDEFAULT:
        return handOverValue(*capability, *entry, storage.defaultValue);
    case MSG_RESET:
        // Only the capability changes; ScanParameters keeps its setting.
        storage.current = storage.defaultValue;
        return handOverValue(*capability, *entry, storage.defaultValue);
    default:
        return setValue(*capability, *entry);
    }
}

// Applications of TWAIN 1.5 and older do not know the codes added by 1.6.
// Without a connected application there is no protocol to go by.
TW_UINT16 compatibleConditionCode(TW_UINT16 conditionCode)
{
    const TW_IDENTITY& application = sourceContext().ConnectedApp;
    if (application.Id != 0 && application.ProtocolMajor <= 1 && application.ProtocolMinor <= 5 && conditionCode > TWCC_BADDEST)
        return TWCC_BADCAP;
    return conditionCode;
}
}

TW_UINT16 HandleCapability(const TwainRequest& request)
{
    TW_UINT16 conditionCode =
        compatibleConditionCode(answerCapability(static_cast<TW_CAPABILITY*>(request.data), request.msg));
    setConditionCode(conditionCode);
    return conditionCode == TWCC_SUCCESS ? TWRC_SUCCESS : TWRC_FAILURE;
}
