#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/editing/GridEditors.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Forms.h"
#include "platform/gui/SysInfo.h"
#include "tests/common/GridTest.h"

TEST(ProGrid, NewGridDefaults)
{
    TProStringGrid g(nullptr);
    EXPECT_EQ(TPoint(g.ColCount(), g.RowCount()), TPoint(5, 10));
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.FixedRowHeight(), 21);
    EXPECT_EQ(TPoint(g.Width(), g.Height()), TPoint(400, 250));
    EXPECT_EQ(g.Look(), glXP);
    EXPECT_TRUE(g.WordWrap());
    EXPECT_TRUE(g.ShowSelection());
    EXPECT_EQ(g.SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(g.FloatFormat(), "%.2f");
    EXPECT_EQ(g.FixedFont()->Name(), "Tahoma");
    EXPECT_TRUE(g.FixedFont()->Style() & fsBold);
    EXPECT_EQ(g.GetCheckTrue(1, 1), "Y");
    EXPECT_EQ(g.GetCheckFalse(1, 1), "N");
    EXPECT_EQ(g.Version(), "1.0.0.0");
    EXPECT_NE(g.GridCombo(), nullptr);
    EXPECT_NE(g.DateTimePicker(), nullptr);   // common controls 6.0
    EXPECT_FALSE(g.GridCombo()->Visible());
    // The owned controls, in the order they are made.
    const char* expected[] = {"TFooterPanel", "TSearchPanel", "THTMLHintWindow", "TProRichEdit", "TProRichEdit",
                              "TArrowWindow", "TArrowWindow", "TArrowWindow", "TArrowWindow", "TGridCombo",
                              "TGridSpin", "TGridTransEdit", "TGridUniEdit", "TGridUniMemo", "TGridUniEditBtn",
                              "TGridUniCombo", "TGridDatePicker", "TProDateTimePicker", "TGridCheckBox",
                              "TGridEditBtn", "TGridUnitEditBtn", "TGridButton", "TPopupButton", "TControlEdit",
                              "TControlCombo"};
    ASSERT_EQ(g.ComponentCount(), int(std::size(expected)));
    for (int i = 0; i < g.ComponentCount(); ++i) EXPECT_EQ(g.Components(i)->ClassName(), expected[i]) << i;
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(g.ArrowWindow(d)->Direction(), d);
        EXPECT_FALSE(g.ArrowWindow(d)->Visible());
        EXPECT_EQ(g.ArrowWindow(d)->Color(), clLime);
    }
    EXPECT_EQ(g.FooterPanel()->Align(), alBottom);
    EXPECT_EQ(g.FooterPanel()->Height(), 0);
    EXPECT_EQ(g.SearchPanel()->Height(), 0);
    EXPECT_EQ(TPoint(g.IgnoredColumns()->Col(), g.IgnoredColumns()->Row()), TPoint(-1, -1));
    EXPECT_EQ(g.PasswordChar(), "*");
    EXPECT_EQ(g.XMLEncoding(), "ISO-8859-1");
    EXPECT_TRUE(g.ShowZero());
    EXPECT_EQ(g.ActiveCellFont()->Style(), TFontStyles(fsBold));
    // The buttons of the edit-button editors and the combos' drop-down buttons take the grid's XP look.
    ASSERT_TRUE(g.IsWinXPFlag());
    EXPECT_TRUE(g.GridEditBtn()->IsWinXP() && g.GridUnitEditBtn()->IsWinXP() && g.GridUniEditBtn()->IsWinXP());
    EXPECT_TRUE(g.GridCombo()->Themed() && g.ControlCombo()->Themed() && g.GridUniCombo()->Themed());
    // The edits have no border of their own.
    for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{g.GridSpin(), g.GridTransEdit(), g.GridUniEdit(),
             g.GridUniEditBtn(), g.GridEditBtn(), g.GridUnitEditBtn(), g.ControlEdit()})
        EXPECT_EQ(e->BorderStyle(), bsNone) << e->ClassName();
    EXPECT_EQ(g.GridUniMemo()->BorderStyle(), bsNone);

    // The published values of a new grid.
    EXPECT_EQ(g.FixedRightCols(), 0);
    EXPECT_EQ(g.FixedFooters(), 0);
    EXPECT_EQ(g.FixedColWidth(), 64);
    EXPECT_FALSE(g.FixedRowAlways() || g.FixedColAlways() || g.IntegralHeight() || g.AutoSize() ||
                 g.SizeWithForm());
    EXPECT_EQ(g.VAlignment(), vtaTop);
    EXPECT_TRUE(g.EnableHTML());
    EXPECT_FALSE(g.EditWithTags() || g.EnhTextSize() || g.Multilinecells() || g.OemConvert() ||
                 g.ExcelStyleDecimalSeparator() || g.AutoNumAlign() || g.URLShow() || g.URLFull() || g.URLEdit());
    EXPECT_EQ(g.URLColor(), TColor(0xFF0000));
    EXPECT_FALSE(g.FixedAsButtons());
    EXPECT_EQ(g.HoverFixedCells(), hfNone);
    EXPECT_EQ(g.SelectionColorTo(), clNone);
    EXPECT_EQ(g.SelectionMirrorColor(), clNone);
    EXPECT_EQ(g.SelectionMirrorColorTo(), clNone);
    EXPECT_EQ(g.SelectionTextColor(), TColor(0));
    EXPECT_FALSE(g.SelectionRectangle() || g.SelectionResizer() || g.SelectionRTFKeep() || g.HideFocusRect() ||
                 g.ActiveCellShow() || g.Hovering() || g.Flat() || g.AutoThemeAdapt());
    EXPECT_EQ(g.ActiveCellColor(), TColor(0x808080));
    EXPECT_EQ(g.ActiveCellColorTo(), clNone);
    EXPECT_EQ(g.DefaultEditor(), edNormal);
    EXPECT_EQ(g.MaxEditLength(), 0);
    EXPECT_EQ(g.MaxComboLength(), 0);
    EXPECT_FALSE(g.Lookup() || g.LookupCaseSensitive() || g.LookupHistory());
    EXPECT_EQ(g.ScrollBarAlways(), saNone);
    EXPECT_EQ(g.ScrollColor(), clNone);
    EXPECT_FALSE(g.ScrollProportional() || g.ScrollSynch());
    EXPECT_EQ(g.ScrollType(), ssNormal);
    EXPECT_EQ(g.ScrollWidth(), 17);
    EXPECT_EQ(g.ScrollHints(), shNone);
    EXPECT_TRUE(g.EnableWheel());
    EXPECT_EQ(g.IntelliPan(), ipVertical);
    EXPECT_TRUE(g.IntelliZoom());
    EXPECT_EQ(g.HintColor(), clInfoBk);
    EXPECT_FALSE(g.HintShowCells() || g.HintShowLargeText() || g.HintShowSizing() || g.HTMLHint() || g.AnchorHint());
    EXPECT_FALSE(g.FilterActive());
    // The check texts follow the event.
    g.OnGetCheckTrue = [](TObject*, int c, int, AnsiString& v) { if (c == 2) v = "Tak"; };
    EXPECT_EQ(g.GetCheckTrue(2, 1), "Tak");
    EXPECT_EQ(g.GetCheckTrue(1, 1), "Y");
}

