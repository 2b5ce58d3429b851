// The base grid and the string grid's everyday surface checked against their
// rules: cell records and their defaults, the merge encoding cell by cell,
// undo/redo edge cases, a new grid's owned objects in creation order, typed
// values under both decimal separators, disjunct selections, modified marks
// and the update bracket.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

namespace {
// A grid whose record hook gives fixed formatting.
class THookGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    int HookCalls = 0;
    void GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                       TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& AAlignment,
                       TVAlignment& AVAlignment, bool& AWordWrap,
                       TCellGradientDirection& AGradientDirection) override
    {
        ++HookCalls;
        TBaseGrid::GetCellColors(ACol, ARow, AState, ABrush, AFont, AColorTo, AMirrorColor, AMirrorColorTo,
                                 AAlignment, AVAlignment, AWordWrap, AGradientDirection);
        ABrush->SetColor(clYellow);
        AFont->SetName("Arial");
        AFont->SetSize(13);
        AFont->SetStyle(fsItalic);
        AFont->SetColor(clRed);
        AColorTo = clBlue;
        AAlignment = taCenter;
        AVAlignment = vtaBottom;
        AWordWrap = false;
        AGradientDirection = GradientHorizontal;
    }
};

// Marks its destruction, to see what the grid frees.
class TWatched : public TObject {
public:
    explicit TWatched(bool& Freed) : FFreed(Freed) {}
    ~TWatched() override { FFreed = true; }

private:
    bool& FFreed;
};

std::string PropsText(const TCellProperties* p)
{
    std::string t;
    for (long v : {long(p->OwnerCol()), long(p->OwnerRow()), long(p->BrushStyle()), long(p->BrushColor()),
                   long(p->BrushColorTo()), long(p->FontSize()), long(p->FontColor()), long(p->FontStyle()),
                   long(p->CellSpanY()), long(p->CellSpanX()), long(p->BorderWidth()), long(p->BorderColor()),
                   long(p->Alignment()), long(p->VAlignment()), long(p->PaintStamp()), long(p->WordWrap()),
                   long(p->IsBaseCell()), long(p->NodeLevel()), long(p->Editor()), long(p->ReadOnly()),
                   long(p->GradientDirection()), long(p->Control() != nullptr), long(p->CellObject() != nullptr)})
        t += std::to_string(v) + "|";
    return t + "'" + p->FontName() + "'";
}
}  // namespace

TEST(BaseGridParts, NewGridAndNewRecordDefaults)
{
    TBaseGrid g(nullptr);
    EXPECT_FALSE(g.DefaultDrawing());
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.GridLineColor(), TColor(0xC0C0C0));
    EXPECT_EQ(g.GridFixedLineColor(), TColor(0x808080));
    EXPECT_EQ(g.PaintPass(), 1);
    EXPECT_FALSE(g.LastRowIsFooter());
    EXPECT_EQ(g.DisplayRowCount(), g.RowCount());
    EXPECT_EQ(g.UndoRedo(), nullptr);
    EXPECT_TRUE(g.DefaultWordWrap());
    EXPECT_FALSE(g.ActiveRowShow());
    EXPECT_EQ(g.ActiveRowColor(), clInfoBk);
    EXPECT_TRUE(g.ShowSelection());
    EXPECT_FALSE(g.PropertiesCreated());
    g.SetDefaultDrawing(true);   // the framework's own flag stays off
    EXPECT_TRUE(g.DefaultDrawing());

    // A record made directly starts from the table's initial values; word
    // wrap follows the grid's default.
    g.SetDefaultWordWrap(false);
    TCellProperties p(&g, 3, 4);
    std::string expected;
    for (long v : {3L, 4L, long(bsSolid), long(clNone), long(clNone), 0L, long(clNone), 0L, -1L, -1L, 0L, 0L,
                   long(taLeftJustify), long(vtaTop), 0L, 0L, 1L, 0L, long(edNormal), 0L, long(GradientVertical), 0L,
                   0L})
        expected += std::to_string(v) + "|";
    EXPECT_EQ(PropsText(&p), expected + "''");
    EXPECT_EQ(p.GraphicObject(), nullptr);
    EXPECT_EQ(p.Grid(), &g);
}

