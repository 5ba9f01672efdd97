#pragma once

#include <array>

// The nine progress lines of the removal panel "IDD_REMOVE".
struct RemovalLine {
  int labelControl;
  int iconControl;
  unsigned textId;
};

inline constexpr std::array<RemovalLine, 9> kRemovalLines = {{
    {1087, 1096, 169},
    {1088, 1097, 170},
    {1089, 1098, 171},
    {1090, 1099, 172},
    {1091, 1100, 173},
    {1092, 1101, 174},
    {1093, 1102, 175},
    {1094, 1103, 176},
    {1095, 1104, 177},
}};

// Image indexes in the line icon strip (bitmap 119).
enum class LineIcon { Pending = 0, Done = 1, Current = 2 };

struct LineAppearance {
  LineIcon icon = LineIcon::Pending;
  bool bold = false;

  bool operator==(const LineAppearance&) const = default;
};

using RemovalLinesSnapshot = std::array<LineAppearance, kRemovalLines.size()>;

// Lines above the highlighted one are done, the highlighted one is current
// and bold; before the removal animates every line is pending.
LineAppearance removalLineAppearance(bool animating, int highlightedLine, int line);
RemovalLinesSnapshot removalLinesSnapshot(bool animating, int highlightedLine);