TEST(ProGrid, InplaceEditorsLiveHiddenInTheGridWithoutWindows)
{
    TForm f(nullptr);
    auto* g = new TProStringGrid(&f);
    g->SetParent(&f);
    g->HandleNeeded();
    for (TWinControl* e : {static_cast<TWinControl*>(g->GridCombo()), static_cast<TWinControl*>(g->GridDatePicker()),
                           static_cast<TWinControl*>(g->DateTimePicker())})
        EXPECT_TRUE(e->Parent() == g && !e->Visible() && !e->HandleAllocated()) << e->ClassName();
}

TEST(ProGrid, UnitRegistersClipboardFormatAndMessageOnce)
{
    UINT f = GridClipboardFormat();
    EXPECT_GE(f, 0xC000u);
    EXPECT_EQ(GetClipboardFormatName(f), "TProStringGrid Cells");
    EXPECT_EQ(GridEditDoneMessage(), RegisterWindowMessage("GridEditDone"));
    EXPECT_TRUE(GridComCtrlOk());
}

TEST(ProGrid, IntegerValues)
{
    TProStringGrid g(nullptr);
    struct { const char* Text; int Value; bool Valid; } cases[] = {
        {"", 0, true}, {"-", 0, true}, {"12", 12, true}, {"-7", -7, true},
        {"12a", 0, false}, {"1.5", 0, false}, {"$1F", 0, false}, {"99999999999", 0, false},
        {" 42", 42, true}, {"42 ", 42, true}, {" -7\t", -7, true}, {" ", 0, false}, {"4 2", 0, false},
    };
    for (auto c : cases) {
        g.SetCells(1, 1, c.Text);
        if (c.Valid) {
            EXPECT_EQ(g.CellIntegerValue(1, 1), c.Value) << c.Text;
        } else {
            EXPECT_EQ(GridError([&] { g.CellIntegerValue(1, 1); }), "Cell does not contain integer value") << c.Text;
        }
    }
    g.SetCellIntegerValue(2, 2, -15);
    EXPECT_EQ(g.Cells(2, 2), "-15");
}

