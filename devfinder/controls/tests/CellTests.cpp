#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "CellDrawing.h"
#include "CellRecord.h"

namespace {

TEST(CellRecord, NewRowHasNoCheckboxesAndTheControlsColours)
{
    const auto cells = MakeCellArray(6, 0x000000, 0xFFFFFF);
    ASSERT_EQ(cells.size(), 6u);
    for (const auto& cell : cells) {
        EXPECT_EQ(cell.checkState, kNoCheckbox);
        EXPECT_TRUE(cell.enabled);
        EXPECT_EQ(cell.image, -1);
        EXPECT_EQ(cell.backgroundColour, 0xFFFFFFu);
    }
    EXPECT_TRUE(MakeCellArray(-1, 0, 0).empty());
}

TEST(CellRecord, ClickTogglesOnlyCellsThatHaveACheckbox)
{
    EXPECT_EQ(ToggledCheckState(kChecked), kUnchecked);
    EXPECT_EQ(ToggledCheckState(kUnchecked), kChecked);
    EXPECT_EQ(ToggledCheckState(kNoCheckbox), kNoCheckbox);
}

TEST(CellRecord, HeaderIsTickedOnlyWhenEveryRowIsTicked)
{
    EXPECT_EQ(HeaderImageForColumn({kChecked, kChecked}), kHeaderChecked);
    EXPECT_EQ(HeaderImageForColumn({kChecked, kUnchecked}), kHeaderUnchecked);
    EXPECT_EQ(HeaderImageForColumn({kChecked, kNoCheckbox}), kHeaderUnchecked);
}

TEST(CellRecord, ToolTipsAreCutToEightyCharactersAndEveryCellHasItsOwnTool)
{
    EXPECT_EQ(ToolTipShown(std::string(200, 'x')).size(), 80u);
    EXPECT_EQ(ToolTipShown("Enabled"), "Enabled");
    EXPECT_EQ(ToolTipShown(""), "");
    std::set<int> ids;
    for (int row = 0; row < 50; ++row) {
        for (int column = 0; column < 6; ++column) {
            EXPECT_TRUE(ids.insert(ToolIdForCell(row, column)).second);
        }
    }
    EXPECT_EQ(ToolIdForCell(0, 0), 1) << "never 0, which means no tool";
    EXPECT_EQ(ToolIdForCell(3, 2), 3003);
}

TEST(CellDrawing, BoxIsCentredInATextlessCellAndNineInOtherwise)
{
    const PixelRect cell{100, 20, 136, 37};  // 36 wide, 17 high
    const PixelRect centred = CheckboxBox(cell, false);
    EXPECT_EQ(centred.Width(), 16);
    EXPECT_EQ(centred.Height(), 16);
    EXPECT_EQ(centred.left, 100 + 18 - 8 - 1);
    EXPECT_EQ(centred.top, 20);
    EXPECT_EQ(CheckboxBox(cell, true).left, 109);
}

TEST(CellDrawing, TickIsAVOpeningUpwardsInsideTheBox)
{
    const PixelRect box{10, 20, 26, 36};
    const auto strokes = TickStrokes(box);
    const std::vector<std::pair<int, int>> expected{{19, 23}, {18, 24}, {17, 25}, {16, 26},
                                                    {15, 25}, {14, 24}, {13, 23}};
    ASSERT_EQ(strokes.size(), expected.size());
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        EXPECT_EQ(std::make_pair(strokes[i].x, strokes[i].top), expected[i]) << i;
        EXPECT_LT(strokes[i].top + 3, box.bottom);
    }
}

class CellColoursTest : public ::testing::Test {
protected:
    SystemColours system{0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xFFFFFE, 0x000001};
    CellState cell{0x112233, 0x445566};
};

TEST_F(CellColoursTest, UnselectedCellKeepsItsOwnColoursAndADisabledRowTurnsGrey)
{
    EXPECT_EQ(ChooseCellColours(cell, system).text, 0x112233u);
    EXPECT_EQ(ChooseCellColours(cell, system).background, 0x445566u);
    cell.rowEnabled = false;
    EXPECT_EQ(ChooseCellColours(cell, system).text, 0x808080u);
}

TEST_F(CellColoursTest, SelectionHighlightsEveryCellOnlyWithFullRowSelect)
{
    cell.rowSelected = true;
    cell.listHasFocus = true;
    cell.column = 3;
    EXPECT_EQ(ChooseCellColours(cell, system).background, 0x445566u);
    cell.column = 0;
    EXPECT_EQ(ChooseCellColours(cell, system).background, 0x800000u);
    cell.column = 3;
    cell.fullRowSelect = true;
    EXPECT_EQ(ChooseCellColours(cell, system).text, 0xFFFFFFu);
}

TEST_F(CellColoursTest, WithoutFocusOnlyShowSelectionAlwaysKeepsItVisible)
{
    cell.rowSelected = true;
    cell.fullRowSelect = true;
    EXPECT_EQ(ChooseCellColours(cell, system).background, 0x445566u);
    cell.showSelectionAlways = true;
    const auto colours = ChooseCellColours(cell, system);
    EXPECT_EQ(colours.background, 0xC0C0C0u);
    EXPECT_EQ(colours.text, 0x000001u);
}

}  // namespace
