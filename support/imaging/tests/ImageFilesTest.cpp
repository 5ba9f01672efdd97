// Files written by the library, checked by readers that are not ours:
// ImageMagick's identify and compare, libtiff's tiffinfo.
#include "ImageFiles.h"
#include "ImagingInterface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sys/stat.h>

using namespace imaging;
using namespace imaging::testing;

namespace {

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveTool("identify") || !haveTool("compare"))
            GTEST_SKIP() << "ImageMagick is not installed";
    }
    // Pixels that differ between a file and the reference (ImageMagick).
    long differingPixels(const std::string& file, const std::string& reference)
    {
        std::string out = run("compare -metric AE '" + file + "' '" + reference + "' null:");
        return std::strtol(out.c_str(), nullptr, 10);
    }
    ScratchFolder folder;
};

long fileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

TEST_F(ImageFiles, LosslessFormatsHoldTheExactPixelsOfEveryDepth)
{
    const Image images[] = {colourImage(301, 37), greyImage(50, 20), lineArtImage(61, 17)};
    const struct {
        int format;
        const char* extension;
    } formats[] = {{IMAGING_FORMAT_BMP, "bmp"}, {IMAGING_FORMAT_TIFF, "tif"}, {IMAGING_FORMAT_PNG, "png"}};
    for (const Image& image : images) {
        const std::string reference = folder.path("reference-" + std::to_string(image.bitsPerPixel) + ".pnm");
        writeNetpbm(image, reference);
        for (const auto& format : formats) {
            const std::string file = folder.path("out" + std::to_string(image.bitsPerPixel) + "." + format.extension);
            ASSERT_EQ(saveImageFile(file.c_str(), image, format.format, 0, false), IMAGING_SUCCESS);
            const std::string size = run("identify -format '%w %h' '" + file + "'");
            EXPECT_EQ(size, std::to_string(image.width) + " " + std::to_string(image.height)) << file;
            EXPECT_EQ(differingPixels(file, reference), 0) << file;
        }
    }
}

TEST_F(ImageFiles, TopDownBitmapWritesTheSamePicture)
{
    Image image = colourImage(40, 30);
    const std::string reference = folder.path("reference.ppm");
    writeNetpbm(image, reference);
    turnTopDown(image);
    for (int format : {IMAGING_FORMAT_BMP, IMAGING_FORMAT_TIFF, IMAGING_FORMAT_PNG}) {
        const std::string file = folder.path("top" + std::to_string(format));
        ASSERT_EQ(saveImageFile(file.c_str(), image, format, 0, false), IMAGING_SUCCESS);
        EXPECT_EQ(differingPixels(file, reference), 0) << format;
    }
}

TEST_F(ImageFiles, TiffTagsAndPagesAsLibtiffReadsThem)
{
    if (!haveTool("tiffinfo"))
        GTEST_SKIP() << "libtiff-tools is not installed";
    const std::string file = folder.path("pages.tif");
    const Image pages[] = {lineArtImage(2550, 40, 300), greyImage(120, 30, 150), colourImage(33, 11, 600)};
    for (const Image& page : pages)
        ASSERT_EQ(saveImageFile(file.c_str(), page, IMAGING_FORMAT_TIFF, 0, true), IMAGING_SUCCESS);
    int status = 0;
    const std::string info = run("tiffinfo '" + file + "'", &status);
    ASSERT_EQ(status, 0) << info;
    EXPECT_EQ(info.find("Warning"), std::string::npos) << info;
    const std::regex directory("TIFF Directory at offset");
    EXPECT_EQ(std::distance(std::sregex_iterator(info.begin(), info.end(), directory), std::sregex_iterator()), 3)
        << info;
    for (const char* expected : {"Image Width: 2550 Image Length: 40", "Resolution: 300, 300 pixels/inch",
                                 "Compression Scheme: PackBits", "Photometric Interpretation: min-is-white",
                                 "Image Width: 120 Image Length: 30", "Resolution: 150, 150 pixels/inch",
                                 "Photometric Interpretation: min-is-black", "Bits/Sample: 8",
                                 "Photometric Interpretation: RGB color", "Samples/Pixel: 3",
                                 "Resolution: 600, 600 pixels/inch", "Subfile Type: multi-page document"})
        EXPECT_NE(info.find(expected), std::string::npos) << expected << "\n" << info;
    // Every page's pixels, read back by ImageMagick.
    for (int i = 0; i < 3; ++i) {
        const std::string reference = folder.path("page" + std::to_string(i) + ".pnm");
        writeNetpbm(pages[i], reference);
        EXPECT_EQ(differingPixels(file + "[" + std::to_string(i) + "]", reference), 0) << i;
    }
    // A plain save starts the file again with one page.
    ASSERT_EQ(saveImageFile(file.c_str(), pages[1], IMAGING_FORMAT_TIFF, 0, false), IMAGING_SUCCESS);
    EXPECT_EQ(run("identify '" + file + "' | wc -l"), "1\n");
}