TEST(ProGrid, FixedRowAlwaysClamps)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(3);
    g.SetFixedRowAlways(true);
    g.SetFixedRows(5);
    EXPECT_EQ(g.FixedRows(), 2);
    g.SetFixedRows(0);
    EXPECT_EQ(g.FixedRows(), 1);   // the grid holds 0, read answers 1
    g.SetFixedRowAlways(false);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_THROW(g.SetFixedRows(5), Exception);
    g.SetFixedColAlways(true);
    EXPECT_THROW(g.SetFixedCols(5), Exception);   // only the rows are clamped
    // A hidden selection comes back when rows are added to only fixed rows, not to a data row.
    g.SetFixedRowAlways(true);
    g.SetFixedRows(1);
    for (int rows : {2, 1}) {
        g.SetRowCount(rows);
        g.HideSelection();
        g.SetRowCount(4);
        EXPECT_EQ(g.SelectionHidden(), rows == 2) << rows;
    }
}

TEST(ProGrid, AssigningColumnHeadersClearsTheHeaderRow)
{
    TProStringGrid g(nullptr);
    g.SetCells(3, 0, "old");
    TStringList none;
    g.SetColumnHeaders(&none);
    EXPECT_EQ(g.Cells(3, 0), "");
    // A change to the list only writes its headers.
    g.SetCells(3, 0, "kept");
    g.ColumnHeaders()->Add("a");
    EXPECT_EQ(g.Cells(0, 0), "a");
    EXPECT_EQ(g.Cells(3, 0), "kept");
}

// Whole rows of 22 between borders of 2, above the horizontal bar the grid shows where the
// columns do not fit the width the grid gets beside its vertical bar (Bar: that bar's height is added).
TEST(ProGrid, IntegralHeightRoundsToWholeRows)
{
    const int bar = GetSystemMetrics(SM_CYHSCROLL);
    const struct {
        int Width, Cols;
        TScrollStyle Bars;
        int Height, Rows;
        bool Bar;
    } cases[] = {{400, 5, ssBoth, 100, 4, false},  {400, 5, ssBoth, 60, 2, false},       {400, 10, ssBoth, 100, 3, true},
                 {800, 10, ssBoth, 100, 4, false}, {400, 10, ssVertical, 100, 4, false},
                 {390, 6, ssBoth, 100, 3, true}};   // columns that fit only without the vertical bar
    for (const auto& c : cases) {
        TProStringGrid g(nullptr);
        g.SetColCount(c.Cols);
        g.SetScrollBars(c.Bars);
        g.SetIntegralHeight(true);
        g.SetBounds(0, 0, c.Width, c.Height);
        EXPECT_EQ(g.Height(), (c.Bar ? bar : 0) + c.Rows * 22 + 4) << c.Width << " " << c.Cols << " " << int(c.Bars);
    }
}

// The copy keeps the source's fixed rows and columns, also where FixedRowAlways or
// FixedColAlways bring them back as rows and columns are read.
TEST(ProGrid, AssignKeepsTheFixedRowsAndColumns)
{
    for (bool always : {false, true}) {
        TProStringGrid src(nullptr), dst(nullptr);
        src.SetFixedRowAlways(always);
        src.SetFixedColAlways(always);
        src.SetFixedRows(2);
        src.SetFixedCols(2);
        src.SetCells(3, 4, "x");
        dst.Assign(&src);
        EXPECT_EQ(TPoint(dst.FixedCols(), dst.FixedRows()), TPoint(2, 2)) << always;
        EXPECT_EQ(dst.Cells(3, 4), "x");
    }
}

TEST(ProGrid, CellTextOutsideTheGridIsRefusedHiddenColumnsStayLegal)
{
    TProStringGrid g(nullptr);
    g.SetColCount(4);
    g.SetRowCount(3);
    g.HideColumn(3);   // three columns shown, stored column 3 hidden
    const struct {
        int Col, Row;
        const char* Error;
    } cases[] = {{1, 3, "Invalid row accessed"}, {1, -1, "Invalid row accessed"},
                 {4, 1, "Invalid column accessed"}, {-1, 1, "Invalid column accessed"}};
    for (const auto& c : cases) {
        EXPECT_EQ(GridError([&] { g.GetMergedCellText(c.Col, c.Row); }), c.Error) << c.Col << "," << c.Row;
        EXPECT_EQ(GridError([&] { g.SetMergedCellText(c.Col, c.Row, "x"); }), c.Error) << c.Col << "," << c.Row;
    }
    // So is a merged region reaching past the grid.
    EXPECT_EQ(GridError([&] { g.MergeCells(1, 1, INT_MAX, 2); }), "Invalid column accessed");
    EXPECT_EQ(GridError([&] { g.MergeCells(1, 1, 1, 3); }), "Invalid row accessed");
    g.SetRowCount(4);
    EXPECT_EQ(g.Cells(1, 3), "");   // nothing was kept for the row that came later
    g.SetCells(3, 2, "ukryta");
    EXPECT_EQ(g.Cells(3, 2), "ukryta");
    // A hidden row's cells by stored row: the hidden column is legal, none beyond it.
    g.HideRow(2);
    EXPECT_EQ(g.GetCellByRealRow(3, 2), "ukryta");
    for (int bad : {-1, 4})
        EXPECT_THROW(g.GetCellByRealRow(bad, 2), EProGridError) << bad;
}

