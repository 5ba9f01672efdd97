#pragma once
// Most-significant-bit-first writer, the encoder's counterpart of BitReader.
#include <cstdint>
#include <vector>

namespace scancodec {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out), startBytes_(out.size()) {}

    // count <= 24
    void put(uint32_t value, int count)
    {
        pending_ = (pending_ << count) | (value & ((uint32_t{1} << count) - 1));
        pendingBits_ += count;
        while (pendingBits_ >= 8) {
            pendingBits_ -= 8;
            out_.push_back(static_cast<uint8_t>(pending_ >> pendingBits_));
        }
        pending_ &= (uint64_t{1} << pendingBits_) - 1;
    }

    // Bits written since the writer was made.
    uint64_t bitCount() const { return (out_.size() - startBytes_) * 8 + static_cast<uint64_t>(pendingBits_); }

private:
    std::vector<uint8_t>& out_;
    size_t startBytes_;
    uint64_t pending_ = 0;
    int pendingBits_ = 0;
};

}  // namespace scancodec
