// In-place editing driven as the user drives it: keys typed on the grid and
// in its editor, the events the grid fires and what ends up in the cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/editing/GridEditors.h"
#include "grid/editing/InplaceEdit.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Sound.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

struct Editing : TGridFormTest<TProStringGrid> {
    std::vector<std::string> Log;
    TProGridUndoRedo* Undo = nullptr;

    void SetUp() override
    {
        TGridFormTest<TProStringGrid>::SetUp();
        Grid->SetColCount(5);
        Grid->SetRowCount(5);
        Grid->SetOptions(Grid->Options() | goEditing);
        NameCells(*Grid, 1);
        Undo = new TProGridUndoRedo(Form);
        Grid->SetUndoRedo(Undo);
        Grid->SetFocus();
        Grid->OnCellValidate = [this](TObject*, int c, int r, AnsiString& v, bool&) { Note("validate", c, r, v); };
        Grid->OnCellsChanged = [this](TObject*, const TRect& R) { Note("changed", R.Left, R.Top); };
        Grid->OnEditingDone = [this](TObject*) { Log.push_back("editingdone"); };
        Grid->OnEditCellDone = [this](TObject*, int c, int r) { Note("editcelldone", c, r); };
    }
    void Note(const std::string& What, int C, int R, const AnsiString& V = AnsiString())
    {
        Log.push_back(What + "(" + std::to_string(C) + "," + std::to_string(R) + (V.empty() ? "" : "," + V) + ")");
    }
    // Key K in the open editor, its messages handled.
    void Press(Word K)
    {
        TypeKey(Editor(), K);
        ProcessPendingMessages();
    }
    void Enter() { Press(VK_RETURN); }
    void EditAt(int ACol, int ARow)
    {
        Grid->FocusCell(ACol, ARow, true);
        Grid->BeginCellEdit();
    }
    void FocusAt(int ACol, int ARow)
    {
        Grid->FocusCell(ACol, ARow, true);
        Grid->SetFocus();
    }
};

TEST_F(Editing, TypingStartsAnEditAndEnterStoresIt)
{
    Grid->FocusCell(2, 1, true);
    TypeInCell("ab");
    EXPECT_EQ(Editor()->Text(), "ab");
    Enter();
    EXPECT_EQ(Grid->Cells(2, 1), "ab");
    EXPECT_FALSE(EditorShown());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_TRUE(Grid->GetRowModified(1));
    EXPECT_TRUE(Grid->GridModified());
    ASSERT_EQ(Undo->List()->Count(), 1);
    EXPECT_EQ(Undo->List()->Item(0)->OrigValue, "c2r1");
    EXPECT_EQ(Undo->List()->Item(0)->Value, "ab");
    // Each event once, in the documented order, with the edited cell.
    EXPECT_EQ(Log, (std::vector<std::string>{"validate(2,1,ab)", "changed(2,1)", "editingdone", "editcelldone(2,1)"}));

    // The next edit opens again on a further key.
    Log.clear();
    TypeInCell("z");
    Enter();
    EXPECT_EQ(Grid->Cells(2, 1), "z");
    EXPECT_EQ(Undo->List()->Count(), 2);
}

TEST_F(Editing, EscapeRestoresTheCellAndRecordsNothing)
{
    Grid->FocusCell(3, 2, true);
    TypeInCell("xyz");
    // The cell follows the editor while the user types.
    EXPECT_EQ(Grid->Cells(3, 2), "xyz");
    Press(VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(3, 2), "c3r2");
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Undo->List()->Count(), 0);
    EXPECT_FALSE(Grid->GetRowModified(2));
    for (const std::string& entry : Log)
        EXPECT_EQ(entry.find("validate"), std::string::npos) << entry;
}

TEST_F(Editing, UnchangedTextIsConcludedWithoutValidationUndoOrMarks)
{
    EditAt(1, 3);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "c1r3");
    Enter();
    EXPECT_EQ(Grid->Cells(1, 3), "c1r3");
    EXPECT_EQ(Undo->List()->Count(), 0);
    EXPECT_FALSE(Grid->GetRowModified(3));
    EXPECT_FALSE(Grid->GridModified());
    EXPECT_EQ(Log, (std::vector<std::string>{"editingdone", "editcelldone(1,3)"}));
    // Only the edit cell is remembered again.
    EXPECT_EQ(Grid->EditCell(), TPoint(1, 3));
}

