#pragma once
// What the scanner benchmarks share: the thread's processor time, the
// machine's load, and the decoder fed as the scan engine feeds it, the
// figure every whole-scan time is set against.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "StreamDecoder.h"

namespace bench {

inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Other work on the machine slows every figure; say how busy it is.
inline void printLoad()
{
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    double oneMinute = 0;
    if (file && std::fscanf(file, "%lf", &oneMinute) == 1)
        std::printf("load average (1 min): %.2f\n", oneMinute);
    if (file)
        std::fclose(file);
}

// Processor seconds of decoding `stream` from a 32 KB ring filled in 1 KB
// blocks while a whole reply still fits, as the transport fills it; -1 when
// the stream does not decode to its last row.
inline double decoderSeconds(const std::vector<uint8_t>& stream, int width, int height, int channels)
{
    constexpr int kRing = 32768;
    constexpr int kLargestReply = 2047;
    std::vector<uint8_t> ring(kRing), row(static_cast<size_t>(width) * static_cast<size_t>(channels));
    scancodec::StreamDecoder decoder;
    double begin = threadSeconds();
    decoder.start(width, height, channels, 8);
    size_t sent = 0;
    int writeOffset = 0, freeBytes = kRing, result = scancodec::DecodeMoreRows;
    while (result == scancodec::DecodeMoreRows || result == scancodec::DecodeNeedsInput) {
        while (freeBytes > kLargestReply && sent < stream.size()) {
            int block = static_cast<int>(std::min<size_t>(1024, stream.size() - sent));
            int first = std::min(block, kRing - writeOffset);
            std::memcpy(ring.data() + writeOffset, stream.data() + sent, static_cast<size_t>(first));
            std::memcpy(ring.data(), stream.data() + sent + first, static_cast<size_t>(block - first));
            sent += static_cast<size_t>(block);
            writeOffset = (writeOffset + block) % kRing;
            freeBytes -= block;
        }
        int consumed = 0, produced = 0;
        result = decoder.decodeBlock(ring.data(), kRing, kRing - freeBytes, &consumed, row.data(),
                                     static_cast<int>(row.size()), &produced);
        freeBytes += consumed;
        if (result == scancodec::DecodeNeedsInput && sent == stream.size())
            return -1;
    }
    double seconds = threadSeconds() - begin;
    decoder.finish();
    return result == scancodec::DecodeLastRow ? seconds : -1;
}

}  // namespace bench
