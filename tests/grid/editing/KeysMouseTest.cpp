// Keys and the mouse on the grid, driven through the input simulator: Tab
// stops, editing by typing, row insertion and removal, scroll-only moves,
// header sorting, column sizing, check boxes, disjunct cells, anchors and the
// form controls of mini-HTML cells.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/PsgHTMLE.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ShellApi.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

struct KeysMouse : TGridFormTest<TProStringGrid> {
    std::vector<std::string> Log;
    void SetUp() override
    {
        TGridFormTest<TProStringGrid>::SetUp();
        Grid->SetColCount(4);
        Grid->SetRowCount(4);
        NameCells(*Grid);
        Grid->SetFocus();
        // No button is left held by an earlier test.
        MouseUp(Grid, 390, 240, mbMiddle);
        MouseUp(Grid, 390, 240, mbRight);
        AdvanceInputClock(1000);
    }
    // The value of the form control the cell's text holds.
    AnsiString ControlValue(int ACol, int ARow)
    {
        AnsiString type, id, maxLen, prop, width, value;
        ParseControlTag(Grid->Cells(ACol, ARow), type, id, maxLen, prop, width, value);
        return value;
    }
};

TEST_F(KeysMouse, TabWalksTabStopsWrapsAndAppends)
{
    Grid->SetOptions(Grid->Options() | goEditing | goTabs);
    // Column 2 is read-only: Tab passes it by.
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 2; };
    Grid->FocusCell(1, 1, true);
    const struct { TShiftState Shift; TPoint Expect; } steps[] = {
        {0, {3, 1}},         // over the read-only column
        {0, {1, 2}},         // wraps to the next row
        {ssShift, {3, 1}},   // back to the end of the row before
        {ssShift, {1, 1}},
        {ssShift, {3, 3}},   // from the first cell to the last tab stop of the last row
    };
    for (const auto& s : steps) {
        TypeKey(Grid, VK_TAB, s.Shift);
        EXPECT_EQ(Current(), s.Expect) << s.Expect.X << "," << s.Expect.Y;
    }
    // At the end: back to the first row, or a new row with AdvanceInsert.
    TypeKey(Grid, VK_TAB);
    EXPECT_EQ(Current(), TPoint(1, 1));
    EXPECT_EQ(Grid->RowCount(), 4);
    Grid->Navigation()->SetAdvanceInsert(true);
    int added = -1;
    Grid->OnAutoAddRow = [&](TObject*, int ARow) { added = ARow; };
    Grid->FocusCell(3, 3, true);
    TypeKey(Grid, VK_TAB);
    EXPECT_EQ(Grid->RowCount(), 5);
    EXPECT_EQ(added, Grid->RowCount() - 1 - Grid->FixedFooters());
    EXPECT_EQ(Current(), TPoint(1, 4));
    // A refused row leaves the grid as it is and goes back to the first row.
    Grid->OnCanAddRow = [](TObject*, bool& CanAdd) { CanAdd = false; };
    Grid->FocusCell(3, 4, true);
    TypeKey(Grid, VK_TAB);
    EXPECT_EQ(Grid->RowCount(), 5);
    EXPECT_EQ(Current(), TPoint(1, 1));
}

// With editing on, Tab passes cells that are not editable in both directions of advance, and a
// Tab past the last row goes back through MoveToFirstRow (a descendant's override sees it).
TEST_F(KeysMouse, TabPassesCellsThatAreNotEditableAndWrapsThroughMoveToFirstRow)
{
    struct TFirstRowGrid : TProStringGrid {
        using TProStringGrid::TProStringGrid;
        int Calls = 0;
        void MoveToFirstRow() override
        {
            ++Calls;
            TProStringGrid::MoveToFirstRow();
        }
    };
    auto* g = Place<TFirstRowGrid>(0, 260, 300, 120);
    g->SetColCount(4);
    g->SetRowCount(4);
    g->SetOptions(g->Options() | goEditing | goTabs);
    TPoint readOnly(-1, -1);
    int readOnlyRow = -1;
    g->OnCanEditCell = [&](TObject*, int ARow, int ACol, bool& CanEdit) {
        CanEdit = TPoint(ACol, ARow) != readOnly && ARow != readOnlyRow;
    };
    struct Case {
        TAdvanceDirection Direction; TPoint ReadOnly; int ReadOnlyRow; TPoint From, To; int FirstRowCalls;
    } cases[] = {
        {adTopBottom, {2, 2}, -1, {2, 1}, {2, 3}, 0}, {adLeftRight, {-1, -1}, 2, {3, 1}, {1, 3}, 0},
        {adLeftRight, {-1, -1}, -1, {3, 3}, {1, 1}, 1}, {adTopBottom, {-1, -1}, -1, {2, 3}, {3, 1}, 1},
        {adTopBottom, {3, 1}, -1, {2, 3}, {3, 2}, 1},
    };
    for (const Case& k : cases) {
        readOnly = k.ReadOnly;
        readOnlyRow = k.ReadOnlyRow;
        g->Navigation()->SetTabAdvanceDirection(k.Direction);
        g->FocusCell(k.From.X, k.From.Y, true);
        g->SetFocus();
        g->Calls = 0;
        TypeKey(g, VK_TAB);
        EXPECT_EQ(TPoint(g->Col(), g->Row()), k.To) << k.From.X << "," << k.From.Y;
        EXPECT_EQ(g->Calls, k.FirstRowCalls) << k.From.X << "," << k.From.Y;
    }
    delete g;
}

// Return and F2 on a cell that may not be edited reach OnKeyDown as they are, and open no editor
// nor move the current cell.
TEST_F(KeysMouse, ReturnAndF2OnACellThatMayNotBeEditedReachOnKeyDown)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    std::vector<Word> keys;
    Grid->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); };
    for (const TPoint cell : {TPoint(2, 2), TPoint(1, 1)}) {
        Grid->FocusCell(cell.X, cell.Y, true);
        keys.clear();
        TypeKey(Grid, VK_F2);
        TypeKey(Grid, VK_RETURN);
        EXPECT_EQ(keys, (std::vector<Word>{VK_F2, VK_RETURN})) << cell.X;
        EXPECT_FALSE(EditorShown());
        EXPECT_EQ(Current(), cell);
    }
    Grid->OnKeyDown = nullptr;
}

