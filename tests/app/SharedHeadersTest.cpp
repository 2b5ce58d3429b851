// The program's windows use the grid and the desktop controls in one unit: their headers go together,
// and the grid's buttons and the tool buttons speak of one set of button states and layouts.
#include <gtest/gtest.h>

#include "controls/ColorPicker.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "tests/common/FormTest.h"

namespace {

struct SharedHeaders : TFormTest {};

TEST_F(SharedHeaders, GridAndToolButtonsShareStatesAndLayouts)
{
    MakeForm(300, 200);
    auto* gridButton = Place<TProGridButton>(0, 0, 23, 22);
    auto* toolButton = Place<TColBtn>(30, 0, 23, 22);
    auto* edit = Place<TFilenameEdit>(0, 40, 120, 21);
    auto* grid = Place<TProStringGrid>(0, 70, 200, 100);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(grid, nullptr);

    struct Case { int group; bool down; TButtonState state; };
    for (Case c : {Case{1, true, bsExclusive}, Case{1, false, bsUp}}) {
        gridButton->SetGroupIndex(c.group);
        gridButton->SetAllowAllUp(true);
        gridButton->SetDown(c.down);
        toolButton->SetGroupIndex(c.group);
        toolButton->SetAllowAllUp(true);
        toolButton->SetDown(c.down);
        EXPECT_EQ(gridButton->State(), c.state) << c.down;
        EXPECT_EQ(toolButton->State(), c.state) << c.down;
    }
    gridButton->SetLayout(blGlyphTop);
    toolButton->SetLayout(blGlyphTop);
    EXPECT_EQ(gridButton->Layout(), toolButton->Layout());
}

}  // namespace
