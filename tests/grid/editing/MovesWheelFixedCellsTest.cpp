// Moving columns and rows (what travels with them, the floating footer's
// row, scrolling while the pointer is outside), the wheel, the header node
// that opens and closes all nodes, and the fixed cells' hover, pressed and
// drop-down looks, driven through the input simulator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/Menus.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

struct MovesWheel : TGridFormTest<TProStringGrid> {
    std::vector<std::string> Moved;
    void SetUp() override
    {
        TGridFormTest<TProStringGrid>::SetUp();
        Grid->SetColCount(6);
        Grid->SetRowCount(6);
        NameCells(*Grid);
        for (int c = 1; c < 6; ++c)
            Grid->SetColWidths(c, 40 + 5 * c);
        Grid->OnColumnMoved = [this](TObject*, int From, int To) {
            Moved.push_back("col " + std::to_string(From) + ">" + std::to_string(To));
        };
        Grid->OnRowMoved = [this](TObject*, int From, int To) {
            Moved.push_back("row " + std::to_string(From) + ">" + std::to_string(To));
        };
        Grid->SetFocus();
        MouseUp(Grid, 390, 240, mbRight);
        AdvanceInputClock(1000);
    }
    std::vector<std::string> Row(int ARow, int AColumns = 6) const
    {
        std::vector<std::string> v;
        for (int c = 0; c < AColumns; ++c)
            v.push_back(Grid->Cells(c, ARow));
        return v;
    }
    static int Brightness(TColor C)
    {
        const TColor rgb = ColorToRGB(C);
        return GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb);
    }
};

TEST_F(MovesWheel, AMovedColumnTakesItsWidthSortColumnAndTheCurrentColumnAlong)
{
    Grid->SortSettings()->SetColumn(1);
    Grid->FocusCell(1, 2, true);
    Grid->MoveColumn(1, 3);
    EXPECT_EQ(Row(2), (std::vector<std::string>{"c0r2", "c2r2", "c3r2", "c1r2", "c4r2", "c5r2"}));
    EXPECT_EQ(Grid->ColWidths(3), 45);
    EXPECT_EQ(Grid->ColWidths(1), 50);
    EXPECT_EQ(Grid->SortSettings()->Column(), 3);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Moved, (std::vector<std::string>{"col 1>3"}));
    // A column between the two shifts by one, as the sort column does.
    Grid->SortSettings()->SetColumn(2);
    Grid->MoveColumn(4, 1);
    EXPECT_EQ(Grid->SortSettings()->Column(), 3);
    EXPECT_EQ(Grid->ColWidths(1), 60);

    // The columns of the indexed sort follow, their directions kept.
    Grid->SortSettings()->SetIndexShow(true);
    Grid->SortIndexes()->AddIndex(1, true);
    Grid->SortIndexes()->AddIndex(5, false);
    Grid->MoveColumn(1, 5);
    EXPECT_EQ(Grid->SortIndexes()->GetSortColumn(0), 5);
    EXPECT_EQ(Grid->SortIndexes()->GetSortColumn(1), 4);
    EXPECT_TRUE(Grid->SortIndexes()->IsAscending(0));
    EXPECT_FALSE(Grid->SortIndexes()->IsAscending(1));

    // Without EnhRowColMove the widths stay where they were.
    Grid->SetEnhRowColMove(false);
    std::vector<int> widths;
    for (int c = 0; c < 6; ++c)
        widths.push_back(Grid->ColWidths(c));
    Grid->MoveColumn(2, 4);
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(Grid->ColWidths(c), widths[std::size_t(c)]) << c;
}