TEST_F(KeysMouse, TabWithoutEditingSkipsFixedCells)
{
    Grid->SetOptions((Grid->Options() | goTabs) & ~goEditing);
    Grid->OnIsFixedCell = [](TObject*, int ACol, int ARow, bool& Fixed) { Fixed = ACol == 2 && ARow == 1; };
    Grid->FocusCell(1, 1, true);
    TypeKey(Grid, VK_TAB);
    EXPECT_EQ(Current(), TPoint(3, 1));
    // The arrow keys jump over it too.
    TypeKey(Grid, VK_LEFT);
    EXPECT_EQ(Current(), TPoint(1, 1));
}

TEST_F(KeysMouse, InsertAndDeleteRowsByKey)
{
    const struct { Word Key; TShiftState Shift; bool AllowInsert, AllowDelete; int Rows; } cases[] = {
        {VK_INSERT, 0, true, false, 5},   {VK_INSERT, ssCtrl, true, false, 4}, {VK_INSERT, ssShift, true, false, 4},
        {VK_INSERT, ssAlt, true, false, 4}, {VK_INSERT, 0, false, false, 4},   {VK_DELETE, 0, false, true, 3},
        {VK_DELETE, ssAlt, false, true, 4}, {VK_DELETE, 0, false, false, 4},
    };
    for (const auto& c : cases) {
        Grid->SetRowCount(4);
        for (int r = 1; r < 4; ++r)
            Grid->SetCells(1, r, "r" + std::to_string(r));
        Grid->Navigation()->SetAllowInsertRow(c.AllowInsert);
        Grid->Navigation()->SetAllowDeleteRow(c.AllowDelete);
        Grid->FocusCell(1, 2, true);
        KeyDown(Grid, c.Key, c.Shift);
        KeyUp(Grid, c.Key, c.Shift);
        EXPECT_EQ(Grid->RowCount(), c.Rows) << c.Key << " shift " << c.Shift;
        if (c.Rows == 5) {
            EXPECT_EQ(Grid->Cells(1, 2), "");   // inserted before the current row
        }
        if (c.Rows == 3) {
            EXPECT_EQ(Grid->Cells(1, 2), "r3");
        }
    }
    // A refused deletion keeps the row.
    Grid->Navigation()->SetAllowDeleteRow(true);
    Grid->OnCanDeleteRow = [](TObject*, int, bool& Allow) { Allow = false; };
    TypeKey(Grid, VK_DELETE);
    EXPECT_EQ(Grid->RowCount(), 4);
}

TEST_F(KeysMouse, MoveScrollOnlyScrollsWithoutMovingTheCell)
{
    Grid->Navigation()->SetMoveScrollOnly(true);
    Grid->SetRowCount(60);
    Grid->FocusCell(1, 1, true);
    TypeKey(Grid, VK_DOWN);
    EXPECT_EQ(Grid->TopRow(), 2);
    EXPECT_EQ(Current(), TPoint(1, 1));
    TypeKey(Grid, VK_END);
    EXPECT_EQ(Grid->TopRow(), 60 - Grid->VisibleRowCount());
    TypeKey(Grid, VK_HOME);
    EXPECT_EQ(Grid->TopRow(), Grid->FixedRows());
    // Fewer rows than the view holds: End keeps the first data row at the top.
    Grid->SetRowCount(3);
    TypeKey(Grid, VK_END);
    EXPECT_EQ(Grid->TopRow(), Grid->FixedRows());
    EXPECT_EQ(Current(), TPoint(1, 1));
}

TEST_F(KeysMouse, ShiftHomeAndEndByRowsSelectFromTheStartingRow)
{
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    Grid->Navigation()->SetHomeEndKey(heFirstLastRow);
    const struct { Word Key; int From, To; } cases[] = {{VK_HOME, 3, 1}, {VK_END, 2, 3}};
    for (const auto& c : cases) {
        Grid->FocusCell(2, c.From, true);
        TypeKey(Grid, c.Key, ssShift);
        EXPECT_EQ(Grid->Row(), c.To) << c.Key;
        EXPECT_EQ(Grid->Selection(), TGridRect(0, std::min(c.From, c.To), 3, std::max(c.From, c.To))) << c.Key;
    }
}

// Space toggles a check box only where it is always active (editing is off); a click with editing on
// toggles it with undo.
TEST_F(KeysMouse, SpaceWhenAlwaysActiveAndAClickToggleACheckBox)
{
    Grid->CreateCellGraphic(2, 1)->CellType = ctCheckBox;
    std::vector<bool> states;
    Grid->OnCheckBoxClick = [&](TObject*, int, int, bool State) { states.push_back(State); };
    Grid->FocusCell(2, 1, true);
    TypeKey(Grid, VK_SPACE);
    EXPECT_TRUE(states.empty());   // editing off, not always active
    Grid->ControlLook()->SetCheckAlwaysActive(true);
    TypeKey(Grid, VK_SPACE);
    TypeKey(Grid, VK_SPACE);
    EXPECT_EQ(states, (std::vector<bool>{true, false}));

    Grid->ControlLook()->SetCheckAlwaysActive(false);
    Grid->SetOptions(Grid->Options() | goEditing);
    auto* undo = new TProGridUndoRedo(Form);
    Grid->SetUndoRedo(undo);
    Grid->FocusCell(1, 1, true);
    states.clear();
    ClickCell(2, 1);
    bool state = false;
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 1, state));
    EXPECT_TRUE(state);
    EXPECT_EQ(states, std::vector<bool>{true});
    EXPECT_EQ(undo->List()->Count(), 1);
    undo->Undo();
    Grid->GetCheckBoxState(2, 1, state);
    EXPECT_FALSE(state);
}

