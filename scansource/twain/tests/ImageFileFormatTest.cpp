#include <gtest/gtest.h>

#include "ImageFileFormat.h"

TEST(ImageFileFormat, ExtensionIsTheFileNamesLastDot)
{
    struct Case {
        const char* path;
        const char* extension;
    } cases[] = {
        {"C:\\Scans\\page.bmp", ".bmp"},
        {"C:\\Scans\\2026.12\\page.bmp", ".bmp"},
        {"C:\\Scans\\2026.12\\page", ""},
        {"C:\\Temp\\ZVP41A.tmp.BMP", ".BMP"},
        {"page.tar.jpg", ".jpg"},
        {"/tmp/a.b/scan", ""},
        {"D:scan.png", ".png"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileNameExtension(c.path), c.extension) << c.path;
}

TEST(ImageFileFormat, FormatAndExtensionChooseTheFile)
{
    struct Case {
        TW_UINT16 format;
        const char* path;
        int jpegQuality;
        bool writable;
        int code, quality;
        bool multiPage;
    } cases[] = {
        // TIFF, BMP and multi-page TIFF are taken from the format alone.
        {TWFF_TIFF, "C:\\a\\page.jpg", -2, true, 3, -3, false},
        {TWFF_BMP, "C:\\a\\page.png", -2, true, 6, -3, false},
        {TWFF_TIFFMULTI, "C:\\a\\pages.tif", -2, true, 3, -3, true},
        // Any other format follows the extension, whatever its case.
        {TWFF_JFIF, "C:\\a\\page.jpg", -2, true, 10, 128, false},
        {TWFF_JFIF, "C:\\a\\page.JFF", -3, true, 10, 240, false},
        {TWFF_JFIF, "C:\\a\\page.Jpg", -1, true, 10, 25, false},
        {TWFF_JFIF, "C:\\a\\page.jpg", 7, true, 10, 128, false},
        {TWFF_PICT, "C:\\a\\page.png", -2, true, 75, -3, false},
        {TWFF_JFIF, "C:\\a\\page.tif", -2, true, 3, -3, false},
        {TWFF_JFIF, "C:\\Scans\\2026.12\\page.bmp", -2, true, 6, -3, false},
        // No extension that we write: the format decides if we write it.
        {TWFF_JFIF, "C:\\Scans\\2026.12\\page", -3, true, 10, 240, false},
        {TWFF_PNG, "C:\\a\\page.xyz", -2, true, 75, -3, false},
        {TWFF_JFIF, "C:\\a\\page.pcx", -2, true, 10, 128, false},
        // ...and nothing is written otherwise.
        {TWFF_PICT, "C:\\a\\page.xyz", -2, false, 0, -3, false},
        {TWFF_PICT, "C:\\a\\page.pcx", -2, false, 0, -3, false},
        {99, "C:\\a.jpg\\page", -2, false, 0, -3, false},
    };
    for (const Case& c : cases) {
        TransferFileChoice choice = chooseImageFile(c.format, c.path, c.jpegQuality);
        EXPECT_EQ(choice.writable, c.writable) << c.format << " " << c.path;
        if (!c.writable)
            continue;
        EXPECT_EQ(choice.code, c.code) << c.format << " " << c.path;
        EXPECT_EQ(choice.qualityFactor, c.quality) << c.format << " " << c.path;
        EXPECT_EQ(choice.multiPage, c.multiPage) << c.format << " " << c.path;
    }
}

TEST(ImageFileFormat, KnownExtensionsIncludeFormatsWeDoNotWrite)
{
    EXPECT_EQ(imageFileCodeForExtension(".pcx"), 1);
    EXPECT_EQ(imageFileCodeForExtension(".PCT"), 56);
    EXPECT_EQ(imageFileCodeForExtension(".jpeg"), 0);
    EXPECT_EQ(imageFileCodeForExtension(".JP"), 0);
    EXPECT_EQ(imageFileCodeForExtension(""), 0);
}
