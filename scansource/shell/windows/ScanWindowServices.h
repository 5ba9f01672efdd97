#pragma once
// What the scan settings window asks of the rest of the source: the current
// values of the capability table, the scan engine, the feeder and the
// imaging library. Each name follows the routine it stands for; the window
// reaches them only here, so a test program can link its own versions.
#include <windows.h>

#include <vector>

#include "ScanWindowRules.h"

namespace scanservices {

// Capability current values (16-bit values as integers).
int resolution();
void setResolution(int dpi);  // ICAP_XRESOLUTION/YRESOLUTION and ScanParameters
std::vector<int> allowedResolutions(bool feeder);

struct ColourType {
    int pixelType;
    int bitDepth;
};
std::vector<ColourType> allowedColourTypes();
int pixelType();
int bitDepth();
void setColourType(int pixelType, int bitDepth);

// An allowed range triple and the widest "%d" text of its values.
struct Range {
    int upper;
    int lower;
    int step;
    int printWidth;
};
Range brightnessRange();
Range contrastRange();
Range thresholdRange();  // threshold classes 1..7
int brightness();
int contrast();
int thresholdClass();
void setBrightness(int value);
void setContrast(int value);
void setThresholdClass(int level);

bool descreen();  // ICAP_IMAGEFILTER
void setDescreen(bool on);
bool feederEnabled();  // CAP_FEEDERENABLED
void setFeederEnabled(bool on);
int pixelFlavor();
void setPixelFlavor(int flavor);

std::vector<int> paperSizes(bool feeder);  // ICAP_SUPPORTEDSIZESFORADF / FORFLATBED
void setPaperSizeCapability(int id, bool feeder);
// The scan frame of a paper size from PaperSizeTable; false for an id the
// table lacks.
bool paperFrame(int id, bool centred, scanwindow::Frame& frame);

// ScanParameters from the capability current values.
void loadScanParameters();

// The scan engine: 100 on success with a packed DIB in global memory.
int scanImage(int preview, int flags, HGLOBAL* dib);
// The window that owns the engine's progress and lamp dialogs and boxes.
void setScanOwner(HWND owner);
int isFeederMissing();
int queryFeederStatus(int reportCovers);
bool ensureFeederLoaded(HWND owner);
// The large-image warning: 123 to go on, 345 to stop, -1 when it could not
// be shown. largeImageWarningSwitchedOff reads the settings file's flag.
int showLargeImageWarning(HWND owner);
bool largeImageWarningSwitchedOff();

// The numeric edit filter on a contrast, brightness or threshold edit.
void installNumericEditFilter(HWND edit, const Range& range);

// The imaging library: a packed DIB from a BMP file and back.
HGLOBAL loadImageFile(const char* path);
bool saveImageFile(HGLOBAL dib, const char* path);

}  // namespace scanservices
