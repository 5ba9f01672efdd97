#include "CapabilityTable.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "ScanParameters.h"

namespace {
std::array<CapabilityEntry, CapabilitySlotCount> slots;
bool built = false;

CapabilityValue number(double value)
{
    CapabilityValue result;
    result.number = value;
    return result;
}

CapabilityValue text(const char* value)
{
    CapabilityValue result;
    strncpy(result.text, value, sizeof result.text - 1);
    return result;
}

CapabilityValue frame(double left, double top, double right, double bottom)
{
    CapabilityValue result;
    result.frame = FrameInches{left, top, right, bottom};
    return result;
}

std::vector<CapabilityValue> numbers(std::initializer_list<double> values)
{
    std::vector<CapabilityValue> result;
    for (double value : values)
        result.push_back(number(value));
    return result;
}

// Upper bound, lower bound, step: the order the scan settings window's
// up-down controls take their range in.
std::vector<CapabilityValue> range(double upper, double lower, double step)
{
    return numbers({upper, lower, step});
}

int printedWidth(const std::vector<CapabilityValue>& values)
{
    int widest = 0;
    for (const CapabilityValue& value : values) {
        char printed[32];
        int length = snprintf(printed, sizeof printed, "%d", static_cast<int>(value.number));
        if (length > widest)
            widest = length;
    }
    return widest;
}

const std::vector<TW_UINT16> supportedCapabilityIds = {
    CAP_SUPPORTEDCAPS, CAP_FEEDERENABLED, ICAP_XFERMECH, ICAP_PIXELFLAVOR, ICAP_PIXELFLAVORCODES,
    ICAP_PLANARCHUNKY, ICAP_COMPRESSION, ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT, ICAP_MINIMUMHEIGHT,
    ICAP_MINIMUMWIDTH, ICAP_UNITS, CAP_DEVICEONLINE, CAP_AUTOFEED, ICAP_FILTER, CAP_FEEDERLOADED,
    ICAP_AUTOBRIGHT, ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_HIGHLIGHT, ICAP_ORIENTATION, ICAP_SHADOW,
    ICAP_XSCALING, ICAP_YSCALING, ICAP_PIXELTYPE, ICAP_BITDEPTH, ICAP_BITDEPTHREDUCTION, ICAP_BITORDER,
    ICAP_HALFTONES, ICAP_THRESHOLD, ICAP_FRAMES, ICAP_MAXFRAMES, ICAP_SUPPORTEDSIZES, ICAP_XNATIVERESOLUTION,
    ICAP_YNATIVERESOLUTION, ICAP_XRESOLUTION, ICAP_YRESOLUTION, CAP_XFERCOUNT, ICAP_IMAGEFILEFORMAT,
    ICAP_UNDEFINEDIMAGESIZE, CAP_INDICATORS, CAP_UICONTROLLABLE, ICAP_GAMMA, ICAP_SUPPORTEDSIZESFORADF,
    ICAP_SUPPORTEDSIZESFORFLATBED, ICAP_JPEGQUALITY};

const std::initializer_list<double> paperSizeIds = {
    TWSS_A4LETTER, TWSS_A5, TWSS_B5LETTER, TWSS_USLETTER, TWSS_USLEGAL, 70, 71, TWSS_USSTATEMENT, TWSS_NONE};

class TableBuilder {
public:
    void add(TW_UINT16 capId, TW_UINT16 itemType, TW_UINT16 getContainer, TW_UINT16 operations,
             std::vector<CapabilityValue> allowed, CapabilityValue defaultValue, TW_UINT16 storageCapId = 0)
    {
        CapabilityEntry& entry = slots[next++];
        entry.capId = capId;
        entry.itemType = itemType;
        entry.getContainer = getContainer;
        entry.valueContainer = TWON_ONEVALUE;
        entry.operations = operations;
        entry.allowed = std::move(allowed);
        entry.defaultValue = defaultValue;
        entry.current = defaultValue;
        entry.storageCapId = storageCapId;
    }

