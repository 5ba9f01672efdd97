#pragma once
// Most-significant-bit-first reader over the caller's circular input.
//
// The 64-bit accumulator holds `valid` bits, left-aligned. The bits below
// them are either zero or the stream's following bits, taken from bytes
// that have arrived; never stale data. Only the `buffered` bytes the caller
// says have arrived are ever read.
#include <cstdint>
#include <cstring>

namespace scancodec {

struct BitReaderState {
    uint64_t bits = 0;
    int valid = 0;
    int readIndex = 0;
    uint64_t bytesLoaded = 0;  // since the stream start

    // Stream position, in bits, of the next bit to read.
    uint64_t position() const { return bytesLoaded * 8 - static_cast<uint64_t>(valid); }
};

class BitReader {
public:
    BitReader(const BitReaderState& state, const uint8_t* input, int inputSize, int buffered)
        : bits_(state.bits), valid_(state.valid), readIndex_(state.readIndex), bytesLoaded_(state.bytesLoaded),
          input_(input), inputSize_(inputSize), buffered_(buffered)
    {
    }

    BitReaderState state() const { return {bits_, valid_, readIndex_, bytesLoaded_}; }
    int bytesLeft() const { return buffered_; }
    int valid() const { return valid_; }
    uint64_t bits() const { return bits_; }
    uint64_t position() const { return bytesLoaded_ * 8 - static_cast<uint64_t>(valid_); }

    // Loads whole bytes until at least 56 bits are valid or the arrived
    // bytes run out; never more than 63.
    void refill()
    {
        if (buffered_ >= 8 && readIndex_ <= inputSize_ - 8) {
            int take = (63 - valid_) >> 3;
            uint64_t chunk = loadBigEndian(input_ + readIndex_);
            chunk &= ~(~uint64_t{0} >> (8 * take));
            bits_ |= chunk >> valid_;
            valid_ += 8 * take;
            readIndex_ += take;
            buffered_ -= take;
            bytesLoaded_ += static_cast<uint64_t>(take);
            return;
        }
        while (valid_ < 56 && buffered_ > 0) {
            bits_ |= uint64_t{input_[readIndex_]} << (56 - valid_);
            valid_ += 8;
            if (++readIndex_ == inputSize_)
                readIndex_ = 0;
            --buffered_;
            ++bytesLoaded_;
        }
    }

    // count < 64
    // Bytes that have arrived and lie before the end of the buffer.
    int contiguousBytes() const { return buffered_ < inputSize_ - readIndex_ ? buffered_ : inputSize_ - readIndex_; }
    const uint8_t* cursor() const { return input_ + readIndex_; }

    // Takes back the state of a decoding loop that read straight from
    // cursor(): its accumulator and the bytes it moved on by.
    void advanceDirect(uint64_t bits, int valid, int bytesTaken)
    {
        bits_ = bits;
        valid_ = valid;
        readIndex_ += bytesTaken;
        if (readIndex_ == inputSize_)
            readIndex_ = 0;
        buffered_ -= bytesTaken;
        bytesLoaded_ += static_cast<uint64_t>(bytesTaken);
    }

    static uint64_t loadBigEndian(const uint8_t* p)
    {
        uint64_t value;
        std::memcpy(&value, p, sizeof value);
        return __builtin_bswap64(value);
    }

    void skip(int count)
    {
        bits_ <<= count;
        valid_ -= count;
    }

    void dropAll()
    {
        bits_ = 0;
        valid_ = 0;
    }

    // Skips whole bytes straight from the input once the accumulator is
    // empty; returns how many of them have not arrived yet.
    uint64_t skipInputBytes(uint64_t count)
    {
        uint64_t now = count < static_cast<uint64_t>(buffered_) ? count : static_cast<uint64_t>(buffered_);
        readIndex_ = static_cast<int>((static_cast<uint64_t>(readIndex_) + now) % static_cast<uint64_t>(inputSize_));
        buffered_ -= static_cast<int>(now);
        bytesLoaded_ += now;
        return count - now;
    }

private:
    uint64_t bits_;
    int valid_;
    int readIndex_;
    uint64_t bytesLoaded_;
    const uint8_t* input_;
    int inputSize_;
    int buffered_;
};

}  // namespace scancodec
