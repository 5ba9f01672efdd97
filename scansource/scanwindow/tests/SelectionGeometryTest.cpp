#include "SelectionGeometry.h"

#include <gtest/gtest.h>

using namespace scanwindow;

namespace scanwindow {
bool operator==(const Selection& a, const Selection& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
bool operator==(const Frame& a, const Frame& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::ostream& operator<<(std::ostream& out, const Selection& s)
{
    return out << "{" << s.left << "," << s.top << "," << s.right << "," << s.bottom << "}";
}
std::ostream& operator<<(std::ostream& out, const Frame& f)
{
    return out << "{" << f.left << "," << f.top << "," << f.right << "," << f.bottom << "}";
}
}  // namespace scanwindow

namespace {
// A preview 200 pixels wide shows the 14-inch bed in 329 rows.
constexpr int Width = 200;
constexpr int Height = 329;
constexpr Frame Anything{1, 2, 3, 4};

TEST(SelectionConversion, FrameToPixelsRoundsToTheNearest)
{
    EXPECT_EQ(selectionFromFrame(Frame{0, 0, 40800, 52800}, Width), (Selection{0, 0, 200, 259}));
    EXPECT_EQ(selectionFromFrame(Frame{0, 0, 39685, 56126}, Width), (Selection{0, 0, 195, 275}));
    EXPECT_EQ(selectionFromFrame(Frame{557, 0, 40242, 56126}, Width), (Selection{3, 0, 197, 275}));
}

TEST(SelectionConversion, PixelsToFrameSnapsWithinTwoPixelsOfTheWindowEdges)
{
    struct Case {
        Selection selection;
        Frame expected;
    } cases[] = {
        {{10, 20, 100, 150}, {2040, 4080, 20400, 30600}},
        {{0, 0, 197, 326}, {0, 0, 40800, 67200}},    // 2 pixels from the right and the bottom
        {{0, 0, 196, 325}, {0, 0, 39984, 66300}},    // 3 pixels away: no snap
        {{0, 0, 199, 327}, {0, 0, 40800, 67200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frameFromSelection(c.selection, Width, Height, Anything), c.expected) << c.selection;
}

TEST(SelectionConversion, EmptyWindowKeepsThePreviousFrame)
{
    EXPECT_EQ(frameFromSelection(Selection{10, 10, 20, 20}, 0, 0, Anything), Anything);
}

TEST(SelectionConversion, FrameStaysOnTheBed)
{
    // A window taller than the bed (14 inches) must not reach the scan.
    Frame frame = frameFromSelection(Selection{0, 300, 100, 380}, Width, 500, Anything);
    EXPECT_EQ(frame.top, 61200);
    EXPECT_EQ(frame.bottom, 67200);
}

TEST(HitTest, EdgesCornersInsideWithinSixPixels)
{
    const Selection s{50, 60, 150, 200};
    struct Case {
        int x, y;
        PointerZone zone;
    } cases[] = {
        {50, 100, PointerZone::LeftRight},  {56, 100, PointerZone::LeftRight},
        {44, 100, PointerZone::LeftRight},  {57, 100, PointerZone::Inside},
        {43, 100, PointerZone::Outside},    {156, 100, PointerZone::LeftRight},
        {100, 60, PointerZone::TopBottom},  {100, 206, PointerZone::TopBottom},
        {100, 207, PointerZone::Outside},   {50, 60, PointerZone::TopLeftBottomRight},
        {155, 205, PointerZone::TopLeftBottomRight}, {150, 60, PointerZone::TopRightBottomLeft},
        {45, 206, PointerZone::TopRightBottomLeft},  {50, 207, PointerZone::Outside},
        {100, 100, PointerZone::Inside},    {10, 10, PointerZone::Outside},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hitTest(s, c.x, c.y).zone, c.zone) << c.x << "," << c.y;
    EXPECT_EQ(hitTest(s, 150, 100).horizontal, Edge::Right);
    EXPECT_EQ(hitTest(s, 100, 199).vertical, Edge::Bottom);
}

TEST(SelectionDragRules, CrossDrawsANewRectangleAndTheMarkedEdgeFollows)
{
    SelectionDrag drag(Selection{50, 60, 150, 200}, hitTest(Selection{50, 60, 150, 200}, 20, 30), 30, 40, Width,
                       Height);
    EXPECT_EQ(drag.selection(), (Selection{30, 40, 30, 40}));
    drag.moveTo(80, 90);
    EXPECT_EQ(drag.selection(), (Selection{30, 40, 80, 90}));
    drag.moveTo(50, 60);  // between the edges: the marked right and bottom follow
    EXPECT_EQ(drag.selection(), (Selection{30, 40, 50, 60}));
    drag.moveTo(10, 20);  // before the left and top edges: they move and become marked
    EXPECT_EQ(drag.selection(), (Selection{10, 20, 50, 60}));
    drag.moveTo(40, 30);
    EXPECT_EQ(drag.selection(), (Selection{40, 30, 50, 60}));
}

TEST(SelectionDragRules, ClampsAndNegativePositions)
{
    SelectionDrag drag(Selection{}, Hit{PointerZone::Outside, Edge::None, Edge::None}, 30, 40, Width, Height);
    drag.moveTo(250, 400);
    EXPECT_EQ(drag.selection(), (Selection{30, 40, 199, 327}));  // right ≤ width − 1, bottom to height − 2
    drag.moveTo(65535, 65001);  // left of and above the window
    EXPECT_EQ(drag.selection(), (Selection{0, 0, 199, 327}));
    EXPECT_EQ(pointerCoordinate(65000), 65000);
}

TEST(SelectionDragRules, SizingCursorsMoveOnlyTheirDirection)
{
    const Selection s{50, 60, 150, 200};
    SelectionDrag leftEdge(s, hitTest(s, 50, 100), 50, 100, Width, Height);
    leftEdge.moveTo(70, 5);
    EXPECT_EQ(leftEdge.selection(), (Selection{70, 60, 150, 200}));
    leftEdge.moveTo(170, 5);  // past the right edge: it becomes the right edge
    EXPECT_EQ(leftEdge.selection(), (Selection{70, 60, 170, 200}));

    SelectionDrag bottomEdge(s, hitTest(s, 100, 200), 100, 200, Width, Height);
    bottomEdge.moveTo(5, 250);
    EXPECT_EQ(bottomEdge.selection(), (Selection{50, 60, 150, 250}));

    SelectionDrag topLeft(s, hitTest(s, 50, 60), 50, 60, Width, Height);
    topLeft.moveTo(40, 70);
    EXPECT_EQ(topLeft.selection(), (Selection{40, 70, 150, 200}));

    SelectionDrag topRight(s, hitTest(s, 150, 60), 150, 60, Width, Height);
    topRight.moveTo(120, 50);
    EXPECT_EQ(topRight.selection(), (Selection{50, 50, 120, 200}));
}

TEST(SelectionDragRules, MoveShiftsAndStaysInsideTheWindow)
{
    const Selection s{50, 60, 150, 200};
    SelectionDrag move(s, hitTest(s, 100, 100), 100, 100, Width, Height);
    move.moveTo(110, 90);
    EXPECT_EQ(move.selection(), (Selection{60, 50, 160, 190}));
    move.moveTo(200, 0);
    EXPECT_EQ(move.selection(), (Selection{99, 0, 199, 140}));
    move.moveTo(65535, 400);
    EXPECT_EQ(move.selection(), (Selection{0, 188, 100, 328}));
}
}  // namespace
