#include "StreamFeeder.h"

#include <algorithm>

namespace scancodec {
namespace {

constexpr uint8_t kPoison = 0xFF;

}  // namespace

FeedResult feedStream(StreamDecoder& decoder, const std::vector<uint8_t>& stream, int width, int height,
                      int channels, const FeedPlan& plan)
{
    FeedResult result;
    result.status = decoder.start(width, height, channels, 8);
    if (result.status != DecoderStarted)
        return result;
    decoder.setColourOrder(plan.colourOrder);
    const int rowSize = width * channels;
    // Bytes not yet arrived, or already taken, hold a code the decoder
    // would report as corrupt: reading them cannot go unnoticed.
    std::vector<uint8_t> ring(static_cast<size_t>(plan.ringSize), kPoison);
    int readOffset = 0;
    std::vector<uint8_t> row(static_cast<size_t>(rowSize));
    size_t sent = 0;
    int writeOffset = 0;
    int freeBytes = plan.ringSize;
    size_t nextBlock = 0;
    for (;;) {
        int block = plan.blockSizes.empty() ? freeBytes : plan.blockSizes[nextBlock++ % plan.blockSizes.size()];
        block = static_cast<int>(std::min<size_t>({static_cast<size_t>(std::max(block, 0)),
                                                   static_cast<size_t>(freeBytes), stream.size() - sent}));
        for (int i = 0; i < block; ++i) {
            ring[static_cast<size_t>(writeOffset)] = stream[sent++];
            writeOffset = (writeOffset + 1) % plan.ringSize;
        }
        freeBytes -= block;

        int status;
        bool progress = block > 0;
        do {
            int consumed = 0, produced = 0;
            status = decoder.decodeBlock(ring.data(), plan.ringSize, plan.ringSize - freeBytes, &consumed,
                                         row.data(), rowSize, &produced);
            freeBytes += consumed;
            for (int i = 0; i < consumed; ++i) {
                ring[static_cast<size_t>(readOffset)] = kPoison;
                readOffset = (readOffset + 1) % plan.ringSize;
            }
            progress = progress || consumed > 0 || produced > 0;
            if (produced > 0) {
                result.image.insert(result.image.end(), row.begin(), row.begin() + produced);
                ++result.rows;
            }
            result.rowsAfterCall.push_back(result.rows);
        } while (status == DecodeMoreRows);

        if (status != DecodeNeedsInput || sent == stream.size()) {
            result.status = status;
            break;
        }
        if (!progress && freeBytes == 0) {
            result.status = kFeedStuck;
            break;
        }
    }
    decoder.finish();
    return result;
}

FeedResult decodeWhole(const std::vector<uint8_t>& stream, int width, int height, int channels)
{
    StreamDecoder decoder;
    FeedPlan plan;
    plan.ringSize = std::max<int>(1, static_cast<int>(stream.size()));
    plan.blockSizes = {plan.ringSize};
    return feedStream(decoder, stream, width, height, channels, plan);
}

}  // namespace scancodec
