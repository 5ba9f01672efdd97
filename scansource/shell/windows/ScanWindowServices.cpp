// The scan settings window's view of the source: the capability table, the
// scan engine with its dialogs, the feeder and the imaging library.
#include "shell/windows/ScanWindowServices.h"

#include "shell/windows/NumericEditFilter.h"
#include "shell/windows/LargeImageDialog.h"
#include "device/EscCommands.h"
#include "device/ScanParameters.h"
#include "shell/ImagingLibraryBinding_win.h"
#include "shell/ScanImage_win.h"
#include "resource.h"
#include "twain/CapabilityTable.h"
#include "twain/PaperSizes.h"
#include "shell/SettingsStore.h"

namespace scanservices {

namespace {
ScanParameters& parameters()
{
    return currentScanParameters();
}

std::vector<int> wholeNumbers(const std::vector<double>& values)
{
    std::vector<int> numbers;
    for (double value : values)
        numbers.push_back(static_cast<int>(value));
    return numbers;
}

Range rangeOf(TW_UINT16 capId)
{
    CapabilityRange range = capabilityRange(capId);
    return {static_cast<int>(range.upper), static_cast<int>(range.lower), static_cast<int>(range.step),
            capabilityPrintWidth(capId)};
}

constexpr int BmpFormat = 2;  // TWFF_BMP
}

int resolution() { return static_cast<int>(currentResolution()); }

void setResolution(int dpi)
{
    setCurrentResolution(dpi);
    parameters().resolution = dpi;
}

// The feeder has its own copy of the list, with the same values.
std::vector<int> allowedResolutions(bool) { return wholeNumbers(capabilityAllowedNumbers(ICAP_XRESOLUTION)); }

std::vector<ColourType> allowedColourTypes()
{
    std::vector<ColourType> types;
    for (int type : wholeNumbers(capabilityAllowedNumbers(ICAP_PIXELTYPE)))
        for (int depth : wholeNumbers(capabilityAllowedNumbers(static_cast<TW_UINT16>(CAP_BITDEPTHFORPIXELTYPE + type))))
            types.push_back({type, depth});
    return types;
}

int pixelType() { return currentPixelType(); }
int bitDepth() { return bitDepthForPixelType(currentPixelType()); }

void setColourType(int type, int depth)
{
    setCurrentPixelType(type);
    setBitDepthForPixelType(type, depth);
    parameters().pixelType = type;
}

Range brightnessRange() { return rangeOf(ICAP_BRIGHTNESS); }
Range contrastRange() { return rangeOf(ICAP_CONTRAST); }
Range thresholdRange() { return rangeOf(ICAP_THRESHOLD); }
int brightness() { return currentBrightness(); }
int contrast() { return currentContrast(); }
int thresholdClass() { return currentThresholdClass(); }
void setBrightness(int value) { setCurrentBrightness(value); }
void setContrast(int value) { setCurrentContrast(value); }

void setThresholdClass(int level)
{
    setCurrentThresholdClass(level);
    parameters().threshold = thresholdForLevel(level);
}

bool descreen() { return currentImageFilter(); }
void setDescreen(bool on) { setCurrentImageFilter(on); }
bool feederEnabled() { return ::feederEnabled(); }
void setFeederEnabled(bool on) { ::setFeederEnabled(on); }
int pixelFlavor() { return currentPixelFlavor(); }
void setPixelFlavor(int flavor) { setCurrentPixelFlavor(flavor); }

std::vector<int> paperSizes(bool feeder) { return supportedPaperSizes(feeder); }
void setPaperSizeCapability(int id, bool feeder) { setCurrentPaperSize(feeder, id); }

bool paperFrame(int id, bool centred, scanwindow::Frame& frame)
{
    ScanFrame paper;
    if (!frameForPaperSize(id, centred, paper))
        return false;
    frame = {paper.left, paper.top, paper.right, paper.bottom};
    return true;
}

void loadScanParameters() { ::loadScanParameters(); }

int scanImage(int preview, int flags, HGLOBAL* dib) { return ::scanImage(preview, flags, dib); }
int isFeederMissing() { return ::isFeederMissing(); }
int queryFeederStatus(int reportCovers) { return ::queryFeederStatus(reportCovers); }
bool ensureFeederLoaded(HWND owner) { return ::ensureFeederLoaded(owner, ::feederEnabled()); }

// The box's state goes to the settings file like every other setting, through
// the profile writer and its flush.
int showLargeImageWarning(HWND owner)
{
    return static_cast<int>(::showLargeImageWarning(owner, [](bool dontAsk) {
        WriteProfileValue(IDS_ASKABOUTLARGEIMAGE, IDS_DONTASKKEY, ProfileValue::ofBoolean(dontAsk));
    }));
}

bool largeImageWarningSwitchedOff()
{
    return ReadProfileValue(IDS_ASKABOUTLARGEIMAGE, IDS_DONTASKKEY, ProfileValue::ofBoolean(false)).flag;
}

void installNumericEditFilter(HWND edit, const Range& range)
{
    ::installNumericEditFilter(edit, NumericEditRange{range.upper, range.lower, range.step});
}

HGLOBAL loadImageFile(const char* path) { return LoadImageFileAsDib(path); }
bool saveImageFile(HGLOBAL dib, const char* path) { return SaveImageFile(dib, BmpFormat, path, -2) > 0; }

void setScanOwner(HWND owner) { setScanImageOwner(owner); }

}  // namespace scanservices