TEST_F(Editing, ValidationChangesTheStoredValueAndTheMarks)
{
    struct Case {
        const char* Name;
        AnsiString Typed;
        AnsiString HandlerValue;   // "" leaves the value as typed
        AnsiString Stored;
        bool Modified;
        int CellsChanged;
    };
    const Case cases[] = {
        {"upper-cased by the handler", "abc", "ABC", "ABC", true, 1},
        // The handler gives the old text back: no modified mark, but the typed text differed.
        {"handler restores the old text", "abc", "c2r2", "c2r2", false, 1},
        {"accepted as typed", "q", "", "q", true, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        Grid->SetCells(2, 2, "c2r2");
        Grid->ClearRowModified();
        int changed = 0;
        Grid->OnCellsChanged = [&](TObject*, const TRect&) { ++changed; };
        Grid->OnCellValidate = [&](TObject*, int, int, AnsiString& v, bool&) {
            // The advance is off while the handler runs.
            EXPECT_FALSE(Grid->Navigation()->AdvanceOnEnter());
            if (!k.HandlerValue.empty())
                v = k.HandlerValue;
        };
        Grid->Navigation()->SetAdvanceOnEnter(false);
        Grid->FocusCell(2, 2, true);
        TypeInCell(k.Typed);
        Enter();
        EXPECT_EQ(Grid->Cells(2, 2), k.Stored);
        EXPECT_EQ(Grid->GetRowModified(2), k.Modified);
        EXPECT_EQ(changed, k.CellsChanged);
        EXPECT_FALSE(EditorShown());
    }
}

TEST_F(Editing, RefusedValueRestoresTheCellAndReopensTheEditor)
{
    // Modified: the grid's modified flag after the refusal
    const struct Case { const char* Name; AnsiString HandlerValue; AnsiString Expected; bool Modified; } cases[] = {
        {"value left as typed: the old text comes back", "", "c3r3", false},
        {"handler's own value is written", "fixed", "fixed", true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        const int undoCount = Undo->List()->Count();
        Grid->SetCells(3, 3, "c3r3");
        Grid->SetGridModified(false);
        Grid->OnCellValidate = [&](TObject*, int, int, AnsiString& v, bool& valid) {
            valid = false;
            if (!k.HandlerValue.empty())
                v = k.HandlerValue;
        };
        Grid->FocusCell(3, 3, true);
        TypeInCell("bad");
        Enter();
        EXPECT_EQ(Grid->Cells(3, 3), k.Expected);
        EXPECT_EQ(Grid->GridModified(), k.Modified);
        EXPECT_TRUE(EditorShown());
        EXPECT_EQ(Editor()->Text(), k.Expected);
        EXPECT_EQ(Current(), TPoint(3, 3));
        EXPECT_TRUE(Grid->EditingActive());
        EXPECT_EQ(Undo->List()->Count(), undoCount);
        // Accepted the second time.
        Grid->OnCellValidate = nullptr;
        Editor()->SelectAll();
        TypeText(Editor(), "ok");
        Enter();
        EXPECT_EQ(Grid->Cells(3, 3), "ok");
        EXPECT_FALSE(EditorShown());
    }
}

// After a refused value Escape gives the old text back, and the user may leave the cell again.
TEST_F(Editing, EscapeAfterARefusalLeavesTheUserFreeToMove)
{
    Grid->OnCellValidate = [](TObject*, int, int, AnsiString&, bool& valid) { valid = false; };
    struct Case { bool ByClick; int Col, Row; } cases[] = {{true, 1, 2}, {false, 3, 4}};
    for (const Case& k : cases) {
        FocusAt(3, 3);
        TypeInCell("bad");
        Enter();
        ASSERT_TRUE(EditorShown());
        Press(VK_ESCAPE);
        EXPECT_EQ(Grid->Cells(3, 3), "c3r3");
        if (k.ByClick) {
            const TRect r = Grid->CellRect(k.Col, k.Row);
            Click(Grid, r.Left + 5, r.Top + 5);
        } else {
            TypeKey(Grid, VK_DOWN);
        }
        ProcessPendingMessages();
        EXPECT_EQ(Current(), TPoint(k.Col, k.Row)) << (k.ByClick ? "click" : "arrow");
        EXPECT_EQ(Grid->Cells(3, 3), "c3r3");
    }
    // A refusal gives the always-edit setting back the value it had when the edit began.
    Grid->Navigation()->SetAlwaysEdit(true);
    Grid->OnCellValidate = [this](TObject*, int, int, AnsiString&, bool& valid) {
        Grid->Navigation()->SetAlwaysEdit(false);
        valid = false;
    };
    FocusAt(2, 2);
    TypeInCell("bad");
    Enter();
    EXPECT_TRUE(Grid->Navigation()->AlwaysEdit());
}

// A cell's edit mask reaches the editor: typed characters fill its positions, a filled mask
// moves on with AdvanceAuto, and ImproveMaskSel selects the first position.
TEST_F(Editing, EditMasksFillAdvanceAndSelectTheFirstPosition)
{
    Grid->OnGetEditMask = [](TObject*, int ACol, int, AnsiString& Mask) {
        if (ACol == 2)
            Mask = "99-99";
    };
    struct Case { bool AdvanceAuto, ImproveMaskSel; const char* Typed; const char* Stored; TPoint Current; } cases[] = {
        {true, false, "1234", "12-34", {3, 2}},
        {false, false, "1234", nullptr, {2, 2}},
        {true, false, "12", nullptr, {2, 2}},
    };
    for (const Case& k : cases) {
        Grid->Navigation()->SetAdvanceAuto(k.AdvanceAuto);
        Grid->SetCells(2, 2, "");
        FocusAt(2, 2);
        TypeInCell(k.Typed);
        ProcessPendingMessages();
        if (k.Stored) {
            EXPECT_EQ(Grid->Cells(2, 2), k.Stored) << k.Typed;
        } else {
            ASSERT_TRUE(EditorShown());
            EXPECT_EQ(Editor()->EditMask(), "99-99");
            EXPECT_EQ(Editor()->EditText().substr(0, 2), AnsiString(k.Typed).substr(0, 2));
            EXPECT_EQ(Editor()->EditText()[2], '-');
        }
        EXPECT_EQ(Current(), k.Current) << k.Typed;
        Grid->EndCellEdit();
    }
    // The first position selected as the editor takes the focus.
    Grid->Navigation()->SetImproveMaskSel(true);
    Grid->SetCells(2, 3, "56-78");
    FocusAt(2, 3);
    TypeKey(Grid, VK_F2);
    ProcessPendingMessages();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->SelStart(), 0);
    EXPECT_EQ(Editor()->SelLength(), 1);
    Grid->EndCellEdit();
}

// A new colour of the modified-row mark repaints column 0, where the marks are.
TEST_F(Editing, TheModifiedMarksColourRepaintsColumnZero)
{
    struct TColumnGrid : TProStringGrid {
        using TProStringGrid::TProStringGrid;
        std::vector<int> Invalidated;
        void InvalidateCol(int ACol) override
        {
            Invalidated.push_back(ACol);
            TProStringGrid::InvalidateCol(ACol);
        }
    };
    auto* g = Place<TColumnGrid>(0, 260, 300, 100);
    g->ShowModified()->SetEnabled(true);
    g->ShowModified()->SetColor(clRed);
    EXPECT_EQ(g->Invalidated, std::vector<int>{0});
    delete g;
}

// A click makes the clicked cell the edit cell, also where editing is off.
TEST_F(Editing, ClickRemembersTheClickedCell)
{
    Grid->SetOptions(Grid->Options() & ~goEditing);
    ClickCell(3, 2);
    EXPECT_EQ(Grid->EditCell(), TPoint(3, 2));
    EXPECT_EQ(Grid->TextBeforeEdit(), "c3r2");
}

TEST_F(Editing, MovingFiresTheChangingEventsOnceInOrder)
{
    std::vector<std::string> events;
    Grid->OnRowChanging = [&](TObject*, int o, int n, bool&) {
        events.push_back("row " + std::to_string(o) + ">" + std::to_string(n));
    };
    Grid->OnColChanging = [&](TObject*, int o, int n, bool&) {
        events.push_back("col " + std::to_string(o) + ">" + std::to_string(n));
    };
    Grid->OnCellChanging = [&](TObject*, int orow, int ocol, int nrow, int ncol, bool&) {
        events.push_back("cell " + std::to_string(ocol) + "," + std::to_string(orow) + ">" + std::to_string(ncol) +
                         "," + std::to_string(nrow));
    };
    Grid->OnRowUpdate = [&](TObject*, int, int n) { events.push_back("update " + std::to_string(n)); };
    for (bool direct : {false, true}) {   // a click that opens the editor too
        Grid->MouseActions()->SetDirectEdit(direct);
        Grid->FocusCell(1, 1, true);
        events.clear();
        ClickCell(2, 3);
        EXPECT_EQ(events, (std::vector<std::string>{"row 1>3", "col 1>2", "cell 1,1>2,3", "update 3"})) << direct;
        Grid->EndCellEdit();
    }
    Grid->MouseActions()->SetDirectEdit(false);

    // A refusal keeps the current cell.
    events.clear();
    Grid->OnColChanging = [&](TObject*, int, int, bool& allow) { allow = false; };
    ClickCell(4, 3);
    EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(Editing, AdvancingAfterAnEdit)
{
    struct Case {
        const char* Name;
        int FromCol, FromRow;
        bool Insert;
        bool CanAdd;
        TAdvanceDirection Direction;
        int Col, Row, RowCount;
        int AutoAddRow;   // -1: not fired
    };
    const Case cases[] = {
        {"next column", 2, 2, false, true, adLeftRight, 3, 2, 5, -1},
        {"end of a row: next row", 4, 2, false, true, adLeftRight, 1, 3, 5, -1},
        {"last cell wraps to the first data cell", 4, 4, false, true, adLeftRight, 1, 1, 5, -1},
        {"last cell appends a row", 4, 4, true, true, adLeftRight, 1, 5, 6, 5},
        {"append refused: first data column of the same row", 4, 4, true, false, adLeftRight, 1, 4, 5, -1},
        {"top to bottom: next row", 2, 2, false, true, adTopBottom, 2, 3, 5, -1},
        {"top to bottom: last row goes to the next column", 2, 4, false, true, adTopBottom, 3, 1, 5, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        Grid->SetRowCount(5);
        Grid->Navigation()->SetAdvanceOnEnter(true);
        Grid->Navigation()->SetAdvanceInsert(k.Insert);
        Grid->Navigation()->SetAdvanceDirection(k.Direction);
        Grid->OnCanAddRow = [&](TObject*, bool& can) { can = k.CanAdd; };
        int added = -1;
        Grid->OnAutoAddRow = [&](TObject*, int r) { added = r; };
        Grid->FocusCell(k.FromCol, k.FromRow, true);
        Grid->AdvanceToNextCell(k.FromCol, k.FromRow, false, false, true, false, false);
        EXPECT_EQ(Current(), TPoint(k.Col, k.Row));
        EXPECT_EQ(Grid->RowCount(), k.RowCount);
        EXPECT_EQ(added, k.AutoAddRow);
    }
}

TEST_F(Editing, AdvancingSkipsReadOnlyCellsAndEndsWhenNoneIsEditable)
{
    Grid->Navigation()->SetAdvanceOnEnter(true);
    Grid->OnCanEditCell = [](TObject*, int, int c, bool& can) { can = c != 2 && c != 3; };
    Grid->FocusCell(1, 2, true);
    Grid->AdvanceToNextCell(1, 2, false, false, true, false, false);
    EXPECT_EQ(Current(), TPoint(4, 2));

    // Nothing editable: one walk over the grid, then the current cell stays.
    Grid->OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
    Grid->AdvanceToNextCell(4, 2, false, false, true, false, false);
    EXPECT_EQ(Current(), TPoint(4, 2));

    // A big grid of read-only cells does not exhaust the stack.
    Grid->SetRowCount(20000);
    Grid->AdvanceToNextCell(4, 2, true, false, true, false, false);
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(Editing, EnterWithAdvanceOnEnterMovesOnAndEditsTheNextCell)
{
    Grid->Navigation()->SetAdvanceOnEnter(true);
    int advanced = 0;
    Grid->OnAutoAdvance = [&](TObject*, int orow, int ocol, int& nrow, int& ncol, bool&) {
        ++advanced;
        EXPECT_EQ(ocol, 2);
        EXPECT_EQ(orow, 1);
        EXPECT_EQ(ncol, 3);
        EXPECT_EQ(nrow, 1);
    };
    Grid->FocusCell(2, 1, true);
    TypeInCell("v");
    Enter();
    EXPECT_EQ(Grid->Cells(2, 1), "v");
    EXPECT_EQ(advanced, 1);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "c3r1");
}

TEST_F(Editing, TheDefaultEditorFiltersByEditorType)
{
    struct Case { const char* Name; TEditorType Type; char Decimal; AnsiString Typed; AnsiString Expected; int Beeps; };
    const Case cases[] = {
        {"numeric refuses a minus after a digit", edNumeric, ',', "1-", "1", 1},
        {"numeric takes a leading minus", edNumeric, ',', "-12", "-12", 0},
        {"numeric refuses letters", edNumeric, ',', "1a2", "12", 1},
        {"positive numeric refuses the minus", edPositiveNumeric, ',', "-5", "5", 1},
        {"numeric takes Ctrl+A, C, V, X, Z quietly", edNumeric, ',', "1\x01\x03\x16\x18\x1a", "1", 0},
        {"positive numeric takes Ctrl+V quietly", edPositiveNumeric, ',', "1\x16", "1", 0},
        {"float drops a second decimal separator", edFloat, ',', "1,5,2", "1,52", 0},
        {"float takes a point as a character", edFloat, ',', "1.5", "1.5", 0},
        {"float drops the thousand separator", edFloat, '.', "1,5", "15", 0},
        {"float drops letters without a beep", edFloat, ',', "1a", "1", 0},
        {"upper case", edUpperCase, ',', "abż", "ABŻ", 0},
        {"lower case", edLowerCase, ',', "ABŻ", "abż", 0},
        {"mixed case", edMixedCase, ',', "jan kowalski", "Jan Kowalski", 0},
        {"mixed case takes no control character", edMixedCase, ',', "ab\x01", "Ab", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        FormatSettings.DecimalSeparator = k.Decimal;
        FormatSettings.ThousandSeparator = k.Decimal == ',' ? ' ' : ',';
        Grid->SetDefaultEditor(k.Type);
        Grid->SetCells(1, 1, "");
        EditAt(1, 1);
        ASSERT_TRUE(EditorShown());
        const int beeps = MessageBeepCount();
        TypeText(Editor(), k.Typed);
        EXPECT_EQ(Editor()->Text(), k.Expected);
        EXPECT_EQ(MessageBeepCount() - beeps, k.Beeps);
        TypeKey(Editor(), VK_ESCAPE);
    }
    ResetFormatSettings();
}

TEST_F(Editing, LengthLimitAndPasteOfTheFirstLine)
{
    Grid->SetMaxEditLength(5);
    Grid->SetCells(1, 1, "");
    EditAt(1, 1);
    TypeText(Editor(), "abcdef");
    EXPECT_EQ(Editor()->Text(), "abcde");
    // With text selected a character replaces it.
    Editor()->SelectAll();
    TypeText(Editor(), "x");
    EXPECT_EQ(Editor()->Text(), "x");
    TypeKey(Editor(), VK_ESCAPE);

    Grid->SetMaxEditLength(0);
    Clipboard()->SetAsText("one\r\ntwo\r\nthree");
    bool asked = false;
    Grid->OnClipboardPaste = [&](TObject* Sender, bool&) { asked = true; EXPECT_EQ(Sender, Editor()); };
    Grid->SetCells(2, 1, "ab");
    EditAt(2, 1);
    Editor()->SetSelStart(1);
    TypeKey(Editor(), 'V', ssCtrl);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Editor()->Text(), "aoneb");
    Enter();
    EXPECT_EQ(Grid->Cells(2, 1), "aoneb");

    // A numeric cell takes pasted text only when the result is a number.
    Grid->SetDefaultEditor(edNumeric);
    Clipboard()->SetAsText("12x");
    Grid->SetCells(3, 1, "5");
    EditAt(3, 1);
    TypeKey(Editor(), 'V', ssCtrl);
    EXPECT_EQ(Editor()->Text(), "5");
}

// The editor shows a cell without its tags unless EditWithTags; a cell whose shown text the
// user did not change keeps its tags.
TEST_F(Editing, EditTextLeavesTagsOutUnlessEditWithTags)
{
    const struct { bool Tags; const char* Shown; std::vector<Word> Keys; const char* Cell; } cases[] = {
        {false, "x", {VK_ESCAPE}, "<b>x</b>"},
        {false, "x", {VK_RETURN}, "<b>x</b>"},
        {false, "x", {VK_END, 'Y', VK_RETURN}, "xy"},
        {false, "x", {VK_END, 'Y', VK_BACK, VK_RETURN}, "<b>x</b>"},
        {true, "<b>x</b>", {VK_RETURN}, "<b>x</b>"},
        {true, "<b>x</b>", {VK_END, 'Y', VK_RETURN}, "<b>x</b>y"},
    };
    for (const auto& c : cases) {
        Grid->SetCells(1, 2, "<b>x</b>");
        Grid->SetEditWithTags(c.Tags);
        EditAt(1, 2);
        EXPECT_EQ(Editor()->Text(), c.Shown);
        for (Word k : c.Keys)
            if (k == 'Y')
                TypeText(Editor(), "y");
            else
                TypeKey(Editor(), k);
        ProcessPendingMessages();
        EXPECT_EQ(Grid->Cells(1, 2), c.Cell) << c.Tags << " " << c.Keys.size();
    }
}

TEST_F(Editing, TheEditBracketEndsAnOpenEditForBulkChanges)
{
    Grid->FocusCell(2, 2, true);
    TypeInCell("kept");
    Grid->EndCellEdit();
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(Grid->EditingFlag());
    EXPECT_FALSE(Grid->EditingActive());
    EXPECT_EQ(Grid->Cells(2, 2), "kept");
    EXPECT_EQ(Undo->List()->Count(), 1);
    // A cell with a check box never opens an editor.
    Grid->CreateCellGraphic(3, 3)->CellType = ctCheckBox;
    EditAt(3, 3);
    EXPECT_FALSE(EditorShown());
    // edNone shows nothing either.
    Grid->OnGetEditorType = [](TObject*, int c, int, TEditorType& e) { if (c == 4) e = edNone; };
    EditAt(4, 3);
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(Grid->EditorChosen());
    // Rows taken away under an open edit take it along: the next click is no error.
    Grid->OnGetEditorType = nullptr;
    Grid->FocusCell(4, 4, true);
    TypeInCell("x");
    Grid->SetRowCount(3);
    ClickCell(1, 1);
    EXPECT_EQ(Current(), TPoint(1, 1));
    // An editor opened by a call concludes on its own cell, not the one edited before (or none).
    for (TProStringGrid* g : {Grid, Place<TProStringGrid>(410, 0, 150, 150)}) {
        g->SetCells(1, 1, "a");
        g->SetCells(2, 2, "b");
        g->FocusCell(2, 2, true);
        g->ShowInplaceEditor(2, 2);
        EXPECT_NO_THROW(g->EndCellEdit());
        EXPECT_EQ(g->Cells(1, 1) + g->Cells(2, 2), "ab");
    }
}

TEST_F(Editing, EditOnDblClickOnlySwitchesEditingOffAfterAnEdit)
{
    Grid->MouseActions()->SetEditOnDblClickOnly(true);
    Grid->FocusCell(1, 1, true);
    // Moving onto a cell switches editing off; the double click switches it on.
    EXPECT_FALSE(Grid->Options() & goEditing);
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->BeginCellEdit();
    ASSERT_TRUE(EditorShown());
    TypeText(Editor(), "d");
    Enter();
    EXPECT_EQ(Grid->Cells(1, 1), "d");
    EXPECT_FALSE(Grid->Options() & goEditing);
    // A single click does not start editing again.
    TRect cell = Grid->CellRect(2, 1);
    Click(Grid, cell.Left + 3, cell.Top + 3);
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(Grid->Options() & goEditing);
    EXPECT_EQ(Grid->Cells(2, 1), "c2r1");
}

// With EditOnDblClickOnly a double click or a typed character opens the editor of a cell that may
// be edited, and neither opens one on a read-only cell.
TEST_F(Editing, EditOnDblClickOnlyEditsOnADoubleClickOrTyping)
{
    Grid->MouseActions()->SetEditOnDblClickOnly(true);
    Grid->CellProperties(3, 2)->SetReadOnly(true);
    // Stored: after "z" typed and Return, when an editor opened
    struct Case { const char* Name; int Col; bool ByDoubleClick; AnsiString Stored; } cases[] = {
        {"double click", 2, true, "z"},
        {"typing", 2, false, "wz"},
        {"double click on a read-only cell", 3, true, ""},
        {"typing on a read-only cell", 3, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Grid->SetCells(c.Col, 2, "przed");
        const TRect cell = Grid->CellRect(c.Col, 2);
        Click(Grid, cell.Left + 3, cell.Top + 3);
        AdvanceInputClock(1000);
        ASSERT_FALSE(EditorShown());
        if (c.ByDoubleClick) {
            DoubleClick(Grid, cell.Left + 3, cell.Top + 3);
            AdvanceInputClock(1000);
        } else {
            TypeText(Grid, "w");
        }
        EXPECT_EQ(EditorShown(), !c.Stored.empty());
        if (!EditorShown()) {
            EXPECT_EQ(Grid->Cells(c.Col, 2), "przed");
            continue;
        }
        if (c.ByDoubleClick)
            Editor()->SelectAll();
        TypeText(Editor(), "z");
        Enter();
        EXPECT_EQ(Grid->Cells(c.Col, 2), c.Stored);
        EXPECT_FALSE(Grid->Options() & goEditing);
    }
}

TEST_F(Editing, GoToRowSearchFindsTheTypedStartAndExpires)
{
    Grid->SetOptions(Grid->Options() & ~goEditing);
    Grid->Navigation()->SetAutoGotoWhenSorted(true);
    Grid->Navigation()->SetAutoGotoIncremental(true);
    Grid->SetRowCount(6);
    const char* keys[] = {"Beta", "alfa", "<b>Abc</b>", "Abd", "Zeta"};
    for (int r = 1; r <= 5; ++r)
        Grid->SetCells(1, r, keys[r - 1]);
    Grid->FocusCell(2, 5, true);
    TypeText(Grid, "ab");
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->SearchText(), "ab");
    TypeText(Grid, "d");
    EXPECT_EQ(Grid->Row(), 4);
    // A miss clears the search text and leaves the row.
    TypeText(Grid, "q");
    EXPECT_EQ(Grid->Row(), 4);
    EXPECT_EQ(Grid->SearchText(), "");
    // Four ticks of the housekeeping timer without a key forget the search.
    TypeText(Grid, "z");
    EXPECT_EQ(Grid->Row(), 5);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(FireTimer(Grid, 111));
    EXPECT_EQ(Grid->SearchText(), "z");
    FireTimer(Grid, 111);
    EXPECT_EQ(Grid->SearchText(), "");

    EXPECT_EQ(Grid->FindInSortColumn("ALF"), 2);
    EXPECT_EQ(Grid->FindInSortColumn("NONE"), -1);
    Grid->SetRowCount(1);
    EXPECT_EQ(Grid->FindInSortColumn(""), -1);
}

TEST_F(Editing, TheWheelMovesTheSelectionOrScrolls)
{
    Grid->SetRowCount(60);
    Grid->FocusCell(1, 10, true);
    // WheelIncrement 0: the system's three lines a notch.
    Wheel(Grid, 50, 50, -120);
    EXPECT_EQ(Grid->Row(), 13);
    Grid->MouseActions()->SetWheelIncrement(5);
    Wheel(Grid, 50, 50, 120);
    EXPECT_EQ(Grid->Row(), 8);
    Grid->MouseActions()->SetWheelAction(waScroll);
    Grid->SetTopRow(2);
    Wheel(Grid, 50, 50, 120);
    EXPECT_EQ(Grid->TopRow(), Grid->FixedRows());
    Wheel(Grid, 50, 50, -120);
    EXPECT_EQ(Grid->TopRow(), 6);
}

TEST_F(Editing, FocusIgnoreHoldsForOneFocusInOnly)
{
    ProcessPendingMessages();   // the window is active, as the user's is
    Grid->Navigation()->SetAlwaysEdit(true);
    Grid->FocusCell(2, 2, true);
    // The in-place edit exists once it has been used.
    Grid->BeginCellEdit();
    TypeKey(Editor(), VK_ESCAPE);
    TEdit* other = Place<TEdit>(410, 10, 80, 22);
    other->SetFocus();
    ASSERT_TRUE(Grid->InplaceEditor() == nullptr || !EditorShown());
    Grid->SetFocusIgnore(true);
    Grid->SetFocus();
    EXPECT_FALSE(EditorShown());
    other->SetFocus();
    Grid->SetFocus();
    EXPECT_TRUE(EditorShown());
    EXPECT_TRUE(Editor()->Focused());
    // A grid whose in-place edit was never made opens a combo cell's editor on focus in.
    auto* g = Place<TProStringGrid>(0, 260, 300, 120);
    g->SetOptions(g->Options() | goEditing);
    g->Navigation()->SetAlwaysEdit(true);
    g->OnGetEditorType = [](TObject*, int, int, TEditorType& e) { e = edComboEdit; };
    g->OnHasComboBox = [](TObject*, int, int, bool& Has) { Has = true; };
    other->SetFocus();
    g->SetFocus();
    EXPECT_TRUE(g->GridCombo()->Visible());
    EXPECT_TRUE(g->GridCombo()->Focused());
    g->EndCellEdit();
}

TEST_F(Editing, TheEditorLooksLikeTheCellItEdits)
{
    Grid->SetColWidths(2, 140);
    Grid->SetCells(2, 2, "Zażółć gęślą");
    EditAt(2, 2);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "Zażółć gęślą");
    TRect cell = Grid->CellRect(2, 2);
    EXPECT_EQ(Editor()->Left(), cell.Left);
    EXPECT_EQ(Editor()->Top(), cell.Top);
    std::unique_ptr<TBitmap> shot = GrabControl(Form);
    ASSERT_TRUE(shot && !shot->Empty());
    SaveScreenshot(shot.get(), "grid_inplace_edit.png");
}

TEST_F(Editing, SpecialEditorsShowOverTheCellAndGiveTheirValueBack)
{
    // Stores: the editor's text goes back into the cell
    const struct Case { const char* Name; TEditorType Type; bool Stores; } cases[] = {
        {"edit with button", edEditBtn, true},
        {"combo", edComboEdit, true},
        {"spin", edSpinEdit, true},
        {"check box editor", edCheckBox, false},
        {"button", edButton, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        Log.clear();
        Grid->OnGetEditorType = [&](TObject*, int, int, TEditorType& e) { e = k.Type; };
        Grid->SetCells(2, 3, "12");
        EditAt(2, 3);
        // The standard editor stays hidden; the type's own editor is over the cell.
        EXPECT_FALSE(EditorShown());
        TWinControl* editor = k.Type == edCheckBox ? static_cast<TWinControl*>(Grid->GridCheckBox())
                                                   : Grid->ActiveEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->Visible());
        TRect cell = Grid->CellRect(2, 3);
        EXPECT_EQ(editor->Left(), k.Type == edButton ? cell.Left - 1 : cell.Left);
        EXPECT_EQ(editor->Text(), "12");
        editor->SetText("34");
        Grid->EndCellEdit();
        ProcessPendingMessages();
        EXPECT_FALSE(editor->Visible());
        EXPECT_EQ(Grid->Cells(2, 3), k.Stores ? "34" : "12");
        EXPECT_FALSE(Grid->EditingFlag());
        // Taken back once: one done notice with the cell.
        EXPECT_EQ(std::count(Log.begin(), Log.end(), "editingdone"), 1);
        EXPECT_EQ(std::count(Log.begin(), Log.end(), "editcelldone(2,3)"), 1);
    }
}

TEST_F(Editing, EditChangeAndEditorPropertiesReachTheApplication)
{
    std::vector<std::string> changes;
    int props = 0;
    Grid->OnEditChange = [&](TObject*, int c, int r, const AnsiString& v) {
        changes.push_back(std::to_string(c) + "," + std::to_string(r) + ":" + v);
    };
    Grid->OnGetEditorProp = [&](TObject*, int c, int r, TEditLink* link) {
        ++props;
        EXPECT_EQ(c, 4);
        EXPECT_EQ(r, 2);
        EXPECT_EQ(link, nullptr);
    };
    Grid->FocusCell(4, 2, true);
    TypeInCell("xy");
    // Filling the editor from the cell is no change; each typed character is.
    EXPECT_EQ(changes, (std::vector<std::string>{"4,2:x", "4,2:xy"}));
    EXPECT_EQ(props, 1);
    Enter();
}

TEST_F(Editing, AMergedRegionIsEditedThroughItsBaseCell)
{
    Grid->SetColWidths(1, 60);
    Grid->SetColWidths(2, 70);
    Grid->MergeCells(1, 1, 2, 2);
    Grid->SetCells(1, 1, "base");
    // A covered cell sends the current cell to the base cell.
    TRect covered = Grid->CellRect(2, 2);
    Click(Grid, covered.Left + 5, covered.Top + 5);
    EXPECT_EQ(Current(), TPoint(1, 1));
    Grid->BeginCellEdit();
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "base");
    TRect region = Grid->MergedCellRect(1, 1);
    EXPECT_EQ(Editor()->Width(), region.Right - 1 - region.Left);
    EXPECT_EQ(Editor()->Height(), region.Bottom - 1 - region.Top);
    Editor()->SelectAll();
    TypeText(Editor(), "nowy");
    Enter();
    EXPECT_EQ(Grid->GetGridCell(1, 1), "nowy");
    EXPECT_EQ(Grid->GetGridCell(2, 2), "c2r2");
}

TEST_F(Editing, FocusMovingIntoTheEditorNeitherLeavesNorEntersTheGrid)
{
    int enters = 0, exits = 0;
    Grid->OnEnter = [&](TObject*) { ++enters; };
    Grid->OnExit = [&](TObject*) { ++exits; };
    Grid->FocusCell(1, 1, true);
    TypeInCell("a");
    EXPECT_TRUE(Editor()->Focused());
    Enter();
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(exits, 0);
    // Focus going to another control concludes the edit.
    TEdit* other = Place<TEdit>(410, 10, 80, 22);
    TypeInCell("b");
    other->SetFocus();
    ProcessPendingMessages();
    EXPECT_EQ(Grid->Cells(1, 1), "b");
    EXPECT_FALSE(Grid->EditingActive());
}

TEST_F(Editing, HousekeepingTimerBlinksAndHoverCursorsFollowTheMode)
{
    Grid->SetEnableBlink(true);
    const bool phase = Grid->BlinkPhase();
    const int ticks = Grid->TimerTicks();
    ASSERT_TRUE(FireTimer(Grid, 111));
    EXPECT_NE(Grid->BlinkPhase(), phase);
    EXPECT_EQ(Grid->TimerTicks(), ticks + 1);

    struct Case { Byte Mode; TCursor Cursor; };
    const Case cases[] = {{1, TCursor(8011)}, {2, TCursor(8010)}, {3, TCursor(8012)}, {5, TCursor(8012)}};
    Grid->SetCursor(crHandPoint);
    for (const Case& k : cases) {
        Grid->SetHoverCursorMode(k.Mode);
        Grid->Perform(WM_SETCURSOR, 0, 0);
        EXPECT_EQ(Grid->Cursor(), k.Cursor) << int(k.Mode);
        // The mode outlives the cursor change it made itself.
        EXPECT_EQ(Grid->HoverCursorMode(), k.Mode);
    }
    // Off the hover, the grid's own cursor shows again.
    Grid->SetHoverCursorMode(0);
    Grid->Perform(WM_SETCURSOR, 0, 0);
    EXPECT_EQ(Grid->Cursor(), crHandPoint);
    // A cursor set from outside ends the hover mode.
    Grid->SetHoverCursorMode(1);
    Grid->Perform(WM_SETCURSOR, 0, 0);
    Grid->SetCursor(crDefault);
    EXPECT_EQ(Grid->HoverCursorMode(), 0);
}

TEST_F(Editing, WideCellsAreConcludedThroughTheWideValidation)
{
    const WideString omega = WideString(u"\u03A9mega");
    Grid->SetWideCell(2, 2, omega);
    EditAt(2, 2);
    ASSERT_TRUE(Grid->EditingActive());
    int calls = 0;
    Grid->OnCellValidateWide = [&](TObject*, int c, int r, WideString& v, bool& valid) {
        ++calls;
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 2);
        v += Utf8ToWide("!");
        valid = true;
    };
    EXPECT_TRUE(Grid->FinishCellEditWide(WideString(u"\u03A9micron")));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Grid->GetWideCell(2, 2), WideString(u"\u03A9micron!"));
    EXPECT_TRUE(Grid->GridModified());
    // A second conclusion without an edit does nothing.
    EXPECT_TRUE(Grid->FinishCellEditWide(Utf8ToWide("x")));
    EXPECT_EQ(calls, 1);
    Grid->EndCellEdit();
}

