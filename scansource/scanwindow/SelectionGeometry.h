#pragma once
// The selection rectangle of the preview: conversion between preview pixels
// and the scan frame, which part of it the pointer is over, and how a drag
// moves it. Pointer coordinates arrive as the 16-bit words of a mouse
// message, so a position left of or above the window reads as a large number.
#include "ScanWindowRules.h"

namespace scanwindow {

struct Selection {
    int left;
    int top;
    int right;
    int bottom;
};

// Each edge × client width / 40800, rounded to the nearest pixel.
Selection selectionFromFrame(const Frame& frame, int clientWidth);
// Back to 1/4800 inch; an edge within 2 pixels of the window's right or
// bottom edge reaches the end of the bed (40800, 67200). A window without
// width keeps the frame it had.
Frame frameFromSelection(const Selection& selection, int clientWidth, int clientHeight, const Frame& previous);

enum class PointerZone { Outside, Inside, LeftRight, TopBottom, TopLeftBottomRight, TopRightBottomLeft };
enum class Edge { None, Left, Right, Top, Bottom };

struct Hit {
    PointerZone zone;
    Edge horizontal;  // the vertical edge that the pointer is on: Left or Right
    Edge vertical;    // the horizontal edge: Top or Bottom
};

// Pointer within 6 pixels of an edge (the edge line widened by 6 pixels on
// each side) or inside the rectangle.
constexpr int EdgeTolerance = 6;
Hit hitTest(const Selection& selection, int x, int y);

// A drag in progress: started with a button down, advanced by each move.
class SelectionDrag {
public:
    // The cross (zone Outside) starts a new, empty rectangle at the pointer.
    SelectionDrag(const Selection& selection, const Hit& hit, unsigned x, unsigned y, int clientWidth,
                  int clientHeight);
    void moveTo(unsigned x, unsigned y);
    const Selection& selection() const { return selection_; }

private:
    void applyHorizontal(int x);
    void applyVertical(int y);
    void shift(int x, int y);

    Selection selection_;
    PointerZone zone_;
    Edge markedHorizontal_;
    Edge markedVertical_;
    int lastX_;
    int lastY_;
    int clientWidth_;
    int clientHeight_;
};

// Above 65000 a 16-bit coordinate is a negative position: it counts as 0.
int pointerCoordinate(unsigned word);

}  // namespace scanwindow