TEST(BaseGridParts, RecordsAreMadeOnFirstUseOnlyAndFreezeTheHook)
{
    THookGrid g(nullptr);
    g.SetGridCell(2, 2, "tekst");
    // Questions and reads create nothing.
    const std::function<void()> reads[] = {
        [&] { (void)g.Cells(2, 2); },
        [&] { (void)g.HasCellProperties(2, 2); },
        [&] { (void)g.GetCellObject(2, 2); },
        [&] { (void)g.GetCellGraphicObject(2, 2); },
        [&] { (void)g.IsBaseCell(2, 2); },
        [&] { (void)g.GetBaseCell(2, 2); },
        [&] { (void)g.CellSpan(2, 2); },
        [&] { (void)g.RemainingCellSpan(2, 2); },
        [&] { (void)g.IsMergedCell(2, 2); },
        [&] { (void)g.IsMergedAcrossRows(2, 2); },
        [&] { (void)g.MergedCellRect(2, 2); },
        [&] { g.SetCells(2, 2, "inny"); },
    };
    for (const auto& read : reads)
        read();
    EXPECT_FALSE(g.HasCellProperties(2, 2));
    EXPECT_FALSE(g.PropertiesCreated());
    EXPECT_EQ(g.HookCalls, 0);

    TCellProperties* p = g.CellProperties(2, 2);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(g.PropertiesCreated());
    EXPECT_EQ(g.CellProperties(2, 2), p);   // the same record the second time
    EXPECT_EQ(g.HookCalls, 1);
    EXPECT_EQ(p->BrushColor(), clYellow);
    EXPECT_EQ(p->BrushColorTo(), clBlue);
    EXPECT_EQ(p->FontName(), "Arial");
    EXPECT_EQ(p->FontSize(), 13);
    EXPECT_EQ(p->FontStyle(), TFontStyles(fsItalic));
    EXPECT_EQ(p->FontColor(), clRed);
    EXPECT_EQ(p->Alignment(), taCenter);
    EXPECT_EQ(p->VAlignment(), vtaBottom);
    EXPECT_FALSE(p->WordWrap());
    EXPECT_EQ(p->GradientDirection(), GradientHorizontal);
    EXPECT_EQ(g.Cells(2, 2), "inny");

    // Hanging objects on empty cells makes records but leaves the text empty.
    bool objectFreed = false, graphicFreed = false;
    g.SetCellObject(3, 3, new TWatched(objectFreed));
    g.SetCellGraphicObject(4, 3, new TWatched(graphicFreed));
    EXPECT_TRUE(g.HasCellProperties(3, 3));
    EXPECT_EQ(g.Cells(3, 3), "");
    EXPECT_EQ(g.Cells(4, 3), "");
    TObject* obj = g.GetCellObject(3, 3);
    TObject* gra = g.GetCellGraphicObject(4, 3);
    // Only a TCellGraphic is the record's to free; the cell object never is.
    g.FreeCellProperties(0, 0, g.ColCount() - 1, g.RowCount() - 1);
    EXPECT_FALSE(g.HasCellProperties(3, 3));
    EXPECT_FALSE(g.HasCellProperties(2, 2));
    EXPECT_FALSE(objectFreed);
    EXPECT_FALSE(graphicFreed);
    delete obj;
    delete gra;

    // Moving cells: reset drops text and slot without freeing the record.
    TCellProperties* kept = g.CellProperties(1, 1);
    g.SetGridCell(1, 1, "x");
    g.ResetCell(1, 1);
    EXPECT_FALSE(g.HasCellProperties(1, 1));
    EXPECT_EQ(g.GetGridCell(1, 1), "");
    delete kept;
}

