#pragma once
// Decoder of the scanner's predictively coded line stream.
//
// Call sequence: start() once per scan, then decodeBlock() repeatedly, each
// call producing at most one output row, until it returns DecodeLastRow;
// finish() releases the buffers (also after an aborted scan).
//
// Input: the caller's circular receive buffer. Byte i of the stream sits at
// input[i mod inputSize]; every call continues where the previous one
// stopped, so the same buffer (same inputSize) must be passed each time.
// `buffered` tells how many bytes have arrived from that point on (for a
// receive loop that counts free space: inputSize - free). The decoder never
// reads further. A row that needs bytes not yet arrived keeps its progress
// and the call returns DecodeNeedsInput, having taken every byte that had
// arrived, so a buffer of any size (even one smaller than a coded row)
// keeps the stream moving. *consumed is the number of bytes taken out of
// the buffer by this call, whatever the result; the caller may overwrite
// them.
//
// Output: a whole row of width x channels bytes, each the bitwise inverse
// of the reconstructed sample, channels interleaved in stream order
// (R, G, B) unless setColourOrder asked for B, G, R; outputSize must hold
// one row. Nothing else of the output buffer is touched, and only when a
// row is produced, so each call may name another buffer (the row's final
// place in an image, for instance). DecodeMoreRows with nothing
// produced is normal: the header call, and the first rows of a stream with
// line offsets, which only fill the line ring.
//
// Grey rows with the median predictor (the device's usual stream) are
// delivered one call after their coded row was read, from the second row
// on: each is finished beside the first half of the row below it (see
// MedianPairRun). The call after the last coded row therefore delivers the
// last row without reading input.
//
// Stream header: when the stream begins with one, the first call takes it
// (1024 bytes; DecodeNeedsInput until all have arrived) and every output
// row is assembled from later decoded rows by the header's line offsets;
// the stream then carries height + the largest offset coded rows. A header
// that names a predictor above 9 makes the stream corrupt.
//
// End of stream: once the sender has delivered everything, a call that
// still returns DecodeNeedsInput means the stream is short (truncated).
// DecodeCorruptData and DecodeOutOfMemory stay until the next start().
#include <cstdint>
#include <memory>

#include "BitReader.h"
#include "ColourOrder.h"
#include "LineRealigner.h"

namespace scancodec {

struct CategoryTables;

enum DecoderStartResult : int {
    DecoderStarted = 5,
    DecoderOutOfMemory = 6,
    DecoderGeometryRefused = 10,  // width, height or channels out of range
};

enum DecodeResult : int {
    DecodeLastRow = 1,      // the last row has been produced (also on any later call)
    DecodeMoreRows = 2,     // a row or the header was taken; more rows follow
    DecodeCorruptData = 3,  // the stream cannot be decoded; the scan must end
    DecodeOutOfMemory = 4,  // the line ring of a stream header cannot be allocated
    DecodeNeedsInput = 7,   // more bytes must arrive before the row can be finished
    DecodeBadCall = 8,      // not started, or arguments out of range
};

// Receives the decoder's diagnostic texts (header values, bad predictor).
using DecoderTraceSink = void (*)(const char* text);

class StreamDecoder {
public:
    explicit StreamDecoder(DecoderTraceSink trace = nullptr) : trace_(trace) {}

    int start(int width, int height, int channels, int bitsPerSample);
    int decodeBlock(const uint8_t* input, int inputSize, int buffered, int* consumed, uint8_t* output,
                    int outputSize, int* produced);
    void finish();

    void setTrace(DecoderTraceSink trace) { trace_ = trace; }
    // The order of the colour rows produced from now on; start() sets RedFirst.
    void setColourOrder(ColourOrder order) { colourOrder_ = order; }

private:
    enum class RowPhase { RowField, Samples, Trailer };
    enum class Health { Idle, Running, Finished, Corrupt, OutOfMemory };

    enum class HeaderOutcome { Absent, Taken, NeedsInput, OutOfMemory, Corrupt };
    enum class HeaderState { Expected, Skipping, Done };

    HeaderOutcome readHeader(BitReader& reader, const uint8_t* input, int inputSize);
    int decodeCodedRow(BitReader& reader);
    int decodeSamples(BitReader& reader);
    int decodeSamplesDirect(BitReader& reader, const CategoryTables& tables);
    int decodeRawSamples(BitReader& reader);
    int skipTrailer(BitReader& reader);
    int commitRow(uint8_t* output, int* produced);
    bool commitGreyMedianRow(uint8_t* target);
    void advanceGreyPair(int decoded);
    int finishWaitingRow(uint8_t* output, int* produced);
    int deliverRow(uint8_t* output, int* produced);
    int codedRows() const;
    void trace(const char* text) const;

    DecoderTraceSink trace_;
    Health health_ = Health::Idle;
    int width_ = 0;
    int height_ = 0;
    int channels_ = 0;
    int rowSize_ = 0;
    int bitsPerSample_ = 0;
    ColourOrder colourOrder_ = ColourOrder::RedFirst;
    int predictor_ = 0;
    HeaderState header_ = HeaderState::Done;
    uint64_t headerBytesToSkip_ = 0;

    BitReaderState reader_;
    RowPhase phase_ = RowPhase::RowField;
    uint64_t rowStart_ = 0;  // stream bit position of the current coded row
    uint64_t rowEnd_ = 0;   // where the next coded row starts
    int samplesDecoded_ = 0;
    // Grey rows with the median predictor are reconstructed while they are
    // decoded, so that the prediction chains run beside the bit reading:
    // the pixels of the current row done so far (0: none yet), and of the
    // older row that waits to be finished beside it (0: none waits).
    int reconstructed_ = 0;
    int olderDone_ = 0;
    bool fusedGreyMedian_ = false;
    int decodedRows_ = 0;
    int deliveredRows_ = 0;

    std::unique_ptr<uint8_t[]> differences_;
    std::unique_ptr<uint8_t[]> currentRow_;
    std::unique_ptr<uint8_t[]> previousRow_;
    std::unique_ptr<uint8_t[]> olderDifferences_;
    std::unique_ptr<uint8_t[]> olderRow_;
    LineRealigner realigner_;
};

}  // namespace scancodec
