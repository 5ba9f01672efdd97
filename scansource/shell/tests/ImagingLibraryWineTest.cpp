// ZVP4_i__.dll as the data source sees it: loaded from the folder beside the
// calling module, six exports by ordinal, DIBs in movable global memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "BitmapBuilding.h"
#include "ImageFileSave.h"
#include "shell/ImagingLibraryBinding_win.h"

namespace {

std::string folderOf(HMODULE module)
{
    char path[MAX_PATH];
    GetModuleFileNameA(module, path, MAX_PATH);
    *strrchr(path, '\\') = '\0';
    return path;
}

// A colour DIB whose every row holds its row number from the top in all bytes.
HGLOBAL colourDib(int width, int height, int dpi)
{
    const int stride = (width * 3 + 3) & ~3;
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + stride * height);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biSizeImage = stride * height;
    header->biXPelsPerMeter = header->biYPelsPerMeter = static_cast<LONG>(dpi * 100 * 0.39370078740157477);
    auto* rows = reinterpret_cast<BYTE*>(header + 1);
    for (int y = 0; y < height; ++y)
        memset(rows + (height - 1 - y) * stride, y, width * 3);
    GlobalUnlock(dib);
    return dib;
}

class NoPlatform : public BitmapPlatform {
public:
    bool newTemporaryFileName(std::string&) override { return false; }
    bool moduleLoaded(const char*) override { return false; }
    void showWarning(unsigned, bool) override { ++warnings; }
    void showPlainWarning(unsigned, int, int, const char*) override { ++warnings; }
    int warnings = 0;
};

TEST(ImagingLibraryWine, LoadsFromTheCallersFolderWithSixOrdinals)
{
    ASSERT_TRUE(LoadImagingLibrary(GetModuleHandleA(nullptr)));
    HMODULE library = imagingLibraryModule();
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(folderOf(library), folderOf(GetModuleHandleA(nullptr)));
    for (WORD number : {101, 103, 104, 106, 124, 151})
        EXPECT_NE(GetProcAddress(library, MAKEINTRESOURCEA(number)), nullptr) << number;
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(105)), nullptr);
}

TEST(ImagingLibraryWine, BindsOnFirstUseFromTheFolderOfTheCallingModule)
{
    UnloadImagingLibrary();
    ASSERT_FALSE(imagingLibraryLoaded());
    ImagingBitmapDescriptor bitmap{};
    EXPECT_EQ(boundImagingLibrary().prepareMemoryTransfer(&bitmap), IMAGING_NO_BITMAP);
    ASSERT_TRUE(imagingLibraryLoaded());
    EXPECT_EQ(folderOf(imagingLibraryModule()), folderOf(GetModuleHandleA(nullptr)));
}

TEST(ImagingLibraryWine, MemoryTransferFitIsTopRowFirstInGlobalMemory)
{
    ScanParameters parameters;
    parameters.resolution = 50;
    parameters.pixelType = PIXEL_TYPE_COLOUR;
    parameters.left = 0, parameters.top = 0, parameters.right = 960, parameters.bottom = 384;  // 10 x 4 at 50
    ScanGeometry geometry{100, 100, 20, 8, 3};
    NoPlatform platform;
    ScanBitmapBuilder builder(parameters, geometry, globalMemoryBlocks(), boundImagingLibrary(), platform);
    HGLOBAL dib = colourDib(20, 8, 100);
    void* fitted = nullptr;
    ASSERT_EQ(builder.fitBitmapToRequest(dib, 1, &fitted), 100);
    EXPECT_EQ(platform.warnings, 0);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(GlobalFlags(fitted) & GMEM_DISCARDED, 0u);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(fitted));
    EXPECT_EQ(header->biWidth, 10);
    EXPECT_EQ(header->biHeight, 4);
    EXPECT_EQ(header->biXPelsPerMeter, 1968);
    const BYTE* rows = reinterpret_cast<BYTE*>(header + 1);
    // Rows 0+1 averaged (0.5 rounds up to 1), then 2+3 (2.5 to 3): top first.
    EXPECT_EQ(rows[0], 1);
    EXPECT_EQ(rows[32], 3);
    GlobalUnlock(fitted);
    GlobalFree(fitted);
}

TEST(ImagingLibraryWine, SavesEachFormatAndLoadsTheBmpBack)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    HGLOBAL dib = colourDib(33, 7, 300);
    const char* names[] = {"imaging-wine.bmp", "imaging-wine.tif", "imaging-wine.jpg", "imaging-wine.png"};
    const int formats[] = {2, 0, 4, 4};
    const char* signatures[] = {"BM", "II*", "\xff\xd8\xff", "\x89PNG"};
    for (int i = 0; i < 4; ++i) {
        const std::string path = std::string(folder) + names[i];
        EXPECT_EQ(SaveImageFile(dib, formats[i], path.c_str(), -2), 1) << names[i];
        char start[4] = {};
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        EXPECT_TRUE(ReadFile(file, start, sizeof start, &got, nullptr)) << names[i];
        CloseHandle(file);
        EXPECT_EQ(0, memcmp(start, signatures[i], strlen(signatures[i]))) << names[i];
    }
    const std::string bmp = std::string(folder) + names[0];
    HGLOBAL loaded = LoadImageFileAsDib(bmp.c_str());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(GlobalSize(loaded), GlobalSize(dib));
    EXPECT_EQ(0, memcmp(GlobalLock(loaded), GlobalLock(dib), GlobalSize(dib)));
    GlobalUnlock(loaded);
    GlobalUnlock(dib);
    GlobalFree(loaded);
    GlobalFree(dib);
    for (const char* name : names)
        DeleteFileA((std::string(folder) + name).c_str());
}

}
