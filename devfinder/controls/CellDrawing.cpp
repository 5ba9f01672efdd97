#include "CellDrawing.h"

PixelRect CheckboxBox(const PixelRect& cell, bool cellHasText)
{
    const int side = cell.Height() - 1;
    PixelRect box;
    box.top = cell.top;
    box.left = cellHasText ? cell.left + 9 : cell.left + cell.Width() / 2 - side / 2 - 1;
    box.right = box.left + side;
    box.bottom = box.top + side;
    return box;
}

std::vector<VerticalStroke> TickStrokes(const PixelRect& box)
{
    std::vector<VerticalStroke> strokes;
    int x = box.left + 9;
    int y = box.top + 3;
    for (int i = 0; i < 4; ++i) {
        strokes.push_back({x--, y++});
    }
    y -= 2;
    for (int i = 0; i < 3; ++i) {
        strokes.push_back({x--, y--});
    }
    return strokes;
}

CellColours ChooseCellColours(const CellState& cell, const SystemColours& system)
{
    CellColours colours{cell.rowEnabled ? cell.textColour : system.greyText, cell.backgroundColour};
    const bool showsSelection = cell.rowSelected && (cell.fullRowSelect || cell.column == 0);
    if (!showsSelection) {
        return colours;
    }
    if (cell.listHasFocus) {
        return {system.highlightText, system.highlight};
    }
    if (cell.showSelectionAlways) {
        return {system.windowText, system.buttonFace};
    }
    return colours;
}
