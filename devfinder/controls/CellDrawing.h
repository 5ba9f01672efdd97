#pragma once
// The geometry and colours of one drawn cell of the checkbox list.

#include <vector>

#include "CellRecord.h"

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// A square of the cell's height minus one: 9 pixels in from the left, or
// centred when the cell has no text.
PixelRect CheckboxBox(const PixelRect& cell, bool cellHasText);

struct VerticalStroke {
    int x = 0;
    int top = 0;  // 3 pixels long, downwards
};
// The tick: four strokes down and to the left, then three up and to the left.
std::vector<VerticalStroke> TickStrokes(const PixelRect& box);

struct SystemColours {
    Colour buttonFace = 0;
    Colour greyText = 0;
    Colour highlight = 0;
    Colour highlightText = 0;
    Colour window = 0;
    Colour windowText = 0;
};

struct CellState {
    Colour textColour = 0;
    Colour backgroundColour = 0;
    bool rowEnabled = true;
    bool rowSelected = false;
    int column = 0;
    bool fullRowSelect = false;
    bool listHasFocus = false;
    bool showSelectionAlways = false;
};

struct CellColours {
    Colour text = 0;
    Colour background = 0;
};

CellColours ChooseCellColours(const CellState& cell, const SystemColours& system);
