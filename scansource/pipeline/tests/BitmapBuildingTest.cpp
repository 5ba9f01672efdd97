#include "BitmapBuilding.h"
#include "BitmapFakes.h"
#include "StringIds.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>

namespace {

uint32_t u32(const uint8_t* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }

class BitmapBuildingTest : public ::testing::Test {
protected:
    ScanBitmapBuilder& builder(int pixelType, int width, int height, int dpi = 300)
    {
        parameters.pixelType = pixelType;
        parameters.resolution = dpi;
        geometry = {dpi, dpi, width, height, pixelType == PIXEL_TYPE_COLOUR ? 3 : 1};
        built.emplace(parameters, geometry, memory, imaging, platform);
        return *built;
    }
    std::vector<uint8_t> bytesOf(void* block)
    {
        LockedBlock locked(memory, block);
        return std::vector<uint8_t>(locked.bytes(), locked.bytes() + locked.size());
    }

    ScanParameters parameters;
    ScanGeometry geometry;
    HeapMemoryBlocks memory;
    ScriptedImagingLibrary imaging{memory};
    FakeBitmapPlatform platform;
    std::optional<ScanBitmapBuilder> built;
};

TEST_F(BitmapBuildingTest, EachPixelTypeHasTheLayoutOfTheTable)
{
    struct Case {
        int pixelType, width, height, dpi;
        bool mso;
        uint32_t stride, blockSize, bitCount, clrUsed, pelsPerMetre;
        uint8_t firstPalette[8];
        uint8_t pixelByte;
    } cases[] = {
        {PIXEL_TYPE_BLACK_WHITE, 10, 3, 300, false, 4, 12 + 48, 1, 0, 11811, {255, 255, 255, 0, 0, 0, 0, 0}, 0x00},
        {PIXEL_TYPE_BLACK_WHITE, 10, 3, 300, true, 4, 12 + 48, 1, 2, 11811, {255, 255, 255, 0, 0, 0, 0, 0}, 0x00},
        {PIXEL_TYPE_GREY, 2550, 2, 300, false, 2552, 5104 + 1064, 8, 0, 11811, {0, 0, 0, 0, 1, 1, 1, 0}, 0xff},
        {PIXEL_TYPE_GREY, 2550, 2, 300, true, 2552, 5104 + 1064, 8, 255, 11811, {0, 0, 0, 0, 1, 1, 1, 0}, 0xff},
        {PIXEL_TYPE_COLOUR, 5, 2, 75, true, 16, 32 + 40, 24, 0, 2952, {}, 0xff},
    };
    for (const Case& c : cases) {
        platform.msoLoaded = c.mso;
        void* dib = builder(c.pixelType, c.width, c.height, c.dpi).createScanBitmap(1);
        ASSERT_NE(dib, nullptr);
        ASSERT_TRUE(built->openDataStore());
        ASSERT_EQ(built->fillBitmapRows(dib), ScanBitmapBuilder::Filled::complete);  // no row delivered
        const std::vector<uint8_t> bytes = bytesOf(dib);
        const std::string what = std::to_string(c.pixelType) + (c.mso ? " with MSO.DLL" : "");
        EXPECT_EQ(bytes.size(), c.blockSize) << what;
        EXPECT_EQ(built->layout().stride, c.stride) << what;
        EXPECT_EQ(u32(&bytes[0]), 40u);
        EXPECT_EQ(u32(&bytes[4]), static_cast<uint32_t>(c.width));
        EXPECT_EQ(u32(&bytes[8]), static_cast<uint32_t>(c.height));
        EXPECT_EQ(u32(&bytes[12]), 1u | c.bitCount << 16) << what;  // planes, bits
        EXPECT_EQ(u32(&bytes[16]), 0u);
        EXPECT_EQ(u32(&bytes[20]), c.stride * c.height) << what;
        EXPECT_EQ(u32(&bytes[24]), c.pelsPerMetre) << what;
        EXPECT_EQ(u32(&bytes[28]), c.pelsPerMetre) << what;
        EXPECT_EQ(u32(&bytes[32]), c.clrUsed) << what;
        EXPECT_EQ(u32(&bytes[36]), 0u);
        if (c.bitCount <= 8) {
            EXPECT_EQ(0, std::memcmp(&bytes[40], c.firstPalette, 8)) << what;
            if (c.bitCount == 8) {
                EXPECT_EQ(u32(&bytes[40 + 255 * 4]), 0x00ffffffu);
            }
        }
        EXPECT_EQ(bytes[bytes.size() - c.stride * c.height], c.pixelByte) << what;
        EXPECT_EQ(bytes.back(), c.pixelByte) << what;
        memory.release(dib);
    }
}

TEST_F(BitmapBuildingTest, UnknownPixelTypeMakesNoBitmapAndTracesWhenFilled)
{
    ScanBitmapBuilder& b = builder(3, 10, 10);
    DibHandle dib = b.createScanBitmap(1);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(b.fillBitmapRows(dib), ScanBitmapBuilder::Filled::unreadable);
    ASSERT_EQ(platform.warnings.size(), 1u);
    EXPECT_EQ(platform.warnings[0].stringId, static_cast<unsigned>(IDS_ERROR_INVALID_COLOR_FORMAT));
    EXPECT_FALSE(platform.warnings[0].shown);
}

// One grey row of width 10 through threshold 160: what ends in the DIB.
TEST_F(BitmapBuildingTest, LineArtThresholdInvertAndDibOrder)
{
    const uint8_t grey[10] = {160, 161, 0, 255, 160, 161, 0, 255, 161, 160};
    struct Case {
        int invert, dibOrder;
        uint8_t first, second;  // the two packed bytes of the row
    } cases[] = {
        {0, 0, 0x55, 0x80},  // 1 where grey > 160 (signed comparison)
        {1, 0, 0xaa, 0x7f},  // invert: the whole byte, padding bits included
        {0, 1, 0xaa, 0x7f},  // dibOrder 1 inverts once more: grey <= 160 becomes 1, black
        {1, 1, 0x55, 0x80},
    };
    for (const Case& c : cases) {
        parameters.threshold = 160;
        parameters.invert = c.invert;
        ScanBitmapBuilder& b = builder(PIXEL_TYPE_BLACK_WHITE, 10, 1);
        void* dib = b.createScanBitmap(c.dibOrder);
        ASSERT_TRUE(b.openDataStore());
        b.appendDecodedRow(grey, 0);  // after the stream header
        b.appendDecodedRow(grey, 10);
        b.fillBitmapRows(dib);
        const std::vector<uint8_t> bytes = bytesOf(dib);
        EXPECT_EQ(bytes[48], c.first) << c.invert << c.dibOrder;
        EXPECT_EQ(bytes[49], c.second) << c.invert << c.dibOrder;
        memory.release(dib);
    }
}

TEST_F(BitmapBuildingTest, NegativeThresholdComparesSigned)
{
    uint8_t packed[1];
    const uint8_t grey[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(packLineArtRow(grey, 8, -1, false, packed), 1);
    EXPECT_EQ(packed[0], 0xff);
    EXPECT_EQ(packLineArtRow(grey, 3, 300, false, packed), 1);
    EXPECT_EQ(packed[0], 0x00);
}

// Colour rows 7 pixels wide: rows bottom-up, BGR by dibOrder up to the last pixel.
std::vector<uint8_t> colourRow(int row)
{
    std::vector<uint8_t> rgb(21);
    for (int i = 0; i < 21; ++i)
        rgb[i] = static_cast<uint8_t>(row * 40 + i);
    return rgb;
}

TEST_F(BitmapBuildingTest, ColourRowsGoBottomUpInTheByteOrderAsked)
{
    for (int dibOrder : {0, 1}) {
        ScanBitmapBuilder& b = builder(PIXEL_TYPE_COLOUR, 7, 3);
        void* dib = b.createScanBitmap(dibOrder);
        ASSERT_TRUE(b.openDataStore());
        for (int row = 0; row < 3; ++row)
            b.appendDecodedRow(colourRow(row).data(), 21);
        b.fillBitmapRows(dib);
        const std::vector<uint8_t> bytes = bytesOf(dib);
        for (int row = 0; row < 3; ++row) {
            const uint8_t* stored = &bytes[40 + (2 - row) * 24];  // the first row is the last in memory
            const std::vector<uint8_t> rgb = colourRow(row);
            for (int x = 0; x < 7; ++x) {
                const uint8_t* pixel = stored + x * 3;
                EXPECT_EQ(pixel[0], rgb[x * 3 + (dibOrder ? 2 : 0)]) << row << " " << x;
                EXPECT_EQ(pixel[1], rgb[x * 3 + 1]);
                EXPECT_EQ(pixel[2], rgb[x * 3 + (dibOrder ? 0 : 2)]) << row << " " << x;
            }
            EXPECT_EQ(stored[21], 0xff);  // padding as created
        }
        memory.release(dib);
    }
}

// Rows 600 pixels wide, so that the store of unpadded rows is larger than
// the header and smaller than the bitmap: failing allocations from a size
// decides where the rows go.
enum class RowsGo { toTheBitmap, toAMemoryStore, toATemporaryFile };

TEST_F(BitmapBuildingTest, AStoreWhenTheBitmapCannotBeHadGivesTheSameBitmapAndLeavesNoFile)
{
    imaging::testing::ScratchFolder folder;
    platform.temporaryFolder = folder.path("");
    for (int pixelType : {PIXEL_TYPE_BLACK_WHITE, PIXEL_TYPE_GREY, PIXEL_TYPE_COLOUR}) {
        std::vector<uint8_t> bitmaps[3];
        for (RowsGo where : {RowsGo::toTheBitmap, RowsGo::toAMemoryStore, RowsGo::toATemporaryFile}) {
            SCOPED_TRACE(testing::Message() << "pixel type " << pixelType << ", way " << int(where));
            parameters.threshold = 100;
            ScanBitmapBuilder& b = builder(pixelType, 600, 5);
            const size_t storeSize = size_t(b.layout().storedRowBytes) * 5;
            if (where != RowsGo::toTheBitmap)
                memory.failAllocationsFrom(where == RowsGo::toAMemoryStore ? storeSize + 1 : storeSize);
            void* dib = b.createScanBitmap(1);
            ASSERT_NE(dib, nullptr);
            ASSERT_TRUE(b.openDataStore());
            memory.failAllocationsFrom(0);
            EXPECT_EQ(b.dataStoreInMemory(), where == RowsGo::toAMemoryStore);
            EXPECT_EQ(b.dataStoreUsesFile(), where == RowsGo::toATemporaryFile);
            const int rowSize = 600 * (pixelType == PIXEL_TYPE_COLOUR ? 3 : 1);
            std::vector<uint8_t> row(static_cast<size_t>(rowSize));
            for (int y = 0; y < 4; ++y) {  // one row short: it stays white
                for (int x = 0; x < rowSize; ++x)
                    row[static_cast<size_t>(x)] = static_cast<uint8_t>(y * 9 + x);
                b.appendDecodedRow(row.data(), rowSize);
            }
            ASSERT_EQ(b.fillBitmapRows(dib), ScanBitmapBuilder::Filled::complete);
            b.closeDataStore();
            bitmaps[int(where)] = bytesOf(dib);
            memory.release(dib);
        }
        EXPECT_EQ(bitmaps[1], bitmaps[0]);
        EXPECT_EQ(bitmaps[2], bitmaps[0]);
    }
    const std::vector<uint8_t> grey = [&] {
        ScanBitmapBuilder& b = builder(PIXEL_TYPE_GREY, 9, 5);
        void* dib = b.createScanBitmap(1);
        uint8_t row[9];
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 9; ++x)
                row[x] = static_cast<uint8_t>(y * 9 + x);
            b.appendDecodedRow(row, 9);
        }
        b.fillBitmapRows(dib);
        std::vector<uint8_t> bytes = bytesOf(dib);
        memory.release(dib);
        return bytes;
    }();
    EXPECT_EQ(grey[1064], 0xff);           // the row never delivered: the bottom one
    EXPECT_EQ(grey[1064 + 4 * 12 + 8], 8);  // the first row's last pixel, at the top
    EXPECT_EQ(grey[1064 + 4 * 12 + 9], 0xff);  // padding
    ASSERT_EQ(platform.namedFiles.size(), 3u);
    for (const std::string& file : platform.namedFiles)
        EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(platform.warnings.empty());
    EXPECT_EQ(memory.liveBlocks(), 0);
}