TEST(ProGrid, SelectRowsWithoutDisjunctSetsRectangle)
{
    TProStringGrid g(nullptr);
    g.SelectRows(2, 3);
    EXPECT_EQ(g.Selection(), TGridRect(1, 2, 4, 4));
    EXPECT_EQ(g.SelectedRowCount(), 3);
    EXPECT_TRUE(g.GetRowSelect(3));
    EXPECT_FALSE(g.GetRowSelect(5));
    // A count beyond the integers reaches the last row (column).
    g.SelectRows(2, INT_MAX);
    EXPECT_EQ(g.Selection(), TGridRect(1, 2, 4, 9));
    g.SelectCols(2, INT_MAX);
    EXPECT_EQ(g.Selection(), TGridRect(2, 1, 4, 9));
}

// BeginUpdate counts only on a shown grid; an EndUpdate lowers the count exactly when its
// BeginUpdate counted, whether the grid was hidden or shown in between.
TEST(ProGrid, UpdateBracketCountsOnAShownGridAndItsCountedEndAlwaysLowers)
{
    struct Case {
        const char* Steps;   // B begin, E end, H hide, S show
        int Count;
    } cases[] = {{"HBB", 0}, {"HBBEE", 0}, {"BB", 2}, {"BHE", 0}, {"BHBSE", 1}, {"BHBSEE", 0}, {"BEE", 0}};
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        for (const char* s = c.Steps; *s; ++s) {
            if (*s == 'B') g.BeginUpdate();
            else if (*s == 'E') g.EndUpdate();
            else g.SetVisible(*s == 'S');
        }
        EXPECT_EQ(g.UpdateCount(), c.Count) << c.Steps;
    }
    // Inside the bracket a hidden grid still sizes itself to whole rows.
    TProStringGrid g(nullptr);
    g.SetVisible(false);
    g.BeginUpdate();
    g.SetIntegralHeight(true);
    g.SetBounds(0, 0, 400, 100);
    EXPECT_EQ(g.Height(), 92);
    g.EndUpdate();
}

TEST(ProGrid, FilterConditions)
{
    TProStringGrid g(nullptr);
    g.SetCells(1, 1, "7");
    g.SetCells(1, 2, "3");
    g.SetCells(2, 1, "abc");
    g.SetCells(2, 2, "bcd");
    g.SetCells(2, 3, "cab");
    TFilterData* f = g.Filter()->Add();
    struct { int Col; const char* Cond; int Row; bool Match; } cases[] = {
        {1, ">5", 1, true}, {1, ">5", 2, false}, {2, "a*", 1, true}, {2, "a*", 2, false},
        {2, "!a*", 2, true}, {2, "!a*", 1, false}, {2, "abc|bcd", 2, true}, {2, "abc|bcd", 3, false},
        {2, "(a*|b*)&*c*", 1, true}, {2, "(a*|b*)&*c*", 3, false},
    };
    for (auto c : cases) {
        f->SetColumn(c.Col);
        f->SetCondition(c.Cond);
        EXPECT_EQ(g.MatchFilter(c.Row), c.Match) << c.Cond << " row " << c.Row;
    }
    // Prefix is cut before matching; a second condition combines by its operation.
    f->SetColumn(2);
    f->SetCondition("a*");
    f->SetPrefix("c");
    EXPECT_TRUE(g.MatchFilter(3));     // "cab" is matched as "ab"
    TFilterData* f2 = g.Filter()->Add();
    f2->SetColumn(1);
    f2->SetCondition(">5");
    f2->SetOperation(foOR);
    f->SetPrefix("");
    f->SetCondition("b*");
    EXPECT_FALSE(g.MatchFilter(1));   // "must": "abc" fails and ends the check
    f->SetOperation(foNONE);
    EXPECT_TRUE(g.MatchFilter(1));    // now 7 > 5 rescues it
    EXPECT_FALSE(g.MatchFilter(3));
    g.OnCustomFilter = [](TObject*, int, bool& allow) { allow = true; };
    EXPECT_TRUE(g.MatchFilter(3));
}