TEST(BaseGridParts, CellPropertiesAssignCopiesTheListedFieldsOnly)
{
    TBaseGrid g(nullptr);
    TCellProperties src(&g, 1, 2), dst(&g, 3, 4);
    TObject cellObject;
    TBaseGrid control(nullptr);
    struct Field {
        const char* Name;
        bool Copied;
        std::function<void(TCellProperties&)> Set;
        std::function<std::string(TCellProperties&)> Get;
    };
    auto i = [](auto v) { return std::to_string(long(v)); };
    const Field fields[] = {
        {"IsBaseCell", true, [](TCellProperties& p) { p.SetIsBaseCell(false); }, [&](TCellProperties& p) { return i(p.IsBaseCell()); }},
        {"CellSpanX", true, [](TCellProperties& p) { p.SetCellSpanX(2); }, [&](TCellProperties& p) { return i(p.CellSpanX()); }},
        {"CellSpanY", true, [](TCellProperties& p) { p.SetCellSpanY(3); }, [&](TCellProperties& p) { return i(p.CellSpanY()); }},
        {"OwnerRow", true, [](TCellProperties&) {}, [&](TCellProperties& p) { return i(p.OwnerRow()); }},
        {"OwnerCol", true, [](TCellProperties&) {}, [&](TCellProperties& p) { return i(p.OwnerCol()); }},
        {"Alignment", true, [](TCellProperties& p) { p.SetAlignment(taRightJustify); }, [&](TCellProperties& p) { return i(p.Alignment()); }},
        {"BorderColor", true, [](TCellProperties& p) { p.SetBorderColor(clRed); }, [&](TCellProperties& p) { return i(p.BorderColor()); }},
        {"BorderWidth", true, [](TCellProperties& p) { p.SetBorderWidth(2); }, [&](TCellProperties& p) { return i(p.BorderWidth()); }},
        {"BrushColor", true, [](TCellProperties& p) { p.SetBrushColor(clLime); }, [&](TCellProperties& p) { return i(p.BrushColor()); }},
        {"BrushStyle", true, [](TCellProperties& p) { p.SetBrushStyle(bsClear); }, [&](TCellProperties& p) { return i(p.BrushStyle()); }},
        {"FontColor", true, [](TCellProperties& p) { p.SetFontColor(clBlue); }, [&](TCellProperties& p) { return i(p.FontColor()); }},
        {"FontStyle", true, [](TCellProperties& p) { p.SetFontStyle(fsBold); }, [&](TCellProperties& p) { return i(p.FontStyle()); }},
        {"FontName", true, [](TCellProperties& p) { p.SetFontName("Verdana"); }, [&](TCellProperties& p) { return p.FontName(); }},
        {"FontSize", true, [](TCellProperties& p) { p.SetFontSize(11); }, [&](TCellProperties& p) { return i(p.FontSize()); }},
        {"ReadOnly", true, [](TCellProperties& p) { p.SetReadOnly(true); }, [&](TCellProperties& p) { return i(p.ReadOnly()); }},
        {"Editor", true, [](TCellProperties& p) { p.SetEditor(edFloat); }, [&](TCellProperties& p) { return i(p.Editor()); }},
        {"VAlignment", true, [](TCellProperties& p) { p.SetVAlignment(vtaCenter); }, [&](TCellProperties& p) { return i(p.VAlignment()); }},
        {"WordWrap", true, [](TCellProperties& p) { p.SetWordWrap(false); }, [&](TCellProperties& p) { return i(p.WordWrap()); }},
        {"NodeLevel", true, [](TCellProperties& p) { p.SetNodeLevel(2); }, [&](TCellProperties& p) { return i(p.NodeLevel()); }},
        {"Control", true, [&](TCellProperties& p) { p.SetControl(&control); }, [&](TCellProperties& p) { return i((long)(void*)p.Control()); }},
        {"BrushColorTo", false, [](TCellProperties& p) { p.SetBrushColorTo(clAqua); }, [&](TCellProperties& p) { return i(p.BrushColorTo()); }},
        {"GradientDirection", false, [](TCellProperties& p) { p.SetGradientDirection(GradientHorizontal); }, [&](TCellProperties& p) { return i(p.GradientDirection()); }},
        {"CellObject", false, [&](TCellProperties& p) { p.SetCellObject(&cellObject); }, [&](TCellProperties& p) { return i((long)(void*)p.CellObject()); }},
    };
    std::vector<std::string> before;
    for (const Field& f : fields) {
        before.push_back(f.Get(dst));
        f.Set(src);
    }
    dst.Assign(&src);
    for (std::size_t k = 0; k < std::size(fields); ++k) {
        const Field& f = fields[k];
        EXPECT_EQ(f.Get(dst), f.Copied ? f.Get(src) : before[k]) << f.Name;
    }
    EXPECT_EQ(dst.GraphicObject(), nullptr);
}