TEST_F(Editing, MiddleButtonPanningMovesTowardsThePointerUntilTheNextPress)
{
    Grid->SetRowCount(40);
    Grid->SetColCount(8);
    Grid->FocusCell(2, 5, true);
    MouseDown(Grid, 150, 100, mbMiddle);
    MouseUp(Grid, 150, 100, mbMiddle);
    ASSERT_TRUE(Grid->Panning());
    EXPECT_TRUE(TimerActive(Grid, 999));
    // Within the dead zone nothing moves.
    MouseMove(Grid, 153, 103, 0);
    FireTimer(Grid, 999);
    EXPECT_EQ(Grid->Row(), 5);
    // Below and right of the origin: a row a tick; ipVertical ignores the column step.
    MouseMove(Grid, 190, 160, 0);
    FireTimer(Grid, 999);
    FireTimer(Grid, 999);
    EXPECT_EQ(Grid->Row(), 7);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Cursor(), TCursor(8001));   // the grid's own cursor of panning down
    // The origin mark is painted where the press was, its arrows up and down, its white transparent.
    Grid->SetColor(clYellow);
    std::unique_ptr<TBitmap> shot = GrabControl(Grid);
    EXPECT_EQ(shot->Canvas()->Pixels(150, 100 - 12) & 0xFFFFFF, TColor(clBlack) & 0xFFFFFF);
    EXPECT_NE(shot->Canvas()->Pixels(150 - 12, 100) & 0xFFFFFF, TColor(clBlack) & 0xFFFFFF);
    EXPECT_EQ(shot->Canvas()->Pixels(160, 108) & 0xFFFFFF, TColor(clYellow));
    // A key ends panning.
    TypeKey(Grid, VK_SHIFT);
    EXPECT_FALSE(Grid->Panning());
    EXPECT_FALSE(TimerActive(Grid, 999));
    EXPECT_EQ(Grid->Cursor(), crDefault);

    // Scrolling instead of moving, both directions.
    Grid->SetIntelliPan(ipBoth);
    Grid->MouseActions()->SetWheelAction(waScroll);
    const int top = Grid->TopRow();
    AdvanceInputClock(1000);
    MouseDown(Grid, 150, 100, mbMiddle);
    MouseUp(Grid, 150, 100, mbMiddle);
    ASSERT_TRUE(Grid->Panning());
    EXPECT_EQ(Grid->Cursor(), TCursor(8000));
    MouseMove(Grid, 150, 200, 0);
    FireTimer(Grid, 999);
    EXPECT_EQ(Grid->TopRow(), top + 1);
    // Each direction has a cursor of its own.
    const struct { int DX, DY; TCursor Cursor; } ways[] = {{0, 1, 8001}, {-1, 0, 8002}, {1, 0, 8003}, {0, -1, 8004},
                {1, -1, 8005}, {-1, -1, 8006}, {1, 1, 8007}, {-1, 1, 8008}, {0, 0, 8000}};
    for (const auto& w : ways) {
        MouseMove(Grid, 150 + 20 * w.DX, 100 + 20 * w.DY, 0);
        FireTimer(Grid, 999);
        EXPECT_EQ(Grid->Cursor(), w.Cursor) << w.DX << "," << w.DY;
        EXPECT_NE(Screen->Cursors(w.Cursor), 0);
    }
    AdvanceInputClock(1000);
    MouseDown(Grid, 150, 200, mbMiddle);
    EXPECT_FALSE(Grid->Panning());
}