TEST_F(KeysMouse, HeaderClicksSortAscendingDescendingAndBack)
{
    LoadKeys(*Grid, {"b", "c", "a"});
    Grid->SortSettings()->SetShow(true);
    Grid->SortSettings()->SetUndoSort(true);
    std::vector<int> sorted;
    Grid->OnClickSort = [&](TObject*, int ACol) { sorted.push_back(ACol); };
    const std::vector<std::vector<std::string>> expect = {{"a", "b", "c"}, {"c", "b", "a"}, {"b", "c", "a"}};
    for (const auto& e : expect) {
        ClickCell(1, 0);
        EXPECT_EQ(ColumnTexts(*Grid, 1), e);
    }
    EXPECT_EQ(sorted, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(Grid->SortSettings()->Column(), -1);
    // OnCanSort may refuse; a grid with one data row never sorts.
    Grid->OnCanSort = [](TObject*, int, bool& DoSort) { DoSort = false; };
    ClickCell(1, 0);
    EXPECT_EQ(ColumnTexts(*Grid, 1), expect.back());
    Grid->OnCanSort = nullptr;
    LoadKeys(*Grid, {"z"});
    ClickCell(1, 0);
    EXPECT_EQ(sorted.size(), 3u);
}

TEST_F(KeysMouse, BorderDoubleClickSizesAndDragShowsTheHint)
{
    LoadKeys(*Grid, {"b", "a longer text here"});
    Grid->SortSettings()->SetShow(true);
    Grid->SetOptions(Grid->Options() | goColSizing);
    const int before = Grid->ColWidths(1);
    AdvanceInputClock(1000);
    const TRect r = Grid->CellRect(1, 0);
    DoubleClick(Grid, r.Right - 1, r.Top + 5);
    EXPECT_GT(Grid->ColWidths(1), before);
    EXPECT_EQ(ColumnTexts(*Grid, 1)[0], "b");   // not sorted

    // Dragging the border to 80 pixels reports and shows the width.
    Grid->SetHintShowSizing(true);
    std::vector<int> sizing;
    Grid->OnColumnSizing = [&](TObject*, int, int W) { sizing.push_back(W); };
    AdvanceInputClock(1000);
    const TRect c = Grid->CellRect(1, 0);
    MouseDown(Grid, c.Right, c.Top + 5);
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    MouseMove(Grid, c.Left + 80, c.Top + 5, ssLeft);
    EXPECT_EQ(Grid->SizingHintText(), "cw=<b>80</b>");
    ASSERT_FALSE(sizing.empty());
    EXPECT_EQ(sizing.back(), 80);
    MouseUp(Grid, c.Left + 80, c.Top + 5);
    EXPECT_EQ(Grid->ColWidths(1), 80);
    EXPECT_EQ(Grid->SizingHintText(), "");
    EXPECT_EQ(ColumnTexts(*Grid, 1)[0], "b");
}

TEST_F(KeysMouse, FixedColumnSizingNeverGoesNegative)
{
    Grid->MouseActions()->SetSizeFixedCol(true);
    const int w0 = Grid->ColWidths(0);
    AdvanceInputClock(1000);
    MouseMove(Grid, w0 + 40, 30);
    MouseMove(Grid, w0, 30);
    MouseDown(Grid, w0, 30);
    MouseMove(Grid, 0, 30, ssLeft);
    MouseUp(Grid, 0, 30);
    EXPECT_EQ(Grid->ColWidths(0), 0);
}

// A click on the up or down arrow painted in a spin cell opens its editor one step on.
TEST_F(KeysMouse, AClickOnASpinCellsArrowStepsItsValue)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    Grid->OnGetEditorType = [](TObject*, int, int, TEditorType& e) { e = edSpinEdit; };
    struct Case { bool Up; const char* Expected; } cases[] = {{true, "6"}, {false, "4"}};
    for (const Case& k : cases) {
        Grid->SetCells(2, 2, "5");
        Grid->FocusCell(2, 2, true);
        Grid->SetFocus();
        const TRect r = Grid->CellRect(2, 2);
        AdvanceInputClock(1000);
        Click(Grid, r.Right - 8, k.Up ? r.Top + 4 : r.Bottom - 4);
        ProcessPendingMessages();
        ASSERT_NE(Grid->ActiveEditor(), nullptr);
        TypeKey(Grid->ActiveEditor(), VK_RETURN);
        ProcessPendingMessages();
        EXPECT_EQ(Grid->Cells(2, 2), k.Expected) << (k.Up ? "up" : "down");
    }
}

// With CaretPositioning the combo opened by a click puts its caret at the clicked character.
TEST_F(KeysMouse, AComboOpenedByAClickPutsItsCaretWhereTheClickWas)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->MouseActions()->SetCaretPositioning(true);
    Grid->MouseActions()->SetDirectEdit(true);
    Grid->SetColWidths(2, 150);
    Grid->OnGetEditorType = [](TObject*, int, int, TEditorType& e) { e = edComboEdit; };
    Grid->Canvas()->Font()->Assign(Grid->Font());
    for (int chars : {0, 4, 7}) {
        Grid->SetCells(2, 2, "abcdefgh");
        Grid->FocusCell(1, 1, true);
        const TRect r = Grid->CellRect(2, 2);
        const int x = r.Left + 4 + Grid->Canvas()->TextWidth(AnsiString("abcdefgh").substr(0, chars));
        ClickCell(2, 2);   // the first click makes the cell current
        Grid->EndCellEdit();
        AdvanceInputClock(1000);
        int done = 0;
        Grid->OnEditingDone = [&](TObject*) { ++done; };
        Click(Grid, x, r.Top + 8);
        ProcessPendingMessages();
        auto* c = dynamic_cast<TCustomComboBox*>(Grid->ActiveEditor());
        ASSERT_NE(c, nullptr);
        EXPECT_NEAR(c->SelStart(), chars, 1) << chars;
        EXPECT_EQ(c->SelLength(), 0) << chars;
        EXPECT_EQ(done, 0) << "the editor the click opened stays open";
        Grid->OnEditingDone = nullptr;
        Grid->EndCellEdit();
    }
}

