// The grid's events: every event of the grid exists as an assignable
// member, and the events fired by the grid's own operations fire once, in
// order, with the cell they concern.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "platform/gui/StdCtrls.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {
// Each event is a std::function data member of the grid (or of its bases).
template <class C, class M>
constexpr bool IsEventMember(M C::*)
{
    return std::is_base_of_v<C, TProStringGrid> && std::is_constructible_v<bool, M> && !std::is_function_v<M>;
}
#define GRID_EVENT(Name) static_assert(IsEventMember(&TProStringGrid::Name), #Name);
GRID_EVENT(OnAnchorClick) GRID_EVENT(OnAnchorEnter) GRID_EVENT(OnAnchorExit) GRID_EVENT(OnAnchorHint)
GRID_EVENT(OnAutoAddRow) GRID_EVENT(OnAutoAdvance) GRID_EVENT(OnAutoDeleteRow) GRID_EVENT(OnAutoInsertCol)
GRID_EVENT(OnAutoInsertRow) GRID_EVENT(OnBeforeContractNode) GRID_EVENT(OnBeforeExpandNode)
GRID_EVENT(OnButtonClick) GRID_EVENT(OnCanAddRow) GRID_EVENT(OnCanClickCell) GRID_EVENT(OnCanDeleteRow)
GRID_EVENT(OnCanEditCell) GRID_EVENT(OnCanInsertRow) GRID_EVENT(OnCanSort) GRID_EVENT(OnCellBalloon)
GRID_EVENT(OnCellChanging) GRID_EVENT(OnCellValidate) GRID_EVENT(OnCellValidateWide) GRID_EVENT(OnCellsChanged)
GRID_EVENT(OnCheckBoxClick) GRID_EVENT(OnCheckBoxMouseUp) GRID_EVENT(OnClickCell) GRID_EVENT(OnClickSort)
GRID_EVENT(OnClipboardBeforePasteCell) GRID_EVENT(OnClipboardBeforePasteWideCell) GRID_EVENT(OnClipboardCopy)
GRID_EVENT(OnClipboardCut) GRID_EVENT(OnClipboardPaste) GRID_EVENT(OnColChanging) GRID_EVENT(OnColumnMove)
GRID_EVENT(OnColumnMoving) GRID_EVENT(OnColumnSize) GRID_EVENT(OnColumnSizing) GRID_EVENT(OnComboChange)
GRID_EVENT(OnComboCloseUp) GRID_EVENT(OnComboObjectChange) GRID_EVENT(OnContractNode) GRID_EVENT(OnControlClick)
GRID_EVENT(OnControlComboList) GRID_EVENT(OnControlEditDone) GRID_EVENT(OnCreatedFloatingFooter)
GRID_EVENT(OnCreatedSearchFooter) GRID_EVENT(OnCustomCellDraw) GRID_EVENT(OnCustomCellSize)
GRID_EVENT(OnCustomCompare) GRID_EVENT(OnCustomFilter) GRID_EVENT(OnCustomStrToDate)
GRID_EVENT(OnDatePickerCloseUp) GRID_EVENT(OnDateSpinClick) GRID_EVENT(OnDateTimeChange)
GRID_EVENT(OnDblClickCell) GRID_EVENT(OnDragScroll) GRID_EVENT(OnEditCellDone) GRID_EVENT(OnEditChange)
GRID_EVENT(OnEditingDone) GRID_EVENT(OnEllipsClick) GRID_EVENT(OnEndColumnSize) GRID_EVENT(OnEndRowSize)
GRID_EVENT(OnExpandNode) GRID_EVENT(OnFileProgress) GRID_EVENT(OnFilterProgress) GRID_EVENT(OnFitToPage)
GRID_EVENT(OnFixedDropDownClick) GRID_EVENT(OnFloatSpinClick) GRID_EVENT(OnFooterCalc) GRID_EVENT(OnFooterPaint)
GRID_EVENT(OnGetAlignment) GRID_EVENT(OnGetCellBorder) GRID_EVENT(OnGetCellBorderProp)
GRID_EVENT(OnGetCellColor) GRID_EVENT(OnGetCellPrintBorder) GRID_EVENT(OnGetCellPrintColor)
GRID_EVENT(OnGetCheckFalse) GRID_EVENT(OnGetCheckTrue) GRID_EVENT(OnGetEditWideText) GRID_EVENT(OnGetEditorProp)
GRID_EVENT(OnGetEditorType) GRID_EVENT(OnGetFloatFormat) GRID_EVENT(OnGetFormat) GRID_EVENT(OnGetWordWrap)
GRID_EVENT(OnGridHint) GRID_EVENT(OnGridWideHint) GRID_EVENT(OnGroupCalc) GRID_EVENT(OnHasComboBox)
GRID_EVENT(OnHasSpinEdit) GRID_EVENT(OnIsFixedCell) GRID_EVENT(OnIsPasswordCell) GRID_EVENT(OnLoadCell)
GRID_EVENT(OnOfficeHint) GRID_EVENT(OnOleDrag) GRID_EVENT(OnOleDragOver) GRID_EVENT(OnOleDragStart)
GRID_EVENT(OnOleDragStop) GRID_EVENT(OnOleDrop) GRID_EVENT(OnOleDropCol) GRID_EVENT(OnOleDropFile)
GRID_EVENT(OnOleDropURL) GRID_EVENT(OnOleDropped) GRID_EVENT(OnPrintCancel) GRID_EVENT(OnPrintNewPage)
GRID_EVENT(OnPrintPage) GRID_EVENT(OnPrintPageDone) GRID_EVENT(OnPrintSetColumnWidth)
GRID_EVENT(OnPrintSetRowHeight) GRID_EVENT(OnPrintStart) GRID_EVENT(OnRadioClick) GRID_EVENT(OnRadioMouseUp)
GRID_EVENT(OnRawCompare) GRID_EVENT(OnResize) GRID_EVENT(OnRichEditSelectionChange) GRID_EVENT(OnRightClickCell)
GRID_EVENT(OnRowChanging) GRID_EVENT(OnRowDisjunctSelect) GRID_EVENT(OnRowDisjunctSelected)
GRID_EVENT(OnRowMove) GRID_EVENT(OnRowMoving) GRID_EVENT(OnRowSize) GRID_EVENT(OnRowSizing)
GRID_EVENT(OnRowUpdate) GRID_EVENT(OnSaveCell) GRID_EVENT(OnScrollHint) GRID_EVENT(OnSearchEditChange)
GRID_EVENT(OnSearchFooterAction) GRID_EVENT(OnSearchFooterClose) GRID_EVENT(OnSelectionChanged)
GRID_EVENT(OnSelectionResize) GRID_EVENT(OnSelectionResized) GRID_EVENT(OnSetEditWideText)
GRID_EVENT(OnSpinClick) GRID_EVENT(OnTimeSpinClick) GRID_EVENT(OnUpdateColumnSize) GRID_EVENT(OnWideEllipsClick)
#undef GRID_EVENT
}