// However an edit is opened and however it ends, what the user typed goes through the one
// conclusion of the edit: validated, recorded for undo and stored; an edit that changed nothing
// writes nothing; Escape gives the old text back; a value the handler amends and accepts is stored
// as amended. A refused value (left as typed, or corrected by the handler) reopens the editor after
// the user's own key or click, and leaves no editor open after an operation that ends the edit or
// when the focus goes elsewhere.
TEST_F(Editing, EveryWayIntoAnEditMeetsEveryWayOut)
{
    enum TIn { InTyping, InF2, InReturn, InDoubleClick, InBegin };
    enum TMode { Typed, Unchanged, Refused, Corrected, Amended };
    const char* modeNames[] = {"typed", "unchanged", "refused", "corrected", "amended"};
    const std::pair<TIn, const char*> ins[] = {
        {InTyping, "typing"}, {InF2, "F2"}, {InReturn, "Return"}, {InDoubleClick, "double click"},
        {InBegin, "BeginCellEdit"}};
    TEdit* other = Place<TEdit>(410, 10, 80, 22);
    auto key = [this](Word K) { return [this, K] { TypeKey(Editor(), K); }; };
    // ByUser: a refusal reopens the editor
    const struct { const char* Name; bool ByUser; std::function<void()> Leave; } outs[] = {
        {"Return", true, key(VK_RETURN)},
        {"Tab", true, key(VK_TAB)},
        {"Down", true, key(VK_DOWN)},
        {"Page Down", true, key(VK_NEXT)},
        {"click on another cell", true,
         [this] { Click(Grid, Grid->CellRect(3, 3).Left + 5, Grid->CellRect(3, 3).Top + 5); }},
        {"node contracted", false, [this] { Grid->ContractNode(3); }},
        {"column hidden", false, [this] { Grid->HideColumns(4, 4); }},
        {"EndCellEdit", false, [this] { Grid->EndCellEdit(); }},
        {"focus to another control", false, [other] { other->SetFocus(); }},
        {"Escape", true, key(VK_ESCAPE)},
        {"right click on another cell, then Escape", true, [this] {
             Click(Grid, CellMiddle(3, 3).X, CellMiddle(3, 3).Y, mbRight);
             TypeKey(Grid, VK_ESCAPE);
         }},
    };
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->AddNode(3, 2);
    for (const auto& [in, inName] : ins)
        for (const auto& out : outs)
            for (TMode mode : {Typed, Unchanged, Refused, Corrected, Amended}) {
                if (in == InTyping && mode == Unchanged)
                    continue;
                SCOPED_TRACE(std::string(inName) + " / " + out.Name + " / " + modeNames[mode]);
                const bool escape = std::string(out.Name).ends_with("Escape");
                const AnsiString old = mode == Unchanged ? "<b>x</b>" : "stara";
                Grid->SetCells(2, 2, old);
                Grid->ExpandNode(3);
                Grid->UnHideColumns(4, 4);
                Undo->Clear();
                int validated = 0;
                Grid->OnCellValidate = [&](TObject*, int c, int r, AnsiString& v, bool& valid) {
                    ++validated;
                    EXPECT_EQ(TPoint(c, r), TPoint(2, 2));
                    EXPECT_EQ(v, "nowa");
                    valid = mode == Typed || mode == Amended;
                    if (mode == Corrected || mode == Amended)
                        v = "poprawiona";
                };
                AdvanceInputClock(1000);
                FocusAt(2, 2);
                const TRect cell = Grid->CellRect(2, 2);
                switch (in) {
                case InTyping: TypeText(Grid, "n"); break;
                case InF2: TypeKey(Grid, VK_F2); break;
                case InReturn: TypeKey(Grid, VK_RETURN); break;
                case InDoubleClick: DoubleClick(Grid, cell.Left + 5, cell.Top + 5); break;
                case InBegin: Grid->BeginCellEdit(); break;
                }
                ProcessPendingMessages();
                if (!EditorShown()) {
                    ADD_FAILURE() << "no editor";
                    Grid->OnCellValidate = nullptr;
                    continue;
                }
                if (in == InTyping) {
                    TypeText(Editor(), "owa");
                } else if (mode != Unchanged) {
                    Editor()->SelectAll();
                    TypeText(Editor(), "nowa");
                }
                out.Leave();
                ProcessPendingMessages();
                const AnsiString expected = escape            ? old
                                            : mode == Typed     ? AnsiString("nowa")
                                            : mode >= Corrected ? AnsiString("poprawiona")
                                                                : old;
                EXPECT_EQ(Grid->Cells(2, 2), expected);
                EXPECT_EQ(validated, mode == Unchanged || escape ? 0 : 1);
                EXPECT_EQ(Undo->List()->Count(), (mode == Typed || mode == Amended) && !escape ? 1 : 0);
                if (Undo->List()->Count() == 1) {
                    EXPECT_EQ(Undo->List()->Item(0)->OrigValue, old);
                }
                const bool reopened = (mode == Refused || mode == Corrected) && out.ByUser && !escape;
                EXPECT_EQ(EditorShown(), reopened);
                EXPECT_EQ(Grid->EditingActive(), reopened);
                if (!reopened && std::string(out.Name) == "click on another cell") {
                    EXPECT_EQ(Current(), TPoint(3, 3));
                }
                Grid->OnCellValidate = nullptr;
                if (reopened) {
                    // In the edit cell again, and Escape there leaves the cell as it is.
                    EXPECT_EQ(Current(), TPoint(2, 2));
                    EXPECT_EQ(Editor()->Text(), expected);
                    Press(VK_ESCAPE);
                    EXPECT_EQ(Grid->Cells(2, 2), expected);
                    EXPECT_FALSE(EditorShown());
                }
            }
    Grid->RemoveNode(3);
}