TEST(BaseGridParts, MergeEncodingCellByCell)
{
    TBaseGrid g(nullptr);
    g.SetColCount(7);
    g.SetRowCount(7);
    g.MergeCells(2, 1, 3, 2);   // columns 2..4, rows 1..2
    g.MergeCells(1, 4, 1, 3);   // column 1, rows 4..6
    g.MergeCells(5, 5, 1, 1);   // a 1 by 1 region
    struct Case {
        int C, R;
        int BaseC, BaseR;
        int SpanX, SpanY;       // CellSpan
        int RemX, RemY;         // RemainingCellSpan
        bool Merged, NonBase, AcrossCols, AcrossRows;
        int W, H;               // the region in cells
    };
    const Case cases[] = {
        {2, 1, 2, 1, 2, 1, 2, 1, true, false, true, true, 3, 2},
        {3, 1, 2, 1, 2, 1, 1, 1, true, true, true, true, 3, 2},
        {4, 2, 2, 1, 2, 1, 0, 0, true, true, true, true, 3, 2},
        {2, 2, 2, 1, 2, 1, 2, 0, true, true, true, true, 3, 2},
        {1, 4, 1, 4, 0, 2, 0, 2, true, false, false, true, 1, 3},
        {1, 6, 1, 4, 0, 2, 0, 0, true, true, false, true, 1, 3},
        {5, 5, 5, 5, 0, 0, 0, 0, false, false, false, false, 1, 1},   // spans 0 and 0: not merged
        {1, 1, 1, 1, 0, 0, 0, 0, false, false, false, false, 1, 1},   // no record
        {5, 2, 5, 2, 0, 0, 0, 0, false, false, false, false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.C << "," << c.R);
        EXPECT_EQ(g.GetBaseCell(c.C, c.R), TPoint(c.BaseC, c.BaseR));
        int bc = -1, br = -1;
        EXPECT_EQ(g.ResolveBaseCell(c.C, c.R, bc, br), c.C == c.BaseC && c.R == c.BaseR);
        EXPECT_EQ(TPoint(bc, br), TPoint(c.BaseC, c.BaseR));
        EXPECT_EQ(g.CellSpan(c.C, c.R), TPoint(c.SpanX, c.SpanY));
        EXPECT_EQ(g.RemainingCellSpan(c.C, c.R), TPoint(c.RemX, c.RemY));
        EXPECT_EQ(g.IsMergedCell(c.C, c.R), c.Merged);
        EXPECT_EQ(g.IsMergedNonBaseCell(c.C, c.R), c.NonBase);
        EXPECT_EQ(g.IsMergedAcrossColumns(c.C, c.R), c.AcrossCols);
        EXPECT_EQ(g.IsMergedAcrossRows(c.C, c.R), c.AcrossRows);
        int w = 0, h = 0;
        for (int i = 0; i < c.W; ++i)
            w += g.ColWidths(c.BaseC + i);
        for (int i = 0; i < c.H; ++i)
            h += g.RowHeights(c.BaseR + i);
        EXPECT_EQ(g.MergedCellSize(c.C, c.R), TPoint(w, h));
    }
    // The covered cells' own records carry their offsets from the base.
    EXPECT_EQ(g.CellProperties(4, 2)->CellSpanX(), 2);
    EXPECT_EQ(g.CellProperties(4, 2)->CellSpanY(), 1);
    EXPECT_FALSE(g.CellProperties(4, 2)->IsBaseCell());
}

