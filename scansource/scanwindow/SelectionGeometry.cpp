#include "SelectionGeometry.h"

#include <stdlib.h>

#include <algorithm>

namespace scanwindow {

namespace {
int toPixels(int32_t units, int clientWidth)
{
    return static_cast<int>((static_cast<int64_t>(units) * clientWidth + BedWidth / 2) / BedWidth);
}

int32_t toUnits(int pixels, int clientWidth)
{
    return static_cast<int32_t>(static_cast<int64_t>(pixels) * BedWidth / clientWidth);
}

bool near(int position, int edge)
{
    return abs(position - edge) <= EdgeTolerance;
}
}

int pointerCoordinate(unsigned word)
{
    return word > 65000 ? 0 : static_cast<int>(word);
}

Selection selectionFromFrame(const Frame& frame, int clientWidth)
{
    return {toPixels(frame.left, clientWidth), toPixels(frame.top, clientWidth), toPixels(frame.right, clientWidth),
            toPixels(frame.bottom, clientWidth)};
}

Frame frameFromSelection(const Selection& selection, int clientWidth, int clientHeight, const Frame& previous)
{
    if (clientWidth <= 0 || clientHeight <= 0)
        return previous;
    Frame frame;
    frame.left = toUnits(selection.left, clientWidth);
    frame.top = toUnits(selection.top, clientWidth);
    frame.right = clientWidth - 1 - selection.right <= 2 ? BedWidth : toUnits(selection.right, clientWidth);
    frame.bottom = clientHeight - 1 - selection.bottom <= 2 ? BedLength : toUnits(selection.bottom, clientWidth);
    return clampToBed(frame);
}

Hit hitTest(const Selection& s, int x, int y)
{
    bool withinRows = y >= s.top - EdgeTolerance && y <= s.bottom + EdgeTolerance;
    bool withinColumns = x >= s.left - EdgeTolerance && x <= s.right + EdgeTolerance;
    Edge horizontal = Edge::None;
    Edge vertical = Edge::None;
    if (withinRows) {
        if (near(x, s.left) && (!near(x, s.right) || abs(x - s.left) <= abs(x - s.right)))
            horizontal = Edge::Left;
        else if (near(x, s.right))
            horizontal = Edge::Right;
    }
    if (withinColumns) {
        if (near(y, s.top) && (!near(y, s.bottom) || abs(y - s.top) <= abs(y - s.bottom)))
            vertical = Edge::Top;
        else if (near(y, s.bottom))
            vertical = Edge::Bottom;
    }
    PointerZone zone;
    if (horizontal != Edge::None && vertical != Edge::None)
        zone = (horizontal == Edge::Left) == (vertical == Edge::Top) ? PointerZone::TopLeftBottomRight
                                                                     : PointerZone::TopRightBottomLeft;
    else if (horizontal != Edge::None)
        zone = PointerZone::LeftRight;
    else if (vertical != Edge::None)
        zone = PointerZone::TopBottom;
    else if (x > s.left && x < s.right && y > s.top && y < s.bottom)
        zone = PointerZone::Inside;
    else
        zone = PointerZone::Outside;
    return {zone, horizontal, vertical};
}

SelectionDrag::SelectionDrag(const Selection& selection, const Hit& hit, unsigned x, unsigned y, int clientWidth,
                             int clientHeight)
    : selection_(selection),
      zone_(hit.zone),
      markedHorizontal_(hit.horizontal == Edge::None ? Edge::Right : hit.horizontal),
      markedVertical_(hit.vertical == Edge::None ? Edge::Bottom : hit.vertical),
      lastX_(pointerCoordinate(x)),
      lastY_(pointerCoordinate(y)),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight)
{
    if (zone_ == PointerZone::Outside)
        selection_ = {lastX_, lastY_, lastX_, lastY_};
}

void SelectionDrag::moveTo(unsigned xWord, unsigned yWord)
{
    int x = pointerCoordinate(xWord);
    int y = pointerCoordinate(yWord);
    switch (zone_) {
    case PointerZone::Inside:
        shift(x, y);
        break;
    case PointerZone::LeftRight:
        applyHorizontal(x);
        break;
    case PointerZone::TopBottom:
        applyVertical(y);
        break;
    default:
        applyHorizontal(x);
        applyVertical(y);
        break;
    }
}

void SelectionDrag::applyHorizontal(int x)
{
    if (x > selection_.right) {
        selection_.right = x;
        markedHorizontal_ = Edge::Right;
    } else if (x < selection_.left) {
        selection_.left = x;
        markedHorizontal_ = Edge::Left;
    } else if (markedHorizontal_ == Edge::Left) {
        selection_.left = x;
    } else {
        selection_.right = x;
    }
    selection_.right = std::min(selection_.right, clientWidth_ - 1);
    selection_.left = std::min(selection_.left, selection_.right);
}

void SelectionDrag::applyVertical(int y)
{
    if (y > selection_.bottom) {
        selection_.bottom = y;
        markedVertical_ = Edge::Bottom;
    } else if (y < selection_.top) {
        selection_.top = y;
        markedVertical_ = Edge::Top;
    } else if (markedVertical_ == Edge::Top) {
        selection_.top = y;
    } else {
        selection_.bottom = y;
    }
    if (selection_.bottom > clientHeight_ - 1)
        selection_.bottom = clientHeight_ - 2;
    selection_.top = std::min(selection_.top, selection_.bottom);
}

void SelectionDrag::shift(int x, int y)
{
    int width = selection_.right - selection_.left;
    int height = selection_.bottom - selection_.top;
    int left = selection_.left + (x - lastX_);
    int top = selection_.top + (y - lastY_);
    lastX_ = x;
    lastY_ = y;
    left = std::max(0, std::min(left, clientWidth_ - 1 - width));
    top = std::max(0, std::min(top, clientHeight_ - 1 - height));
    selection_ = {left, top, left + width, top + height};
}

}  // namespace scanwindow