TEST_F(MovesWheel, WithHiddenColumnsAndRowsTheStoredColumnMoves)
{
    Grid->HideColumn(2);
    Grid->HideRow(4);
    ASSERT_EQ(Grid->ColCount(), 5);
    Moved.clear();
    // Display column 1 (stored 1) goes to display 3 (stored 4).
    Grid->MoveColumn(1, 3);
    EXPECT_EQ(Moved, (std::vector<std::string>{"col 1>4"}));
    EXPECT_EQ(Grid->GetRealColIndex(3), 4);
    EXPECT_EQ(Grid->Cells(4, 1), "c1r1");
    EXPECT_TRUE(Grid->IsHiddenColumn(1));
    EXPECT_EQ(Grid->Cells(1, 1), "c2r1") << "the hidden column moved up with its flag";
    Grid->UnHideColumnsAll();
    Grid->UnHideRowsAll();
    EXPECT_EQ(Row(1), (std::vector<std::string>{"c0r1", "c2r1", "c3r1", "c4r1", "c1r1", "c5r1"}));
    EXPECT_EQ(Row(4), (std::vector<std::string>{"c0r4", "c2r4", "c3r4", "c4r4", "c1r4", "c5r4"}))
        << "the cells of the hidden row moved the same way";
}

TEST_F(MovesWheel, AMovedRowTakesItsHeightAndTheFooterRowStaysLast)
{
    Grid->SetRowHeights(1, 40);
    Grid->MoveRow(1, 3);
    EXPECT_EQ(Grid->RowHeights(3), 40);
    EXPECT_EQ(Grid->RowHeights(1), Grid->DefaultRowHeight());
    EXPECT_EQ(Grid->Cells(1, 3), "c1r1");
    EXPECT_EQ(Moved, (std::vector<std::string>{"row 1>3"}));
    Grid->SetEnhRowColMove(false);
    Grid->MoveRow(3, 1);
    EXPECT_EQ(Grid->RowHeights(3), 40);
    EXPECT_EQ(Grid->Cells(1, 1), "c1r1");

    // The floating footer keeps the last row: a move onto it or of it is ignored.
    Grid->FloatingFooter()->SetVisible(true);
    Moved.clear();
    Grid->MoveRow(2, 5);
    Grid->MoveRow(5, 2);
    EXPECT_TRUE(Moved.empty());
    EXPECT_EQ(Grid->Cells(1, 5), "c1r5");
    // Dragged there with the mouse, the row is not dropped on it.
    Grid->SetEnhRowColMove(true);
    Grid->SetOptions(Grid->Options() | goRowMoving);
    std::vector<int> drops;
    Grid->OnRowMoving = [&](TObject*, int ARow, bool&) { drops.push_back(ARow); };
    const TPoint from = CellMiddle(0, 2), to = CellMiddle(0, 5);
    MouseDown(Grid, from.X, from.Y);
    MouseMove(Grid, from.X, from.Y + 10, ssLeft);
    MouseMove(Grid, to.X, to.Y, ssLeft);
    EXPECT_EQ(Grid->Cursor(), crNoDrop);
    MouseUp(Grid, to.X, to.Y);
    EXPECT_EQ(std::count(drops.begin(), drops.end(), 5), 0);
    EXPECT_EQ(Grid->Cells(1, 5), "c1r5");
    EXPECT_EQ(Grid->Cursor(), crDefault);
    // A press on the footer's row selects nothing.
    Grid->FocusCell(2, 1, true);
    ClickCell(2, 5);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(MovesWheel, AColumnDraggedOutsideScrollsTheGridUntilTheRelease)
{
    Grid->SetColCount(12);
    Grid->SetOptions(Grid->Options() | goColMoving);
    ASSERT_LT(Grid->VisibleColCount(), 11);
    const TPoint from = CellMiddle(2, 0);
    MouseDown(Grid, from.X, from.Y);
    MouseMove(Grid, from.X + 10, from.Y, ssLeft);
    EXPECT_FALSE(TimerActive(Grid, 1));
    MouseMove(Grid, Grid->ClientWidth() + 20, from.Y, ssLeft);
    ASSERT_TRUE(TimerActive(Grid, 1));
    const int left = Grid->LeftCol();
    FireTimer(Grid, 1);
    FireTimer(Grid, 1);
    EXPECT_EQ(Grid->LeftCol(), left + 2);
    MouseMove(Grid, from.X, from.Y, ssLeft);
    EXPECT_FALSE(TimerActive(Grid, 1));
    MouseUp(Grid, from.X, from.Y);
    EXPECT_FALSE(TimerActive(Grid, 1));
    EXPECT_EQ(Grid->GridState(), gsNormal);
}

TEST_F(MovesWheel, TheWheelMovesTheRowKeepsTheScrollAndLeavesCtrlToTheZoom)
{
    Grid->SetRowCount(40);
    Grid->SetColCount(20);
    Grid->SetOptions(Grid->Options() | goRowSelect);
    Grid->Navigation()->SetKeepHorizScroll(true);
    Grid->MouseActions()->SetWheelIncrement(2);
    Grid->FocusCell(1, 5, true);
    Grid->SetLeftCol(6);
    Wheel(Grid, 50, 50, -120);
    EXPECT_EQ(Grid->Row(), 7);
    EXPECT_EQ(Grid->LeftCol(), 6);
    // Two notches at once move twice.
    Wheel(Grid, 50, 50, 240);
    EXPECT_EQ(Grid->Row(), 3);

    // The wheel event may take the turn.
    Grid->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool& Handled) { Handled = true; };
    Wheel(Grid, 50, 50, -120);
    EXPECT_EQ(Grid->Row(), 3);
    Grid->OnMouseWheelDown = nullptr;

    // Ctrl zooms, the current row stays.
    const int width = Grid->ColWidths(2);
    Wheel(Grid, 50, 50, -120, ssCtrl);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->ZoomLevel(), 3);
    EXPECT_GT(Grid->ColWidths(2), width);

    // A hidden selection stays hidden when the wheel turns up.
    Grid->HideSelection();
    Wheel(Grid, 50, 50, 120);
    EXPECT_EQ(Grid->Row(), Grid->RowCount());
}

