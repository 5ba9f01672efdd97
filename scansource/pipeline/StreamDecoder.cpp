#include "StreamDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "CategoryTables.h"
#include "MedianRun.h"
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

// One sample code from the top of the accumulator, never using bits
// beyond the valid ones.
inline SampleOutcome decodeSingleSample(uint64_t& bits, int& valid, const CategoryTables& tables,
                                        uint8_t& difference)
{
    CategoryEntry entry = tables.byPrefix[bits >> 56];
    if (entry.codeLength == 0)
        return valid >= 8 ? SampleOutcome::Invalid : SampleOutcome::Starved;
    int total = entry.codeLength + entry.category;
    if (total > valid)
        return SampleOutcome::Starved;
    uint32_t extra = entry.category == 0 ? 0 : static_cast<uint32_t>((bits << entry.codeLength) >> (64 - entry.category));
    difference = differenceFromExtraBits(extra, entry.category);
    bits <<= total;
    valid -= total;
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
    // Room for the lookup's four-byte stores at the row end.
    differences_.reset(allocateRow(rowSize_ + 4));
    currentRow_.reset(allocateRow(rowSize_));
    previousRow_.reset(allocateRow(rowSize_));
    olderDifferences_.reset(allocateRow(rowSize_ + 4));
    olderRow_.reset(allocateRow(rowSize_));
    if (!differences_ || !currentRow_ || !previousRow_ || !olderDifferences_ || !olderRow_) {
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
    olderDifferences_.reset();
    olderRow_.reset();
    realigner_.reset();
    health_ = Health::Idle;
    colourOrder_ = ColourOrder::RedFirst;
    predictor_ = 0;
    header_ = HeaderState::Done;
    headerBytesToSkip_ = 0;
    reader_ = BitReaderState{};
    phase_ = RowPhase::RowField;
    rowStart_ = rowEnd_ = 0;
    samplesDecoded_ = 0;
    reconstructed_ = 0;
    olderDone_ = 0;
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
    case HeaderOutcome::Corrupt: result = DecodeCorruptData; break;
    case HeaderOutcome::Absent:
        if (olderDone_ > 0 && decodedRows_ == codedRows()) {
            result = finishWaitingRow(output, produced);
            break;
        }
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
        // No prediction of the format fits a stream coded with another one:
        // what it would decode to is not the page.
        if (predictor_ > kHighestPredictor) {
            trace("predictor error\n");
            return HeaderOutcome::Corrupt;
        }
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
        reconstructed_ = 0;
        fusedGreyMedian_ = channels_ == 1 && decodedRows_ > 0 && width_ > kMedianRunTail<1> + 1 &&
                           restOfRowMode(effectivePredictor(predictor_), false) == PredictMedian &&
                           firstColumnMode(effectivePredictor(predictor_), false) == PredictAbove;
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

// Where the bytes ahead have arrived and do not wrap around the buffer:
// refills without checks, one table look per up to four samples, four
// looks per refill. Stops near the row end, the buffer end or the last
// arrived byte, and leaves the rest to the careful loop.
int StreamDecoder::decodeSamplesDirect(BitReader& reader, const CategoryTables& tables)
{
    // Four looks take at most 48 bits; a refill leaves at least 56.
    constexpr int kLooksPerRefill = 4;
    constexpr int kSamplesPerRound = kLooksPerRefill * kLongestRun + 1;
    constexpr int kSlack = 8;  // bytes a refill may read past the ones it takes
    int contiguous = reader.contiguousBytes();
    if (contiguous < kSlack)
        return samplesDecoded_;
    const uint8_t* const start = reader.cursor();
    const uint8_t* const end = start + contiguous - kSlack;
    const uint8_t* cursor = start;
    uint64_t bits = reader.bits();
    int valid = reader.valid();
    uint8_t* differences = differences_.get();
    int at = samplesDecoded_;
    // Each look stores four differences, used or not; all stay in the row.
    const int lastRound = rowSize_ - kSamplesPerRound;
    // A grey median row is reconstructed beside the older row that waits,
    // a fixed number of steps a round while its decoded samples allow, so
    // that the branch is foreseeable and the steps run beside the next
    // round's bit reading; the commit does what is left. A round decodes
    // about eleven samples of the test page, and the lower row needs half
    // of its row's samples.
    constexpr int kPairStepsPerRound = 6;
    const bool pairing = fusedGreyMedian_ && olderDone_ > 0;
    const int width = width_;  // kept in a register: the row stores could alias members
    std::optional<MedianPairRun> pair;
    auto advancePair = [&] {
        if (!pair) {
            if (at == 0)
                return;
            if (reconstructed_ == 0) {
                currentRow_[0] = static_cast<uint8_t>(olderRow_[0] + differences[0]);
                reconstructed_ = 1;
            }
            pair.emplace(previousRow_.get(), olderDifferences_.get(), olderRow_.get(), differences,
                         currentRow_.get(), olderDone_, reconstructed_);
        }
        if (std::min(width - pair->olderPixel(), at - pair->newerPixel()) >= kPairStepsPerRound)
            for (int step = 0; step < kPairStepsPerRound; ++step)
                pair->step();
    };
    if (pairing)
        advancePair();
    while (at <= lastRound && cursor <= end) {
        bits |= BitReader::loadBigEndian(cursor) >> valid;
        cursor += (63 - valid) >> 3;
        valid |= 56;
        for (int look = 0; look < kLooksPerRefill; ++look) {
            const SampleRunEntry& run = tables.byWindow[bits >> (64 - kRunWindowBits)];
            if (run.sampleCount == 0)
                break;
            std::memcpy(differences + at, run.difference, 4);
            at += run.sampleCount;
            bits <<= run.bitCount;
            valid -= run.bitCount;
        }
        // A long code (or a bad one) is left to the careful loop.
        if (tables.byWindow[bits >> (64 - kRunWindowBits)].sampleCount == 0 && valid >= kLongestSampleBits) {
            if (decodeSingleSample(bits, valid, tables, differences[at]) != SampleOutcome::Decoded)
                break;
            ++at;
        }
        if (pairing)
            advancePair();
    }
    if (pair) {
        olderDone_ = pair->olderPixel();
        reconstructed_ = pair->newerPixel();
    }
    reader.advanceDirect(bits, valid, static_cast<int>(cursor - start));
    return at;
}

int StreamDecoder::decodeSamples(BitReader& reader)
{
    const CategoryTables& tables = categoryTables();
    samplesDecoded_ = decodeSamplesDirect(reader, tables);
    uint8_t* differences = differences_.get();
    while (samplesDecoded_ < rowSize_) {
        if (reader.valid() < kLongestSampleBits)
            reader.refill();
        uint64_t bits = reader.bits();
        int valid = reader.valid();
        switch (decodeSingleSample(bits, valid, tables, differences[samplesDecoded_])) {
        case SampleOutcome::Decoded: break;
        case SampleOutcome::Starved: return DecodeNeedsInput;
        case SampleOutcome::Invalid: return DecodeCorruptData;
        }
        reader.skip(reader.valid() - valid);
        ++samplesDecoded_;
        if ((samplesDecoded_ & 63) == 0 && samplesDecoded_ + 64 < rowSize_)
            samplesDecoded_ = decodeSamplesDirect(reader, tables);
    }
    return DecodeMoreRows;
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
    // The line ring keeps the coded order; the colours are exchanged, when
    // asked, on the way to the output.
    const bool realigned = realigner_.active();
    uint8_t* target = realigned ? realigner_.writeLine() : output;
    if (fusedGreyMedian_) {
        const bool olderFinished = commitGreyMedianRow(target);
        ++decodedRows_;
        return olderFinished ? deliverRow(output, produced) : DecodeMoreRows;
    }
    RowBuffers rows{differences_.get(), previousRow_.get(), currentRow_.get(), target};
    reconstructRow(rows, width_, channels_, effectivePredictor(predictor_), decodedRows_ == 0,
                   realigned ? ColourOrder::RedFirst : colourOrder_);
    std::swap(currentRow_, previousRow_);
    ++decodedRows_;
    return deliverRow(output, produced);
}

// The coded row just read is finished as far as the older row lets it, and
// waits; the older row, now finished, goes inverted to target. The first
// of these rows has no older one beside it: half of it is done alone, and
// nothing goes out.
bool StreamDecoder::commitGreyMedianRow(uint8_t* target)
{
    const bool olderWaits = olderDone_ > 0;
    if (olderWaits) {
        advanceGreyPair(rowSize_);
        invertSamples(olderRow_.get(), target, width_);
        // The older row is the one above the waiting row from now on.
        std::swap(previousRow_, olderRow_);
    } else {
        currentRow_[0] = static_cast<uint8_t>(previousRow_[0] + differences_[0]);
        reconstructed_ = (width_ + 1) / 2;
        greyMedianSamples(RowBuffers{differences_.get(), previousRow_.get(), currentRow_.get(), nullptr}, width_, 1,
                          reconstructed_);
    }
    std::swap(olderRow_, currentRow_);
    std::swap(olderDifferences_, differences_);
    olderDone_ = reconstructed_;
    return olderWaits;
}

// Both lanes as far as `decoded` samples of the newer row allow, until the
// older row is finished.
void StreamDecoder::advanceGreyPair(int decoded)
{
    if (reconstructed_ == 0) {
        if (decoded == 0)
            return;
        currentRow_[0] = static_cast<uint8_t>(olderRow_[0] + differences_[0]);
        reconstructed_ = 1;
    }
    MedianPairRun pair(previousRow_.get(), olderDifferences_.get(), olderRow_.get(), differences_.get(),
                       currentRow_.get(), olderDone_, reconstructed_);
    for (int steps = std::min(width_ - pair.olderPixel(), decoded - pair.newerPixel()); steps > 0; --steps)
        pair.step();
    olderDone_ = pair.olderPixel();
    reconstructed_ = pair.newerPixel();
}

// After the last coded row: the row that waits is finished alone.
int StreamDecoder::finishWaitingRow(uint8_t* output, int* produced)
{
    uint8_t* target = realigner_.active() ? realigner_.writeLine() : output;
    finishGreyMedianRow(RowBuffers{olderDifferences_.get(), previousRow_.get(), olderRow_.get(), target}, width_,
                        olderDone_);
    olderDone_ = 0;
    return deliverRow(output, produced);
}

// A finished row is in the ring's write line or in the output.
int StreamDecoder::deliverRow(uint8_t* output, int* produced)
{
    if (realigner_.active()) {
        if (!realigner_.advance())
            return DecodeMoreRows;
        realigner_.assemble(output, colourOrder_);
    }
    *produced = rowSize_;
    if (++deliveredRows_ < height_)
        return DecodeMoreRows;
    health_ = Health::Finished;
    return DecodeLastRow;
}

int StreamDecoder::codedRows() const
{
    return height_ + (realigner_.active() ? realigner_.maxOffset() : 0);
}

}  // namespace scancodec
