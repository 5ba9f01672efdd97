#pragma once
// Fits rows scanned at the device's resolution to the size the request
// asks for, one row at a time, by area averaging: each output pixel is the
// mean of the scanned area it covers, the partly covered pixels at its
// edges weighted by their share. A reduction by whole factors is the plain
// mean of each block, rounded as the imaging library's resize rounds it.
// Only the rows of one output row are ever held.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class RowResampler {
public:
    using Emit = std::function<void(const uint8_t* row)>;

    // Scanned rows of inWidth pixels, inHeight of them, become outHeight
    // rows of outWidth pixels; channels is 3 (RGB interleaved) or 1.
    void begin(int inWidth, int inHeight, int outWidth, int outHeight, int channels);
    // One scanned row of inWidth × channels bytes; emit gets every output
    // row it completes. Rows beyond inHeight are ignored.
    void addRow(const uint8_t* row, const Emit& emit);

private:
    struct Share {
        uint32_t from;    // scanned value index
        uint32_t to;      // output value index
        uint32_t weight;  // in 1/inWidth of an output pixel
    };

    std::vector<Share> shares_;
    std::vector<uint32_t> columnSums_;  // one scanned row, fitted across
    std::vector<uint64_t> rowSums_;     // the output row being filled
    std::vector<uint8_t> out_;
    uint64_t area_ = 0;  // the weight of a whole output pixel
    uint64_t inHeight_ = 0;
    uint64_t outHeight_ = 0;
    uint64_t rowsIn_ = 0;
    uint64_t rowsOut_ = 0;
    uint64_t filled_ = 0;  // of the output row being filled, in 1/outHeight of a scanned row
};
