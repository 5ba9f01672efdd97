#pragma once
// Circular byte buffer between the USB pipes and their callers. The size is
// a power of two and one slot always stays empty, so head == tail means
// empty and the capacity is Size - 1.
#include <cstdint>
#include <cstring>

template <uint32_t Size>
class ByteRing {
    static_assert(Size >= 2 && (Size & (Size - 1)) == 0, "ByteRing size must be a power of two");

public:
    static constexpr uint32_t capacity = Size - 1;

    uint32_t used() const { return (head_ - tail_) & (Size - 1); }
    uint32_t freeSpace() const { return Size - 1 - used(); }
    bool empty() const { return head_ == tail_; }
    void clear() { head_ = tail_ = 0; }

    bool put(const uint8_t* src, uint32_t n)
    {
        if (freeSpace() < n)
            return false;
        uint32_t first = n < Size - head_ ? n : Size - head_;
        if (first > 0)
            std::memcpy(data_ + head_, src, first);
        if (n > first)
            std::memcpy(data_, src + first, n - first);
        head_ = (head_ + n) & (Size - 1);
        return true;
    }

    bool peek(uint8_t* dst, uint32_t n) const
    {
        if (used() < n)
            return false;
        uint32_t first = n < Size - tail_ ? n : Size - tail_;
        if (first > 0)
            std::memcpy(dst, data_ + tail_, first);
        if (n > first)
            std::memcpy(dst + first, data_, n - first);
        return true;
    }

    bool skip(uint32_t n)
    {
        if (used() < n)
            return false;
        tail_ = (tail_ + n) & (Size - 1);
        return true;
    }

private:
    uint32_t head_ = 0;
    uint32_t tail_ = 0;
    uint8_t data_[Size] = {};
};
