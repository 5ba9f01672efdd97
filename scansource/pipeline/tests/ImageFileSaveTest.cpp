#include "BitmapFakes.h"
#include "ImageFileSave.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

TEST(ImageFileChoiceTest, FormatOrExtensionChoosesCodeQualityAndPageMode)
{
    struct Case {
        int format;
        const char* path;
        int jpegQuality;
        bool known;
        int32_t code, quality;
        bool multiPage;
    } cases[] = {
        {0, "C:\\scan.jpg", -1, true, 3, -3, false},  // TWFF_TIFF: the format, not the name
        {2, "C:\\scan", -1, true, 6, -3, false},      // TWFF_BMP
        {6, "C:\\scan.tif", -1, true, 3, -3, true},   // TWFF_TIFFMULTI
        {4, "C:\\scan.jpg", -3, true, 10, 240, false},
        {4, "C:\\scan.JPG", -1, true, 10, 25, false},
        {4, "C:\\scan.jff", -2, true, 10, 128, false},
        {4, "C:\\scan.jpg", 7, true, 10, 128, false},
        {4, "C:\\scan.png", -1, true, 75, -3, false},
        {4, "C:\\scan.Tif", -1, true, 3, -3, false},
        {4, "C:\\scan.pcx", -1, true, 1, -3, false},
        {4, "C:\\scan.pct", -1, true, 56, -3, false},
        {4, "C:\\scan.bmp.jpg", -1, true, 10, 25, false},  // the last dot of the name
        {4, "C:\\my.docs\\scan.png", -1, true, 75, -3, false},  // a folder's dot does not count
        {4, "C:\\my.docs\\scan", -1, false, 0, -3, false},
        {4, "C:\\scan.gif", -1, false, 0, -3, false},
        {4, "C:\\scan", -1, false, 0, -3, false},
        {4, "C:\\scan.jpeg", -1, false, 0, -3, false},
    };
    for (const Case& c : cases) {
        ImageFileChoice choice;
        EXPECT_EQ(chooseImageFileFormat(c.format, c.path, c.jpegQuality, choice), c.known) << c.path;
        if (!c.known)
            continue;
        EXPECT_EQ(choice.formatCode, c.code) << c.path;
        EXPECT_EQ(choice.qualityFactor, c.quality) << c.path;
        EXPECT_EQ(choice.multiPage, c.multiPage) << c.path;
    }
}

class SaveImageFileTest : public ::testing::Test {
protected:
    void* dibOf(const imaging::Image& image)
    {
        std::vector<uint8_t> bytes = imaging::testing::packedDib(image);
        void* block = memory.allocate(bytes.size(), false);
        std::memcpy(memory.lock(block), bytes.data(), bytes.size());
        return block;
    }
    HeapMemoryBlocks memory;
    ScriptedImagingLibrary imaging{memory};
    imaging::testing::ScratchFolder folder;
};

TEST_F(SaveImageFileTest, MultiPageSavesAppendAndThePreviewLoadsBack)
{
    const imaging::Image page = imaging::testing::greyImage(30, 20);
    void* dib = dibOf(page);
    const std::string tiff = folder.path("pages.tif");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SaveImageFile(imaging, memory, dib, 6, tiff.c_str(), -2), 1);
    if (imaging::testing::haveTool("identify")) {
        EXPECT_EQ(imaging::testing::run("identify '" + tiff + "' | wc -l"), "3\n");
    }

    const std::string preview = folder.path("Calder.bmp");
    EXPECT_EQ(SaveImageFile(imaging, memory, dib, 2, preview.c_str(), -2), 1);
    void* loaded = LoadImageFileAsDib(imaging, preview.c_str());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(memory.blockSize(loaded), memory.blockSize(dib));
    EXPECT_EQ(0, std::memcmp(memory.lock(loaded), memory.lock(dib), memory.blockSize(dib)));
    memory.release(loaded);
    memory.release(dib);
    EXPECT_EQ(memory.liveBlocks(), 0);
}

TEST_F(SaveImageFileTest, NothingIsWrittenForNoDibOrAnUnknownExtension)
{
    void* dib = dibOf(imaging::testing::colourImage(4, 4));
    const std::string gif = folder.path("scan.gif");
    EXPECT_EQ(SaveImageFile(imaging, memory, dib, 4, gif.c_str(), -2), 0);
    EXPECT_FALSE(std::filesystem::exists(gif));
    EXPECT_EQ(SaveImageFile(imaging, memory, nullptr, 2, folder.path("none.bmp").c_str(), -2), 0);
    // A listed format the library does not write: negative.
    EXPECT_LT(SaveImageFile(imaging, memory, dib, 4, folder.path("scan.pcx").c_str(), -2), 0);
    EXPECT_EQ(LoadImageFileAsDib(imaging, folder.path("none.bmp").c_str()), nullptr);
    memory.release(dib);
    EXPECT_EQ(memory.liveBlocks(), 0);
}

}
