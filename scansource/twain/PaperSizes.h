#pragma once
// Paper sizes and the scan frame a paper size gives. Frames are in 1/4800
// inch; the bed is 40800 units (8.5 inches) wide.
#include <cstdint>

struct ScanParameters;

struct PaperSizeRecord {
    int32_t id;        // TWSS_ code, or the source's own size 54..71
    int32_t reserved;  // always 0
    double widthMillimetres;
    double heightMillimetres;
};

constexpr int PaperSizeCount = 69;
constexpr int32_t BedWidth = 40800;

extern const PaperSizeRecord PaperSizeTable[PaperSizeCount];

// The first record with the id, searched from the top; null when none.
const PaperSizeRecord* findPaperSize(int32_t paperSizeId);

struct ScanFrame {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The frame of a paper size, centred on the bed (the feeder) or at its left
// edge (the glass); false, frame untouched, for an id the table lacks.
bool frameForPaperSize(int32_t paperSizeId, bool centred, ScanFrame& frame);

// Writes the paper size's frame into the scan settings; false, settings
// untouched, for an id the table lacks (the custom area keeps its frame).
bool applyPaperSizeFrame(ScanParameters& parameters, int32_t paperSizeId, bool centred);