// The dotted line of a fixed column or row being sized is painted where the pointer is.
TEST_F(KeysMouse, TheSizingLineOfAFixedColumnOrRowFollowsThePointer)
{
    Grid->MouseActions()->SetSizeFixedCol(true);
    Grid->MouseActions()->SetSizeFixedRow(true);
    const int w0 = Grid->ColWidths(0), h0 = Grid->RowHeights(0);
    std::unique_ptr<TBitmap> plain = GrabControl(Grid);
    // Pixels along the line at Pos (a column for columns, a row for rows) that differ from the plain grid.
    auto marked = [&](bool Column, int Pos) {
        std::unique_ptr<TBitmap> now = GrabControl(Grid);
        int n = 0;
        for (int i = 0; i < (Column ? 200 : 380); ++i) {
            const int x = Column ? Pos : i, y = Column ? i : Pos;
            n += now->Canvas()->Pixels(x, y) != plain->Canvas()->Pixels(x, y);
        }
        return n;
    };
    struct Case { bool Column; int Border, To1, To2; } cases[] = {
        {true, w0, w0 + 60, w0 + 110}, {false, h0, h0 + 50, h0 + 90}};
    for (const Case& k : cases) {
        auto at = [&](int Pos) { return k.Column ? TPoint(Pos, 30) : TPoint(30, Pos); };
        AdvanceInputClock(1000);
        MouseMove(Grid, at(k.Border + 30).X, at(k.Border + 30).Y);
        MouseMove(Grid, at(k.Border).X, at(k.Border).Y);
        MouseDown(Grid, at(k.Border).X, at(k.Border).Y);
        MouseMove(Grid, at(k.To1).X, at(k.To1).Y, ssLeft);
        EXPECT_GT(marked(k.Column, k.To1), 10);
        if (k.Column)
            SaveScreenshot(Form, "grid_fixed_column_sizing_line.png");
        MouseMove(Grid, at(k.To2).X, at(k.To2).Y, ssLeft);
        EXPECT_GT(marked(k.Column, k.To2), 10);
        EXPECT_EQ(marked(k.Column, k.To1), 0);
        MouseUp(Grid, at(k.To2).X, at(k.To2).Y);
        EXPECT_EQ(k.Column ? Grid->ColWidths(0) : Grid->RowHeights(0), k.To2);
        Grid->SetColWidths(0, w0);
        Grid->SetRowHeights(0, h0);
    }
}

// With SizeWithForm the grid grows and shrinks with its form and its stretch column fills it again.
TEST_F(KeysMouse, SizeWithFormFollowsTheFormAndStretchesTheColumnAgain)
{
    int resized = 0;
    Form->OnResize = [&](TObject*) { ++resized; };
    auto* g = Place<TProStringGrid>(10, 260, 300, 150);
    g->SetColCount(3);
    g->SetSizeWithForm(true);
    g->ColumnSize()->SetStretch(true);
    struct Case { int FormWidth, FormHeight, GridWidth, GridHeight; } cases[] = {
        {700, 560, 400, 210}, {550, 500, 250, 150}, {100, 500, 250, 150}};
    for (const Case& k : cases) {
        MoveWindowByUser(Form, Form->Left(), Form->Top(), k.FormWidth, k.FormHeight);
        ProcessPendingMessages();
        EXPECT_EQ(g->Width(), k.GridWidth) << k.FormWidth;
        EXPECT_EQ(g->Height(), k.GridHeight) << k.FormWidth;
        EXPECT_EQ(g->ColWidths(0) + g->ColWidths(1) + g->ColWidths(2) + 1, g->ClientWidth()) << k.FormWidth;
    }
    EXPECT_GE(resized, 2);   // the form's own handler still runs
    delete g;
    Form->OnResize = nullptr;
}

TEST_F(KeysMouse, CtrlClicksBuildADisjunctCellSelection)
{
    Grid->MouseActions()->SetDisjunctCellSelect(true);
    ClickCell(1, 1);
    ClickCell(2, 2, ssCtrl);
    ClickCell(3, 3, ssCtrl);
    EXPECT_EQ(Grid->SelectedCells(), (std::vector<TPoint>{{1, 1}, {2, 2}, {3, 3}}));
    ClickCell(2, 2, ssCtrl);   // a second Ctrl+click takes it out
    EXPECT_EQ(Grid->SelectedCells(), (std::vector<TPoint>{{1, 1}, {3, 3}}));
    ClickCell(1, 2);            // a plain click starts again
    EXPECT_EQ(Grid->SelectedCells(), (std::vector<TPoint>{{1, 2}}));
}

TEST_F(KeysMouse, AnchorClicksFireTheEventAndOpenOnlyWebAddresses)
{
    Grid->SetColWidths(1, 200);
    std::vector<std::string> opened;
    TShellOpenHook old = SetShellOpenHook([&](const AnsiString& Target) { opened.push_back(Target); return true; });
    const struct { const char* Anchor; bool AutoHandle; std::vector<std::string> Opened; TPoint Cell; } cases[] = {
        {"https://sklep.pkn.pl/x", false, {}, {1, 1}},
        {"https://sklep.pkn.pl/x", true, {"https://sklep.pkn.pl/x"}, {1, 1}},
        {"file:///etc/passwd", true, {}, {1, 1}},
        {"rm -rf /", true, {}, {1, 1}},
        {"CELL://R3C2", true, {}, {2, 3}},
        {"cell://R99C2", true, {}, {1, 1}},   // out of range: ignored
    };
    for (const auto& c : cases) {
        opened.clear();
        Grid->FocusCell(1, 1, true);
        Grid->SetCells(1, 1, AnsiString("<A href=\"") + c.Anchor + "\">link link link</A>");
        std::string fired;
        Grid->OnAnchorClick = [&](TObject*, int, int, const AnsiString& Anchor, bool& AutoHandle) {
            fired = Anchor;
            AutoHandle = c.AutoHandle;
        };
        AdvanceInputClock(1000);
        const TRect r = Grid->CellRect(1, 1);
        Click(Grid, r.Left + 12, (r.Top + r.Bottom) / 2);
        EXPECT_EQ(fired, c.Anchor);
        EXPECT_EQ(opened, c.Opened) << c.Anchor;
        EXPECT_EQ(Current(), c.Cell) << c.Anchor;
    }
    SetShellOpenHook(old);
}

