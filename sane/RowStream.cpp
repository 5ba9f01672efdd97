#include "RowStream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
constexpr std::chrono::milliseconds kCancelPoll{50};
}

RowStream::RowStream(const std::atomic<bool>& cancelled, size_t capacity) : cancelled_(cancelled), ring_(capacity)
{
}

void RowStream::begin()
{
    std::lock_guard<std::mutex> lock(mutex_);
    head_ = 0;
    used_ = 0;
    ended_ = false;
    endStatus_ = SANE_STATUS_EOF;
}

bool RowStream::put(const uint8_t* bytes, size_t count)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (count > 0) {
        while (used_ == ring_.size()) {
            if (cancelled_)
                return false;
            changed_.wait_for(lock, kCancelPoll);
        }
        if (cancelled_)
            return false;
        size_t tail = (head_ + used_) % ring_.size();
        size_t n = std::min({count, ring_.size() - used_, ring_.size() - tail});
        std::memcpy(ring_.data() + tail, bytes, n);
        used_ += n;
        bytes += n;
        count -= n;
        changed_.notify_all();
    }
    return true;
}

void RowStream::end(SANE_Status status)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    endStatus_ = status;
    changed_.notify_all();
}

SANE_Status RowStream::take(uint8_t* dst, size_t max, size_t* length)
{
    *length = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (cancelled_)
            return SANE_STATUS_CANCELLED;
        if (used_ > 0)
            break;
        if (ended_)
            return endStatus_;
        changed_.wait_for(lock, kCancelPoll);
    }
    size_t n = std::min({max, used_, ring_.size() - head_});
    std::memcpy(dst, ring_.data() + head_, n);
    head_ = (head_ + n) % ring_.size();
    used_ -= n;
    *length = n;
    changed_.notify_all();
    return SANE_STATUS_GOOD;
}