// Without WheelIncrement a notch moves the desktop's wheel lines, as they were when the grid was made.
TEST_F(MovesWheel, ANotchMovesTheDesktopsWheelLines)
{
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0);
    auto* g = Place<TProStringGrid>(0, 0, 300, 200);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0);
    g->SetRowCount(20);
    Wheel(g, 50, 50, -120);
    EXPECT_EQ(g->Row(), 6);
}

TEST_F(MovesWheel, TheWheelClosesAnOpenEditorAndTheGridKeepsTheFocus)
{
    Grid->SetRowCount(20);
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->FocusCell(2, 2, true);
    Grid->BeginCellEdit();
    ASSERT_TRUE(Editor()->Visible());
    Editor()->SetSelStart(4);
    TypeText(Editor(), "x");
    Wheel(Grid, 50, 50, -120);
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_FALSE(Editor()->Visible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->Cells(2, 2), "c2r2x");
}

// A header is edited where FixedRowsEdit or FixedColsEdit asks for it, with or without goEditing
// and whatever its ReadOnly says; only OnCanEditCell may refuse. Opening the editor on another
// header first commits the text typed into the open one.
TEST_F(MovesWheel, FixedCellsAreEditedByTheirOptionAndTheTypedTextIsCommitted)
{
    TEdit* other = Place<TEdit>(410, 10, 80, 22);
    auto header = [](TPoint P) { return "h" + std::to_string(P.X) + std::to_string(P.Y); };
    const struct {
        const char* Name;
        TGridFixedCellEdit Rows, Cols;
        bool Editing, ReadOnly;
        int CanEdit;   // OnCanEditCell's answer, -1 without a handler
        std::vector<TPoint> Opened;   // the headers opened one after the other
        bool Opens;
        bool ByCall = false;   // opened by EditFixedCell, as the program's own command does
    } cases[] = {
        {"without goEditing", fceLeftClick, fceNone, false, false, -1, {{2, 0}}, true},
        {"a read-only header", fceLeftClick, fceNone, true, true, -1, {{2, 0}}, true},
        {"OnCanEditCell allows", fceLeftClick, fceNone, false, false, 1, {{2, 0}}, true},
        {"OnCanEditCell refuses", fceLeftClick, fceNone, true, false, 0, {{2, 0}}, false},
        {"no fixed-cell editing", fceNone, fceNone, true, false, -1, {{2, 0}}, false},
        {"another header clicked while one is open", fceLeftClick, fceNone, true, false, -1, {{2, 0}, {3, 0}}, true},
        {"another header opened while one is open", fceNone, fceNone, true, false, -1, {{2, 0}, {3, 0}}, true, true},
        {"fixed column by double click", fceNone, fceDblClick, false, true, -1, {{0, 2}, {0, 4}}, true},
        {"fixed row by right click", fceRightClick, fceNone, true, false, -1, {{2, 0}, {3, 0}}, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Name);
        Grid->MouseActions()->SetFixedRowsEdit(k.Rows);
        Grid->MouseActions()->SetFixedColsEdit(k.Cols);
        Grid->SetOptions(k.Editing ? Grid->Options() | goEditing : Grid->Options() & ~goEditing);
        Grid->OnCanEditCell = nullptr;
        if (k.CanEdit >= 0)
            Grid->OnCanEditCell = [&](TObject*, int, int, bool& can) { can = k.CanEdit == 1; };
        for (const TPoint& p : k.Opened) {
            Grid->SetCells(p.X, p.Y, header(p));
            Grid->CellProperties(p.X, p.Y)->SetReadOnly(k.ReadOnly);
        }
        Grid->SetFocus();
        for (std::size_t i = 0; i < k.Opened.size(); ++i) {
            const TPoint p = k.Opened[i];
            const TPoint m = CellMiddle(p.X, p.Y);
            AdvanceInputClock(1000);
            if (k.ByCall)
                Grid->EditFixedCell(p.X, p.Y);
            else if (k.Cols == fceDblClick)
                DoubleClick(Grid, m.X, m.Y);
            else
                Click(Grid, m.X, m.Y, k.Rows == fceRightClick ? mbRight : mbLeft);
            TEdit* edit = Grid->FixedCellEditor();
            const bool shown = edit && edit->Visible();
            EXPECT_EQ(shown, k.Opens);
            if (!shown)
                break;
            if (i > 0) {   // the header opened before holds what was typed into it
                EXPECT_EQ(Grid->Cells(k.Opened[i - 1].X, k.Opened[i - 1].Y), "typed" + std::to_string(i - 1));
            }
            EXPECT_EQ(edit->Text(), header(p));
            EXPECT_TRUE(edit->Focused());
            edit->SelectAll();
            TypeText(edit, "typed" + std::to_string(i));
        }
        other->SetFocus();
        for (std::size_t i = 0; i < k.Opened.size(); ++i)
            EXPECT_EQ(Grid->Cells(k.Opened[i].X, k.Opened[i].Y),
                      k.Opens ? "typed" + std::to_string(i) : header(k.Opened[i]));
        Grid->OnCanEditCell = nullptr;
        EXPECT_FALSE(Grid->FixedCellEditor() && Grid->FixedCellEditor()->Visible());
    }
}