TEST_F(KeysMouse, PasswordAndComboControlsAreEditedAndWrittenBack)
{
    Grid->SetColWidths(1, 200);
    Grid->SetRowHeights(1, 30);
    Grid->SetCells(1, 1, "<CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"\" WIDTH=\"120\">");
    std::vector<std::string> done;
    Grid->OnControlEditDone = [&](TObject*, int, int, const AnsiString& ID, const AnsiString& Type,
                                  const AnsiString& Value) { done.push_back(ID + "|" + Type + "|" + Value); };
    ClickCell(1, 1);
    ASSERT_EQ(Grid->FormControlType(), "PASSWORD");
    TControlEdit* edit = Grid->ControlEdit();
    ASSERT_TRUE(edit->Visible());
    EXPECT_EQ(edit->PasswordChar(), '*');
    TypeText(edit, "a&b\"<ł");
    SaveScreenshot(Form, "grid_password_control.png");
    Grid->SetFocus();   // leaving the box writes it back
    EXPECT_FALSE(edit->Visible());
    EXPECT_EQ(ControlValue(1, 1), "a&b\"<ł");
    EXPECT_EQ(Grid->Cells(1, 1).find("<ł"), AnsiString::npos);   // escaped in the text
    EXPECT_EQ(done, std::vector<std::string>{"p|PASSWORD|a&b\"<ł"});

    // A combo whose list handler forbids typing offers only its items.
    Grid->SetCells(1, 1, "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"Alfa\" WIDTH=\"120\">");
    Grid->OnControlComboList = [](TObject*, int, int, const AnsiString&, const AnsiString&, TStrings* List,
                                  const AnsiString&, bool& Edit, int& DropCount) {
        List->Add("Alfa");
        List->Add("Beta & Co");
        Edit = false;
        DropCount = 4;
    };
    ClickCell(1, 1);
    ASSERT_EQ(Grid->FormControlType(), "COMBO");
    TControlCombo* combo = Grid->ControlCombo();
    EXPECT_EQ(combo->Style(), csDropDownList);
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->SetItemIndex(1);
    Grid->SetFocus();
    EXPECT_EQ(ControlValue(1, 1), "Beta & Co");
    EXPECT_EQ(done.back(), "k|COMBO|Beta & Co");
}

TEST_F(KeysMouse, ClickOnCheckAndRadioControlsChangesTheText)
{
    Grid->SetColWidths(1, 300);
    Grid->SetRowHeights(1, 30);
    std::string clicked;
    Grid->OnControlClick = [&](TObject*, int, int, const AnsiString& ID, const AnsiString& Type,
                               const AnsiString& Value) { clicked = ID + "|" + Type + "|" + Value; };
    const TRect r = Grid->CellRect(1, 1);
    for (const char* before : {"FALSE", "true"}) {   // only "TRUE" is ticked
        Grid->SetCells(1, 1, AnsiString("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"") + before + "\" WIDTH=\"20\">");
        AdvanceInputClock(1000);
        Click(Grid, r.Left + 10, (r.Top + r.Bottom) / 2);
        EXPECT_EQ(clicked, "c|CHECK|TRUE") << before;
        EXPECT_NE(Grid->Cells(1, 1).find("VALUE=\"TRUE\""), AnsiString::npos);
    }
}

// A form-control button of a cell is drawn pressed while the mouse button is held on it.
TEST_F(KeysMouse, AButtonControlIsDrawnDownWhileHeld)
{
    Grid->SetColWidths(1, 200);
    Grid->SetCells(1, 1, "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Ok\" WIDTH=\"80\">");
    const TPoint at(Grid->CellRect(1, 1).Left + 20, CellMiddle(1, 1).Y);
    const std::unique_ptr<TBitmap> up = GrabControl(Grid);
    auto changed = [&] { return GrabControl(Grid)->Canvas()->Pixels(at.X, at.Y) != up->Canvas()->Pixels(at.X, at.Y); };
    AdvanceInputClock(1000);
    MouseDown(Grid, at.X, at.Y);
    EXPECT_TRUE(changed());
    MouseUp(Grid, at.X, at.Y);
    EXPECT_FALSE(changed());
}

TEST_F(KeysMouse, ClipboardKeysOnlyWithClipboardShortCuts)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Clipboard()->SetAsText("kept");
    Grid->FocusCell(1, 1, true);
    TypeKey(Grid, 'C', ssCtrl);
    EXPECT_EQ(Clipboard()->AsText(), "kept");
    EXPECT_FALSE(EditorShown());   // Ctrl+C typed nothing

    Grid->Navigation()->SetAllowClipboardShortCuts(true);
    std::vector<std::string> events;
    Grid->OnClipboardCopy = [&](TObject*, bool&) { events.push_back("copy"); };
    Grid->OnClipboardPaste = [&](TObject*, bool&) { events.push_back("paste"); };
    Grid->OnClipboardCut = [&](TObject*, bool& Allow) { events.push_back("cut"); Allow = false; };
    const struct { Word Key; TShiftState Shift; TPoint Cell; } steps[] = {
        {'C', ssCtrl, {1, 1}},     {'V', ssCtrl, {2, 2}},          {VK_INSERT, ssCtrl, {3, 1}},
        {VK_INSERT, ssShift, {3, 3}}, {'X', ssCtrl, {1, 1}}, {VK_DELETE, ssShift, {1, 1}}};
    for (const auto& s : steps) {
        Grid->FocusCell(s.Cell.X, s.Cell.Y, true);
        TypeKey(Grid, s.Key, s.Shift);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"copy", "paste", "copy", "paste", "cut", "cut"}));
    EXPECT_EQ(Grid->Cells(2, 2), "c1r1");
    EXPECT_EQ(Grid->Cells(3, 3), "c3r1");
    EXPECT_EQ(Grid->Cells(1, 1), "c1r1");   // the cut was refused
    EXPECT_FALSE(EditorShown());
}

TEST_F(KeysMouse, SelectionResizerFillsTheNewSelection)
{
    Grid->SetSelectionRectangle(true);
    Grid->SetSelectionResizer(true);
    Grid->Navigation()->SetAllowSmartClipboard(true);
    Grid->SetCells(1, 1, "7");
    Grid->FocusCell(1, 1, true);
    std::vector<std::string> events;
    auto note = [&](const char* What, const TGridRect& From, const TGridRect& To) {
        events.push_back(std::string(What) + " " + std::to_string(From.Right) + "," + std::to_string(From.Bottom) +
                         " " + std::to_string(To.Right) + "," + std::to_string(To.Bottom));
    };
    Grid->OnSelectionResize = [&](TObject*, const TGridRect& F, const TGridRect& T) { note("resize", F, T); };
    Grid->OnSelectionResized = [&](TObject*, const TGridRect& F, const TGridRect& T) { note("resized", F, T); };
    const TRect r = Grid->CellRect(1, 1);
    const TPoint to = CellMiddle(1, 3);
    MouseMove(Grid, r.Right - 2, r.Bottom - 2);
    EXPECT_EQ(Grid->MouseHoverState(), 5);
    Drag(Grid, TPoint(r.Right - 2, r.Bottom - 2), to);
    EXPECT_EQ(events, (std::vector<std::string>{"resize 1,1 1,3", "resized 1,1 1,3"}));
    EXPECT_EQ(ColumnTexts(*Grid, 1), (std::vector<std::string>{"7", "7", "7"}));
}

