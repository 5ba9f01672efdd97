#include "ImageFileSave.h"

#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct ExtensionCode {
    const char* extension;
    int32_t formatCode;
};

const ExtensionCode ExtensionCodes[] = {
    {".BMP", IMAGING_FORMAT_BMP}, {".JPG", IMAGING_FORMAT_JPEG}, {".JFF", IMAGING_FORMAT_JPEG},
    {".CMP", 5}, {".TIF", IMAGING_FORMAT_TIFF}, {".PCX", 1}, {".PSD", 76}, {".PNG", IMAGING_FORMAT_PNG},
    {".RAS", 55}, {".PCD", 57}, {".FPX", 82}, {".WMF", 15}, {".TGA", 4}, {".EPS", 16}, {".WPG", 54},
    {".PCT", 56},
};

bool equalIgnoringCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i]))
            return false;
    return true;
}

int32_t jpegFactor(int jpegQuality)
{
    switch (jpegQuality) {
    case -3:
        return IMAGING_JPEG_FACTOR_LOW_QUALITY;
    case -1:
        return IMAGING_JPEG_FACTOR_HIGH_QUALITY;
    default:
        return IMAGING_JPEG_FACTOR_MEDIUM_QUALITY;
    }
}

void releaseLibraryBitmap(ImagingLibrary& imaging, MemoryBlocks& memory, ImagingBitmapDescriptor& bitmap)
{
    memory.release(imaging.dibFromBitmap(&bitmap, 0));
}

}

bool chooseImageFileFormat(int twainFormat, const char* path, int jpegQuality, ImageFileChoice& choice)
{
    choice = ImageFileChoice{};
    switch (twainFormat) {
    case 0:  // TWFF_TIFF
        choice.formatCode = IMAGING_FORMAT_TIFF;
        return true;
    case 2:  // TWFF_BMP
        choice.formatCode = IMAGING_FORMAT_BMP;
        return true;
    case 6:  // TWFF_TIFFMULTI
        choice.formatCode = IMAGING_FORMAT_TIFF;
        choice.multiPage = true;
        return true;
    default:
        break;
    }
    // The extension follows the file name's last dot: a dot in a folder's
    // name ("C:\Users\john.doe\...") or an earlier one in the file name
    // must not decide the format, or nothing would be written.
    if (!path)
        return false;
    const std::string_view whole(path);
    const size_t nameStart = whole.find_last_of("\\/:");
    const size_t dot = whole.rfind('.');
    if (dot == std::string_view::npos || (nameStart != std::string_view::npos && dot < nameStart))
        return false;
    const std::string extension(whole.substr(dot));
    for (const ExtensionCode& entry : ExtensionCodes) {
        if (equalIgnoringCase(extension, entry.extension)) {
            choice.formatCode = entry.formatCode;
            if (entry.formatCode == IMAGING_FORMAT_JPEG)
                choice.qualityFactor = jpegFactor(jpegQuality);
            return true;
        }
    }
    return false;
}

int SaveImageFile(ImagingLibrary& imaging, MemoryBlocks& memory, void* dib, int format, const char* path,
                  int jpegQuality)
{
    ImageFileChoice choice;
    if (!dib || !chooseImageFileFormat(format, path, jpegQuality, choice))
        return 0;
    ImagingBitmapDescriptor bitmap{};
    if (imaging.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib) != IMAGING_SUCCESS)
        return 0;
    ImagingSaveOptions options{};
    options.size = IMAGING_SAVE_OPTIONS_SIZE;
    options.pageMode = IMAGING_PAGE_APPEND;
    int result = imaging.saveFile(path, &bitmap, choice.formatCode, bitmap.bitsPerPixel, choice.qualityFactor,
                                  choice.multiPage ? &options : nullptr);
    releaseLibraryBitmap(imaging, memory, bitmap);
    return result;
}

void* LoadImageFileAsDib(ImagingLibrary& imaging, const char* path)
{
    ImagingBitmapDescriptor bitmap{};
    if (imaging.loadFile(path, &bitmap, IMAGING_DESCRIPTOR_SIZE, 0, 1, nullptr, nullptr) != IMAGING_SUCCESS)
        return nullptr;
    return imaging.dibFromBitmap(&bitmap, 0);
}