TEST(ProGrid, RowColorNoneRemovesEveryFormat)
{
    TProStringGrid g(nullptr);
    g.SetCellFontColor(2, 3, clRed);
    g.SetRowColor(3, clYellow);
    EXPECT_EQ(g.GetCellBrushColor(2, 3), clYellow);
    EXPECT_EQ(g.GetCellBrushColor(0, 3), clNone);   // fixed column untouched
    g.SetRowColor(3, clNone);
    EXPECT_FALSE(g.HasCellProperties(2, 3));
    EXPECT_EQ(g.GetCellBrushColor(2, 3), clNone);
}

TEST(ProGrid, ZoomStopsAtTenSteps)
{
    TProStringGrid g(nullptr);
    int w = g.ColWidths(1), h = g.RowHeights(1);
    for (int i = 0; i < 11; ++i) g.Zoom(1);
    EXPECT_EQ(g.ZoomLevel(), 10);
    EXPECT_EQ(TPoint(g.ColWidths(1), g.RowHeights(1)), TPoint(w + 10, h + 10));
}

// With ScrollProportional, Zoom brings both scroll ranges up to the new sizes itself (also on a
// grid whose window does not exist yet).
TEST(ProGrid, ZoomRefreshesProportionalRanges)
{
    TProStringGrid g(nullptr);
    g.SetColCount(40);
    g.SetRowCount(40);
    g.SetScrollProportional(true);
    g.SetTopRow(20);
    g.SetLeftCol(10);
    for (int bar : {SB_VERT, SB_HORZ}) {
        SCOPED_TRACE(bar == SB_VERT ? "vertical" : "horizontal");
        g.Zoom(bar == SB_VERT ? 8 : -8);
        const TGridScrollInfo zoomed = g.ScrollInfo(bar);
        bar == SB_VERT ? g.UpdateVertScrollRange() : g.UpdateHorzScrollRange();
        const TGridScrollInfo fresh = g.ScrollInfo(bar);
        EXPECT_EQ(std::tuple(zoomed.Max, zoomed.Page, zoomed.Pos), std::tuple(fresh.Max, fresh.Page, fresh.Pos));
    }
}

TEST(ProGrid, HiddenColumnFlagsHaveNoFixedLimit)
{
    TProStringGrid g(nullptr);
    g.SetColumnVisibleFlag(2000, false);
    g.SetColumnVisibleFlag(3, false);
    EXPECT_FALSE(g.ColumnVisible(2000));
    EXPECT_TRUE(g.ColumnVisible(5000));
    EXPECT_EQ(g.NumHiddenColumns(), 2);
    EXPECT_EQ(g.DisplayColumn(4), 3);
    EXPECT_EQ(g.RealColIndex(3), 4);
    EXPECT_EQ(g.DisplayColumn(2001), 1999);
}

TEST(ProGrid, CellQuestionsDefaultsAndEvents)
{
    TProStringGrid g(nullptr);
    EXPECT_TRUE(g.IsFixedCell(0, 5));
    EXPECT_FALSE(g.IsFixedCell(2, 5));
    g.OnIsFixedCell = [](TObject*, int c, int, bool& f) { f = c == 2; };
    EXPECT_TRUE(g.IsFixedCell(2, 5));

    g.Navigation()->SetAlwaysEdit(true);   // editing on without goEditing
    EXPECT_FALSE(g.GetCellReadOnly(2, 2));
    g.Navigation()->SetAlwaysEdit(false);
    g.SetOptions(g.Options() | goEditing);
    EXPECT_FALSE(g.GetCellReadOnly(2, 2));
    g.CellProperties(2, 2)->SetReadOnly(true);
    EXPECT_TRUE(g.GetCellReadOnly(2, 2));
    g.OnCanEditCell = [](TObject*, int r, int, bool& can) { can = r != 4; };
    EXPECT_TRUE(g.GetCellReadOnly(3, 4));

    TAlignment h = taLeftJustify;
    TVAlignment v = vtaTop;
    g.MouseActions()->SetHotmailRowSelect(true);
    g.GetCellAlignment(0, 1, h, v);
    EXPECT_EQ(h, taCenter);
    // A new record takes the alignment and word wrap the events give its cell.
    g.OnGetAlignment = [](TObject*, int, int, TAlignment& H, TVAlignment& V) { H = taRightJustify; V = vtaBottom; };
    g.OnGetWordWrap = [](TObject*, int, int, bool& W) { W = false; };
    const TCellProperties* p = g.CellProperties(4, 6);
    EXPECT_EQ(std::make_tuple(p->Alignment(), p->VAlignment(), p->WordWrap()),
              std::make_tuple(taRightJustify, vtaBottom, false));

    g.ControlLook()->SetDropDownAlwaysVisible(true);
    g.OnGetEditorType = [](TObject*, int c, int, TEditorType& e) { if (c == 3) e = edComboList; };
    EXPECT_TRUE(g.HasComboBox(3, 1));
    EXPECT_FALSE(g.HasComboBox(2, 1));

    g.OnGridHint = [](TObject*, int r, int c, AnsiString& s) { s = "c" + IntToStr(c) + "r" + IntToStr(r); };
    EXPECT_EQ(g.GetCellHint(2, 3), "c2r3");
}

