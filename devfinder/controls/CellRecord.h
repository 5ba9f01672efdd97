#pragma once
// What the checkbox list keeps for each cell of a row, and the decisions
// about a cell that need no window: its check state after a click, its
// tooltip, its colours and where the box and the tick go.

#include <cstdint>
#include <string>
#include <vector>

using Colour = std::uint32_t;  // 0x00BBGGRR, as GDI has it

inline constexpr int kNoCheckbox = -1;
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

struct CellRecord {
    bool enabled = true;  // the first cell's flag governs the whole row
    bool bold = false;
    int image = -1;
    std::string toolTip;
    Colour textColour = 0;
    Colour backgroundColour = 0;
    int checkState = kNoCheckbox;
};

using CellArray = std::vector<CellRecord>;

CellArray MakeCellArray(int columnCount, Colour textColour, Colour backgroundColour);

// 1 becomes 0 and 0 becomes 1; a cell without a checkbox stays without.
int ToggledCheckState(int state);

// Header checkbox images: 0 none, 1 clear, 2 ticked.
inline constexpr int kHeaderNoCheckbox = 0;
inline constexpr int kHeaderUnchecked = 1;
inline constexpr int kHeaderChecked = 2;
// Ticked only when every row's cell in the column is ticked.
int HeaderImageForColumn(const std::vector<int>& columnCheckStates);

// Tooltips show at most 80 characters of a cell's text.
inline constexpr std::size_t kToolTipLimit = 80;
std::string ToolTipShown(const std::string& cellToolTip);
// One tool id per cell, so moving to another cell shows its own tip.
int ToolIdForCell(int row, int column);
