#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProObj.h"
#include "platform/core/CodePage.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {
using G = TProStringGrid;

// Columns 1..3 and rows 1..3 of a 4 x 4 grid with one fixed row and column:
//   row 1: "abc"  "cab"   "x"
//   row 2: "ab"   ""      "Żółw"
//   row 3: "q"    "xab"   "<b>ab</b>"
void FillFindGrid(TProStringGrid& g)
{
    g.SetColCount(4);
    g.SetRowCount(4);
    const char* texts[3][3] = {{"abc", "cab", "x"}, {"ab", "", "Żółw"}, {"q", "xab", "<b>ab</b>"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            g.SetCells(c + 1, r + 1, texts[r][c]);
}
} // namespace

TEST(GridFind, FlagsStartAndWrap)
{
    struct Case {
        const char* Name; TPoint Start; const char* Text; Word Flags; TPoint Found; bool Wide = false;
    } cases[] = {
        {"first match, column order", {-1, -1}, "ab", 0, {1, 1}},
        {"from the first match on", {1, 1}, "ab", 0, {1, 2}},
        {"down the column, then the next", {1, 2}, "ab", 0, {2, 1}},
        {"row order", {1, 1}, "ab", G::fnDirectionLeftRight, {2, 1}},
        {"wraps after the last cell", {3, 3}, "abc", 0, {1, 1}},
        {"backward from the start is the last cell", {-1, -1}, "ab", G::fnBackward, {3, 3}},
        {"backward wraps before the first cell", {1, 1}, "<", G::fnBackward, {3, 3}},
        {"two quotes find an empty cell", {-1, -1}, "\"\"", 0, {2, 2}},
        {"match at the start of a cell", {-1, -1}, "cab", G::fnMatchStart, {2, 1}},
        {"start: ab finds abc, not cab", {1, 1}, "ab", G::fnMatchStart, {1, 2}},
        {"start: not xab", {1, 2}, "ab", G::fnMatchStart, {-1, -1}},
        {"whole cell", {-1, -1}, "ab", G::fnMatchFull, {1, 2}},
        {"case folded by Polish rules", {-1, -1}, "ŻÓŁW", 0, {3, 2}},
        {"match case", {-1, -1}, "ŻÓŁW", G::fnMatchCase, {-1, -1}},
        {"tags kept: no whole-cell match", {2, 2}, "ab", G::fnMatchFull, {-1, -1}},
        {"tags removed", {2, 2}, "ab", G::fnMatchFull | G::fnIgnoreHTMLTags, {3, 3}},
        {"nothing there", {-1, -1}, "zzz", 0, {-1, -1}},
        {"an empty text finds no cell", {-1, -1}, "", 0, {-1, -1}},
        {"an empty text finds no cell, case matched", {-1, -1}, "", G::fnMatchCase, {-1, -1}},
        {"an empty text is no whole empty cell", {-1, -1}, "", G::fnMatchFull, {-1, -1}},
        {"an empty text starts no cell", {-1, -1}, "", G::fnMatchStart, {-1, -1}},
        {"an empty wide text finds an empty cell", {-1, -1}, "", 0, {2, 2}, true},
        {"a wide text", {-1, -1}, "ŻÓŁW", 0, {3, 2}, true},
        {"an empty filter condition: its own verdict", {-1, -1}, "", G::fnMatchFilter, {2, 2}},
    };
    TProStringGrid g(nullptr);
    FillFindGrid(g);
    for (const Case& c : cases) {
        TPoint found(7, 7);
        g.FindCell(c.Start, c.Text, found, c.Flags, c.Wide);
        EXPECT_EQ(found, c.Found) << c.Name;
        EXPECT_EQ(g.FindBusy(), c.Found.X >= 0) << c.Name;
    }
}

TEST(GridFind, RangesGotoAndProgress)
{
    TProStringGrid g(nullptr);
    FillFindGrid(g);
    g.SetCells(0, 2, "ab");   // a fixed cell
    TPoint found;
    g.FindCell(TPoint(-1, -1), "ab", found, G::fnIncludeFixed);
    EXPECT_EQ(found, TPoint(0, 2));
    g.SetCol(3);
    g.FindCell(TPoint(-1, -1), "ab", found, G::fnFindInCurrentCol);
    EXPECT_EQ(found, TPoint(3, 3));
    g.SetSearchRow(2);
    g.FindCell(TPoint(-1, -1), "w", found, G::fnFindInPresetRow);
    EXPECT_EQ(found, TPoint(3, 2));

    std::vector<int> phases;
    g.OnGridProgress = [&](TObject*, int Phase, int) {
        if (Phase != 1)
            phases.push_back(Phase);
    };
    g.FindFirstNext(TPoint(-1, -1), "xab", found, G::fnAutoGoto);
    EXPECT_EQ(phases, (std::vector<int>{0, 4}));
    EXPECT_EQ(TPoint(g.Col(), g.Row()), TPoint(2, 3));
    EXPECT_EQ(g.LastFoundCell(), TPoint(2, 3));
    phases.clear();
    g.FindFirstNext(TPoint(-1, -1), "none", found, 0);
    EXPECT_EQ(phases, (std::vector<int>{0, 2}));
}

// Without the hidden-rows flag a search stays in the rows on view, however many rows are hidden.
TEST(GridFind, HiddenRowsOnlyWithTheirFlag)
{
    TProStringGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(6);
    for (int r = 1; r < 6; ++r)
        g.SetCells(1, r, "r" + std::to_string(r));
    g.AddNode(1, 3);
    g.ContractNode(1);
    ASSERT_EQ(g.NumHiddenRows(), 2);
    TPoint found;
    g.FindCell(TPoint(-1, -1), "r3", found, 0);
    EXPECT_EQ(found, TPoint(-1, -1));
    g.FindCell(TPoint(-1, -1), "r3", found, G::fnIncludeHiddenRows | G::fnAutoGoto);
    EXPECT_EQ(found, TPoint(1, 3));
    EXPECT_EQ(g.NumHiddenRows(), 0) << "the node holding the row is expanded";
    EXPECT_EQ(g.Row(), 3);
}

// With stored columns a found cell is made current in its shown column; one in a hidden column
// moves only the row.
TEST(GridFind, GotoWithStoredColumnsMakesTheShownColumnCurrent)
{
    struct Case { const char* Text; TPoint Current; } cases[] = {
        {"c3r2", {2, 2}},   // right of the hidden column 2
        {"c4r3", {3, 3}},   // the last stored column
        {"c2r1", {1, 1}},   // in the hidden column: the column stays
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(5);
        g.SetRowCount(5);
        NameCells(g);
        g.HideColumn(2);
        g.SetRow(4);
        TPoint found;
        ASSERT_NO_THROW(g.FindCell(TPoint(-1, -1), c.Text, found, G::fnIncludeHiddenColumns | G::fnAutoGoto))
            << c.Text;
        EXPECT_EQ(TPoint(g.Col(), g.Row()), c.Current) << c.Text;
    }
}

struct SearchFooterTest : TGridFormTest<TProStringGrid> {
    void SetUp() override
    {
        TGridFormTest::SetUp();
        Grid->SetBounds(0, 0, 560, 250);
        Grid->SetColCount(3);
        Grid->SetRowCount(30);
        for (int r = 1; r < 30; ++r) {
            Grid->SetCells(1, r, "wiersz " + std::to_string(r));
            Grid->SetCells(2, r, r % 10 == 0 ? "Łódź" : "Kraków");
        }
        Grid->SearchFooter()->SetVisible(true);
        ProcessPendingMessages();
    }
    TSearchPanel* Panel() { return Grid->SearchPanel(); }
};

TEST_F(SearchFooterTest, TypingFindsReturnStepsAndNoMatchTurnsRed)
{
    std::vector<std::pair<TSearchAction, int>> actions;
    Grid->OnSearchFooterAction = [&](TObject*, const AnsiString&, int, int ARow, TSearchAction A) {
        actions.emplace_back(A, ARow);
    };
    TRetEdit* edit = Panel()->EditControl();
    ASSERT_TRUE(Panel()->Visible());
    EXPECT_EQ(Panel()->Height(), 32);
    EXPECT_FALSE(Panel()->FindNextButton()->Enabled());

    TypeText(edit, "łódź");
    EXPECT_EQ(Grid->Row(), 10);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_TRUE(Panel()->FindNextButton()->Enabled());
    EXPECT_EQ(actions.back(), std::make_pair(saFindFirst, 10));

    Word key = VK_RETURN;
    edit->Perform(WM_KEYDOWN, key, 0);
    EXPECT_EQ(Grid->Row(), 20);
    EXPECT_EQ(actions.back(), std::make_pair(saFindNext, 20));
    Grid->SearchFindNext(true);
    EXPECT_EQ(Grid->Row(), 10);
    EXPECT_EQ(actions.back(), std::make_pair(saFindPrevious, 10));

    // The highlight button marks every occurrence; hiding the footer takes the marks off again.
    Click(Panel()->HighlightButton(), 5, 5);
    EXPECT_NE(Grid->GetGridCell(2, 20).find("<hi>"), std::string::npos);

    TypeText(edit, "x");
    EXPECT_EQ(edit->Color(), TColor(0x0000FF));
    EXPECT_EQ(Grid->GetGridCell(2, 20), "Łódź");
    auto shot = GrabControl(Form);
    SaveScreenshot(shot.get(), "search_footer_no_match.png");
    // The red edit is painted on the panel.
    TPoint editAt = Panel()->ClientToScreen(TPoint(edit->Left() + 60, edit->Top() + 10));
    TPoint formAt = Form->ScreenToClient(editAt);
    EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(formAt.X, formAt.Y)), TColor(0x0000FF));

    bool closed = false;
    Grid->OnSearchFooterClose = [&](TObject*) { closed = true; };
    Click(Panel()->CloseButton(), 5, 5);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(Grid->SearchFooter()->Visible());
    EXPECT_EQ(Panel()->Height(), 0);
}

