#pragma once
// Bitmap building in plain memory: the packed DIB (header, palette, rows
// bottom-up), line art by threshold, and the fit to the requested
// resolution by nearest-neighbour resizing. Rows go straight to their place
// in the DIB (the DIB is the store: one copy of the image, not two), in the
// byte order the caller expects to ask for, so that filling in has nothing
// left to do unless it asks for the other order. The scan tool
// writes its result as a .bmp; the source uses it until the imaging
// library's bitmap building is wired in.
#include "ScanJob.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Bytes left uninitialised by resize: every byte of a DIB is written once.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    template <typename U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using PackedDib = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

class MemoryDibSteps : public BitmapBuildingSteps {
public:
    // expectedDibOrder: the dibOrder that fillBitmapRows will most likely get.
    explicit MemoryDibSteps(int expectedDibOrder = 1) : expectedDibOrder_(expectedDibOrder) {}

    DibHandle createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry) override;
    bool openDataStore() override;
    void appendDecodedRow(const uint8_t* row, int count) override;
    bool fillBitmapRows(DibHandle dib, int dibOrder) override;
    int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result) override;
    void freeBitmap(DibHandle dib) override;

    // The DIB behind a handle this builder gave out.
    static PackedDib& bytes(DibHandle dib) { return *static_cast<PackedDib*>(dib); }
private:
    ScanParameters parameters_;
    ScanImageGeometry geometry_;
    void convertRows(int fromOrder, int toOrder);
    // What a row holds before the scan fills it: white for grey and colour.
    uint8_t initialPixelByte() const { return geometry_.pixelType == PIXEL_TYPE_BLACK_WHITE ? 0 : 0xFF; }

    int expectedDibOrder_;
    PackedDib* dib_ = nullptr;  // the one being built
    int rowsStored_ = 0;
    std::vector<uint8_t> packed_;
};

// Packed-DIB facts the tool and the tests read back.
struct DibInfo {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    uint32_t stride = 0;
    uint32_t pixelOffset = 0;  // header + palette
};
bool readDibInfo(const PackedDib& dib, DibInfo* info);