TEST_F(KeysMouse, DownAppendsARowAboveTheFloatingFooter)
{
    Grid->Navigation()->SetAppendOnArrowDown(true);
    Grid->FloatingFooter()->SetVisible(true);
    Grid->SetCells(1, 3, "footer");
    int added = -1;
    Grid->OnAutoAddRow = [&](TObject*, int ARow) { added = ARow; };
    Grid->FocusCell(1, 2, true);
    TypeKey(Grid, VK_DOWN);
    EXPECT_EQ(Grid->RowCount(), 5);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(added, 3);
    EXPECT_EQ(Grid->Cells(1, 3), "");
    EXPECT_EQ(Grid->Cells(2, 2), "c2r2");
}

TEST_F(KeysMouse, ColumnMoveMayBeRefusedAtItsStart)
{
    Grid->SetOptions(Grid->Options() | goColMoving);
    for (bool allow : {false, true}) {
        Grid->OnColumnMove = [allow](TObject*, int, bool& Allow) { Allow = allow; };
        AdvanceInputClock(1000);
        Drag(Grid, CellMiddle(1, 0), CellMiddle(3, 0));
        EXPECT_EQ(Grid->Cells(1, 0), allow ? "c2r0" : "c1r0") << allow;
        EXPECT_EQ(Grid->GridState(), gsNormal);
    }
}

// A range selection dragged past the grid's edge scrolls it a column (row) a tick and takes the
// selection along until the button is released; NoAutoRangeScroll turns that off.
TEST_F(KeysMouse, ARangeSelectionDraggedPastTheEdgeScrollsTheGridUnlessSwitchedOff)
{
    Grid->SetColCount(20);
    Grid->SetRowCount(40);
    Grid->SetOptions(Grid->Options() | goRangeSelect);
    // NoAutoRangeScroll, past the right (else the bottom) edge: top-left cell and selection after three ticks.
    const struct { bool Off, Right; TPoint TopLeft; TGridRect Sel; } cases[] = {
        {false, true, {4, 1}, {2, 2, 8, 2}}, {false, false, {1, 4}, {2, 2, 2, 12}}, {true, true, {1, 1}, {2, 2, 2, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Off) + std::to_string(c.Right));
        Grid->MouseActions()->SetNoAutoRangeScroll(c.Off);
        Grid->SetLeftCol(1);
        Grid->SetTopRow(1);
        const TPoint p = CellMiddle(2, 2);
        MouseDown(Grid, p.X, p.Y);
        MouseMove(Grid, c.Right ? Grid->ClientWidth() + 30 : p.X, c.Right ? p.Y : Grid->ClientHeight() + 30, ssLeft);
        for (int i = 0; i < 3; ++i) FireTimer(Grid, TCustomGrid::RangeScrollTimer);
        EXPECT_EQ(TPoint(Grid->LeftCol(), Grid->TopRow()), c.TopLeft);
        EXPECT_EQ(Grid->Selection(), c.Sel);
        MouseUp(Grid, p.X, p.Y);
        EXPECT_FALSE(TimerActive(Grid, TCustomGrid::RangeScrollTimer));
        AdvanceInputClock(1000);
    }
}

TEST_F(KeysMouse, AMovedColumnsPictureFollowsThePointerUntilTheRelease)
{
    Grid->SetOptions(Grid->Options() | goColMoving);
    auto pictures = [&] {
        int n = 0;
        for (int i = 0; i < Grid->ComponentCount(); ++i)
            if (auto* f = dynamic_cast<TForm*>(Grid->Components(i)); f && f->Visible())
                ++n;
        return n;
    };
    const TPoint from = CellMiddle(1, 0), to = CellMiddle(3, 0);
    AdvanceInputClock(1000);
    MouseDown(Grid, from.X, from.Y);
    MouseMove(Grid, from.X + 10, from.Y, ssLeft);
    MouseMove(Grid, to.X, to.Y, ssLeft);
    EXPECT_EQ(pictures(), 1);
    MouseUp(Grid, to.X, to.Y);
    EXPECT_EQ(pictures(), 0);
    EXPECT_EQ(Grid->Cells(1, 0), "c2r0");
}

TEST_F(KeysMouse, MovingOntoAndOffAnAnchorFiresEnterAndExit)
{
    Grid->SetColWidths(1, 200);
    Grid->SetCells(1, 1, "<A href=\"https://sklep.pkn.pl\">sklep sklep</A>");
    std::vector<std::string> log;
    Grid->OnAnchorEnter = [&](TObject*, int, int, const AnsiString& A) { log.push_back("enter " + A); };
    Grid->OnAnchorExit = [&](TObject*, int, int, const AnsiString& A) { log.push_back("exit " + A); };
    const TRect r = Grid->CellRect(1, 1);
    const int y = (r.Top + r.Bottom) / 2;
    MouseMove(Grid, r.Left + 12, y);
    MouseMove(Grid, r.Left + 14, y);
    MouseMove(Grid, r.Right - 4, y);
    EXPECT_EQ(log, (std::vector<std::string>{"enter https://sklep.pkn.pl", "exit https://sklep.pkn.pl"}));
}