    int count() const { return next; }

private:
    int next = 0;
};

constexpr TW_UINT16 All = CapabilityOperationsAll;
constexpr TW_UINT16 ReadOnly = CapabilityOperationsReadOnly;

void fillTable()
{
    TableBuilder table;
    std::vector<CapabilityValue> supported;
    for (TW_UINT16 id : supportedCapabilityIds)
        supported.push_back(number(id));
    table.add(CAP_SUPPORTEDCAPS, TWTY_UINT16, TWON_ARRAY, ReadOnly, supported, CapabilityValue{});
    slots[0].valueContainer = TWON_ARRAY;

    table.add(CAP_FEEDERENABLED, TWTY_BOOL, TWON_ONEVALUE, All, numbers({1}), number(0));
    table.add(ICAP_PIXELFLAVOR, TWTY_UINT16, TWON_ENUMERATION, All, numbers({TWPF_CHOCOLATE, TWPF_VANILLA}),
              number(0));
    table.add(ICAP_PIXELFLAVORCODES, TWTY_UINT16, TWON_ENUMERATION, All, numbers({0, 1}), number(0));
    table.add(ICAP_XFERMECH, TWTY_UINT16, TWON_ENUMERATION, All, numbers({TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}),
              number(0));
    table.add(ICAP_PLANARCHUNKY, TWTY_UINT16, TWON_ENUMERATION, ReadOnly, numbers({TWPC_CHUNKY, TWPC_PLANAR}),
              number(0));
    table.add(ICAP_COMPRESSION, TWTY_UINT16, TWON_ENUMERATION, All, numbers({TWCP_NONE}), number(0));
    table.add(ICAP_MINIMUMWIDTH, TWTY_FIX32, TWON_ONEVALUE, ReadOnly, {}, number(1.0));
    table.add(ICAP_MINIMUMHEIGHT, TWTY_FIX32, TWON_ONEVALUE, ReadOnly, {}, number(1.0));
    table.add(ICAP_PHYSICALWIDTH, TWTY_FIX32, TWON_ONEVALUE, ReadOnly, {}, number(8.5));
    table.add(ICAP_PHYSICALHEIGHT, TWTY_FIX32, TWON_ONEVALUE, ReadOnly, {}, number(14.0));
    table.add(ICAP_UNITS, TWTY_UINT16, TWON_ENUMERATION, All,
              numbers({TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS}), number(0));
    table.add(CAP_DEVICEONLINE, TWTY_BOOL, TWON_ONEVALUE, ReadOnly, numbers({1, 0}), number(1));
    table.add(CAP_AUTOFEED, TWTY_BOOL, TWON_ONEVALUE, ReadOnly, numbers({1, 0}), number(1));
    table.add(ICAP_IMAGEFILTER, TWTY_BOOL, TWON_ONEVALUE, ReadOnly, numbers({1, 0}), number(0));
    table.add(CAP_FEEDERLOADED, TWTY_BOOL, TWON_ONEVALUE, ReadOnly, numbers({0, 1}), number(0));
    table.add(ICAP_AUTOBRIGHT, TWTY_BOOL, TWON_ONEVALUE, All, numbers({1, 0}), number(0));
    table.add(ICAP_BRIGHTNESS, TWTY_FIX32, TWON_RANGE, All, range(60, -60, 1), number(0));
    table.add(ICAP_CONTRAST, TWTY_FIX32, TWON_RANGE, All, range(35, -35, 1), number(0));
    table.add(ICAP_HIGHLIGHT, TWTY_FIX32, TWON_RANGE, All, range(255, 0, 1), number(128));
    table.add(ICAP_ORIENTATION, TWTY_UINT16, TWON_ENUMERATION, All, numbers({0, 1, 2, 3}), number(0));
    table.add(ICAP_SHADOW, TWTY_FIX32, TWON_RANGE, All, range(255, 0, 1), number(128));
    table.add(ICAP_XSCALING, TWTY_FIX32, TWON_ENUMERATION, All, numbers({100.0}), number(100.0));
    table.add(ICAP_YSCALING, TWTY_FIX32, TWON_ENUMERATION, All, numbers({100.0}), number(100.0), ICAP_XSCALING);
    table.add(CAP_BITDEPTHFORPIXELTYPE + TWPT_BW, TWTY_UINT16, TWON_ENUMERATION, All, numbers({1}), number(1));
    table.add(CAP_BITDEPTHFORPIXELTYPE + TWPT_GRAY, TWTY_UINT16, TWON_ENUMERATION, All, numbers({8}), number(8));
    table.add(CAP_BITDEPTHFORPIXELTYPE + TWPT_RGB, TWTY_UINT16, TWON_ENUMERATION, All, numbers({24}), number(24));
    table.add(ICAP_PIXELTYPE, TWTY_UINT16, TWON_ENUMERATION, All, numbers({TWPT_BW, TWPT_GRAY, TWPT_RGB}),
              number(TWPT_RGB));
    table.add(ICAP_BITDEPTHREDUCTION, TWTY_UINT16, TWON_ENUMERATION, All,
              numbers({TWBR_THRESHOLD, TWBR_HALFTONE, TWBR_DIFFUSION}), number(0));
    table.add(ICAP_BITORDER, TWTY_UINT16, TWON_ENUMERATION, ReadOnly, numbers({TWBO_MSBFIRST, TWBO_LSBFIRST}),
              number(TWBO_MSBFIRST));
    table.add(ICAP_THRESHOLD, TWTY_INT16, TWON_RANGE, All, range(7, 1, 4), number(1));
    table.add(ICAP_HALFTONES, TWTY_STR32, TWON_ENUMERATION, All, {text("FLOYD/STEINBURG"), text("ORDERED")},
              text("FLOYD/STEINBURG"));
    table.add(ICAP_FRAMES, TWTY_FRAME, TWON_ONEVALUE, All, {}, frame(0, 0, 8.5, 14.0));
    table.add(ICAP_MAXFRAMES, TWTY_UINT16, TWON_ONEVALUE, ReadOnly, {}, number(1));
    table.add(ICAP_SUPPORTEDSIZESFORADF, TWTY_UINT16, TWON_ENUMERATION, All, numbers(paperSizeIds),
              number(TWSS_USLETTER));
    table.add(ICAP_SUPPORTEDSIZESFORFLATBED, TWTY_UINT16, TWON_ENUMERATION, All, numbers(paperSizeIds),
              number(TWSS_USLETTER));
    table.add(ICAP_XNATIVERESOLUTION, TWTY_FIX32, TWON_ONEVALUE, ReadOnly, {}, number(100.0));
    table.add(ICAP_YNATIVERESOLUTION, TWTY_FIX32, TWON_ONEVALUE, ReadOnly, {}, number(100.0));
    table.add(ICAP_XRESOLUTION, TWTY_FIX32, TWON_ENUMERATION, All, numbers({150, 300, 600}), number(150));
    table.add(ICAP_YRESOLUTION, TWTY_FIX32, TWON_ENUMERATION, All, numbers({150, 300, 600}), number(150),
              ICAP_XRESOLUTION);
    table.add(CAP_XFERCOUNT, TWTY_INT16, TWON_ONEVALUE, All, {}, number(-1));
    table.add(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWON_ENUMERATION, All, numbers({TWFF_BMP}), number(TWFF_BMP));
    table.add(ICAP_UNDEFINEDIMAGESIZE, TWTY_BOOL, TWON_ONEVALUE, All, numbers({0, 1}), number(0));
    table.add(CAP_INDICATORS, TWTY_BOOL, TWON_ONEVALUE, All, numbers({1, 0}), number(1));
    table.add(CAP_UICONTROLLABLE, TWTY_BOOL, TWON_ONEVALUE, ReadOnly, numbers({1, 0}), number(1));
    table.add(ICAP_JPEGQUALITY, TWTY_INT16, TWON_ONEVALUE, All, numbers({TWJQ_LOW, TWJQ_MEDIUM, TWJQ_HIGH}),
              number(TWJQ_MEDIUM));

    for (TW_UINT16 capId : {ICAP_BRIGHTNESS, ICAP_CONTRAST}) {
        CapabilityEntry* entry = FindCapability(capId);
        entry->printWidth = printedWidth(entry->allowed);
    }
}

CapabilityValue* currentOf(TW_UINT16 capId)
{
    CapabilityEntry* entry = FindCapability(capId);
    return entry ? &capabilityStorage(*entry).current : nullptr;
}

int currentInteger(TW_UINT16 capId)
{
    return static_cast<int>(capabilityCurrentNumber(capId));
}

TW_UINT16 paperSizeCapability(bool forFeeder)
{
    return forFeeder ? ICAP_SUPPORTEDSIZESFORADF : ICAP_SUPPORTEDSIZESFORFLATBED;
}
}