namespace {
// What the grid reported, one line per event.
struct EventLog {
    std::vector<std::string> Lines;
    void Add(const std::string& Line) { Lines.push_back(Line); }
};

std::string Cell(int A, int B)
{
    return std::to_string(A) + "," + std::to_string(B);
}

void Hook(TProStringGrid& G, EventLog& L)
{
    G.OnRowDisjunctSelect = [&L](TObject*, int ARow, bool&, bool ASelect) {
        L.Add("RowDisjunctSelect " + Cell(ARow, ASelect));
    };
    G.OnRowDisjunctSelected = [&L](TObject*, int ARow) { L.Add("RowDisjunctSelected " + std::to_string(ARow)); };
    G.OnSelectionChanged = [&L](TObject*, int ALeft, int ATop, int ARight, int ABottom) {
        L.Add("SelectionChanged " + Cell(ALeft, ATop) + "," + Cell(ARight, ABottom));
    };
    G.OnAutoInsertRow = [&L](TObject*, int ARow) { L.Add("AutoInsertRow " + std::to_string(ARow)); };
    G.OnAutoDeleteRow = [&L](TObject*, int ARow) { L.Add("AutoDeleteRow " + std::to_string(ARow)); };
    G.OnRowUpdate = [&L](TObject*, int OldRow, int NewRow) { L.Add("RowUpdate " + Cell(OldRow, NewRow)); };
    G.OnCellsChanged = [&L](TObject*, const TRect& R) {
        L.Add("CellsChanged " + Cell(R.Left, R.Top) + "," + Cell(R.Right, R.Bottom));
    };
    G.OnSearchFooterAction = [&L](TObject*, const AnsiString& Value, int ACol, int ARow, TSearchAction Action) {
        L.Add("SearchFooterAction " + Value + " " + Cell(ACol, ARow) + " " + std::to_string(int(Action)));
    };
    G.OnRichEditSelectionChange = [&L](TObject*) { L.Add("RichEditSelectionChange"); };
}
}  // namespace