TEST_F(MovesWheel, TheHeaderNodeOpensAndClosesEveryNode)
{
    Grid->SetRowCount(8);
    Grid->AddNode(1, 3);
    Grid->AddNode(4, 3);
    Grid->AddNode(0, 1);   // the header's node
    const int x = Grid->CellNode()->NodeIndent() / 2 + 2;
    const TPoint header(x, CellMiddle(0, 0).Y);
    Click(Grid, header.X, header.Y);
    EXPECT_EQ(Grid->RowCount(), 8) << "without NodeAllExpandContract the header node does nothing";
    // Below a closed node, a node answers its glyph and the arrow keys on the row it is shown on.
    Grid->MergeCells(1, 4, 2, 1);
    Click(Grid, x, CellMiddle(0, 1).Y);
    Grid->SetRow(2);
    TypeKey(Grid, VK_LEFT);
    EXPECT_EQ(Grid->RowCount(), 4);
    AdvanceInputClock(1000);
    Click(Grid, x, CellMiddle(0, 2).Y);
    EXPECT_EQ(Grid->RowCount(), 6);
    Grid->ExpandAll();

    Grid->MouseActions()->SetNodeAllExpandContract(true);
    AdvanceInputClock(1000);
    Click(Grid, header.X, header.Y);
    EXPECT_EQ(Grid->RowCount(), 4);
    EXPECT_TRUE(Grid->GetNodeState(1));
    EXPECT_TRUE(Grid->GetNodeState(4));
    EXPECT_TRUE(Grid->GetNodeState(0));
    AdvanceInputClock(1000);
    Click(Grid, header.X, header.Y);
    EXPECT_EQ(Grid->RowCount(), 8);
    EXPECT_FALSE(Grid->GetNodeState(1));
    EXPECT_FALSE(Grid->GetNodeState(0));
}

