#pragma once
// Bitmap building's platform in the data source: GetTempPathA and
// GetTempFileNameA, the "MSO.DLL" check, and the source's warning boxes.
#include <windows.h>

#include "BitmapBuilding.h"

class Win32BitmapPlatform : public BitmapPlatform {
public:
    explicit Win32BitmapPlatform(HWND owner) : owner_(owner) {}
    bool newTemporaryFileName(std::string& path) override;
    bool moduleLoaded(const char* name) override;
    void showWarning(unsigned stringId, bool show) override;
    // The source argument of the box names the file and the line: "scanner line 1412".
    void showPlainWarning(unsigned stringId, int resultCode, int line, const char* sourceName) override;

private:
    HWND owner_;
};
