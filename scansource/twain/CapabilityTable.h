#pragma once
// The capability table: one entry per capability the source answers, with
// its containers, operations, allowed values, default and current value.
// The DAT_CAPABILITY handler, the scan engine, the transfers and the scan
// settings window all read and write the current values through here.
#include <cstddef>
#include <vector>

#include "twain.h"

// Source-specific capability ids beyond TWAIN 1.9.
#define ICAP_SUPPORTEDSIZESFORADF 0x1154
#define ICAP_SUPPORTEDSIZESFORFLATBED 0x1155
// ICAP_BITDEPTH is answered by one entry per pixel type: 0x9000 + TWPT_.
#define CAP_BITDEPTHFORPIXELTYPE 0x9000

// Operation sets of the entries: all five, or read only.
constexpr TW_UINT16 CapabilityOperationsAll =
    TWQC_GET | TWQC_SET | TWQC_GETDEFAULT | TWQC_GETCURRENT | TWQC_RESET;
constexpr TW_UINT16 CapabilityOperationsReadOnly = TWQC_GET | TWQC_GETDEFAULT | TWQC_GETCURRENT;

constexpr int CapabilitySlotCount = 49;
// The rows the source answers; the remaining slots stay empty (id 0).
constexpr int CapabilityEntryCount = 46;

struct FrameInches {
    double left;
    double top;
    double right;
    double bottom;
};

// A value in its internal form: every numeric item type in `number` (whole
// numbers for the integer types), frames in inches, strings with their
// terminator. The entry's itemType says which field is meaningful.
struct CapabilityValue {
    double number = 0;
    FrameInches frame{};
    char text[sizeof(TW_STR32)]{};
};

struct CapabilityEntry {
    TW_UINT16 capId = 0;
    TW_UINT16 itemType = 0;
    TW_UINT16 getContainer = 0;
    TW_UINT16 valueContainer = 0;
    TW_UINT16 operations = 0;
    // For a range capability: upper bound, lower bound, step.
    std::vector<CapabilityValue> allowed;
    CapabilityValue defaultValue;
    CapabilityValue current;
    int printWidth = 0;
    // ICAP_YRESOLUTION and ICAP_YSCALING keep their values in the X entry:
    // the id of the entry that holds default and current, 0 for itself.
    TW_UINT16 storageCapId = 0;
};

// The default and current value of an entry, following shared storage.
CapabilityEntry& capabilityStorage(CapabilityEntry& entry);
const CapabilityEntry& capabilityStorage(const CapabilityEntry& entry);

// Filled at MSG_OPENDS from the defaults and the scan settings; cleared at
// MSG_CLOSEDS. Requests outside that time find no entry.
void BuildCapabilityTable();
void DestroyCapabilityTable();
bool capabilityTableBuilt();

// Linear search of the 49 slots from the top; null when not held.
CapabilityEntry* FindCapability(TW_UINT16 capId);

// True when the two values are equal in the item type's internal form.
bool sameCapabilityValue(TW_UINT16 itemType, const CapabilityValue& a, const CapabilityValue& b);

// Generic accessors of a current value; getters answer 0 and setters do
// nothing while the table does not hold the capability.
double capabilityCurrentNumber(TW_UINT16 capId);
void setCapabilityCurrentNumber(TW_UINT16 capId, double value);
// The allowed values of a list capability (for a range: upper, lower, step).
std::vector<double> capabilityAllowedNumbers(TW_UINT16 capId);
int capabilityPrintWidth(TW_UINT16 capId);

struct CapabilityRange {
    double upper;
    double lower;
    double step;
};
// The allowed triple of a range capability; all 0 for any other.
CapabilityRange capabilityRange(TW_UINT16 capId);

// Named accessors of the settable capabilities the rest of the source uses.
// 16-bit values as integers, FIX32 values as floating point.
int currentPixelType();
void setCurrentPixelType(int pixelType);
// The bit depth entry of a pixel type (1, 8 or 24 at open).
int bitDepthForPixelType(int pixelType);
void setBitDepthForPixelType(int pixelType, int bitDepth);
// ICAP_XRESOLUTION and ICAP_YRESOLUTION share one value.
double currentResolution();
void setCurrentResolution(double dotsPerInch);
int currentBrightness();
void setCurrentBrightness(int brightness);
int currentContrast();
void setCurrentContrast(int contrast);
int currentHighlight();
void setCurrentHighlight(int highlight);
int currentShadow();
void setCurrentShadow(int shadow);
// ICAP_THRESHOLD holds a class 1..7 (see thresholdForLevel).
int currentThresholdClass();
void setCurrentThresholdClass(int thresholdClass);
int currentPixelFlavor();
void setCurrentPixelFlavor(int pixelFlavor);
int currentTransferMechanism();
void setCurrentTransferMechanism(int mechanism);
// ICAP_IMAGEFILTER: the descreen switch.
bool currentImageFilter();
void setCurrentImageFilter(bool descreen);
bool feederEnabled();
void setFeederEnabled(bool enabled);
int currentUnits();
int currentImageFileFormat();
void setCurrentImageFileFormat(int format);
int currentJpegQuality();
void setCurrentJpegQuality(int quality);
double currentPhysicalWidth();
void setCurrentPhysicalWidth(double width);
double currentPhysicalHeight();
void setCurrentPhysicalHeight(double height);
// The paper size entries: 0x1154 for the feeder, 0x1155 for the flatbed.
int currentPaperSize(bool forFeeder);
void setCurrentPaperSize(bool forFeeder, int paperSizeId);
std::vector<int> supportedPaperSizes(bool forFeeder);
FrameInches currentFrame();

// Between the current values and ScanParameters: load copies the current
// values into the scan settings, store copies the scan settings back.
// Both cover resolution, pixel type, brightness, contrast, highlight,
// shadow, invert, transfer mechanism, descreen and JPEG quality; the
// threshold keeps its own class accessors above.
void loadScanParameters();
void storeScanParameters();