TEST_F(MovesWheel, AFixedCellsDropDownPartOpensItsMenuDrawnPressed)
{
    Grid->SetHoverFixedCells(hfAll);
    Grid->ControlLook()->SetFixedDropDownButton(true);
    auto* menu = new TPopupMenu(Form);
    Grid->SetFixedDropDownMenu(menu);
    std::vector<std::string> events;
    Grid->OnFixedDropDownClick = [&](TObject*, int ACol, int ARow, TPopupMenu*& AMenu) {
        events.push_back("click " + std::to_string(ACol) + "," + std::to_string(ARow));
        EXPECT_EQ(AMenu, menu);
    };
    TPoint shownAt(-1, -1);
    bool pressedWhileUp = false;
    TPopupMenuHook old = SetPopupMenuHook([&](TPopupMenu* M, int X, int Y) {
        EXPECT_EQ(M, menu);
        EXPECT_EQ(M->Tag(), 3);
        shownAt = TPoint(X, Y);
        pressedWhileUp = Grid->HoverFixedCellDown();
    });
    const TRect cell = Grid->CellRect(3, 0);
    MouseMove(Grid, cell.Right - 5, cell.Top + 5);
    EXPECT_EQ(Grid->HoverFixedCell(), TPoint(3, 0));
    SaveScreenshot(Grid, "grid_fixed_dropdown.png");

    Click(Grid, cell.Right - 5, cell.Top + 5);
    SetPopupMenuHook(old);
    EXPECT_EQ(events, (std::vector<std::string>{"click 3,0"}));
    EXPECT_EQ(shownAt, Grid->ClientToScreen(TPoint(cell.Right - 16, cell.Bottom)));
    EXPECT_TRUE(pressedWhileUp);
    EXPECT_FALSE(Grid->HoverFixedCellDown());
    EXPECT_EQ(Grid->GridState(), gsNormal);

    // Left of the drop-down part the press is the header's own; leaving the header ends the hover.
    AdvanceInputClock(1000);
    events.clear();
    Click(Grid, cell.Left + 5, cell.Top + 5);
    EXPECT_TRUE(events.empty());
    MouseMove(Grid, CellMiddle(3, 2).X, CellMiddle(3, 2).Y);
    EXPECT_EQ(Grid->HoverFixedCell(), TPoint(-1, -1));
}