TEST_F(KeysMouse, ReturnAndTabWalkTheEditControlsOfACellEachOverItsOwnFrame)
{
    Grid->SetColWidths(1, 300);
    Grid->SetRowHeights(1, 30);
    Grid->SetCells(1, 1,
                   "<CONTROL TYPE=\"EDIT\" ID=\"a\" VALUE=\"jeden\" WIDTH=\"80\"> "
                   "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\" WIDTH=\"20\"> "
                   "<CONTROL TYPE=\"EDIT\" ID=\"b\" VALUE=\"dwa\" WIDTH=\"80\">");
    std::vector<std::string> done;
    Grid->OnControlEditDone = [&](TObject*, int, int, const AnsiString& ID, const AnsiString&,
                                  const AnsiString& Value) { done.push_back(ID + "=" + Value); };
    const TRect cell = Grid->CellRect(1, 1);
    Grid->FocusCell(1, 1, true);
    TypeKey(Grid, VK_RETURN);
    TControlEdit* edit = Grid->ControlEdit();
    ASSERT_TRUE(edit->Visible());
    EXPECT_EQ(edit->Text(), "jeden");
    // The box lies inside its control's frame, not over the whole cell.
    EXPECT_EQ(edit->Width(), 80 - 4);
    EXPECT_GT(edit->Left(), cell.Left);
    const int first = edit->Left();
    TypeText(edit, "X");
    // Tab skips the check box and opens the next edit further right.
    TypeKey(edit, VK_TAB);
    ASSERT_TRUE(edit->Visible());
    EXPECT_EQ(edit->Text(), "dwa");
    EXPECT_GT(edit->Left(), first + 80);
    // Tab in the last one gives the focus back to the grid.
    TypeKey(edit, VK_TAB);
    EXPECT_FALSE(edit->Visible());
    EXPECT_TRUE(Grid->Focused());
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[1], "b=dwa");
    EXPECT_NE(ControlValue(1, 1), "jeden") << "the first control took the typed text";
}

// An edit control of a cell with a check box opens right of the box; ending the grid's edit
// closes an open control and writes it back; the form combo takes the grid's flat look.
TEST_F(KeysMouse, CellFormControlsOpenBesideACheckBoxAndCloseWithTheEdit)
{
    Grid->SetColWidths(1, 200);
    Grid->SetRowHeights(1, 30);
    const TRect cell = Grid->CellRect(1, 1);
    struct Case { const char* Type; bool CheckBox; TGridLook Look; } cases[] = {
        {"EDIT", true, glXP}, {"EDIT", false, glXP}, {"COMBO", false, glXP}, {"COMBO", false, glClassic}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.Type) + (k.CheckBox ? " beside a check box" : "") + " look " +
                     std::to_string(k.Look));
        Grid->SetLook(k.Look);
        Grid->RemoveCellGraphic(1, 1);
        if (k.CheckBox)
            Grid->CreateCellGraphic(1, 1)->CellType = ctCheckBox;
        Grid->SetCells(1, 1, AnsiString("<CONTROL TYPE=\"") + k.Type + "\" ID=\"a\" VALUE=\"x\" WIDTH=\"80\">");
        Grid->FocusCell(1, 1, true);
        Grid->SetFocus();
        TypeKey(Grid, VK_RETURN);
        TWinControl* box = std::string(k.Type) == "EDIT" ? static_cast<TWinControl*>(Grid->ControlEdit())
                                                         : static_cast<TWinControl*>(Grid->ControlCombo());
        ASSERT_TRUE(box->Visible());
        if (k.CheckBox) {
            EXPECT_GE(box->Left(), cell.Left + Grid->ControlLook()->CheckSize());
        }
        if (auto* combo = dynamic_cast<TPSGCustomCombo*>(box)) {
            EXPECT_EQ(combo->Flat(), k.Look == glXP);
        }
        box->SetText("y");
        Grid->EndCellEdit();
        EXPECT_FALSE(box->Visible());
        EXPECT_EQ(ControlValue(1, 1), "y");
    }
}

TEST_F(KeysMouse, ARightClickEditsALinkWithURLEdit)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->SetURLShow(true);
    Grid->SetCells(2, 2, "https://sklep.pkn.pl");
    Grid->FocusCell(1, 1, true);
    const TPoint p = CellMiddle(2, 2);
    Click(Grid, p.X, p.Y, mbRight);
    EXPECT_FALSE(EditorShown()) << "without URLEdit";
    Grid->SetURLEdit(true);
    AdvanceInputClock(1000);
    Click(Grid, p.X, p.Y, mbRight);
    EXPECT_EQ(Current(), TPoint(2, 2));
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "https://sklep.pkn.pl");
}

// Tab out of the default editor passes the cells that may not be edited, as Tab on the grid does;
// at the end of the grid with TabToNextAtEnd the focus goes on to the next control of the form.
TEST_F(KeysMouse, TabFromTheEditorPassesReadOnlyCellsAndLeavesTheGridAtItsEnd)
{
    Grid->SetOptions(Grid->Options() | goEditing | goTabs);
    Grid->CellProperties(2, 1)->SetReadOnly(true);
    Grid->FocusCell(1, 1, true);
    TypeInCell("q");
    TypeKey(Editor(), VK_TAB);
    EXPECT_EQ(Current(), TPoint(3, 1));
    EXPECT_EQ(Grid->Cells(1, 1), "q");
    TEdit* next = Place<TEdit>(420, 10, 100, 22);
    Grid->Navigation()->SetTabToNextAtEnd(true);
    Grid->FocusCell(3, 3, true);
    TypeKey(Grid, VK_TAB);
    ProcessPendingMessages();
    EXPECT_EQ(Current(), TPoint(1, 1));
    EXPECT_TRUE(next->Focused());
}

// A typed letter starts an edit with it; Backspace starts it with the cell's text gone, as a typed
// character replaces it.
TEST_F(KeysMouse, TypingALetterOrBackspaceStartsAnEditOverTheText)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    for (const bool back : {false, true}) {
        const int at = back ? 1 : 2;   // cell (at, at)
        Grid->FocusCell(at, at, true);
        back ? TypeKey(Grid, VK_BACK) : TypeText(Grid, "x");
        ProcessPendingMessages();
        ASSERT_TRUE(EditorShown());
        EXPECT_EQ(Editor()->Text(), back ? "" : "x");
        TypeText(Editor(), "b");
        TypeKey(Editor(), VK_RETURN);
        EXPECT_EQ(Grid->Cells(at, at), back ? "b" : "xb");
    }
}

// In row-select mode Ctrl+Right and Ctrl+Left scroll one column, with LeftRightRowSelect as without.
TEST_F(KeysMouse, CtrlArrowsScrollARowSelectionOneColumn)
{
    Grid->SetColCount(15);
    Grid->SetOptions(Grid->Options() | goRowSelect);
    Grid->FocusCell(1, 2, true);
    for (bool leftRight : {false, true}) {
        Grid->Navigation()->SetLeftRightRowSelect(leftRight);
        Grid->SetLeftCol(1);
        TypeKey(Grid, VK_RIGHT, ssCtrl);
        EXPECT_EQ(Grid->LeftCol(), 2) << leftRight;
        TypeKey(Grid, VK_LEFT, ssCtrl);
        EXPECT_EQ(Grid->LeftCol(), 1) << leftRight;
    }
}

