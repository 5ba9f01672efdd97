#include "shell/Win32TransferServices.h"

#include <windows.h>

#include "CapabilityTable.h"
#include "EscCommands.h"
#include "shell/ImagingLibraryBinding_win.h"
#include "ScanJob.h"

namespace {
class Win32TransferServices : public TransferServices {
public:
    int scanImage(int dibOrder, int forMemoryTransfer, TW_HANDLE* dib) override
    {
        return ::scanImage(dibOrder, forMemoryTransfer, dib);
    }

    int queryFeederStatus(int reportCovers) override { return ::queryFeederStatus(reportCovers); }

    int bitDepthOfPixelType(int pixelType) override { return bitDepthForPixelType(pixelType); }
    int currentUnits() override { return ::currentUnits(); }
    bool feederEnabled() override { return ::feederEnabled(); }
    int currentJpegQuality() override { return ::currentJpegQuality(); }
    void setImageFileFormat(TW_UINT16 format) override { setCurrentImageFileFormat(format); }

    // The bitmap is made from the DIB (104), written (103) and released the
    // way the library releases bitmaps, through a DIB of it (106).
    int SaveImageFile(TW_HANDLE dib, const TransferFileChoice& choice, const std::string& path) override
    {
        ImagingLibrary& imaging = boundImagingLibrary();
        ImagingBitmapDescriptor bitmap{};
        int32_t made = imaging.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib);
        if (made != IMAGING_SUCCESS)
            return made < 0 ? made : IMAGING_NO_BITMAP;
        ImagingSaveOptions appendPage{};
        appendPage.size = IMAGING_SAVE_OPTIONS_SIZE;
        appendPage.pageMode = IMAGING_PAGE_APPEND;
        int32_t saved = imaging.saveFile(path.c_str(), &bitmap, choice.code, bitmap.bitsPerPixel,
                                         choice.qualityFactor, choice.multiPage ? &appendPage : nullptr);
        if (void* released = imaging.dibFromBitmap(&bitmap, 0))
            GlobalFree(released);
        return saved;
    }

    void* lockMemory(TW_HANDLE handle) override { return GlobalLock(handle); }
    void unlockMemory(TW_HANDLE handle) override { GlobalUnlock(handle); }
    size_t memorySize(TW_HANDLE handle) override { return GlobalSize(handle); }
    void freeMemory(TW_HANDLE handle) override { GlobalFree(handle); }

    std::string createTemporaryFile(const char* prefix) override
    {
        char folder[MAX_PATH];
        char path[MAX_PATH];
        DWORD length = GetTempPathA(sizeof folder, folder);
        if (length == 0 || length >= sizeof folder || !GetTempFileNameA(folder, prefix, 0, path))
            return std::string();
        return path;
    }

    bool fileExists(const std::string& path) override
    {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool createEmptyFile(const std::string& path) override
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }
};
}

TransferServices& win32TransferServices()
{
    static Win32TransferServices services;
    return services;
}