void BuildCapabilityTable()
{
    DestroyCapabilityTable();
    fillTable();
    built = true;
    storeScanParameters();
}

void DestroyCapabilityTable()
{
    for (CapabilityEntry& entry : slots)
        entry = CapabilityEntry{};
    built = false;
}

bool capabilityTableBuilt()
{
    return built;
}

CapabilityEntry* FindCapability(TW_UINT16 capId)
{
    if (capId == 0)
        return nullptr;
    for (CapabilityEntry& entry : slots) {
        if (entry.capId == capId)
            return &entry;
    }
    return nullptr;
}

CapabilityEntry& capabilityStorage(CapabilityEntry& entry)
{
    if (entry.storageCapId != 0) {
        if (CapabilityEntry* owner = FindCapability(entry.storageCapId))
            return *owner;
    }
    return entry;
}

const CapabilityEntry& capabilityStorage(const CapabilityEntry& entry)
{
    return capabilityStorage(const_cast<CapabilityEntry&>(entry));
}

bool sameCapabilityValue(TW_UINT16 itemType, const CapabilityValue& a, const CapabilityValue& b)
{
    switch (itemType) {
    case TWTY_FRAME:
        return a.frame.left == b.frame.left && a.frame.top == b.frame.top && a.frame.right == b.frame.right &&
               a.frame.bottom == b.frame.bottom;
    case TWTY_STR32:
        return strncmp(a.text, b.text, sizeof a.text) == 0;
    default:
        return a.number == b.number;
    }
}

