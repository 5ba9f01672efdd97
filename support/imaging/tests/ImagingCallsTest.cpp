// The six calls on a descriptor, as the data source uses them.
#include "HeapMemoryBlocks.h"
#include "ImagingCalls.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging::testing;

namespace {

class ImagingCallsTest : public ::testing::Test {
protected:
    void* dibOf(const imaging::Image& image)
    {
        std::vector<uint8_t> bytes = packedDib(image);
        void* block = memory.allocate(bytes.size(), false);
        std::memcpy(memory.lock(block), bytes.data(), bytes.size());
        return block;
    }
    std::vector<uint8_t> bytesOf(void* block)
    {
        uint8_t* bytes = memory.lock(block);
        return std::vector<uint8_t>(bytes, bytes + memory.blockSize(block));
    }
    HeapMemoryBlocks memory;
    ImagingCalls calls{memory};
};

TEST_F(ImagingCallsTest, DescriptorDescribesTheBitmapAndItsResolutionsReachTheDib)
{
    void* dib = dibOf(greyImage(9, 4, 75));
    ImagingBitmapDescriptor bitmap;
    std::memset(&bitmap, 0xcc, sizeof bitmap);  // the caller's stack, uninitialised
    ASSERT_EQ(calls.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib), IMAGING_SUCCESS);
    EXPECT_EQ(bitmap.width, 9);
    EXPECT_EQ(bitmap.height, 4);
    EXPECT_EQ(bitmap.bitsPerPixel, 8);
    EXPECT_EQ(bitmap.xResolution, 75);
    EXPECT_EQ(bitmap.bytesPerLine, 12);
    ASSERT_EQ(calls.resize(&bitmap, 6, 2, 0), IMAGING_SUCCESS);
    EXPECT_EQ(bitmap.width, 6);
    bitmap.xResolution = bitmap.yResolution = 50;
    void* fitted = calls.dibFromBitmap(&bitmap, 0);
    ASSERT_NE(fitted, nullptr);
    std::vector<uint8_t> bytes = bytesOf(fitted);
    int32_t pelsPerMetre;
    std::memcpy(&pelsPerMetre, bytes.data() + 24, 4);
    EXPECT_EQ(pelsPerMetre, 1968);  // trunc(50 x 39.370078740157477)
    // The bitmap is gone: further calls find none.
    EXPECT_EQ(calls.resize(&bitmap, 3, 3, 0), IMAGING_NO_BITMAP);
    EXPECT_EQ(calls.dibFromBitmap(&bitmap, 0), nullptr);
    memory.release(dib);
    memory.release(fitted);
    EXPECT_EQ(memory.liveBlocks(), 0);
}

TEST_F(ImagingCallsTest, MemoryTransferPreparationPutsTheTopRowFirst)
{
    const imaging::Image image = colourImage(5, 3);
    void* dib = dibOf(image);
    ImagingBitmapDescriptor bitmap{};
    ASSERT_EQ(calls.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib), IMAGING_SUCCESS);
    ASSERT_EQ(calls.prepareMemoryTransfer(&bitmap), IMAGING_SUCCESS);
    EXPECT_EQ(bitmap.flags & IMAGING_BITMAP_TOP_DOWN, IMAGING_BITMAP_TOP_DOWN);
    void* prepared = calls.dibFromBitmap(&bitmap, 0);
    std::vector<uint8_t> bytes = bytesOf(prepared);
    int32_t height;
    std::memcpy(&height, bytes.data() + 8, 4);
    EXPECT_EQ(height, 3);  // positive: the transfer divides by it
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(0, std::memcmp(bytes.data() + 40 + y * image.stride(), image.rowFromTop(y), image.stride())) << y;
    memory.release(dib);
    memory.release(prepared);
}

TEST_F(ImagingCallsTest, FailuresKeepMemoryBalanced)
{
    void* dib = dibOf(colourImage(64, 64));
    ImagingBitmapDescriptor bitmap{};
    EXPECT_EQ(calls.bitmapFromDib(&bitmap, 100, dib), IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(calls.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, nullptr), IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(calls.prepareMemoryTransfer(&bitmap), IMAGING_NO_BITMAP);
    ASSERT_EQ(calls.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib), IMAGING_SUCCESS);

    ImagingSaveOptions badOptions{};
    badOptions.size = 1000;
    EXPECT_EQ(calls.saveFile("/nonexistent/x.tif", &bitmap, IMAGING_FORMAT_TIFF, 24, -3, &badOptions),
              IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(calls.saveFile("/nonexistent/x.tif", &bitmap, IMAGING_FORMAT_TIFF, 8, -3, nullptr),
              IMAGING_INVALID_ARGUMENT);
    EXPECT_EQ(calls.saveFile("/nonexistent/x.tif", &bitmap, IMAGING_FORMAT_TIFF, 24, -3, nullptr),
              IMAGING_FILE_WRITE_FAILED);
    EXPECT_EQ(calls.saveFile("/nonexistent/x.pcx", &bitmap, 1, 24, -3, nullptr), IMAGING_FORMAT_NOT_SUPPORTED);

    // No memory for the DIB: null, and the bitmap is released all the same.
    memory.failAllocationsFrom(1);
    EXPECT_EQ(calls.dibFromBitmap(&bitmap, 0), nullptr);
    memory.failAllocationsFrom(0);
    EXPECT_EQ(calls.dibFromBitmap(&bitmap, 0), nullptr);
    memory.release(dib);
    EXPECT_EQ(memory.liveBlocks(), 0);
}

TEST_F(ImagingCallsTest, LoadFileReadsABmpIntoANewBitmap)
{
    ScratchFolder folder;
    const std::string path = folder.path("preview.bmp");
    void* dib = dibOf(lineArtImage(20, 7, 50));
    ImagingBitmapDescriptor bitmap{};
    ASSERT_EQ(calls.bitmapFromDib(&bitmap, IMAGING_DESCRIPTOR_SIZE, dib), IMAGING_SUCCESS);
    ASSERT_EQ(calls.saveFile(path.c_str(), &bitmap, IMAGING_FORMAT_BMP, 1, -3, nullptr), IMAGING_SUCCESS);
    calls.releaseBitmap(&bitmap);

    ImagingBitmapDescriptor loaded{};
    ASSERT_EQ(calls.loadFile(path.c_str(), &loaded, IMAGING_DESCRIPTOR_SIZE, 0, 1, nullptr, nullptr), IMAGING_SUCCESS);
    EXPECT_EQ(loaded.bitsPerPixel, 1);
    EXPECT_EQ(loaded.xResolution, 50);
    void* back = calls.dibFromBitmap(&loaded, 0);
    EXPECT_EQ(bytesOf(back), bytesOf(dib));
    EXPECT_EQ(calls.loadFile(folder.path("none.bmp").c_str(), &loaded, IMAGING_DESCRIPTOR_SIZE, 0, 1, nullptr,
                             nullptr),
              IMAGING_FILE_READ_FAILED);
    memory.release(dib);
    memory.release(back);
}

}