TEST(GridEvents, EachFiresOnceInOrderWithItsCell)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Run;
        std::vector<std::string> Expected;
    } cases[] = {
        {"disjunct row selection",
         [](auto& g) {
             g.MouseActions()->SetDisjunctRowSelect(true);
             g.SetRowSelect(3, true);
         },
         {"RowDisjunctSelect 3,1", "RowDisjunctSelected 3"}},
        {"selection changed", [](auto& g) { g.SelectionChanged(1, 2, 3, 4); }, {"SelectionChanged 1,2,3,4"}},
        {"row update", [](auto& g) { g.SetRow(4); }, {"RowUpdate -1,4"}},
        {"auto insert", [](auto& g) { g.AutoInsertRow(2); }, {"CellsChanged 0,2,4,3", "AutoInsertRow 2"}},
        {"auto remove", [](auto& g) { g.AutoRemoveRow(5); }, {"CellsChanged 0,5,4,6", "AutoDeleteRow 5"}},
        {"search footer action", [](auto& g) { g.SearchFooterAction("abc", 2, 6, saFindNext); },
         {"SearchFooterAction abc 2,6 1"}},
        {"rich-text selection", [](auto& g) { g.RichEditSelection()->SelectAll(); }, {"RichEditSelectionChange"}},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        EventLog log;
        Hook(g, log);
        c.Run(g);
        EXPECT_EQ(log.Lines, c.Expected) << c.Name;
    }
}

// A node over rows 2..4 (the node row and two members) in a 10-row grid.
TEST(GridEvents, AutoInsertAndRemoveKeepNodeSpans)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Run;
        int NodeRow, Span, Nodes, Rows;
    } cases[] = {
        {"insert inside the node", [](auto& g) { g.AutoInsertRow(3); }, 2, 4, 1, 11},
        {"insert at the node row", [](auto& g) { g.AutoInsertRow(2); }, 3, 3, 1, 11},
        {"insert below the node", [](auto& g) { g.AutoInsertRow(7); }, 2, 3, 1, 11},
        {"remove inside the node", [](auto& g) { g.AutoRemoveRow(4); }, 2, 2, 1, 9},
        {"remove below the node", [](auto& g) { g.AutoRemoveRow(7); }, 2, 3, 1, 9},
        {"remove the node row", [](auto& g) { g.AutoRemoveRow(2); }, -1, -1, 0, 9},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        for (int r = 1; r < g.RowCount(); ++r) g.SetCells(2, r, "r" + std::to_string(r));
        g.AddNode(2, 3);
        int inserted = -1;
        g.OnAutoInsertRow = [&](TObject*, int ARow) { inserted = ARow; };
        c.Run(g);
        EXPECT_EQ(g.RowCount(), c.Rows) << c.Name;
        EXPECT_EQ(g.NodeCount(), c.Nodes) << c.Name;
        if (c.NodeRow >= 0) {
            EXPECT_TRUE(g.IsNodeRow(c.NodeRow)) << c.Name;
            EXPECT_EQ(g.GetNodeSpan(c.NodeRow), c.Span) << c.Name;
        }
        if (inserted >= 0) { EXPECT_EQ(g.Cells(2, inserted), "") << c.Name; }
    }
    // The rows of a removed node row's node stay, out of any node.
    TProStringGrid g(nullptr);
    g.SetCells(2, 3, "member");
    g.AddNode(2, 3);
    g.AutoRemoveRow(2);
    EXPECT_EQ(g.Cells(2, 2), "member");
    EXPECT_EQ(g.GetNodeLevel(2), -1);
    EXPECT_FALSE(g.HasNodes());
}