TEST_F(SearchFooterTest, HidingWhileHighlightedRemovesTheMarks)
{
    TypeText(Panel()->EditControl(), "Kraków");
    Click(Panel()->HighlightButton(), 5, 5);
    ASSERT_NE(Grid->GetGridCell(2, 1).find("<hi>"), std::string::npos);
    Grid->SearchFooter()->SetVisible(false);
    EXPECT_EQ(Grid->GetGridCell(2, 1), "Kraków");
    // The layout follows the settings.
    Grid->SearchFooter()->SetVisible(true);
    Grid->SearchFooter()->SetShowHighLight(false);
    EXPECT_EQ(Panel()->MatchCaseBox()->Left(), Panel()->HighlightButton()->Left()) << "in the hidden button's place";
    Grid->SearchFooter()->SetFindNextCaption("Następny");
    EXPECT_EQ(Panel()->FindNextButton()->Caption(), "Następny");
}

// A footer never shown has made none of its panel's parts; shown, the parts carry what was set while
// it was hidden, placed as on a panel whose parts were there from the start.
TEST_F(SearchFooterTest, PartsAreMadeWhenFirstShownWithTheSettingsOfBefore)
{
    auto* late = Place<TProStringGrid>(0, 260, 560, 200);
    ProcessPendingMessages();
    TSearchPanel* made = Panel();
    TSearchPanel* lazy = late->SearchPanel();
    for (TProStringGrid* g : {Grid, late}) {
        TSearchFooter* f = g->SearchFooter();
        f->SetFindNextCaption("Dalej");
        f->SetShowHighLight(false);
        f->SetColor(clYellow);
        f->Font()->SetSize(11);
    }
    EXPECT_EQ(lazy->ControlCount(), 0) << "nothing made while the footer is hidden";
    late->SearchFooter()->SetVisible(true);
    ProcessPendingMessages();
    ASSERT_EQ(lazy->ControlCount(), made->ControlCount());
    for (int i = 0; i < made->ControlCount(); ++i) {
        const TControl *a = made->Controls(i), *b = lazy->Controls(i);
        EXPECT_EQ(a->BoundsRect(), b->BoundsRect()) << i;
        EXPECT_EQ(a->Visible(), b->Visible()) << i;
        EXPECT_EQ(a->Font()->Size(), b->Font()->Size()) << i;
        EXPECT_EQ(a->Enabled(), b->Enabled()) << i;
    }
    EXPECT_EQ(lazy->FindNextButton()->Caption(), "Dalej");
    EXPECT_EQ(lazy->Color(), clYellow);
    EXPECT_EQ(lazy->Height(), 32);
}

