#include "ImageFileFormat.h"

#include <cctype>

namespace {
struct ExtensionCode {
    const char* extension;
    int code;
};

const ExtensionCode ExtensionCodes[] = {
    {".BMP", ImageFileBmp}, {".JPG", ImageFileJpeg}, {".JFF", ImageFileJpeg}, {".CMP", 5},
    {".TIF", ImageFileTiff}, {".PCX", 1}, {".PSD", 76}, {".PNG", ImageFilePng},
    {".RAS", 55}, {".PCD", 57}, {".FPX", 82}, {".WMF", 15},
    {".TGA", 4}, {".EPS", 16}, {".WPG", 54}, {".PCT", 56},
};

bool writerSupports(int code)
{
    return code == ImageFileTiff || code == ImageFileBmp || code == ImageFileJpeg || code == ImageFilePng;
}

bool sameTextIgnoringCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

TransferFileChoice writable(int code, int qualityFactor = DefaultQualityFactor, bool multiPage = false)
{
    return TransferFileChoice{true, code, qualityFactor, multiPage};
}

TransferFileChoice choiceForCode(int code, int jpegQuality)
{
    if (!writerSupports(code))
        return TransferFileChoice{};
    return writable(code, code == ImageFileJpeg ? jpegQualityFactor(jpegQuality) : DefaultQualityFactor);
}
}

std::string fileNameExtension(const std::string& path)
{
    size_t nameStart = path.find_last_of("\\/:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return std::string();
    return path.substr(dot);
}

int imageFileCodeForExtension(const std::string& extension)
{
    for (const ExtensionCode& entry : ExtensionCodes)
        if (sameTextIgnoringCase(extension, entry.extension))
            return entry.code;
    return 0;
}

int jpegQualityFactor(int jpegQuality)
{
    switch (jpegQuality) {
    case TWJQ_LOW: return 240;
    case TWJQ_HIGH: return 25;
    default: return 128;
    }
}

TransferFileChoice chooseImageFile(TW_UINT16 format, const std::string& path, int jpegQuality)
{
    switch (format) {
    case TWFF_TIFF: return writable(ImageFileTiff);
    case TWFF_BMP: return writable(ImageFileBmp);
    case TWFF_TIFFMULTI: return writable(ImageFileTiff, DefaultQualityFactor, true);
    }
    TransferFileChoice byExtension = choiceForCode(imageFileCodeForExtension(fileNameExtension(path)), jpegQuality);
    if (byExtension.writable)
        return byExtension;
    switch (format) {
    case TWFF_JFIF: return choiceForCode(ImageFileJpeg, jpegQuality);
    case TWFF_PNG: return choiceForCode(ImageFilePng, jpegQuality);
    default: return TransferFileChoice{};
    }
}