namespace {
// An object of the program hung in a cell's object slot.
struct TForeign : TObject {
    int Tag = 42;
};
}  // namespace

using GridForeignObject = TGridFormTest<TProStringGrid>;

TEST_F(GridForeignObject, NoCellPropertySetterTakesItForARecord)
{
    struct Case {
        const char* Name;
        int Col, Row;
        std::function<void(TProStringGrid&, int, int)> Run;
    } cases[] = {
        {"SetCellBrushColor", 2, 3, [](auto& g, int c, int r) { g.SetCellBrushColor(c, r, clRed); }},
        {"SetCellBrushColorTo", 2, 3, [](auto& g, int c, int r) { g.SetCellBrushColorTo(c, r, clRed); }},
        {"SetCellFontColor", 2, 3, [](auto& g, int c, int r) { g.SetCellFontColor(c, r, clRed); }},
        {"IsCellReadOnly", 2, 3, [](auto& g, int c, int r) { EXPECT_FALSE(g.IsCellReadOnly(c, r)); }},
        {"GetCellBrushColor", 2, 3, [](auto& g, int c, int r) { EXPECT_EQ(g.GetCellBrushColor(c, r), clNone); }},
        {"SetRowColor", 2, 3, [](auto& g, int, int r) { g.SetRowColor(r, clYellow); }},
        {"SetRowColorTo", 2, 3, [](auto& g, int, int r) { g.SetRowColorTo(r, clYellow); }},
        {"SetRowFontColor", 2, 3, [](auto& g, int, int r) { g.SetRowFontColor(r, clYellow); }},
        {"SetCellObject", 2, 3, [](auto& g, int c, int r) { g.SetCellObject(c, r, &g); }},
        {"SetCellGraphicObject", 2, 3, [](auto& g, int c, int r) { g.SetCellGraphicObject(c, r, nullptr); }},
        {"AddCellComment", 2, 3, [](auto& g, int c, int r) { g.AddCellComment(c, r, "uwaga"); }},
        {"CreateCellGraphic", 2, 3, [](auto& g, int c, int r) { EXPECT_EQ(g.CreateCellGraphic(c, r), nullptr); }},
        {"MergeCells", 2, 3, [](auto& g, int c, int r) { g.MergeCells(c, r, 2, 2); }},
        {"AddNode", 0, 3, [](auto& g, int, int r) { g.AddNode(r, 2); }},
        {"AddSummaryRow", 0, 3, [](auto& g, int, int r) { g.AddSummaryRow(r); }},
        {"AutoInsertRow in a node", 0, 3,
         [](auto& g, int, int r) {
             g.AddNode(1, 4);
             g.AutoInsertRow(r);
             EXPECT_EQ(g.GetNodeSpan(1), 5);
         }},
    };
    for (const Case& c : cases) {
        Grid->SetRowCount(10);
        Grid->ClearAll();
        TForeign foreign;
        Grid->SetGridObject(c.Col, c.Row, &foreign);
        c.Run(*Grid, c.Col, c.Row);
        // The object may have moved down with its row; it is still the program's.
        int row = Grid->GetGridObject(c.Col, c.Row) == &foreign ? c.Row : c.Row + 1;
        EXPECT_EQ(Grid->GetGridObject(c.Col, row), &foreign) << c.Name;
        EXPECT_FALSE(Grid->HasCellProperties(c.Col, row)) << c.Name;
        EXPECT_EQ(foreign.Tag, 42) << c.Name;
        // Painting asks the cell's colours and graphics too.
        GrabControl(Grid);
        Grid->SetGridObject(c.Col, row, nullptr);
        Grid->RemoveAllNodes();
    }
}

using GridSelectionHiding = TGridFormTest<TProStringGrid>;