// One grid or two on a form, freed in either order: the form's own handler is called on every
// resize, a grid left keeps sizing with the form, and the form's handler is back at the end.
TEST(ProGrid, OwnerFormResizeIsChainedAndRestored)
{
    for (int freedFirst : {-1, 0, 1}) {   // -1: a single grid
        TForm form(nullptr);
        form.SetBounds(0, 0, 500, 400);
        int calls = 0;
        form.OnResize = [&](TObject*) { ++calls; };
        std::vector<TProStringGrid*> grids;
        for (int i = 0; i < (freedFirst < 0 ? 1 : 2); ++i) {
            grids.push_back(new TProStringGrid(&form));
            grids.back()->SetBounds(0, 0, 300, 200);
            grids.back()->SetSizeWithForm(true);
        }
        if (freedFirst >= 0) {
            delete grids[std::size_t(freedFirst)];
            grids.erase(grids.begin() + freedFirst);
        }
        form.SetBounds(0, 0, 550, 400);
        form.OnResize(&form);
        EXPECT_EQ(grids[0]->Width(), 350) << freedFirst;
        delete grids[0];
        const int before = calls;
        form.OnResize(&form);
        EXPECT_EQ(calls, before + 1) << freedFirst;
    }
    // Turned on after the form was resized, SizeWithForm follows the form from then on.
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    TProStringGrid g(&form);
    g.SetBounds(0, 0, 300, 200);
    form.SetBounds(0, 0, 700, 450);
    form.OnResize(&form);
    g.SetSizeWithForm(true);
    form.SetBounds(0, 0, 710, 460);
    form.OnResize(&form);
    EXPECT_EQ(TPoint(g.Width(), g.Height()), TPoint(310, 210));
}

// Window creation hides the first rich edit without a border; only a grid newly placed at design
// time takes "Tahoma".
TEST(ProGrid, WindowCreationSetsUpTheRichEditAndANewDesignedGridsFont)
{
    TForm form(nullptr);
    for (int kind : {0, 1, 2}) {   // running, newly placed at design time, read from a form at design time
        auto* g = new TProStringGrid(&form);
        g->SetDesigning(kind > 0);
        g->Font()->SetName("Arial");
        if (kind == 2) g->BeginLoading(), g->EndLoading();
        g->SetParent(&form);
        g->HandleNeeded();
        EXPECT_EQ(g->RichEdit()->BorderStyle(), bsNone);
        EXPECT_EQ(g->Font()->Name(), kind == 1 ? "Tahoma" : "Arial") << kind;
    }
}

TEST(ProGrid, TypedValuesUnderBothDecimalSeparators)
{
    TProStringGrid g(nullptr);
    struct Case {
        char Decimal, Thousand;
        const char* Text;
        double Value;
        bool Valid;
    };
    const Case cases[] = {
        {',', ' ', "3,25", 3.25, true},    {',', ' ', "1 234,5", 1234.5, true}, {',', ' ', "-0,5", -0.5, true},
        {',', ' ', "", 0, true},           {',', ' ', "-", 0, true},            {',', ' ', "12 zł", 12, true},
        {',', ' ', "(7,5)", -7.5, true},   {',', ' ', "3,4,5", 0, false},         {'.', ',', "3.25", 3.25, true},
        {'.', ',', "1,234.5", 1234.5, true}, {'.', ',', "2.5E3", 2500, true},   {'.', ',', "1-2", 0, false}, {'.', ',', "abc", 0, true},
        {'.', ',', "-", 0, true},          {',', '\xA0', "(12,50)", -12.5, true},   // the defaults: cleaned to -12.50
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.Text << "' with " << c.Decimal);
        FormatSettings.DecimalSeparator = c.Decimal;
        FormatSettings.ThousandSeparator = c.Thousand;
        g.SetCells(2, 3, c.Text);
        if (c.Valid) {
            EXPECT_DOUBLE_EQ(g.CellFloatValue(2, 3), c.Value);
        } else {
            EXPECT_EQ(GridError([&] { g.CellFloatValue(2, 3); }), "Cell does not contain a float value");
        }
    }
    struct Out {
        char Decimal, Thousand;
        double Value;
        const char* Formatted;   // FloatFormat "%.2f"
        const char* Shortest;    // StoreFloatEditValue
    };
    const Out outs[] = {{',', ' ', 3.5, "3,50", "3,5"},         {',', '\xA0', 3.5, "3,50", "3,5"},
                        {'.', ',', 3.5, "3.50", "3.5"},         {',', ' ', -0.375, "-0,38", "-0,375"},
                        {'.', ',', 1e6, "1000000.00", "1000000"}};
    for (const Out& o : outs) {
        FormatSettings.DecimalSeparator = o.Decimal;
        FormatSettings.ThousandSeparator = o.Thousand;
        g.SetCellFloatValue(1, 1, o.Value);
        EXPECT_EQ(g.Cells(1, 1), o.Formatted);
        EXPECT_DOUBLE_EQ(g.CellFloatValue(1, 1), std::round(o.Value * 100) / 100);   // as written, to two decimals
        g.StoreFloatEditValue(1, 2, o.Value);
        EXPECT_EQ(g.Cells(1, 2), o.Shortest);
        EXPECT_DOUBLE_EQ(g.CellFloatValue(1, 2), o.Value);   // read back under the same separator
    }
    // Without show-zero, zero and negative values write an empty text.
    g.SetShowZero(false);
    const double values[] = {0, -2, 0.5};
    const char* texts[] = {"", "", "0.5"};
    for (int i = 0; i < 3; ++i) {
        g.StoreFloatEditValue(1, 2, values[i]);
        EXPECT_EQ(g.Cells(1, 2), texts[i]) << values[i];
    }
    ResetFormatSettings();
}