double capabilityCurrentNumber(TW_UINT16 capId)
{
    const CapabilityValue* value = currentOf(capId);
    return value ? value->number : 0;
}

void setCapabilityCurrentNumber(TW_UINT16 capId, double value)
{
    if (CapabilityValue* current = currentOf(capId))
        current->number = value;
}

std::vector<double> capabilityAllowedNumbers(TW_UINT16 capId)
{
    std::vector<double> result;
    if (const CapabilityEntry* entry = FindCapability(capId)) {
        for (const CapabilityValue& value : entry->allowed)
            result.push_back(value.number);
    }
    return result;
}

int capabilityPrintWidth(TW_UINT16 capId)
{
    const CapabilityEntry* entry = FindCapability(capId);
    return entry ? entry->printWidth : 0;
}

CapabilityRange capabilityRange(TW_UINT16 capId)
{
    const CapabilityEntry* entry = FindCapability(capId);
    if (!entry || entry->getContainer != TWON_RANGE || entry->allowed.size() != 3)
        return CapabilityRange{0, 0, 0};
    return CapabilityRange{entry->allowed[0].number, entry->allowed[1].number, entry->allowed[2].number};
}

int currentPixelType() { return currentInteger(ICAP_PIXELTYPE); }
void setCurrentPixelType(int pixelType) { setCapabilityCurrentNumber(ICAP_PIXELTYPE, pixelType); }

int bitDepthForPixelType(int pixelType)
{
    if (pixelType < 0 || pixelType > TWPT_RGB)
        return 0;
    return currentInteger(static_cast<TW_UINT16>(CAP_BITDEPTHFORPIXELTYPE + pixelType));
}

void setBitDepthForPixelType(int pixelType, int bitDepth)
{
    if (pixelType < 0 || pixelType > TWPT_RGB)
        return;
    setCapabilityCurrentNumber(static_cast<TW_UINT16>(CAP_BITDEPTHFORPIXELTYPE + pixelType), bitDepth);
}