// The wheel that moves the current row and a click on another cell (a covered cell of a merged
// region too) leave any editor as its own leave keys do, and Return on the grid after a right click
// took the focus from the open edit concludes that edit: the typed text is validated, stored in the
// edit cell and recorded once; a refused value keeps the user in the focused, reopened editor.
TEST_F(Editing, TheWheelClicksAndReturnAfterARightClickConcludeTheEditAsTheEditorsKeysDo)
{
    Grid->MergeCells(3, 3, 2, 1);
    auto open = [this] { return Grid->ActiveEditor() ? Grid->ActiveEditor() : Grid->InplaceEditor(); };
    // DefaultEditOnly: a special editor gives its focus up to the right click
    const struct { const char* Name; bool DefaultEditOnly; std::function<void()> Leave; } ways[] = {
        {"wheel", false, [this] { const TPoint p = CellMiddle(1, 3); Wheel(Grid, p.X, p.Y, -120); }},
        {"click on another cell", false, [this] { ClickCell(1, 3); }},
        {"click on a covered cell of a merged region", false, [this] { ClickCell(4, 3); }},
        {"right click on another cell, then Return", true, [this] {
             const TPoint p = CellMiddle(1, 3);
             Click(Grid, p.X, p.Y, mbRight);
             TypeKey(FindControl(GetFocus()), VK_RETURN);
         }},
    };
    for (const auto& way : ways)
        for (TEditorType type : {edNormal, edComboEdit, edSpinEdit})
            for (bool byF2 : {false, true})
                for (bool refused : {false, true}) {
                    if (way.DefaultEditOnly && type != edNormal)
                        continue;
                    SCOPED_TRACE(std::string(way.Name) + " / editor " + std::to_string(type) +
                                 (byF2 ? " / F2" : " / typing") + (refused ? " / refused" : ""));
                    Grid->SetCells(2, 2, "12");
                    Undo->Clear();
                    Grid->OnGetEditorType = [type](TObject*, int, int, TEditorType& e) { e = type; };
                    int validated = 0;
                    Grid->OnCellValidate = [&](TObject*, int c, int r, AnsiString&, bool& valid) {
                        ++validated;
                        EXPECT_EQ(TPoint(c, r), TPoint(2, 2));
                        valid = !refused;
                    };
                    AdvanceInputClock(1000);
                    FocusAt(2, 2);
                    if (byF2)
                        TypeKey(Grid, VK_F2);
                    else
                        TypeText(Grid, "3");
                    ProcessPendingMessages();
                    TWinControl* editor = open();
                    ASSERT_TRUE(editor && editor->Visible());
                    if (byF2) {
                        if (auto* e = dynamic_cast<TCustomEdit*>(editor))
                            e->SelectAll();
                        if (auto* c = dynamic_cast<TCustomComboBox*>(editor))
                            c->SelectAll();
                    }
                    TypeText(editor, byF2 ? "345" : "45");
                    ProcessPendingMessages();
                    const AnsiString typed = editor->Text();
                    AdvanceInputClock(1000);
                    way.Leave();
                    ProcessPendingMessages();
                    EXPECT_EQ(validated, 1);
                    EXPECT_EQ(Grid->Cells(2, 2), refused ? AnsiString("12") : typed);
                    EXPECT_EQ(Undo->List()->Count(), refused ? 0 : 1);
                    if (!refused && Undo->List()->Count() == 1) { EXPECT_EQ(Undo->List()->Item(0)->OrigValue, "12"); }
                    EXPECT_EQ(Grid->EditingActive(), refused);
                    EXPECT_EQ(editor->Visible(), refused);
                    EXPECT_EQ(editor->Focused(), refused);
                    Grid->OnCellValidate = nullptr;
                    if (refused) {
                        EXPECT_EQ(Current(), TPoint(2, 2));
                        TypeKey(editor, VK_ESCAPE);
                        ProcessPendingMessages();
                        EXPECT_EQ(Grid->Cells(2, 2), "12");
                    }
                    Grid->EndCellEdit();
                }
    Grid->OnGetEditorType = nullptr;
}

}  // namespace
