#include "PaperSizes.h"

#include "ScanParameters.h"

// The duplicate B5 row (id 2 again, after 38) is part of the table as the
// product ships it; the first match wins, so it is never reached.
const PaperSizeRecord PaperSizeTable[PaperSizeCount] = {
    {1, 0, 210, 297},      {2, 0, 182, 257},      {3, 0, 215.9, 279.4},  {4, 0, 215.9, 355.6},
    {53, 0, 89, 51},       {61, 0, 91, 55},       {54, 0, 89, 127},      {55, 0, 127, 89},
    {56, 0, 150, 100},     {57, 0, 127, 178},     {58, 0, 178, 127},     {60, 0, 152.4, 101.6},
    {59, 0, 101.6, 152.4}, {5, 0, 148, 210},      {6, 0, 250, 353},      {7, 0, 125, 176},
    {9, 0, 279, 432},      {10, 0, 190, 254},     {11, 0, 297, 420},     {12, 0, 353, 500},
    {13, 0, 105, 148},     {14, 0, 229, 324},     {15, 0, 162, 229},     {16, 0, 114, 162},
    {17, 0, 1682, 2378},   {18, 0, 1189, 1682},   {19, 0, 841, 1189},    {20, 0, 594, 841},
    {21, 0, 420, 594},     {22, 0, 74, 105},      {23, 0, 52, 74},       {24, 0, 37, 52},
    {25, 0, 26, 37},       {26, 0, 1000, 1414},   {27, 0, 707, 1000},    {28, 0, 500, 707},
    {29, 0, 176, 250},     {30, 0, 88, 125},      {31, 0, 62, 88},       {32, 0, 44, 62},
    {33, 0, 31, 44},       {34, 0, 1030, 1456},   {35, 0, 728, 1030},    {36, 0, 515, 728},
    {37, 0, 364, 515},     {38, 0, 257, 364},     {2, 0, 182, 257},      {39, 0, 128, 182},
    {40, 0, 91, 128},      {41, 0, 64, 91},       {42, 0, 45, 64},       {43, 0, 32, 45},
    {44, 0, 917, 1297},    {45, 0, 648, 917},     {46, 0, 458, 648},     {47, 0, 324, 458},
    {48, 0, 81, 114},      {49, 0, 57, 81},       {50, 0, 40, 57},       {51, 0, 28, 40},
    {62, 0, 100, 148},     {63, 0, 148, 100},     {64, 0, 89, 127},      {65, 0, 127, 89},
    {66, 0, 127, 178},     {67, 0, 178, 127},     {52, 0, 140, 216},     {70, 0, 210, 330},
    {71, 0, 140, 216},
};

const PaperSizeRecord* findPaperSize(int32_t paperSizeId)
{
    for (const PaperSizeRecord& record : PaperSizeTable) {
        if (record.id == paperSizeId)
            return &record;
    }
    return nullptr;
}

bool frameForPaperSize(int32_t paperSizeId, bool centred, ScanFrame& frame)
{
    const PaperSizeRecord* record = findPaperSize(paperSizeId);
    if (!record)
        return false;
    // Millimetres to 1/4800 inch with the product's inch factor; the width
    // stays fractional until the edges are placed.
    constexpr double InchesPerMillimetre = 0.0393701;
    double width = record->widthMillimetres * InchesPerMillimetre * 4800;
    double height = record->heightMillimetres * InchesPerMillimetre * 4800;
    frame.top = 0;
    frame.bottom = static_cast<int32_t>(height);
    if (centred) {
        frame.left = static_cast<int32_t>((BedWidth - width) / 2);
        frame.right = static_cast<int32_t>(width + frame.left);
    } else {
        frame.left = 0;
        frame.right = static_cast<int32_t>(width);
    }
    return true;
}

bool applyPaperSizeFrame(ScanParameters& parameters, int32_t paperSizeId, bool centred)
{
    ScanFrame frame{};
    if (!frameForPaperSize(paperSizeId, centred, frame))
        return false;
    parameters.left = frame.left;
    parameters.top = frame.top;
    parameters.right = frame.right;
    parameters.bottom = frame.bottom;
    return true;
}