TEST_F(MovesWheel, PressedFixedCellsLookSunkenOrTakeTheDownColours)
{
    const TRect cell = Grid->CellRect(2, 0);
    const TPoint p = CellMiddle(2, 0);
    auto leftEdge = [&] {
        std::unique_ptr<TBitmap> shot = GrabControl(Grid);
        return Brightness(shot->Canvas()->Pixels(cell.Left + 1, p.Y));
    };
    Grid->SetFixedAsButtons(true);
    const int raised = leftEdge();
    MouseDown(Grid, p.X, p.Y);
    EXPECT_EQ(Grid->PressedFixedCell(), TPoint(2, 0));
    const int sunken = leftEdge();
    EXPECT_LT(sunken + 200, raised) << "the pressed button's top-left edge is dark";
    MouseUp(Grid, p.X, p.Y);
    EXPECT_EQ(Grid->PressedFixedCell(), TPoint(-1, -1));
    EXPECT_EQ(leftEdge(), raised);

    // The down colours of a hovered header while the button is down over it.
    Grid->SetFixedAsButtons(false);
    Grid->SetHoverFixedCells(hfFixedRows);
    Grid->ControlLook()->SetFixedGradientDownFrom(clRed);
    Grid->ControlLook()->SetFixedGradientDownTo(clRed);
    AdvanceInputClock(1000);
    MouseMove(Grid, p.X, p.Y);
    MouseDown(Grid, p.X, p.Y);
    EXPECT_TRUE(Grid->HoverFixedCellDown());
    std::unique_ptr<TBitmap> shot = GrabControl(Grid);
    EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(cell.Left + 4, cell.Top + 3)), ColorToRGB(clRed));
    MouseUp(Grid, p.X, p.Y);
    EXPECT_FALSE(Grid->HoverFixedCellDown());
    // Without down colours and in a fixed column too (the list-view header's pressed state).
    Grid->ControlLook()->SetFixedGradientDownFrom(clNone);
    Grid->SetHoverFixedCells(hfAll);
    MouseMove(Grid, CellMiddle(0, 3).X, CellMiddle(0, 3).Y);
    MouseDown(Grid, CellMiddle(0, 3).X, CellMiddle(0, 3).Y);
    EXPECT_TRUE(Grid->HoverFixedCellDown());
}

