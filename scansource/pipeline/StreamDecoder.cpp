#include "StreamDecoder.h"

#include <cstdio>
#include <new>
#include <utility>

#include "CategoryTables.h"
#include "Prediction.h"
#include "RowReconstruction.h"

namespace scancodec {
namespace {

// Longest sample code: an 8-bit category code and 8 extra bits.
constexpr int kLongestSampleBits = 16;

uint8_t* allocateRow(int size)
{
    return new (std::nothrow) uint8_t[static_cast<size_t>(size)]();
}

enum class SampleOutcome { Decoded, Starved, Invalid };

// One sample code from the top of the accumulator, never using bits that
// have not arrived.
inline SampleOutcome decodeSingleSample(BitReader& reader, const CategoryTables& tables, uint8_t& difference)
{
    CategoryEntry entry = tables.byPrefix[reader.bits() >> 56];
    if (entry.codeLength == 0)
        return reader.valid() >= 8 ? SampleOutcome::Invalid : SampleOutcome::Starved;
    int total = entry.codeLength + entry.category;
    if (total > reader.valid())
        return SampleOutcome::Starved;
    uint32_t extra = entry.category == 0
                         ? 0
                         : static_cast<uint32_t>((reader.bits() << entry.codeLength) >> (64 - entry.category));
    difference = differenceFromExtraBits(extra, entry.category);
    reader.skip(total);
    return SampleOutcome::Decoded;
}

}  // namespace

int StreamDecoder::start(int width, int height, int channels, int bitsPerSample)
{
    finish();
    if (width < 1 || width > kMaxRowWidth || height < 1 || (channels != 1 && channels != 3))
        return DecoderGeometryRefused;
    width_ = width;
    height_ = height;
    channels_ = channels;
    rowSize_ = width * channels;
    bitsPerSample_ = bitsPerSample;
    differences_.reset(allocateRow(rowSize_));
    currentRow_.reset(allocateRow(rowSize_));
    previousRow_.reset(allocateRow(rowSize_));
    if (!differences_ || !currentRow_ || !previousRow_) {
        finish();
        return DecoderOutOfMemory;
    }
    health_ = Health::Running;
    header_ = HeaderState::Expected;
    return DecoderStarted;
}

void StreamDecoder::finish()
{
    differences_.reset();
    currentRow_.reset();
    previousRow_.reset();
    realigner_.reset();
    health_ = Health::Idle;
    predictor_ = 0;
    header_ = HeaderState::Done;
    headerBytesToSkip_ = 0;
    reader_ = BitReaderState{};
    phase_ = RowPhase::RowField;
    rowStart_ = rowEnd_ = 0;
    samplesDecoded_ = 0;
    decodedRows_ = 0;
    deliveredRows_ = 0;
}

void StreamDecoder::trace(const char* text) const
{
    if (trace_)
        trace_(text);
}

int StreamDecoder::decodeBlock(const uint8_t* input, int inputSize, int buffered, int* consumed, uint8_t* output,
                               int outputSize, int* produced)
{
    if (consumed)
        *consumed = 0;
    if (produced)
        *produced = 0;
    if (!consumed || !produced)
        return DecodeBadCall;
    switch (health_) {
    case Health::Idle: return DecodeBadCall;
    case Health::Finished: return DecodeLastRow;
    case Health::Corrupt: return DecodeCorruptData;
    case Health::OutOfMemory: return DecodeOutOfMemory;
    case Health::Running: break;
    }
    if (!input || inputSize < 1 || buffered < 0 || buffered > inputSize || reader_.readIndex >= inputSize
        || !output || outputSize < rowSize_)
        return DecodeBadCall;

    BitReader reader(reader_, input, inputSize, buffered);
    HeaderOutcome header = header_ != HeaderState::Done ? readHeader(reader, input, inputSize) : HeaderOutcome::Absent;
    int result = DecodeMoreRows;
    switch (header) {
    case HeaderOutcome::Taken: result = DecodeMoreRows; break;
    case HeaderOutcome::NeedsInput: result = DecodeNeedsInput; break;
    case HeaderOutcome::OutOfMemory: result = DecodeOutOfMemory; break;
    case HeaderOutcome::Absent:
        result = decodeCodedRow(reader);
        if (result == DecodeMoreRows)
            result = commitRow(output, produced);
        break;
    }
    if (result == DecodeCorruptData)
        health_ = Health::Corrupt;
    reader_ = reader.state();
    *consumed = buffered - reader.bytesLeft();
    return result;
}

// The header is taken as it arrives: its first nine bytes once they are
// there, the padding bit by bit, so any receive buffer size works.
StreamDecoder::HeaderOutcome StreamDecoder::readHeader(BitReader& reader, const uint8_t* input, int inputSize)
{
    if (header_ == HeaderState::Expected) {
        int at = reader_.readIndex;
        auto byteAt = [&](int offset) { return input[(at + offset) % inputSize]; };
        if (reader.bytesLeft() < 2)
            return HeaderOutcome::NeedsInput;
        if (byteAt(0) != kHeaderMark0 || byteAt(1) != kHeaderMark1) {
            header_ = HeaderState::Done;
            return HeaderOutcome::Absent;
        }
        if (reader.bytesLeft() <= kHeaderPredictorAt)
            return HeaderOutcome::NeedsInput;
        uint8_t offsets[kLineOffsetCount];
        for (int i = 0; i < kLineOffsetCount; ++i)
            offsets[i] = byteAt(kHeaderOffsetsAt + i);
        predictor_ = byteAt(kHeaderPredictorAt);

        char text[96];
        std::snprintf(text, sizeof text, "re %d, ro %d, ge %d, go %d, be%d, bo %d\n", offsets[RedEven],
                      offsets[RedOdd], offsets[GreenEven], offsets[GreenOdd], offsets[BlueEven], offsets[BlueOdd]);
        trace(text);
        if (predictor_ > kHighestPredictor)
            trace("predictor error\n");
        if (!realigner_.activate(offsets, width_, channels_)) {
            trace("Failed on malloc during decompression");
            health_ = Health::OutOfMemory;
            return HeaderOutcome::OutOfMemory;
        }
        header_ = HeaderState::Skipping;
        headerBytesToSkip_ = kStreamHeaderSize;
    }
    headerBytesToSkip_ = reader.skipInputBytes(headerBytesToSkip_);
    if (headerBytesToSkip_ != 0)
        return HeaderOutcome::NeedsInput;
    header_ = HeaderState::Done;
    return HeaderOutcome::Taken;
}

// Runs the coded row as far as the arrived bytes allow. DecodeMoreRows
// means the whole row, trailer included, has been read.
int StreamDecoder::decodeCodedRow(BitReader& reader)
{
    if (phase_ == RowPhase::RowField) {
        reader.refill();
        if (reader.valid() < kRowFieldBits)
            return DecodeNeedsInput;
        rowStart_ = reader.position();
        reader.skip(kRowFieldBits);
        samplesDecoded_ = 0;
        phase_ = RowPhase::Samples;
    }
    if (phase_ == RowPhase::Samples) {
        int result = predictor_ == kRawPredictor ? decodeRawSamples(reader) : decodeSamples(reader);
        if (result != DecodeMoreRows)
            return result;
        rowEnd_ = rowStart_ + static_cast<uint64_t>(rowEndBits(static_cast<int64_t>(reader.position() - rowStart_)));
        phase_ = RowPhase::Trailer;
    }
    return skipTrailer(reader);
}

int StreamDecoder::decodeSamples(BitReader& shared)
{
    const CategoryTables& tables = categoryTables();
    uint8_t* differences = differences_.get();
    const int count = rowSize_;
    int at = samplesDecoded_;
    // A private copy of the reader lives in registers; the byte stores
    // below could otherwise alias it.
    BitReader reader = shared;
    int result = DecodeMoreRows;
    while (at < count - 1) {
        if (reader.valid() < kLongestSampleBits) {
            reader.refill();
            if (reader.valid() < kLongestSampleBits)
                break;
        }
        const SamplePairEntry& pair = tables.byWindow[reader.bits() >> (64 - kPairWindowBits)];
        if (pair.sampleCount != 0) {
            differences[at] = pair.difference[0];
            differences[at + 1] = pair.difference[1];
            at += pair.sampleCount;
            reader.skip(pair.bitCount);
        } else if (decodeSingleSample(reader, tables, differences[at]) == SampleOutcome::Decoded) {
            ++at;
        } else {
            result = DecodeCorruptData;
            break;
        }
    }
    while (result == DecodeMoreRows && at < count) {
        if (reader.valid() < kLongestSampleBits)
            reader.refill();
        SampleOutcome outcome = decodeSingleSample(reader, tables, differences[at]);
        if (outcome == SampleOutcome::Decoded)
            ++at;
        else
            result = outcome == SampleOutcome::Starved ? DecodeNeedsInput : DecodeCorruptData;
    }
    samplesDecoded_ = at;
    shared = reader;
    return result;
}

int StreamDecoder::decodeRawSamples(BitReader& reader)
{
    uint8_t* differences = differences_.get();
    while (samplesDecoded_ < rowSize_) {
        if (reader.valid() < 8) {
            reader.refill();
            if (reader.valid() < 8)
                return DecodeNeedsInput;
        }
        differences[samplesDecoded_++] = static_cast<uint8_t>(reader.bits() >> 56);
        reader.skip(8);
    }
    return DecodeMoreRows;
}

int StreamDecoder::skipTrailer(BitReader& reader)
{
    uint64_t remaining = rowEnd_ - reader.position();
    if (remaining <= static_cast<uint64_t>(reader.valid())) {
        if (remaining == static_cast<uint64_t>(reader.valid()))
            reader.dropAll();
        else
            reader.skip(static_cast<int>(remaining));
    } else {
        remaining -= static_cast<uint64_t>(reader.valid());
        reader.dropAll();
        // Rows start on byte boundaries, so what is left is whole bytes.
        if (reader.skipInputBytes(remaining / 8) != 0)
            return DecodeNeedsInput;
    }
    phase_ = RowPhase::RowField;
    return DecodeMoreRows;
}

int StreamDecoder::commitRow(uint8_t* output, int* produced)
{
    bool firstRow = decodedRows_ == 0;
    uint8_t* target = realigner_.active() ? realigner_.writeLine() : output;
    reconstructRow({differences_.get(), previousRow_.get(), currentRow_.get(), target}, width_, channels_,
                   effectivePredictor(predictor_), firstRow);
    std::swap(currentRow_, previousRow_);
    ++decodedRows_;
    if (realigner_.active()) {
        if (!realigner_.advance())
            return DecodeMoreRows;
        realigner_.assemble(output);
    }
    *produced = rowSize_;
    if (++deliveredRows_ < height_)
        return DecodeMoreRows;
    health_ = Health::Finished;
    return DecodeLastRow;
}

}  // namespace scancodec
