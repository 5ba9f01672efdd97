// The scan settings window's services for tests of the window alone: the
// values live here and in ScanParameters, the feeder is missing, a preview
// scan fails, and BMP files are read and written directly.
#include "shell/windows/ScanWindowServices.h"

#include <stdio.h>
#include <string.h>

#include "shell/MessageBoxes.h"
#include "device/ScanParameters.h"
#include "resource.h"

namespace scanservices {

namespace {
struct PendingCapabilities {
    int thresholdClass = 4;
    bool descreen = false;
    bool feederEnabled = false;
    int pixelFlavor = 0;
    int paperSize = 3;
};

PendingCapabilities& capabilities()
{
    static PendingCapabilities values;
    return values;
}

ScanParameters& parameters()
{
    return currentScanParameters();
}

int bitDepthOf(int type)
{
    return type == 0 ? 1 : type == 1 ? 8 : 24;
}

struct PaperSize {
    int id;
    double widthMm;
    double heightMm;
};
// The sizes of the window's lists, as PaperSizeTable holds them.
constexpr PaperSize PaperSizes[] = {
    {1, 210, 297}, {2, 182, 257}, {3, 215.9, 279.4}, {4, 215.9, 355.6}, {5, 148, 210},
    {52, 140, 216}, {70, 210, 330}, {71, 140, 216},
};
}

int resolution() { return parameters().resolution; }
void setResolution(int dpi) { parameters().resolution = dpi; }
std::vector<int> allowedResolutions(bool) { return {150, 300, 600}; }

std::vector<ColourType> allowedColourTypes() { return {{0, 1}, {1, 8}, {2, 24}}; }
int pixelType() { return parameters().pixelType; }
int bitDepth() { return bitDepthOf(parameters().pixelType); }
void setColourType(int type, int) { parameters().pixelType = type; }

Range brightnessRange() { return {60, -60, 1, 3}; }
Range contrastRange() { return {35, -35, 1, 3}; }
Range thresholdRange() { return {7, 1, 4, 0}; }
int brightness() { return parameters().brightness; }
int contrast() { return parameters().contrast; }
int thresholdClass() { return capabilities().thresholdClass; }
void setBrightness(int value) { parameters().brightness = static_cast<int16_t>(value); }
void setContrast(int value) { parameters().contrast = static_cast<int16_t>(value); }
void setThresholdClass(int level)
{
    capabilities().thresholdClass = level;
    parameters().threshold = thresholdForLevel(level);
}

bool descreen() { return capabilities().descreen; }
void setDescreen(bool on)
{
    capabilities().descreen = on;
    parameters().descreen = on;
}
bool feederEnabled() { return capabilities().feederEnabled; }
void setFeederEnabled(bool on) { capabilities().feederEnabled = on; }
int pixelFlavor() { return capabilities().pixelFlavor; }
void setPixelFlavor(int flavor)
{
    capabilities().pixelFlavor = flavor;
    parameters().invert = flavor;
}

std::vector<int> paperSizes(bool) { return {1, 5, 2, 3, 4, 70, 71, 52, 0}; }
void setPaperSizeCapability(int id, bool) { capabilities().paperSize = id; }

bool paperFrame(int id, bool centred, scanwindow::Frame& frame)
{
    for (const PaperSize& size : PaperSizes) {
        if (size.id != id)
            continue;
        double width = size.widthMm * 0.0393701 * 4800;
        frame.top = 0;
        frame.bottom = static_cast<int32_t>(size.heightMm * 0.0393701 * 4800);
        frame.left = centred ? static_cast<int32_t>((40800 - width) / 2) : 0;
        frame.right = static_cast<int32_t>(width + frame.left);
        return true;
    }
    return false;
}

void loadScanParameters()
{
    parameters().threshold = thresholdForLevel(capabilities().thresholdClass);
    parameters().descreen = capabilities().descreen;
    parameters().invert = capabilities().pixelFlavor;
}

int isFeederMissing() { return 1; }
int queryFeederStatus(int) { return 2; }
void setScanOwner(HWND) {}

int scanImage(int, int, HGLOBAL* dib)
{
    *dib = nullptr;
    return 113;
}

bool ensureFeederLoaded(HWND owner)
{
    if (!feederEnabled())
        return true;
    int status;
    while ((status = queryFeederStatus(1)) == 1) {
        if (AskOkCancel(owner, IDS_MESSAGE_ADF_PROMPT, IDS_TWAINUI_CAPTION) == IDCANCEL)
            return false;
    }
    return status == 0;
}

int showLargeImageWarning(HWND) { return 123; }
bool largeImageWarningSwitchedOff() { return false; }

void installNumericEditFilter(HWND, const Range&) {}

HGLOBAL loadImageFile(const char* path)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return nullptr;
    BITMAPFILEHEADER header;
    HGLOBAL dib = nullptr;
    if (fread(&header, sizeof header, 1, file) == 1 && header.bfType == 0x4D42 &&
        fseek(file, 0, SEEK_END) == 0) {
        long size = ftell(file) - static_cast<long>(sizeof header);
        if (size > static_cast<long>(sizeof(BITMAPINFOHEADER)) && fseek(file, sizeof header, SEEK_SET) == 0) {
            dib = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size));
            void* bytes = dib ? GlobalLock(dib) : nullptr;
            bool read = bytes && fread(bytes, static_cast<size_t>(size), 1, file) == 1;
            if (bytes)
                GlobalUnlock(dib);
            if (!read && dib) {
                GlobalFree(dib);
                dib = nullptr;
            }
        }
    }
    fclose(file);
    return dib;
}

bool saveImageFile(HGLOBAL dib, const char* path)
{
    SIZE_T size = GlobalSize(dib);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    if (!info)
        return false;
    DWORD colours = info->biClrUsed ? info->biClrUsed : info->biBitCount <= 8 ? 1u << info->biBitCount : 0;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfSize = static_cast<DWORD>(sizeof header + size);
    header.bfOffBits = static_cast<DWORD>(sizeof header + info->biSize + colours * sizeof(RGBQUAD));
    FILE* file = fopen(path, "wb");
    bool written = file && fwrite(&header, sizeof header, 1, file) == 1 && fwrite(info, size, 1, file) == 1;
    if (file && fclose(file) != 0)
        written = false;
    GlobalUnlock(dib);
    return written;
}

}  // namespace scanservices