TEST(ProGrid, DisjunctRowAndColumnSelections)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(8);
    g.MouseActions()->SetDisjunctRowSelect(true);
    std::vector<std::string> events;
    g.OnRowDisjunctSelect = [&](TObject*, int r, bool& allow, bool sel) {
        events.push_back(Format("ask %d %d", {r, int(sel)}));
        allow = r != 5;
    };
    g.OnRowDisjunctSelected = [&](TObject*, int r) { events.push_back(Format("done %d", {r})); };

    // Range checks come before any event.
    for (int bad : {-1, 8}) {
        EXPECT_EQ(GridError([&] { g.SetRowSelect(bad, true); }), "Invalid row accessed") << bad;
        EXPECT_THROW(g.GetRowSelect(bad), EProGridError);
    }
    EXPECT_TRUE(events.empty());

    g.SetRowSelect(3, true);
    g.SetRowSelect(5, true);   // vetoed
    g.SetRowSelect(2, true);
    g.SetRowSelect(3, true);   // already set: stays once in the order
    EXPECT_EQ(events, (std::vector<std::string>{"ask 3 1", "done 3", "ask 5 1", "ask 2 1", "done 2", "ask 3 1",
                                                "done 3"}));
    EXPECT_TRUE(g.GetRowSelect(3));
    EXPECT_FALSE(g.GetRowSelect(5));
    EXPECT_FALSE(g.GetRowSelect(7));   // in range, never set
    EXPECT_EQ(g.SelectedRowCount(), 2);
    EXPECT_EQ(g.RowSelectOrder(), (std::vector<int>{3, 2}));
    EXPECT_TRUE(g.IsSelected(2, 3));
    EXPECT_FALSE(g.IsSelected(0, 3));   // fixed area never
    EXPECT_FALSE(g.IsSelected(2, 4));
    g.SetRowSelect(3, false);
    EXPECT_EQ(g.SelectedRowCount(), 1);
    EXPECT_EQ(g.RowSelectOrder(), (std::vector<int>{2}));
    g.ClearRowSelect();
    EXPECT_EQ(g.SelectedRowCount(), 0);

    g.OnRowDisjunctSelect = nullptr;
    g.SelectRows(2, 3);   // flags rows 2..4
    EXPECT_EQ(g.SelectedRowCount(), 3);
    EXPECT_TRUE(g.GetRowSelect(4));
    g.SelectRows(6, 5);   // rows beyond RowCount are skipped
    EXPECT_EQ(g.SelectedRowCount(), 5);

    // Columns.
    for (int bad : {-1, 5}) {
        EXPECT_EQ(GridError([&] { g.GetColSelect(bad); }), "Invalid column accessed") << bad;
        EXPECT_THROW(g.SetColSelect(bad, true), EProGridError);
    }
    g.MouseActions()->SetDisjunctRowSelect(false);
    g.SetColSelect(4, true);   // kept without the disjunct mode too
    EXPECT_TRUE(g.GetColSelect(4));
    g.ClearColSelect();
    g.MouseActions()->SetDisjunctColSelect(true);
    g.SelectCols(3, 4);   // 3 and 4 exist
    EXPECT_TRUE(g.GetColSelect(3));
    EXPECT_TRUE(g.GetColSelect(4));
    EXPECT_FALSE(g.GetColSelect(2));
    EXPECT_TRUE(g.IsSelected(4, 6));
    EXPECT_FALSE(g.IsSelected(2, 6));
    g.ClearColSelect();
    EXPECT_FALSE(g.GetColSelect(3));

    // Without the disjunct modes the selection rectangle answers.
    g.MouseActions()->SetDisjunctColSelect(false);
    g.SelectRange(1, 3, 2, 4);
    EXPECT_EQ(TPoint(g.Row(), g.Col()), TPoint(4, 3));
    EXPECT_EQ(g.SelectedRowCount(), 3);
    EXPECT_TRUE(g.GetRowSelect(2));
    EXPECT_FALSE(g.GetRowSelect(5));
    EXPECT_TRUE(g.IsSelected(3, 3));
    EXPECT_FALSE(g.IsSelected(4, 3));
    g.SelectCols(2, 2);
    EXPECT_EQ(g.Selection(), TGridRect(2, 1, 3, 7));

    // The rectangle copied into row flags.
    g.SelectRange(1, 2, 3, 5);
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SelectionToRowSelect(true);
    std::string flags;
    for (int r = 0; r < g.RowCount(); ++r) flags += g.GetRowSelect(r) ? '1' : '0';
    EXPECT_EQ(flags, "00011100");
}