TEST_F(GridSelectionHiding, HiddenSelectionIsNotPaintedAndComesBack)
{
    Grid->SetSelectionColor(clRed);
    Grid->SetSelectionColorTo(clNone);
    Grid->SetSelection(TGridRect(1, 1, 2, 2));
    TRect cell = Grid->CellRect(1, 1);
    auto red = [&](TBitmap* b) { return ColorToRGB(b->Canvas()->Pixels(cell.Left + 10, cell.Top + 10)) == clRed; };
    EXPECT_TRUE(red(GrabControl(Grid).get()));

    Grid->HideSelection();
    EXPECT_EQ(Grid->Selection(), TGridRect(Grid->ColCount(), Grid->RowCount(), Grid->ColCount(), Grid->RowCount()));
    EXPECT_FALSE(red(GrabControl(Grid).get()));
    // Keys and repaints with the selection beyond the grid do no harm.
    KeyDown(Grid, VK_DOWN);
    KeyDown(Grid, VK_END);
    GrabControl(Grid);

    Grid->UnHideSelection();
    EXPECT_EQ(Grid->Selection(), TGridRect(1, 1, 2, 2));
    EXPECT_TRUE(red(GrabControl(Grid).get()));

    // Removing every data row hides the selection; new rows bring the first data cell back.
    Grid->SetFixedRowAlways(true);
    Grid->RemoveRowsEx(1, Grid->RowCount() - 1);
    EXPECT_TRUE(Grid->SelectionHidden());
    Grid->SetRowCount(4);
    EXPECT_FALSE(Grid->SelectionHidden());
    EXPECT_EQ(Grid->Selection().TopLeft(), TGridCoord({1, 1}));
}

TEST(GridRows, RowRemovalKeepsFootersAndRowSelectionSettings)
{
    TProStringGrid g(nullptr);
    g.SetFixedFooters(1);
    g.FloatingFooter()->SetVisible(true);
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetOptions(g.Options() | goRowSelect);
    g.SetRowSelect(6, true);
    for (int r = 1; r < g.RowCount(); ++r) g.SetCells(1, r, "r" + std::to_string(r));
    g.RemoveRows(2, 2);
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(g.Cells(1, 2), "r4");
    EXPECT_EQ(g.FixedFooters(), 1);
    EXPECT_TRUE(g.FloatingFooter()->Visible());
    EXPECT_TRUE(g.MouseActions()->DisjunctRowSelect());
    EXPECT_TRUE(g.Options() & goRowSelect);
    EXPECT_TRUE(g.GetRowSelect(4));
    EXPECT_FALSE(g.GetRowSelect(6));
}

TEST(GridCells, MergedColumnListMergesAgainOnEveryChange)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(6);
    const char* first[] = {"a", "a", "b", "b", "b"};
    const char* second[] = {"x", "x", "x", "x", "y"};
    for (int r = 1; r <= 5; ++r) {
        g.SetCells(1, r, first[r - 1]);
        g.SetCells(2, r, second[r - 1]);
    }
    auto spans = [&](int ACol) {
        std::vector<int> v;
        for (int r = 1; r <= 5; ++r) v.push_back(g.IsBaseCell(ACol, r) ? g.CellSpan(ACol, r).Y : -1);
        return v;
    };
    g.MergedColumns()->Add(1);
    EXPECT_EQ(spans(1), (std::vector<int>{1, -1, 2, -1, -1}));
    EXPECT_EQ(spans(2), (std::vector<int>{0, 0, 0, 0, 0}));
    // A further column merges only inside the runs of the one before it.
    g.MergedColumns()->Add(2);
    EXPECT_EQ(spans(2), (std::vector<int>{1, -1, 1, -1, 0}));
    // A column taken off the list is split; the rest merge again.
    g.MergedColumns()->Delete(0);
    EXPECT_EQ(spans(1), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(spans(2), (std::vector<int>{3, -1, -1, -1, 0}));
}

