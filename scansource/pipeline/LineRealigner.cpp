#include "LineRealigner.h"

#include <algorithm>
#include <new>

namespace scancodec {

bool LineRealigner::activate(const uint8_t offsets[kLineOffsetCount], int width, int channels)
{
    reset();
    width_ = width;
    channels_ = channels;
    rowSize_ = width * channels;
    maxOffset_ = *std::max_element(offsets, offsets + kLineOffsetCount);
    size_t ringSize = static_cast<size_t>(maxOffset_ + 1) * static_cast<size_t>(rowSize_);
    ring_.reset(new (std::nothrow) uint8_t[ringSize]());
    if (!ring_)
        return false;
    std::copy(offsets, offsets + kLineOffsetCount, readSlots_);
    return true;
}

void LineRealigner::reset()
{
    ring_.reset();
    maxOffset_ = 0;
    writeSlot_ = 0;
    primed_ = false;
    std::fill(readSlots_, readSlots_ + kLineOffsetCount, 0);
}

bool LineRealigner::advance()
{
    if (writeSlot_ == maxOffset_)
        primed_ = true;
    writeSlot_ = nextSlot(writeSlot_);
    return primed_;
}

void LineRealigner::assemble(uint8_t* output)
{
    int pairs = width_ / 2;
    bool unpaired = width_ % 2 != 0;
    if (channels_ == 3) {
        const uint8_t* redEven = line(readSlots_[RedEven]);
        const uint8_t* redOdd = line(readSlots_[RedOdd]);
        const uint8_t* greenEven = line(readSlots_[GreenEven]);
        const uint8_t* greenOdd = line(readSlots_[GreenOdd]);
        const uint8_t* blueEven = line(readSlots_[BlueEven]);
        const uint8_t* blueOdd = line(readSlots_[BlueOdd]);
        for (int j = 0; j < pairs; ++j) {
            int at = 6 * j;
            output[at] = redEven[at];
            output[at + 1] = greenEven[at + 1];
            output[at + 2] = blueEven[at + 2];
            output[at + 3] = redOdd[at + 3];
            output[at + 4] = greenOdd[at + 4];
            output[at + 5] = blueOdd[at + 5];
        }
        if (unpaired) {
            int at = 6 * pairs;
            output[at] = redEven[at];
            output[at + 1] = greenEven[at + 1];
            output[at + 2] = blueEven[at + 2];
        }
    } else {
        const uint8_t* even = line(readSlots_[GreenEven]);
        const uint8_t* odd = line(readSlots_[GreenOdd]);
        for (int j = 0; j < pairs; ++j) {
            output[2 * j] = even[2 * j];
            output[2 * j + 1] = odd[2 * j + 1];
        }
        if (unpaired)
            output[2 * pairs] = even[2 * pairs];
    }
    for (int& slot : readSlots_)
        slot = nextSlot(slot);
}

}  // namespace scancodec