TEST(BaseGridParts, TextOfRegionsAndSplitting)
{
    TBaseGrid g(nullptr);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            g.SetGridCell(c, r, Format("%d%d", {c, r}));
    g.CellProperties(2, 2)->SetBrushColor(clRed);
    g.MergeCells(1, 1, 2, 2);
    const TPoint region[] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}};
    for (TPoint p : region)
        EXPECT_EQ(g.Cells(p.X, p.Y), "11");
    g.SetCells(2, 2, "wspólny");   // a covered cell writes the base
    EXPECT_EQ(g.GetGridCell(1, 1), "wspólny");
    EXPECT_EQ(g.GetGridCell(2, 2), "22");
    EXPECT_EQ(g.Cells(2, 1), "wspólny");

    g.SplitCells(2, 1);   // any cell of the region splits it
    EXPECT_EQ(g.Cells(2, 2), "22");
    EXPECT_EQ(g.Cells(2, 1), "21");
    for (TPoint p : region) {
        ASSERT_TRUE(g.HasCellProperties(p.X, p.Y));
        EXPECT_TRUE(g.IsBaseCell(p.X, p.Y));
        EXPECT_EQ(g.CellProperties(p.X, p.Y)->CellSpanX(), -1);
        EXPECT_EQ(g.CellProperties(p.X, p.Y)->CellSpanY(), -1);
    }
    EXPECT_EQ(g.CellProperties(2, 2)->BrushColor(), clRed);   // formatting stays

    g.SplitCells(3, 3);   // not merged: nothing but a record
    EXPECT_TRUE(g.HasCellProperties(3, 3));
    EXPECT_FALSE(g.IsMergedCell(3, 3));
}

TEST(BaseGridParts, RowsShareMergedCells)
{
    TBaseGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(10);
    g.MergeCells(1, 1, 1, 3);   // rows 1..3 in column 1
    g.MergeCells(2, 1, 1, 2);   // rows 1..2 in column 2
    g.MergeCells(1, 5, 2, 1);   // across columns only
    g.MergeCells(3, 7, 1, 2);   // rows 7..8
    g.MergeCells(4, 6, 1, 2);   // rows 6..7
    struct { int R1, R2; bool Share; } cases[] = {
        {1, 2, true},    // both regions hold both rows
        {2, 3, true},    // column 2 holds row 2 only, so column 1 decides
        {1, 3, true},    // only column 1 has both
        {3, 4, false},   // row 4 is in no region
        {5, 5, false},   // horizontal merge only
        {7, 8, true},
        {6, 7, true},
        {6, 8, false},   // column 3: 8 in a region, 6 not; column 4: 6 in, 8 not; no column has both
    };
    for (auto c : cases)
        EXPECT_EQ(g.RowsShareMergedCells(c.R1, c.R2), c.Share) << c.R1 << "," << c.R2;
    g.MergeCells(5, 2, 1, 2);   // column 5: rows 2..3 in their own region
    EXPECT_TRUE(g.RowsShareMergedCells(2, 3));
    g.MergeCells(5, 8, 1, 2);   // rows 8..9
    g.MergeCells(5, 6, 1, 2);   // rows 6..7: column 5 splits 7 and 8 differently
    EXPECT_FALSE(g.RowsShareMergedCells(7, 8));
}

