#pragma once
// The rows of a scan on their way from the scan thread to sane_read: a
// bounded byte queue, so that a slow reader holds the scan back instead of
// the image piling up in memory.
//
// sane_cancel may come from a signal handler, so it only sets an atomic
// flag; both sides wait in short slices and look at it between them.
#include <sane/sane.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class RowStream {
public:
    RowStream(const std::atomic<bool>& cancelled, size_t capacity);

    // Empties the queue for a new scan.
    void begin();
    // Scan thread: waits while the queue is full. False, dropping the
    // bytes, once the scan is cancelled.
    bool put(const uint8_t* bytes, size_t count);
    // Scan thread: nothing more follows. status is what the reader gets
    // after the last byte: SANE_STATUS_EOF for a whole image.
    void end(SANE_Status status);
    // Reader: waits for bytes or the end. GOOD with *length > 0, else the
    // end status once every byte has been taken, or SANE_STATUS_CANCELLED.
    SANE_Status take(uint8_t* dst, size_t max, size_t* length);

private:
    const std::atomic<bool>& cancelled_;
    std::vector<uint8_t> ring_;
    size_t head_ = 0;  // next byte to take
    size_t used_ = 0;
    // Until the first scan begins, a reader has nothing to wait for.
    bool ended_ = true;
    SANE_Status endStatus_ = SANE_STATUS_INVAL;
    std::mutex mutex_;
    std::condition_variable changed_;
};
