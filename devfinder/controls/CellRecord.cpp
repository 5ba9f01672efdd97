#include "CellRecord.h"

CellArray MakeCellArray(int columnCount, Colour textColour, Colour backgroundColour)
{
    CellArray cells(columnCount > 0 ? static_cast<std::size_t>(columnCount) : 0);
    for (auto& cell : cells) {
        cell.textColour = textColour;
        cell.backgroundColour = backgroundColour;
    }
    return cells;
}

int ToggledCheckState(int state)
{
    if (state == kNoCheckbox) {
        return kNoCheckbox;
    }
    return state == kUnchecked ? kChecked : kUnchecked;
}

int HeaderImageForColumn(const std::vector<int>& columnCheckStates)
{
    for (int state : columnCheckStates) {
        if (state != kChecked) {
            return kHeaderUnchecked;
        }
    }
    return kHeaderChecked;
}

std::string ToolTipShown(const std::string& cellToolTip)
{
    return cellToolTip.substr(0, kToolTipLimit);
}

int ToolIdForCell(int row, int column)
{
    return row * 1000 + column + 1;
}