TEST_F(SearchFooterTest, CtrlFFocusesTheSearchEditAndDownStaysClearOfThePanel)
{
    Grid->SetFocus();
    KeyDown(Grid, 'F', ssCtrl);
    EXPECT_TRUE(Panel()->EditControl()->Focused());

    Grid->SearchFooter()->SetVisible(false);
    ProcessPendingMessages();
    Grid->SetFocus();
    KeyDown(Grid, 'F', ssCtrl);
    EXPECT_TRUE(Grid->Focused()) << "without the footer Ctrl+F is the grid's";

    // Down into the last row, and Down again there, leave the row above the search panel.
    Grid->SearchFooter()->SetVisible(true);
    ProcessPendingMessages();
    Grid->SetFocus();
    Grid->SetRow(Grid->RowCount() - 2);
    for (int i = 0; i < 2; ++i) {
        KeyDown(Grid, VK_DOWN);
        EXPECT_EQ(Grid->Row(), Grid->RowCount() - 1);
        const TRect last = Grid->CellRect(1, Grid->RowCount() - 1);
        ASSERT_GT(last.Bottom, 0) << "the last row is in view";
        EXPECT_LE(last.Bottom, Panel()->Top()) << "press " << i;
    }
}

TEST_F(SearchFooterTest, ButtonsAreWideEnoughForTheirCaptionsInOrder)
{
    TProGridButton* next = Panel()->FindNextButton();
    TProGridButton* prev = Panel()->FindPrevButton();
    TProGridButton* hi = Panel()->HighlightButton();
    EXPECT_GE(prev->Width(), prev->FitWidth()) << "the default caption is shown whole";
    Grid->SearchFooter()->SetFindPrevCaption("Find the &previous occurrence");
    ProcessPendingMessages();
    EXPECT_GE(next->Width(), 90);
    EXPECT_GE(prev->Width(), prev->FitWidth());
    EXPECT_GT(prev->Width(), 90) << "the long caption widens its button";
    EXPECT_GT(prev->FitWidth(), next->FitWidth());
    EXPECT_LT(Panel()->EditControl()->Left() + Panel()->EditControl()->Width(), next->Left());
    EXPECT_LT(next->Left() + next->Width(), prev->Left());
    EXPECT_LT(prev->Left() + prev->Width(), hi->Left());
    EXPECT_LT(hi->Left() + hi->Width(), Panel()->MatchCaseBox()->Left());
}