TEST(BaseGridParts, UndoRedoEdges)
{
    TForm form(nullptr);
    auto* g = new TBaseGrid(&form);
    g->SetParent(&form);
    g->SetColCount(5);
    g->SetRowCount(6);
    TProGridUndoRedo undo(nullptr);
    g->SetUndoRedo(&undo);
    std::vector<std::string> log;
    undo.OnRedo = [&](TObject* s, TBaseGrid* grid, int c, int r, const AnsiString& cur, const AnsiString& nv) {
        EXPECT_EQ(s, &undo);
        EXPECT_EQ(grid, g);
        log.push_back(Format("redo %d,%d %s->%s", {c, r, cur, nv}));
    };
    undo.OnUndo = [&](TObject*, TBaseGrid*, int c, int r, const AnsiString& cur, const AnsiString& nv) {
        log.push_back(Format("undo %d,%d %s->%s", {c, r, cur, nv}));
    };
    auto change = [&](int c, int r, const AnsiString& v) {
        undo.AddCellChange(c, r, g->Cells(c, r), v);
        g->SetCells(c, r, v);
    };
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_FALSE(undo.CanRedo());

    // A group left open: redo runs to the end of the list.
    undo.BeginGroup();
    change(1, 1, "a");
    change(2, 2, "b");
    EXPECT_EQ(undo.Position(), 3);
    undo.Undo();   // no stop marker at the top: a single entry
    EXPECT_EQ(g->Cells(2, 2), "");
    EXPECT_EQ(undo.Position(), 2);
    undo.Undo();
    undo.Undo();   // the start marker itself
    EXPECT_EQ(undo.Position(), 0);
    EXPECT_EQ(g->Cells(1, 1), "");
    undo.Redo();   // start marker: everything after it
    EXPECT_EQ(undo.Position(), 3);
    EXPECT_EQ(g->Cells(1, 1), "a");
    EXPECT_EQ(g->Cells(2, 2), "b");
    EXPECT_EQ(log, (std::vector<std::string>{"undo 2,2 b->", "undo 1,1 a->", "redo 1,1 ->a", "redo 2,2 ->b"}));
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);

    // MaxLevel with a group whose start marker was dropped: undo stops at the list's start.
    undo.Clear();
    undo.SetMaxLevel(3);
    undo.BeginGroup();
    change(3, 3, "x");
    change(3, 4, "y");
    undo.EndGroup();
    ASSERT_EQ(undo.List()->Count(), 3);
    EXPECT_FALSE(undo.List()->Item(0)->SequenceStart);
    undo.Undo();
    EXPECT_EQ(undo.Position(), 0);
    EXPECT_EQ(g->Cells(3, 3), "");
    EXPECT_EQ(g->Cells(3, 4), "");
    undo.Redo();   // a single entry (the first is no start marker)
    EXPECT_EQ(g->Cells(3, 3), "x");
    EXPECT_EQ(g->Cells(3, 4), "");
    EXPECT_EQ(undo.Position(), 1);
    EXPECT_TRUE(undo.CanRedo());

    // Markers carry column and row -1 and no texts.
    undo.Clear();
    undo.SetMaxLevel(0);
    undo.BeginGroup();
    undo.EndGroup();
    for (int i = 0; i < 2; ++i) {
        const TUndoRedoItem* m = undo.List()->Item(i);
        EXPECT_EQ(m->Col, -1);
        EXPECT_EQ(m->Row, -1);
        EXPECT_EQ(m->Value, "");
        EXPECT_EQ(m->OrigValue, "");
    }
    undo.Undo();   // an empty group
    EXPECT_EQ(undo.Position(), 0);
    undo.Redo();
    EXPECT_EQ(undo.Position(), 2);
    g->SetUndoRedo(nullptr);
    EXPECT_EQ(undo.Grid(), nullptr);
}

// ---------------------------------------------------------------- the string grid
TEST(StringGridParts, OwnedControlsInCreationOrder)
{
    TProStringGrid g(nullptr);
    const char* expected[] = {"TFooterPanel", "TSearchPanel", "THTMLHintWindow", "TProRichEdit", "TProRichEdit",
                              "TArrowWindow", "TArrowWindow", "TArrowWindow", "TArrowWindow", "TGridCombo",
                              "TGridSpin", "TGridTransEdit", "TGridUniEdit", "TGridUniMemo", "TGridUniEditBtn",
                              "TGridUniCombo", "TGridDatePicker", "TProDateTimePicker", "TGridCheckBox",
                              "TGridEditBtn", "TGridUnitEditBtn", "TGridButton", "TPopupButton", "TControlEdit",
                              "TControlCombo"};
    ASSERT_EQ(g.ComponentCount(), int(std::size(expected)));
    for (int i = 0; i < g.ComponentCount(); ++i)
        EXPECT_EQ(g.Components(i)->ClassName(), expected[i]) << i;
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(g.ArrowWindow(d)->Direction(), d);
        EXPECT_FALSE(g.ArrowWindow(d)->Visible());
        EXPECT_EQ(g.ArrowWindow(d)->Color(), clLime);
    }
    EXPECT_EQ(g.FooterPanel()->Align(), alBottom);
    EXPECT_EQ(g.FooterPanel()->Height(), 0);
    EXPECT_EQ(g.SearchPanel()->Height(), 0);
    EXPECT_EQ(g.IgnoredColumns()->Col(), -1);
    EXPECT_EQ(g.IgnoredColumns()->Row(), -1);
    EXPECT_EQ(g.PasswordChar(), "*");
    EXPECT_EQ(g.XMLEncoding(), "ISO-8859-1");
    EXPECT_TRUE(g.ShowZero());
    EXPECT_EQ(g.ActiveCellFont()->Style(), TFontStyles(fsBold));

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
}