TEST_F(ImageFiles, JpegQualityFactorsOrderSizeAndFidelity)
{
    const Image image = colourImage(400, 300);
    const std::string reference = folder.path("reference.ppm");
    writeNetpbm(image, reference);
    long sizes[3];
    double psnr[3];
    const int factors[3] = {IMAGING_JPEG_FACTOR_HIGH_QUALITY, IMAGING_JPEG_FACTOR_MEDIUM_QUALITY,
                            IMAGING_JPEG_FACTOR_LOW_QUALITY};
    for (int i = 0; i < 3; ++i) {
        const std::string file = folder.path("q" + std::to_string(factors[i]) + ".jpg");
        ASSERT_EQ(saveImageFile(file.c_str(), image, IMAGING_FORMAT_JPEG, factors[i], false), IMAGING_SUCCESS);
        EXPECT_EQ(run("identify -format '%m %w %h' '" + file + "'"), "JPEG 400 300");
        sizes[i] = fileSize(file);
        psnr[i] = std::strtod(run("compare -metric PSNR '" + file + "' '" + reference + "' null:").c_str(), nullptr);
    }
    EXPECT_GT(sizes[0], sizes[1]);
    EXPECT_GT(sizes[1], sizes[2]);
    EXPECT_GT(psnr[0], psnr[1]);
    EXPECT_GT(psnr[1], psnr[2]);
    EXPECT_GT(psnr[2], 20.0);
}

TEST_F(ImageFiles, BmpLoadsBackFromOurWriterAndFromImageMagick)
{
    const Image images[] = {colourImage(31, 9), greyImage(17, 5), lineArtImage(19, 6)};
    for (const Image& image : images) {
        const std::string tag = std::to_string(image.bitsPerPixel);
        const std::string reference = folder.path("ref" + tag + ".pnm");
        writeNetpbm(image, reference);
        const std::string ours = folder.path("ours" + tag + ".bmp");
        ASSERT_EQ(saveImageFile(ours.c_str(), image, IMAGING_FORMAT_BMP, 0, false), IMAGING_SUCCESS);
        // ImageMagick's own BMP writers: the plain header and the newer one.
        for (const std::string kind : {"BMP3", "BMP"}) {
            const std::string theirs = folder.path("theirs-" + kind + tag + ".bmp");
            run(std::string("convert '") + reference + "' " + (image.bitsPerPixel == 24 ? "" : "-type Palette ") +
                kind + ":'" + theirs + "'");
            for (const std::string& file : {ours, theirs}) {
                Image loaded;
                ASSERT_EQ(loadBmpFile(file.c_str(), loaded), IMAGING_SUCCESS) << file;
                ASSERT_EQ(loaded.width, image.width);
                ASSERT_EQ(loaded.height, image.height);
                // Compared as pictures with what ImageMagick reads from the
                // file (its palette writer may reduce the colours).
                const std::string roundTrip = folder.path("back.png");
                ASSERT_EQ(saveImageFile(roundTrip.c_str(), loaded, IMAGING_FORMAT_PNG, 0, false), IMAGING_SUCCESS);
                EXPECT_EQ(differingPixels(roundTrip, file == ours ? reference : theirs), 0) << file;
            }
        }
    }
}

TEST_F(ImageFiles, FailuresAreNegativeAndLeaveNoFile)
{
    const Image image = greyImage(8, 8);
    const std::string file = folder.path("x.pcx");
    EXPECT_EQ(saveImageFile(file.c_str(), image, 1, 0, false), IMAGING_FORMAT_NOT_SUPPORTED);
    EXPECT_EQ(fileSize(file), -1);
    EXPECT_EQ(saveImageFile(folder.path("missing/x.bmp").c_str(), image, IMAGING_FORMAT_BMP, 0, false),
              IMAGING_FILE_WRITE_FAILED);
    // Appending a page to a file that is not a TIFF file.
    const std::string notTiff = folder.path("not.tif");
    std::ofstream(notTiff) << "hello";
    EXPECT_EQ(saveImageFile(notTiff.c_str(), image, IMAGING_FORMAT_TIFF, 0, true), IMAGING_INVALID_FILE);
    EXPECT_EQ(fileSize(notTiff), 5);
    Image loaded;
    EXPECT_EQ(loadBmpFile(notTiff.c_str(), loaded), IMAGING_INVALID_FILE);
    EXPECT_EQ(loadBmpFile(folder.path("none.bmp").c_str(), loaded), IMAGING_FILE_READ_FAILED);
}

}
