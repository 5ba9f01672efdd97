#include "RemovalLines.h"

LineAppearance removalLineAppearance(bool animating, int highlightedLine, int line) {
  if (!animating || line > highlightedLine) return {LineIcon::Pending, false};
  if (line < highlightedLine) return {LineIcon::Done, false};
  return {LineIcon::Current, true};
}

RemovalLinesSnapshot removalLinesSnapshot(bool animating, int highlightedLine) {
  RemovalLinesSnapshot snapshot;
  for (std::size_t line = 0; line < snapshot.size(); ++line)
    snapshot[line] = removalLineAppearance(animating, highlightedLine, static_cast<int>(line));
  return snapshot;
}