TEST(GridCells, WideCellsRoundTripAndSortByThemselves)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(5);
    const WideString words[] = {u"żółw", u"Łódź", u"ábc", u"lato"};
    for (int r = 1; r <= 4; ++r) g.SetWideCell(1, r, words[r - 1]);
    EXPECT_TRUE(g.IsUnicodeCell(1, 2));
    EXPECT_EQ(g.GetWideCell(1, 2), WideString(u"Łódź"));
    // Plain text reads widened as it stands.
    g.SetCells(2, 1, "Zabrze");
    EXPECT_EQ(g.GetWideCell(2, 1), WideString(u"Zabrze"));

    g.OnGetFormat = [](TObject*, int, TSortStyle& AStyle, AnsiString&, AnsiString&) { AStyle = ssUnicode; };
    g.SortByColumn(1, sdAscending);
    std::vector<WideString> sorted;
    for (int r = 1; r <= 4; ++r) sorted.push_back(g.GetWideCell(1, r));
    EXPECT_EQ(sorted, (std::vector<WideString>{u"ábc", u"lato", u"Łódź", u"żółw"}));
}

using GridScaling = TGridFormTest<TProStringGrid>;

TEST_F(GridScaling, ScaleByScalesTheGridItsSizesFontsAndChildren)
{
    Grid->SetColWidths(2, 100);
    Grid->SetRowHeights(3, 30);
    Grid->FixedFont()->SetSize(8);
    auto* child = new TButton(Grid);
    child->SetParent(Grid);
    child->SetBounds(10, 20, 30, 40);
    int defaultRow = Grid->DefaultRowHeight();

    Form->ScaleBy(3, 2);
    EXPECT_EQ(TPoint(Grid->Width(), Grid->Height()), TPoint(600, 375));
    EXPECT_EQ(Grid->DefaultRowHeight(), MulDiv(defaultRow, 3, 2));
    EXPECT_EQ(TPoint(Grid->ColWidths(2), Grid->RowHeights(3)), TPoint(150, 45));
    EXPECT_EQ(Grid->FixedFont()->Size(), 12);
    EXPECT_EQ(child->BoundsRect(), TRect(15, 30, 60, 90));

    // 1:1 changes nothing.
    Grid->ScaleBy(5, 5);
    EXPECT_EQ(Grid->ColWidths(2), 150);
}

using GridScrollBarsAlways = TGridFormTest<TProStringGrid>;

TEST_F(GridScrollBarsAlways, ChosenBarsShowDisabledWhileEverythingFits)
{
    Grid->SetRowCount(3);
    Grid->SetColCount(3);
    EXPECT_FALSE(Grid->ScrollBarVisible(SB_VERT));
    struct Case {
        TScrollBarAlways Always;
        bool Vert, Horz;
    } cases[] = {{saVert, true, false}, {saHorz, false, true}, {saBoth, true, true}, {saNone, false, false}};
    for (const Case& c : cases) {
        Grid->SetScrollBarAlways(c.Always);
        EXPECT_EQ(Grid->ScrollBarVisible(SB_VERT), c.Vert) << int(c.Always);
        EXPECT_EQ(Grid->ScrollBarVisible(SB_HORZ), c.Horz) << int(c.Always);
        if (c.Vert) { EXPECT_FALSE(Grid->ScrollBarEnabled(SB_VERT)) << int(c.Always); }
    }
    // Rows that no longer fit enable the bar; laying the bars out again keeps it.
    Grid->SetScrollBarAlways(saBoth);
    Grid->SetCells(1, 1, "Łódź");
    Grid->SetCells(2, 1, "Zażółć gęślą jaźń");
    SaveScreenshot(Form, "grid_scrollbars_always.png");
    Grid->SetRowCount(50);
    EXPECT_TRUE(Grid->ScrollBarVisible(SB_VERT));
    EXPECT_TRUE(Grid->ScrollBarEnabled(SB_VERT));
    EXPECT_TRUE(Grid->ScrollBarVisible(SB_HORZ));
    EXPECT_FALSE(Grid->ScrollBarEnabled(SB_HORZ));
}

using GridRepaint = TGridFormTest<TProStringGrid>;

namespace {
// A grid that notes the areas it invalidates.
class TNotingGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    std::vector<TRect> Invalidated;
    void InvalidateRect(const TRect& r) override
    {
        Invalidated.push_back(r);
        TProStringGrid::InvalidateRect(r);
    }
};
using GridRepaintRect = TGridFormTest<TNotingGrid>;
}  // namespace