TEST_F(BitmapBuildingTest, AllocationFailures)
{
    ScanBitmapBuilder& b = builder(PIXEL_TYPE_COLOUR, 100, 100);
    memory.failAllocationsFrom(1);
    EXPECT_EQ(b.createScanBitmap(1), nullptr);
    // Neither memory nor a temporary file: message 7 in a box.
    EXPECT_FALSE(b.openDataStore());
    ASSERT_EQ(platform.warnings.size(), 1u);
    EXPECT_EQ(platform.warnings[0].stringId, static_cast<unsigned>(IDS_ERROR_CANT_CREATE_DATA_FILE));
    EXPECT_TRUE(platform.warnings[0].shown);
    // A bitmap whose image size does not fit 31 bits is refused outright.
    memory.failAllocationsFrom(0);
    EXPECT_EQ(builder(PIXEL_TYPE_COLOUR, 40000, 20000).createScanBitmap(1), nullptr);
    EXPECT_EQ(memory.liveBlocks(), 0);

    // Rows kept in a temporary file, and still no memory for the bitmap
    // once they are in: message 6, and nothing left behind.
    imaging::testing::ScratchFolder folder;
    platform.temporaryFolder = folder.path("");
    platform.warnings.clear();
    ScanBitmapBuilder& stored = builder(PIXEL_TYPE_GREY, 600, 5);
    memory.failAllocationsFrom(3000);
    void* dib = stored.createScanBitmap(1);
    ASSERT_NE(dib, nullptr);
    EXPECT_TRUE(stored.dataStoreUsesFile());
    const std::vector<uint8_t> row(600, 7);
    stored.appendDecodedRow(row.data(), 600);
    EXPECT_EQ(stored.fillBitmapRows(dib), ScanBitmapBuilder::Filled::noMemory);
    ASSERT_EQ(platform.warnings.size(), 1u);
    EXPECT_EQ(platform.warnings[0].stringId, static_cast<unsigned>(IDS_ERROR_NO_MEMORY_FOR_DIB));
    EXPECT_TRUE(platform.warnings[0].shown);
    memory.release(dib);
    built.reset();
    EXPECT_EQ(memory.liveBlocks(), 0);
    EXPECT_FALSE(std::filesystem::exists(platform.namedFiles.back()));
}

TEST_F(BitmapBuildingTest, TemporaryFileThatCannotBeReopenedFailsTheFill)
{
    imaging::testing::ScratchFolder folder;
    platform.temporaryFolder = folder.path("");
    ScanBitmapBuilder& b = builder(PIXEL_TYPE_GREY, 600, 2);
    memory.failAllocationsFrom(1200);  // neither the bitmap nor a store in memory
    void* dib = b.createScanBitmap(1);
    ASSERT_TRUE(b.openDataStore());
    memory.failAllocationsFrom(0);
    ASSERT_TRUE(b.dataStoreUsesFile());
    const std::vector<uint8_t> row(600, 1);
    b.appendDecodedRow(row.data(), 600);
    std::filesystem::remove(platform.namedFiles[0]);
    EXPECT_EQ(b.fillBitmapRows(dib), ScanBitmapBuilder::Filled::unreadable);
    ASSERT_EQ(platform.warnings.size(), 1u);
    EXPECT_EQ(platform.warnings[0].stringId, static_cast<unsigned>(IDS_ERROR_CANT_OPEN_DATA_FILE));
    memory.release(dib);
}

}