TEST(ProGrid, RowUpdateModifiedMarksAndUpdateBracket)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 400);
    auto* g = new TProStringGrid(&form);
    g->SetParent(&form);
    form.Show();

    std::vector<std::pair<int, int>> updates;
    g->OnRowUpdate = [&](TObject*, int o, int n) { updates.push_back({o, n}); };
    g->SetRow(3);
    g->SetRow(3);   // the same row again: no report
    g->SetRow(5);
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[1], std::make_pair(3, 5));

    struct { int Row; bool Value; } marks[] = {{4, true}, {2, true}, {4, false}, {9, true}};
    for (auto m : marks) g->SetRowModified(m.Row, m.Value);
    std::string seen;
    for (int r = 0; r < 12; ++r) seen += g->GetRowModified(r) ? '1' : '0';
    EXPECT_EQ(seen, "001000000100");
    EXPECT_FALSE(g->GetRowModified(-1));
    g->ClearRowModified();
    EXPECT_FALSE(g->GetRowModified(2));
    EXPECT_FALSE(g->GetRowModified(9));

    // The bracket counts on a shown grid and repaints only at its end.
    g->BeginUpdate();
    g->BeginUpdate();
    EXPECT_EQ(g->UpdateCount(), 2);
    g->SetCellBrushColor(2, 2, clRed);   // its repaint waits for the end
    for (int left : {1, 0, 0}) {
        g->EndUpdate();
        EXPECT_EQ(g->UpdateCount(), left);
    }
    EXPECT_EQ(g->GetCellBrushColor(2, 2), clRed);
    EXPECT_EQ(g->GetCellBrushColor(3, 3), clNone);
    EXPECT_FALSE(g->HasCellProperties(3, 3));   // asking for a colour makes no record
}

TEST(ProGrid, GroupingLinesMarkHeaderAndSummaryRows)
{
    TProStringGrid g(nullptr);
    g.AddNode(2, 2);
    g.AddSummaryRow(5);
    g.Grouping()->SetHeaderLineColor(clRed);
    g.Grouping()->SetHeaderLineWidth(3);
    g.Grouping()->SetSummaryLineColor(clLime);
    g.Grouping()->SetSummaryLineWidth(1);
    struct Case {
        bool Underline, SummaryLine;
        int Col, Row;
        TCellBorders Borders;
        TColor Color;
        int Width;
    };
    const Case cases[] = {
        {true, true, 1, 2, cbBottom, clRed, 3},    {true, true, 3, 2, cbBottom, clRed, 3},
        {true, true, 0, 2, 0, clBlack, 1},         // the node column itself: no line
        {true, true, 2, 5, cbTop, clLime, 1},      {true, true, 2, 4, 0, clBlack, 1},
        {false, true, 1, 2, 0, clBlack, 1},        {true, false, 2, 5, 0, clBlack, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row << " " << c.Underline << c.SummaryLine);
        g.Grouping()->SetHeaderUnderline(c.Underline);
        g.Grouping()->SetSummaryLine(c.SummaryLine);
        TPen pen;
        pen.SetColor(clBlack);
        pen.SetWidth(1);
        TCellBorders borders = 0;
        g.GetCellBorder(c.Col, c.Row, &pen, borders);
        EXPECT_EQ(borders, c.Borders);
        EXPECT_EQ(pen.Color(), c.Color);
        EXPECT_EQ(pen.Width(), c.Width);
    }
    // The event has the last word.
    g.OnGetCellBorder = [](TObject*, int, int, TPen*, TCellBorders& b) { b = cbLeft; };
    TPen pen;
    TCellBorders borders = 0;
    g.Grouping()->SetHeaderUnderline(true);
    g.GetCellBorder(1, 2, &pen, borders);
    EXPECT_EQ(borders, TCellBorders(cbLeft));
}