// RepaintRect invalidates the union of its corner cells' merged rectangles (a corner out of view
// where it would lie), nothing for negative coordinates.
TEST_F(GridRepaintRect, RepaintRectCoversTheMergedCellsAtItsCorners)
{
    Grid->SetRowCount(60);
    Grid->MergeCells(2, 2, 2, 2);
    const TRect merged = Grid->MergedCellRect(2, 2);
    TRect withPlain, far = Grid->CellRect(3, 1), withFar;
    UnionRect(withPlain, Grid->CellRect(1, 1), merged);
    OffsetRect(far, 0, 49 * (Grid->CellRect(3, 2).Top - far.Top));
    UnionRect(withFar, Grid->CellRect(1, 1), far);
    struct Case {
        const char* Name;
        TRect R;
        std::vector<TRect> Expected;
    } cases[] = {
        {"the base cell alone", TRect(2, 2, 2, 2), {merged}},
        {"a covered cell alone", TRect(3, 3, 3, 3), {merged}},
        {"a plain and a merged corner", TRect(1, 1, 2, 2), {withPlain}},
        {"a corner out of view", TRect(1, 1, 3, 50), {withFar}},
        {"negative", TRect(-1, 1, 2, 2), {}},
    };
    for (const Case& c : cases) {
        Grid->Invalidated.clear();
        Grid->RepaintRect(c.R);
        EXPECT_EQ(Grid->Invalidated, c.Expected) << c.Name;
    }
}

TEST_F(GridRepaint, InvalidateSkipsOnceWhenAskedAndRepaintsTheFloatingFooter)
{
    Grid->FloatingFooter()->SetVisible(true);
    Grid->FooterPanel()->SetParent(Grid);
    Grid->FooterPanel()->SetVisible(true);
    Grid->FooterPanel()->SetHeight(22);
    ProcessPendingMessages();
    int gridPaints = 0, footerPaints = 0;
    auto counter = [](int& Count) {
        return [&Count](TMessage& m) {
            if (m.Msg == WM_PAINT) ++Count;
            return false;
        };
    };
    Grid->AddMessageHook(counter(gridPaints));
    Grid->FooterPanel()->AddMessageHook(counter(footerPaints));
    auto repaint = [&](TControl* C) {
        gridPaints = footerPaints = 0;
        C->Invalidate();
        ProcessPendingMessages();
    };
    repaint(Grid);
    EXPECT_GT(gridPaints, 0);
    EXPECT_GT(footerPaints, 0);

    Grid->SuppressNextInvalidate();
    repaint(Grid);
    EXPECT_EQ(gridPaints, 0);
    EXPECT_EQ(footerPaints, 0);
    // Only once.
    repaint(Grid);
    EXPECT_GT(gridPaints, 0);
}

using GridNodePainting = TGridFormTest<TProStringGrid>;

// Nested nodes step their buttons and the text of their rows right by the node indent.
TEST_F(GridNodePainting, NestedNodesIndentTheirRows)
{
    Grid->SetColWidths(0, 110);
    Grid->CellNode()->SetNodeType(cnFlat);
    Grid->CellNode()->SetNodeColor(0x0000C0);
    for (int r = 1; r < Grid->RowCount(); ++r) Grid->SetCells(0, r, "Wiersz " + std::to_string(r));
    Grid->AddNode(1, 6);
    Grid->AddNode(3, 3);
    auto bmp = GrabControl(Grid);
    auto button = [&](int ARow) {
        return InkBox(bmp.get(), Grid->CellRect(0, ARow), [](TColor p) { return p == 0x0000C0; });
    };
    int indent = Grid->CellNode()->NodeIndent();
    EXPECT_EQ(Grid->GetRowIndent(1), indent);
    EXPECT_EQ(Grid->GetRowIndent(4), 2 * indent);
    EXPECT_EQ(Grid->GetRowIndent(8), 0);
    ASSERT_GE(button(1).Left, 0);
    ASSERT_GE(button(3).Left, 0);
    EXPECT_EQ(button(3).Left - button(1).Left, indent);
    SaveScreenshot(bmp.get(), "grid_nested_nodes.png");
}