// A Return character without its key finds the next match as the key does, and the key never
// presses the form's default button; find next with an empty edit still reports its (failed) search;
// an edit text that finds nothing, or no text, takes every highlight off the cells, also those the
// highlight button did not make.
TEST_F(SearchFooterTest, ReturnCharacterEmptyFindAndHighlightsRemoved)
{
    TRetEdit* edit = Panel()->EditControl();
    auto* ok = Place<TButton>(450, 260, 60, 25);
    ok->SetDefault(true);
    ok->OnClick = [](TObject*) { ADD_FAILURE() << "the default button took Return"; };
    std::vector<std::pair<TSearchAction, int>> actions;
    Grid->OnSearchFooterAction = [&](TObject*, const AnsiString&, int, int ARow, TSearchAction A) {
        actions.emplace_back(A, ARow);
    };
    struct Case {
        const char* Name; const char* Text; std::function<void()> Act;
        std::vector<std::pair<TSearchAction, int>> Actions; bool HighlightKept;
    } cases[] = {
        {"the Return key", "Łódź", [&] { TypeKey(edit, VK_RETURN); }, {{saFindNext, 20}}, true},
        {"a Return character", "Łódź", [&] { edit->Perform(WM_CHAR, 13, 0); }, {{saFindNext, 20}}, true},
        {"no match", "Łódź", [&] { TypeText(edit, "x"); }, {{saFindFirst, -1}}, false},
        {"an emptied edit", "Łódź", [&] { edit->SetText(""); }, {}, false},
        {"Return in an empty edit", "", [&] { TypeKey(edit, VK_RETURN); }, {{saFindNext, -1}}, true},
    };
    for (const Case& c : cases) {
        edit->SetText(c.Text);
        Grid->SetLastFoundCell(TPoint(2, 10));
        Grid->HighlightInGrid(false, false, "wiersz");
        actions.clear();
        c.Act();
        EXPECT_EQ(actions, c.Actions) << c.Name;
        EXPECT_EQ(Grid->GetGridCell(1, 3).find("<hi>") != std::string::npos, c.HighlightKept) << c.Name;
        Grid->UnHighlightInGrid(false);
    }
}
