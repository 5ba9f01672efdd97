// Fitting the scanned bitmap to the requested resolution through the library.
#include "BitmapBuilding.h"
#include "BitmapFakes.h"
#include "StringIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

int32_t i32(const std::vector<uint8_t>& bytes, size_t at) { int32_t v; std::memcpy(&v, &bytes[at], 4); return v; }

class FitToRequestTest : public ::testing::Test {
protected:
    // A filled grey bitmap of the frame scanned at hdpi x vdpi for a request at resolution.
    void* scan(int resolution, int hdpi, int vdpi, int left, int top, int right, int bottom, int pixelType = PIXEL_TYPE_GREY)
    {
        parameters.resolution = resolution;
        parameters.pixelType = pixelType;
        parameters.left = left, parameters.top = top, parameters.right = right, parameters.bottom = bottom;
        geometry = {hdpi, vdpi, (right - left) * hdpi / 4800, (bottom - top) * vdpi / 4800,
                    pixelType == PIXEL_TYPE_COLOUR ? 3 : 1};
        built.emplace(parameters, geometry, memory, imaging, platform);
        void* dib = built->createScanBitmap(1);
        EXPECT_TRUE(built->openDataStore());
        std::vector<uint8_t> row(static_cast<size_t>(geometry.width) * geometry.channels);
        for (int y = 0; y < geometry.height; ++y) {
            std::fill(row.begin(), row.end(), static_cast<uint8_t>(y));
            built->appendDecodedRow(row.data(), static_cast<int>(row.size()));
        }
        built->fillBitmapRows(dib);
        return dib;
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

TEST_F(FitToRequestTest, RightSizeIsKeptWithoutTheLibrary)
{
    void* dib = scan(300, 300, 300, 0, 0, 40800, 480);
    void* result = nullptr;
    EXPECT_EQ(built->fitBitmapToRequest(dib, 0, &result), 100);
    EXPECT_EQ(result, dib);
    EXPECT_TRUE(imaging.calls.empty());
    memory.release(result);
}

TEST_F(FitToRequestTest, ResizesToTheRequestAndStampsItsResolution)
{
    struct Case {
        int resolution, hdpi, vdpi, right, bottom;
        int width, height;
        int32_t pelsPerMetre;
    } cases[] = {
        {50, 75, 75, 40800, 960, 425, 10, 1968},      // the preview, scanned at 75
        {2400, 1200, 2400, 480, 48, 240, 24, 94488},  // 2400 scanned at 1200 x 2400
        {100, 150, 150, 4800, 480, 100, 10, 3937},
    };
    for (const Case& c : cases) {
        imaging.calls.clear();
        void* dib = scan(c.resolution, c.hdpi, c.vdpi, 0, 0, c.right, c.bottom);
        void* result = nullptr;
        ASSERT_EQ(built->fitBitmapToRequest(dib, 0, &result), 100);
        ASSERT_NE(result, nullptr);
        const std::vector<uint8_t> bytes = bytesOf(result);
        EXPECT_EQ(i32(bytes, 4), c.width) << c.resolution;
        EXPECT_EQ(i32(bytes, 8), c.height) << c.resolution;
        EXPECT_EQ(i32(bytes, 24), c.pelsPerMetre) << c.resolution;
        EXPECT_EQ(i32(bytes, 28), c.pelsPerMetre) << c.resolution;
        memory.release(result);
        EXPECT_EQ(memory.liveBlocks(), 0) << "the scanned DIB is released when replaced";
    }
}

// Office hosts get a grey DIB that declares 255 colours and carries 256;
// whatever the library makes of it keeps the whole grey ramp.
TEST_F(FitToRequestTest, GreyRampSurvivesTheLibraryWithAndWithoutOffice)
{
    for (bool office : {false, true}) {
        platform.msoLoaded = office;
        for (int forMemoryTransfer : {0, 1}) {
            void* dib = scan(50, 75, 75, 0, 0, 4800, 480);
            void* result = nullptr;
            ASSERT_EQ(built->fitBitmapToRequest(dib, forMemoryTransfer, &result), 100);
            const std::vector<uint8_t> bytes = bytesOf(result);
            for (int i = 0; i < 256; ++i)
                ASSERT_EQ(i32(bytes, 40 + 4 * i), i * 0x010101) << "entry " << i << (office ? " with MSO.DLL" : "");
            memory.release(result);
        }
    }
}

TEST_F(FitToRequestTest, MemoryTransferAlwaysGoesThroughTheLibraryTopRowFirst)
{
    void* dib = scan(150, 150, 150, 0, 0, 320, 96);  // 10 x 3, rows 0, 1, 2 from the top
    void* result = nullptr;
    ASSERT_EQ(built->fitBitmapToRequest(dib, 1, &result), 100);
    EXPECT_EQ(imaging.calls, (std::vector<int>{104, 124, 106}));
    const std::vector<uint8_t> bytes = bytesOf(result);
    EXPECT_EQ(i32(bytes, 8), 3);
    EXPECT_EQ(bytes[1064], 0);        // first row in memory: the top of the image
    EXPECT_EQ(bytes[1064 + 24], 2);
    memory.release(result);
}

// The library holds the image once it has taken it: the scanned DIB goes
// before the library makes its own, so that a fit (every memory transfer,
// every resolution the device lacks) never holds three copies at once.
TEST_F(FitToRequestTest, TheScannedDibIsReleasedBeforeTheLibraryMakesItsOwn)
{
    for (int forMemoryTransfer : {1, 0}) {
        parameters.resolution = 50;
        parameters.pixelType = PIXEL_TYPE_COLOUR;
        parameters.left = 0, parameters.top = 0, parameters.right = 960, parameters.bottom = 96;
        geometry = {75, 75, 15, 1, 3};
        std::vector<int> liveBefore106;
        struct Counting : ScriptedImagingLibrary {
            Counting(HeapMemoryBlocks& heap, std::vector<int>& seen)
                : ScriptedImagingLibrary(heap), heap_(heap), seen_(seen)
            {
            }
            void* dibFromBitmap(ImagingBitmapDescriptor* bitmap, uint32_t flags) override
            {
                seen_.push_back(heap_.liveBlocks());
                return ScriptedImagingLibrary::dibFromBitmap(bitmap, flags);
            }
            HeapMemoryBlocks& heap_;
            std::vector<int>& seen_;
        } counting(memory, liveBefore106);
        ScanBitmapBuilder b(parameters, geometry, memory, counting, platform);
        void* dib = b.createScanBitmap(1);
        const uint8_t row[45] = {};
        b.appendDecodedRow(row, 45);
        ASSERT_EQ(b.fillBitmapRows(dib), ScanBitmapBuilder::Filled::complete);
        void* result = nullptr;
        ASSERT_EQ(b.fitBitmapToRequest(dib, forMemoryTransfer, &result), 100);
        EXPECT_EQ(liveBefore106, std::vector<int>{0}) << forMemoryTransfer;
        memory.release(result);
        EXPECT_EQ(memory.liveBlocks(), 0);
    }
}

// A failed resize fails the scan too: an image of another size than the one
// announced would overrun an application that sized its buffers by it.
TEST_F(FitToRequestTest, LibraryFailuresShowTheirKeyAndLineAndDeliverNothing)
{
    struct Case {
        int32_t ScriptedImagingLibrary::*failing;
        int32_t code;
        int forMemoryTransfer;
        unsigned key;
        int line;
    } cases[] = {
        {&ScriptedImagingLibrary::fail104, -1, 0, IDS_ERROR_NO_MEMORY_FOR_DIB, 1412},
        {&ScriptedImagingLibrary::fail104, -7, 1, IDS_ERROR_UNKNOWN_IMAGING_FAILURE, 1414},
        {&ScriptedImagingLibrary::fail124, -1, 1, IDS_ERROR_NO_MEMORY_FOR_DIB, 1402},
        {&ScriptedImagingLibrary::fail124, 0, 1, IDS_ERROR_UNKNOWN_IMAGING_FAILURE, 1404},
        {&ScriptedImagingLibrary::fail151, -1, 0, IDS_ERROR_NO_MEMORY_FOR_DIB, 1441},
        {&ScriptedImagingLibrary::fail151, -2, 1, IDS_ERROR_UNKNOWN_IMAGING_FAILURE, 1443},
    };
    for (const Case& c : cases) {
        imaging.fail104 = imaging.fail124 = imaging.fail151 = 0;
        imaging.*c.failing = c.code == 0 ? 2 : c.code;  // 124 answering anything but 1
        platform.warnings.clear();
        void* dib = scan(50, 75, 75, 0, 0, 960, 96);
        void* result = &result;
        EXPECT_EQ(built->fitBitmapToRequest(dib, c.forMemoryTransfer, &result), 109) << c.line;
        ASSERT_EQ(platform.warnings.size(), 1u) << c.line;
        const RecordedWarning& warning = platform.warnings[0];
        EXPECT_EQ(warning.stringId, c.key) << c.line;
        EXPECT_EQ(warning.line, c.line);
        EXPECT_EQ(warning.resultCode, c.code == 0 ? 2 : c.code);
        EXPECT_EQ(warning.source, "scanner");
        EXPECT_EQ(result, nullptr) << c.line;
        EXPECT_EQ(memory.liveBlocks(), 0) << c.line;
    }
}

TEST_F(FitToRequestTest, NoDibFromTheLibraryIsOutOfMemory)
{
    imaging.fail106 = true;
    void* dib = scan(50, 75, 75, 0, 0, 960, 96);
    void* result = &result;
    EXPECT_EQ(built->fitBitmapToRequest(dib, 0, &result), 109);
    EXPECT_EQ(result, nullptr);
    for (void* made : imaging.releasedFor106)
        memory.release(made);
    EXPECT_EQ(memory.liveBlocks(), 0);
}

}