// The pointer over a link cell shows the hand; over a header that selects its column the grid's
// own cursor; elsewhere the cursor the grid had.
TEST_F(KeysMouse, ALinkCellShowsTheHandAndTheDataCellsTheGridsCursor)
{
    Grid->SetURLShow(true);
    Grid->SetCells(2, 2, "https://sklep.pkn.pl");
    Grid->MouseActions()->SetColSelect(true);
    const struct {
        TPoint Cell; TCursor Cursor;
    } steps[] = {{{2, 2}, crHandPoint}, {{3, 3}, crDefault}, {{2, 0}, TCursor(8011)}, {{3, 3}, crDefault}, {{2, 2}, crHandPoint}};
    for (const auto& s : steps) {
        const TPoint p = CellMiddle(s.Cell.X, s.Cell.Y);
        MouseMove(Grid, p.X, p.Y);
        MouseMove(Grid, p.X + 1, p.Y);   // the cursor a move chose shows from the next
        EXPECT_EQ(Grid->Cursor(), s.Cursor) << s.Cell.X << "," << s.Cell.Y;
    }
    MouseLeave(Grid);
    EXPECT_EQ(Grid->Cursor(), crDefault);
}

// A press on a border asks OnColumnSize (OnRowSize) once, the end of a sizing is told once (by a
// drag of a fixed column's border or a double click that sizes a column to its texts), and a row
// border pressed at the left edge of the fixed column sizes that row: with AllRowSize the others
// follow it.
TEST_F(KeysMouse, ABorderPressAsksOnceTheEndIsToldOnceAndARowBorderIsFoundAtTheLeftEdge)
{
    Grid->SetOptions(Grid->Options() | goColSizing | goRowSizing);
    Grid->MouseActions()->SetAllRowSize(true);
    Grid->MouseActions()->SetSizeFixedCol(true);
    std::vector<std::string> told;
    Grid->OnColumnSize = [&](TObject*, int ACol, bool&) { told.push_back("col " + std::to_string(ACol)); };
    Grid->OnRowSize = [&](TObject*, int ARow, bool&) { told.push_back("row " + std::to_string(ARow)); };
    Grid->OnEndColumnSize = [&](TObject*, int ACol) { told.push_back("end " + std::to_string(ACol)); };
    Grid->OnUpdateColumnSize = [&](TObject*, int ACol, int&) { told.push_back("update " + std::to_string(ACol)); };
    const TRect c = Grid->CellRect(2, 0), r = Grid->CellRect(0, 2);
    const int h1 = Grid->RowHeights(1), h2 = Grid->RowHeights(2), w0 = Grid->ColWidths(0);
    AdvanceInputClock(1000);
    Drag(Grid, TPoint(c.Right, c.Top + 5), TPoint(c.Right + 10, c.Top + 5));
    Drag(Grid, TPoint(2, r.Bottom), TPoint(2, r.Bottom + h2));
    EXPECT_EQ(told, (std::vector<std::string>{"col 2", "end 2", "update 2", "row 2"}));
    EXPECT_EQ(Grid->RowHeights(2), 2 * h2);
    EXPECT_EQ(Grid->RowHeights(1), 2 * h1);
    told.clear();
    MouseMove(Grid, w0 + 1, 10);
    Drag(Grid, TPoint(w0 + 1, 10), TPoint(w0 + 11, 10));
    const TRect d = Grid->CellRect(2, 0);
    AdvanceInputClock(1000);
    MouseMove(Grid, d.Right - 1, d.Top + 5);
    DoubleClick(Grid, d.Right - 1, d.Top + 5);
    EXPECT_EQ(told, (std::vector<std::string>{"end 0", "update 0", "col 2", "col 2", "update 2", "end 2"}));
}

// A radio item is picked where it is painted: in rows of the text height with the small classic
// glyph, and where the user saw it when the press scrolls its cell into view; a group that keeps its
// index takes the index and leaves the cell's text alone.
TEST_F(KeysMouse, RadioItemsArePickedWhereTheyArePainted)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->SetRowHeights(2, 80);
    const struct {
        TGridControlStyle Style;
        bool Horizontal;
        int Width;
        int Item;      // clicked: the middle of its glyph, or of its line
        int Index;     // -1: the group follows the cell's text
        const char* Text;
    } cases[] = {
        {csClassic, false, 100, 3, -1, "D"},
        {csWinXP, true, 380, 0, -1, "Alpha"},
        {csWinXP, false, 100, 1, 0, "keep"},
    };
    for (const auto& k : cases) {
        Grid->SetLeftCol(1);
        Grid->ControlLook()->SetControlStyle(k.Style);
        Grid->SetColWidths(2, k.Width);
        TCellGraphic* g = AddGraphic(Grid, 2, 2, ctRadio);
        auto* items = new TStringList;
        items->SetText("Alpha\r\nBravoBravo\r\nCharlieX\r\nD");
        g->CellObject = items;
        g->CellCreated = true;
        g->CellBoolean = k.Horizontal;
        g->CellIndex = k.Index;
        Grid->SetCells(2, 2, "keep");
        const TRect r = Grid->CellRect(2, 2);
        TBitmap text;
        text.Canvas()->Font()->Assign(Grid->Font());
        const int glyph = k.Style == csClassic ? Grid->ControlLook()->RadioSize() : 16;
        const int line = std::max(text.Canvas()->TextHeight("gh"), glyph);
        AdvanceInputClock(1000);
        if (k.Horizontal)
            Click(Grid, r.Left + 3 + glyph / 2, (r.Top + r.Bottom) / 2);
        else
            Click(Grid, r.Left + 3 + glyph / 2, r.Top + 2 + k.Item * line + line / 2);
        EXPECT_EQ(Grid->Cells(2, 2), k.Text) << k.Style << k.Horizontal;
        int index = -2;
        Grid->GetRadioIndex(2, 2, index);
        EXPECT_EQ(index, k.Index < 0 ? -1 : k.Item) << k.Style << k.Horizontal;
        Grid->RemoveCellGraphicOfType(2, 2, ctRadio);
    }
}

}  // namespace