TEST(StringGridParts, TypedValuesUnderBothDecimalSeparators)
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.Text << "' with " << c.Decimal);
        FormatSettings.DecimalSeparator = c.Decimal;
        FormatSettings.ThousandSeparator = c.Thousand;
        g.SetCells(2, 3, c.Text);
        if (c.Valid) {
            EXPECT_DOUBLE_EQ(g.CellFloatValue(2, 3), c.Value);
        } else {
            try {
                g.CellFloatValue(2, 3);
                ADD_FAILURE();
            } catch (const EProGridError& e) {
                EXPECT_EQ(e.Message(), "Cell does not contain a float value");
            }
        }
    }
    struct Out {
        char Decimal;
        double Value;
        const char* Formatted;   // FloatFormat "%.2f"
        const char* Shortest;    // StoreFloatEditValue
    };
    const Out outs[] = {{',', 3.5, "3,50", "3,5"}, {'.', 3.5, "3.50", "3.5"}, {',', -0.375, "-0,38", "-0,375"},
                        {'.', 1e6, "1000000.00", "1000000"}};
    for (const Out& o : outs) {
        FormatSettings.DecimalSeparator = o.Decimal;
        FormatSettings.ThousandSeparator = o.Decimal == ',' ? ' ' : ',';
        g.SetCellFloatValue(1, 1, o.Value);
        EXPECT_EQ(g.Cells(1, 1), o.Formatted);
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

TEST(StringGridParts, DisjunctRowAndColumnSelections)
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
        try {
            g.SetRowSelect(bad, true);
            ADD_FAILURE() << bad;
        } catch (const EProGridError& e) {
            EXPECT_EQ(e.Message(), "Invalid row accessed");
        }
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
    EXPECT_TRUE(g.IsSelected(2, 3));
    EXPECT_FALSE(g.IsSelected(0, 3));   // fixed area never
    EXPECT_FALSE(g.IsSelected(2, 4));
    g.SetRowSelect(3, false);
    EXPECT_EQ(g.SelectedRowCount(), 1);
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
        try {
            g.GetColSelect(bad);
            ADD_FAILURE() << bad;
        } catch (const EProGridError& e) {
            EXPECT_EQ(e.Message(), "Invalid column accessed");
        }
        EXPECT_THROW(g.SetColSelect(bad, true), EProGridError);
    }
    g.MouseActions()->SetDisjunctRowSelect(false);
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
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.SelectedRowCount(), 3);
    EXPECT_TRUE(g.GetRowSelect(2));
    EXPECT_FALSE(g.GetRowSelect(5));
    EXPECT_TRUE(g.IsSelected(3, 3));
    EXPECT_FALSE(g.IsSelected(4, 3));
    g.SelectCols(2, 2);
    EXPECT_EQ(g.Selection().Top, 1);
    EXPECT_EQ(g.Selection().Bottom, 7);
    EXPECT_EQ(g.Selection().Left, 2);
    EXPECT_EQ(g.Selection().Right, 3);

    // The rectangle copied into row flags.
    g.SelectRange(1, 2, 3, 5);
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SelectionToRowSelect(true);
    std::string flags;
    for (int r = 0; r < g.RowCount(); ++r)
        flags += g.GetRowSelect(r) ? '1' : '0';
    EXPECT_EQ(flags, "00011100");
}

TEST(StringGridParts, RowUpdateModifiedMarksAndUpdateBracket)
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
    for (auto m : marks)
        g->SetRowModified(m.Row, m.Value);
    std::string seen;
    for (int r = 0; r < 12; ++r)
        seen += g->GetRowModified(r) ? '1' : '0';
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
    g->EndUpdate();
    EXPECT_EQ(g->UpdateCount(), 1);
    g->EndUpdate();
    EXPECT_EQ(g->UpdateCount(), 0);
    g->EndUpdate();
    EXPECT_EQ(g->UpdateCount(), 0);
    EXPECT_EQ(g->GetCellBrushColor(2, 2), clRed);
    EXPECT_EQ(g->GetCellBrushColor(3, 3), clNone);
    EXPECT_FALSE(g->HasCellProperties(3, 3));   // asking for a colour makes no record
}

TEST(StringGridParts, GroupingLinesMarkHeaderAndSummaryRows)
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