double currentResolution() { return capabilityCurrentNumber(ICAP_XRESOLUTION); }
void setCurrentResolution(double dotsPerInch) { setCapabilityCurrentNumber(ICAP_XRESOLUTION, dotsPerInch); }
int currentBrightness() { return currentInteger(ICAP_BRIGHTNESS); }
void setCurrentBrightness(int brightness) { setCapabilityCurrentNumber(ICAP_BRIGHTNESS, brightness); }
int currentContrast() { return currentInteger(ICAP_CONTRAST); }
void setCurrentContrast(int contrast) { setCapabilityCurrentNumber(ICAP_CONTRAST, contrast); }
int currentHighlight() { return currentInteger(ICAP_HIGHLIGHT); }
void setCurrentHighlight(int highlight) { setCapabilityCurrentNumber(ICAP_HIGHLIGHT, highlight); }
int currentShadow() { return currentInteger(ICAP_SHADOW); }
void setCurrentShadow(int shadow) { setCapabilityCurrentNumber(ICAP_SHADOW, shadow); }
int currentThresholdClass() { return currentInteger(ICAP_THRESHOLD); }
void setCurrentThresholdClass(int thresholdClass) { setCapabilityCurrentNumber(ICAP_THRESHOLD, thresholdClass); }
int currentPixelFlavor() { return currentInteger(ICAP_PIXELFLAVOR); }
void setCurrentPixelFlavor(int pixelFlavor) { setCapabilityCurrentNumber(ICAP_PIXELFLAVOR, pixelFlavor); }
int currentTransferMechanism() { return currentInteger(ICAP_XFERMECH); }
void setCurrentTransferMechanism(int mechanism) { setCapabilityCurrentNumber(ICAP_XFERMECH, mechanism); }
bool currentImageFilter() { return currentInteger(ICAP_IMAGEFILTER) != 0; }
void setCurrentImageFilter(bool descreen) { setCapabilityCurrentNumber(ICAP_IMAGEFILTER, descreen ? 1 : 0); }
bool feederEnabled() { return currentInteger(CAP_FEEDERENABLED) != 0; }
void setFeederEnabled(bool enabled) { setCapabilityCurrentNumber(CAP_FEEDERENABLED, enabled ? 1 : 0); }
int currentUnits() { return currentInteger(ICAP_UNITS); }
int currentImageFileFormat() { return currentInteger(ICAP_IMAGEFILEFORMAT); }
void setCurrentImageFileFormat(int format) { setCapabilityCurrentNumber(ICAP_IMAGEFILEFORMAT, format); }
int currentJpegQuality() { return currentInteger(ICAP_JPEGQUALITY); }
void setCurrentJpegQuality(int quality) { setCapabilityCurrentNumber(ICAP_JPEGQUALITY, quality); }
double currentPhysicalWidth() { return capabilityCurrentNumber(ICAP_PHYSICALWIDTH); }
void setCurrentPhysicalWidth(double width) { setCapabilityCurrentNumber(ICAP_PHYSICALWIDTH, width); }
double currentPhysicalHeight() { return capabilityCurrentNumber(ICAP_PHYSICALHEIGHT); }
void setCurrentPhysicalHeight(double height) { setCapabilityCurrentNumber(ICAP_PHYSICALHEIGHT, height); }

int currentPaperSize(bool forFeeder)
{
    return currentInteger(paperSizeCapability(forFeeder));
}

void setCurrentPaperSize(bool forFeeder, int paperSizeId)
{
    setCapabilityCurrentNumber(paperSizeCapability(forFeeder), paperSizeId);
}

std::vector<int> supportedPaperSizes(bool forFeeder)
{
    std::vector<int> result;
    for (double id : capabilityAllowedNumbers(paperSizeCapability(forFeeder)))
        result.push_back(static_cast<int>(id));
    return result;
}

FrameInches currentFrame()
{
    const CapabilityValue* value = currentOf(ICAP_FRAMES);
    return value ? value->frame : FrameInches{};
}

void loadScanParameters()
{
    if (!built)
        return;
    ScanParameters& parameters = currentScanParameters();
    parameters.resolution = static_cast<int32_t>(currentResolution());
    parameters.pixelType = currentPixelType();
    parameters.brightness = static_cast<int16_t>(currentBrightness());
    parameters.contrast = static_cast<int16_t>(currentContrast());
    parameters.highlight = currentHighlight();
    parameters.shadow = currentShadow();
    parameters.invert = currentPixelFlavor();
    parameters.transferMechanism = currentTransferMechanism();
    parameters.descreen = currentImageFilter() ? 1 : 0;
    parameters.jpegQuality = static_cast<int16_t>(currentJpegQuality());
}

void storeScanParameters()
{
    if (!built)
        return;
    const ScanParameters& parameters = currentScanParameters();
    setCurrentResolution(parameters.resolution);
    setCurrentPixelType(parameters.pixelType);
    // The bit depth entry of the scan's pixel type answers that type's depth.
    if (CapabilityEntry* depth =
            FindCapability(static_cast<TW_UINT16>(CAP_BITDEPTHFORPIXELTYPE + parameters.pixelType)))
        depth->current = depth->defaultValue;
    setCurrentBrightness(parameters.brightness);
    setCurrentContrast(parameters.contrast);
    setCurrentHighlight(parameters.highlight);
    setCurrentShadow(parameters.shadow);
    setCurrentPixelFlavor(parameters.invert);
    setCurrentTransferMechanism(parameters.transferMechanism);
    setCurrentImageFilter(parameters.descreen != 0);
    setCurrentJpegQuality(parameters.jpegQuality);
}