TEST_F(MovesWheel, APressOnAPartlyShownRowKeepsTheTopRowWithNoScrollOnPartialRow)
{
    Grid->SetRowCount(30);
    const int partial = Grid->TopRow() + Grid->VisibleRowCount();
    const TRect r = Grid->CellRect(2, partial);
    ASSERT_FALSE(IsRectEmpty(r));
    ASSERT_GT(r.Bottom, Grid->ClientHeight());
    const TPoint p(r.Left + 5, r.Top + 3);
    Click(Grid, p.X, p.Y);
    EXPECT_EQ(Grid->Row(), partial);
    EXPECT_GT(Grid->TopRow(), 1) << "the standard press scrolls the row in";

    Grid->SetTopRow(1);
    Grid->MouseActions()->SetNoScrollOnPartialRow(true);
    AdvanceInputClock(1000);
    Click(Grid, p.X, p.Y);
    EXPECT_EQ(Grid->Row(), partial);
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(MovesWheel, ADoubleClickOnAPartlyShownCellIsOnTheCellPressedThoughThePressScrolledItIn)
{
    // Its first press scrolls the cell in, so that the pointer then lies over the next row (column).
    struct Case { const char* Name; bool Row; } cases[] = {{"partly shown row", true}, {"partly shown column", false}};
    Grid->SetRowCount(30);
    Grid->SetColCount(30);
    NameCells(*Grid);
    std::vector<std::string> clicked;
    Grid->OnDblClickCell = [&](TObject*, int ARow, int ACol) { clicked.push_back(Grid->Cells(ACol, ARow)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Grid->SetTopRow(1);
        Grid->SetLeftCol(1);
        const int col = c.Row ? 2 : Grid->LeftCol() + Grid->VisibleColCount();
        const int row = c.Row ? Grid->TopRow() + Grid->VisibleRowCount() : 2;
        const TRect r = Grid->CellRect(col, row);
        ASSERT_TRUE(c.Row ? r.Bottom > Grid->ClientHeight() : r.Right > Grid->ClientWidth());
        clicked.clear();
        AdvanceInputClock(1000);
        DoubleClick(Grid, r.Left + 3, r.Top + 3);
        EXPECT_NE(c.Row ? Grid->TopRow() : Grid->LeftCol(), 1) << "the press scrolled";
        EXPECT_EQ(clicked, std::vector<std::string>{Grid->Cells(col, row)});
        EXPECT_EQ(Grid->Row(), row);
        EXPECT_EQ(Grid->Col(), col);
    }
}

TEST_F(MovesWheel, ADragAlongTheFixedColumnSelectsRowsAndOnClickNeedsThePressedCell)
{
    Grid->MouseActions()->SetRowSelect(true);
    std::vector<std::string> events;
    Grid->OnClick = [&](TObject*) { events.push_back("click"); };
    Grid->OnSelectionChanged = [&](TObject*, int L, int T, int R, int B) {
        events.push_back("sel " + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(R) + "," +
                         std::to_string(B));
    };
    const TPoint from = CellMiddle(0, 2), to = CellMiddle(0, 4);
    MouseMove(Grid, from.X, from.Y);
    ASSERT_EQ(Grid->MouseHoverState(), 2);
    MouseDown(Grid, from.X, from.Y);
    MouseMove(Grid, to.X, to.Y, ssLeft);
    EXPECT_EQ(Grid->Selection(), TGridRect(1, 2, 5, 4));
    events.clear();
    MouseUp(Grid, to.X, to.Y);
    // The release reports the selection; no click, for it was not on the pressed cell.
    EXPECT_EQ(events, (std::vector<std::string>{"sel 1,2,5,4"}));
    // Moving on without the button changes nothing.
    MouseMove(Grid, CellMiddle(0, 5).X, CellMiddle(0, 5).Y);
    EXPECT_EQ(Grid->Selection(), TGridRect(1, 2, 5, 4));

    events.clear();
    ClickCell(3, 3);
    EXPECT_EQ(std::count(events.begin(), events.end(), "click"), 1);
}

TEST_F(MovesWheel, APlainReleaseFlagsTheClickedNodeWithItsRows)
{
    Grid->SetRowCount(8);
    Grid->AddNode(2, 3);
    Grid->MouseActions()->SetDisjunctRowSelect(true);
    ClickCell(3, 2);
    for (int r = 1; r < 8; ++r)
        EXPECT_EQ(Grid->GetRowSelect(r), r >= 2 && r <= 4) << r;
    // Ctrl adds a row and keeps the others.
    ClickCell(3, 6, ssCtrl);
    EXPECT_TRUE(Grid->GetRowSelect(6));
    EXPECT_TRUE(Grid->GetRowSelect(3));
}

// While a plain press is held the rows it drags over, and the row it pressed, are painted
// selected; with Alt the marks stay until the release.
TEST_F(MovesWheel, APlainPressPaintsTheRowsItDragsOverAndAltKeepsTheMarks)
{
    Grid->MouseActions()->SetDisjunctRowSelect(true);
    Grid->SetOptions(Grid->Options() | goRangeSelect | goRowSelect);
    const struct {
        TShiftState Shift;
        int From, To;
        const char* Painted;
    } cases[] = {{ssAlt, 1, 3, "SSS.S"}, {0, 3, 3, "..S.."}};
    for (const auto& c : cases) {
        Grid->SetRowSelect(5, true);
        AdvanceInputClock(1000);
        MouseDown(Grid, CellMiddle(2, c.From).X, CellMiddle(2, c.From).Y, mbLeft, c.Shift);
        MouseMove(Grid, CellMiddle(2, c.To).X, CellMiddle(2, c.To).Y, ssLeft | c.Shift);
        const std::unique_ptr<TBitmap> shot = GrabControl(Grid);
        std::string painted;
        for (int r = 1; r < 6; ++r)
            painted += shot->Canvas()->Pixels(CellMiddle(4, r).X, Grid->CellRect(4, r).Top + 2) == Grid->SelectionColor()
                           ? 'S' : '.';
        EXPECT_EQ(painted, c.Painted) << c.From;
        MouseUp(Grid, CellMiddle(2, c.To).X, CellMiddle(2, c.To).Y);
    }
}

}  // namespace
