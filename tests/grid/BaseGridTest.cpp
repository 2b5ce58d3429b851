#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/BaseGrid.h"
#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

namespace {
// A grid whose hooks the tests steer.
class TProbeGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    int ColumnShift = 0;            // DisplayColumn = stored column - ColumnShift
    void GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                       TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& AAlignment,
                       TVAlignment& AVAlignment, bool& AWordWrap,
                       TCellGradientDirection& AGradientDirection) override
    {
        TBaseGrid::GetCellColors(ACol, ARow, AState, ABrush, AFont, AColorTo, AMirrorColor, AMirrorColorTo,
                                 AAlignment, AVAlignment, AWordWrap, AGradientDirection);
        AAlignment = taRightJustify;
    }
    void GetCellStyle(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                      TColor& AMirrorColor, TColor& AMirrorColorTo, TCellGradientDirection& ADirection,
                      bool& ASelected) override
    {
        ASelected = false;
        if (HasCellProperties(ACol, ARow) && CellProperties(ACol, ARow)->BrushColor() != clNone &&
            !(AState & gdFixed))
            ABrush->SetColor(CellProperties(ACol, ARow)->BrushColor());
    }
    int DisplayColumn(int ACol) const override { return ACol - ColumnShift; }
};

struct BaseGridFixture : TGridFormTest<TProbeGrid> {
    void SetUp() override
    {
        MakeGrid(500, 400, 400, 300);
        Grid->SetColCount(6);
        Grid->SetRowCount(8);
        Form->Show();
    }
    void Fill()
    {
        for (int c = 0; c < Grid->ColCount(); ++c)
            for (int r = 0; r < Grid->RowCount(); ++r) Grid->SetGridCell(c, r, Format("%d,%d", {c, r}));
    }
};
}  // namespace

TEST_F(BaseGridFixture, MergeEncodingReadAndWriteThroughTheBase)
{
    Fill();
    Grid->MergeCells(1, 1, 1, 1);
    EXPECT_TRUE(Grid->HasCellProperties(1, 1));
    EXPECT_FALSE(Grid->IsMergedCell(1, 1));
    EXPECT_EQ(Grid->CellSpan(1, 1), TPoint(0, 0));

    Grid->MergeCells(2, 2, 3, 2);   // columns 2..4, rows 2..3
    struct Case {
        int Col, Row;
        TPoint Base;
        TPoint Remaining;
        bool NonBase;
    };
    const Case cases[] = {
        {2, 2, {2, 2}, {2, 1}, false}, {3, 2, {2, 2}, {1, 1}, true}, {4, 3, {2, 2}, {0, 0}, true},
        {2, 3, {2, 2}, {2, 0}, true}, {5, 3, {5, 3}, {0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row);
        EXPECT_EQ(Grid->GetBaseCell(c.Col, c.Row), c.Base);
        EXPECT_EQ(Grid->RemainingCellSpan(c.Col, c.Row), c.Remaining);
        EXPECT_EQ(Grid->IsMergedNonBaseCell(c.Col, c.Row), c.NonBase);
        EXPECT_EQ(Grid->Cells(c.Col, c.Row), Format("%d,%d", {c.Base.X, c.Base.Y}));
    }
    EXPECT_TRUE(Grid->IsMergedAcrossColumns(4, 3));
    EXPECT_TRUE(Grid->IsMergedAcrossRows(3, 3));
    EXPECT_TRUE(Grid->RowsShareMergedCells(2, 3));
    EXPECT_FALSE(Grid->RowsShareMergedCells(3, 4));

    Grid->SetCells(4, 3, "merged");
    EXPECT_EQ(Grid->GetGridCell(2, 2), "merged");
    EXPECT_EQ(Grid->GetGridCell(4, 3), "4,3");
    EXPECT_EQ(Grid->Cells(3, 2), "merged");

    // Splitting keeps the records, and each cell shows its own text again.
    Grid->CellProperties(3, 2)->SetFontSize(14);
    Grid->SplitCells(4, 3);
    EXPECT_EQ(Grid->Cells(4, 3), "4,3");
    EXPECT_EQ(Grid->Cells(2, 2), "merged");
    EXPECT_FALSE(Grid->IsMergedCell(2, 2));
    ASSERT_TRUE(Grid->HasCellProperties(3, 2));
    EXPECT_EQ(Grid->CellProperties(3, 2)->FontSize(), 14);
}

TEST_F(BaseGridFixture, OverlappingMergeSplitsTheOldRegionFirst)
{
    Fill();
    Grid->MergeCells(1, 1, 3, 3);   // 1..3 x 1..3
    Grid->MergeCells(3, 3, 2, 2);   // 3..4 x 3..4 overlaps at (3,3)
    // No covered cell of the old region points at (1,1) as a base any more.
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r) {
            if (c == 3 && r == 3) continue;
            EXPECT_FALSE(Grid->IsMergedCell(c, r)) << c << "," << r;
            EXPECT_EQ(Grid->Cells(c, r), Format("%d,%d", {c, r}));
        }
    EXPECT_EQ(Grid->GetBaseCell(4, 4), TPoint(3, 3));
    EXPECT_EQ(Grid->CellSpan(4, 4), TPoint(1, 1));
    EXPECT_EQ(Grid->Cells(4, 4), "3,3");
}

TEST_F(BaseGridFixture, DisplayTextHooks)
{
    Grid->SetGridCell(1, 1, "raw");
    Grid->OnGetDisplText = [](TObject*, int, int ARow, AnsiString& Value) { Value += "*"; };
    EXPECT_EQ(Grid->Cells(1, 1), "raw*");
    EXPECT_EQ(Grid->GetGridCell(1, 1), "raw");
    Grid->SetDisplayRowCount(1);   // row 1 no longer passes the hooks
    EXPECT_EQ(Grid->Cells(1, 1), "raw");
}

TEST_F(BaseGridFixture, UndoAndRedoOfGroupsSingleChangesAndTheMaxLevel)
{
    TProGridUndoRedo undo(nullptr);
    Grid->SetUndoRedo(&undo);
    EXPECT_EQ(undo.Grid(), Grid);
    std::vector<AnsiString> restored;
    undo.OnUndo = [&](TObject*, TBaseGrid*, int ACol, int ARow, const AnsiString&, const AnsiString& NewValue) {
        restored.push_back(NewValue);
    };
    auto change = [&](int c, int r, const AnsiString& v) {
        undo.AddCellChange(c, r, Grid->Cells(c, r), v);
        Grid->SetCells(c, r, v);
    };
    change(1, 1, "a");
    undo.BeginGroup();
    change(1, 2, "b");
    change(2, 2, "c");
    change(1, 2, "d");
    undo.EndGroup();
    ASSERT_EQ(undo.List()->Count(), 6);

    undo.Undo();   // the group, last change first
    EXPECT_EQ(restored, (std::vector<AnsiString>{"b", "", ""}));
    EXPECT_EQ(Grid->Cells(1, 2), "");
    EXPECT_EQ(Grid->Cells(2, 2), "");
    EXPECT_EQ(undo.Position(), 1);   // before the start marker
    EXPECT_EQ(Grid->Cells(1, 1), "a");

    undo.Redo();   // the last thing recorded: position after its stop marker
    EXPECT_EQ(Grid->Cells(1, 2), "d");
    EXPECT_EQ(Grid->Cells(2, 2), "c");
    EXPECT_EQ(undo.Position(), 6);
    EXPECT_FALSE(undo.CanRedo());
    undo.Undo();
    EXPECT_EQ(Grid->Cells(1, 2), "");
    undo.Undo();
    EXPECT_EQ(Grid->Cells(1, 1), "");
    EXPECT_FALSE(undo.CanUndo());
    undo.Undo();   // nothing left: no change, no error
    EXPECT_EQ(undo.Position(), 0);

    // A new change (or group marker) goes to the end of the list: the entries undone earlier
    // stay behind it.
    undo.Redo();
    EXPECT_EQ(Grid->Cells(1, 1), "a");
    change(3, 3, "new");
    ASSERT_EQ(undo.List()->Count(), 7);
    EXPECT_EQ(undo.Position(), 7);
    EXPECT_EQ(undo.List()->Item(6)->Value, "new");
    EXPECT_TRUE(undo.List()->Item(5)->SequenceStop);
    EXPECT_FALSE(undo.CanRedo());
    undo.Undo();
    EXPECT_EQ(Grid->Cells(3, 3), "");
    EXPECT_EQ(undo.Position(), 6);
    undo.Undo();   // the group undone earlier, once more
    EXPECT_EQ(undo.Position(), 1);
    undo.BeginGroup();
    EXPECT_EQ(undo.List()->Count(), 8);
    EXPECT_EQ(undo.Position(), 8);

    // MaxLevel drops the oldest change.
    undo.Clear();
    undo.SetMaxLevel(3);
    for (int i = 1; i <= 4; ++i) undo.AddCellChange(1, i, "", Format("v%d", {i}));
    ASSERT_EQ(undo.List()->Count(), 3);
    EXPECT_EQ(undo.List()->Item(0)->Row, 2);
    EXPECT_EQ(undo.Position(), 3);
}

TEST_F(BaseGridFixture, UndoAndRedoPutTheCursorOnTheDisplayedColumn)
{
    TProGridUndoRedo undo(nullptr);
    Grid->SetUndoRedo(&undo);
    Grid->ColumnShift = 1;   // stored column 4 is shown as column 3
    undo.AddCellChange(4, 5, "", "x");
    Grid->SetCells(4, 5, "x");
    for (bool redo : {false, true}) {
        Grid->FocusCell(1, 1, true);
        redo ? undo.Redo() : undo.Undo();
        EXPECT_EQ(Current(), TPoint(3, 5)) << redo;
    }
    EXPECT_EQ(Grid->Cells(4, 5), "x");
}

TEST_F(BaseGridFixture, UndoComponentAndGridForgetEachOther)
{
    auto* undo = new TProGridUndoRedo(nullptr);
    Grid->SetUndoRedo(undo);
    delete undo;
    EXPECT_EQ(Grid->UndoRedo(), nullptr);

    TProGridUndoRedo kept(nullptr);
    auto* grid = new TProbeGrid(nullptr);
    grid->SetUndoRedo(&kept);
    delete grid;
    EXPECT_EQ(kept.Grid(), nullptr);
    kept.AddCellChange(1, 1, "", "x");
    kept.Undo();   // no grid: nothing happens
    EXPECT_EQ(kept.Position(), 1);
}

TEST_F(BaseGridFixture, KeysStepOutOfMergedRegions)
{
    Grid->MergeCells(2, 2, 3, 2);   // columns 2..4, rows 2..3
    struct Case {
        TGridCoord Start;
        Word Key;
        TGridCoord Expect;
    };
    const Case cases[] = {
        {{2, 2}, VK_RIGHT, {5, 2}}, {{2, 2}, VK_DOWN, {2, 4}},
        {{1, 2}, VK_RIGHT, {2, 2}},   // into the region: lands on its base
        {{5, 3}, VK_LEFT, {2, 2}}, {{2, 2}, VK_LEFT, {1, 2}}, {{3, 4}, VK_UP, {2, 2}}, {{2, 2}, VK_UP, {2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Start.X << "," << c.Start.Y << " key " << c.Key);
        Grid->FocusCell(c.Start.X, c.Start.Y, true);
        KeyDown(Grid, c.Key);
        EXPECT_EQ(Current(), TPoint(c.Expect.X, c.Expect.Y));
    }
}

TEST_F(BaseGridFixture, PaintsLinesActiveRowAndMergedRegions)
{
    Grid->SetActiveRowShow(true);
    Grid->SetActiveRowColor(clAqua);
    Grid->SetGridLineColor(clRed);
    Grid->FocusCell(1, 2, true);
    Grid->MergeCells(3, 4, 2, 2);
    Grid->CellProperties(3, 4)->SetBrushColor(clLime);
    auto bmp = GrabControl(Grid);
    TCanvas* c = bmp->Canvas();
    // Columns are 64 wide and rows 24 high with no framework lines: cell (2, 2)
    // spans x 128..191, y 48..71; its own lines are its last column and row.
    EXPECT_EQ(c->Pixels(150, 60), clAqua);                 // active row, other column
    EXPECT_EQ(c->Pixels(191, 60), clRed);                  // right line
    EXPECT_EQ(c->Pixels(150, 71), clRed);                  // bottom line
    EXPECT_EQ(c->Pixels(20, 12), ColorToRGB(clBtnFace));   // fixed cell
    EXPECT_EQ(c->Pixels(63, 12), ColorToRGB(TColor(0x808080)));   // fixed line
    EXPECT_EQ(c->Pixels(150, 84), ColorToRGB(clWindow));   // a plain cell
    // The region 3..4 x 4..5 is painted whole in the base cell's colour,
    // without lines between its cells.
    EXPECT_EQ(c->Pixels(200, 100), clLime);
    EXPECT_EQ(c->Pixels(255, 110), clLime);
    EXPECT_EQ(c->Pixels(300, 130), clLime);
    EXPECT_EQ(c->Pixels(319, 130), clRed);

    Grid->SetActiveRowShow(false);
    Grid->Invalidate();
    EXPECT_EQ(GrabControl(Grid)->Canvas()->Pixels(150, 60), ColorToRGB(clWindow));
}

// Rows written together hold what writing them row by row holds, also where
// a merged region or the footer row is told of each write.
TEST_F(BaseGridFixture, RowsWrittenTogetherAsRowByRow)
{
    struct Case {
        const char* Name;
        std::function<void(TProbeGrid&)> Setup;
    } cases[] = {
        {"plain rows", [](TProbeGrid&) {}},
        {"a merged region", [](TProbeGrid& g) { g.MergeCells(1, 3000, 3, 2); }},
        {"the footer row", [](TProbeGrid& g) { g.SetLastRowIsFooter(true); }},
    };
    auto row = [](int ARow, std::string_view* AValues, std::string& AScratch) {
        AScratch = "wiersz " + std::to_string(ARow) + " z tekstem dłuższym niż szesnaście znaków";
        for (int c = 0; c < 5; ++c) AValues[c] = std::string_view(AScratch).substr(std::size_t(c));
    };
    for (const Case& t : cases) {
        TProbeGrid together(Form), alone(Form);
        for (TProbeGrid* g : {&together, &alone}) {
            g->SetColCount(6);
            g->SetRowCount(5001);
            t.Setup(*g);
        }
        together.SetRowsCellsFrom(1, 5000, 5, row);
        std::vector<std::string_view> values(5);
        std::string scratch;
        for (int r = 1; r <= 5000; ++r) {
            row(r, values.data(), scratch);
            alone.SetRowCellsFrom(0, r, values.data(), 5);
        }
        for (int r = 0; r <= 5000; ++r)
            for (int c = 0; c < 6; ++c)
                ASSERT_EQ(together.Cells(c, r), alone.Cells(c, r)) << t.Name << " cell " << c << "," << r;
    }
}

namespace {
// A grid whose record hook gives fixed formatting.
class THookGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    int HookCalls = 0;
    TColor Brush = clYellow;
    void GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                       TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& AAlignment,
                       TVAlignment& AVAlignment, bool& AWordWrap,
                       TCellGradientDirection& AGradientDirection) override
    {
        ++HookCalls;
        TBaseGrid::GetCellColors(ACol, ARow, AState, ABrush, AFont, AColorTo, AMirrorColor, AMirrorColorTo,
                                 AAlignment, AVAlignment, AWordWrap, AGradientDirection);
        ABrush->SetColor(Brush);
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

TEST(BaseGrid, NewGridAndNewRecordDefaults)
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

TEST(BaseGrid, RecordsAreMadeOnFirstUseOnlyAndFreezeTheHook)
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
    for (const auto& read : reads) read();
    EXPECT_FALSE(g.HasCellProperties(2, 2));
    EXPECT_FALSE(g.PropertiesCreated());
    EXPECT_EQ(g.HookCalls, 0);

    TCellProperties* p = g.CellProperties(2, 2);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(g.PropertiesCreated());
    EXPECT_EQ(g.CellProperties(2, 2), p);   // the same record the second time
    EXPECT_EQ(g.HookCalls, 1);
    EXPECT_EQ(p->BrushColor(), clYellow);
    g.Brush = clRed;   // a record keeps what the hook gave when it was made
    EXPECT_EQ(g.CellProperties(2, 2)->BrushColor(), clYellow);
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
    auto* object = new TWatched(objectFreed);
    g.SetCellObject(3, 3, object);
    g.SetCellGraphicObject(4, 3, new TWatched(graphicFreed));
    EXPECT_TRUE(g.HasCellProperties(3, 3));
    EXPECT_EQ(g.Cells(3, 3), "");
    EXPECT_EQ(g.Cells(4, 3), "");
    EXPECT_EQ(g.GetCellObject(3, 3), object);
    TObject* gra = g.GetCellGraphicObject(4, 3);
    // Only a TCellGraphic is the record's to free; the cell object never is.
    g.FreeCellProperties(0, 0, g.ColCount() - 1, g.RowCount() - 1);
    EXPECT_FALSE(g.HasCellProperties(3, 3));
    EXPECT_FALSE(g.HasCellProperties(2, 2));
    EXPECT_FALSE(objectFreed);
    EXPECT_FALSE(graphicFreed);
    EXPECT_EQ(g.GetCellObject(3, 3), nullptr);
    delete object;
    delete gra;

    // Moving cells: reset drops text and slot without freeing the record.
    TCellProperties* kept = g.CellProperties(1, 1);
    g.SetGridCell(1, 1, "x");
    g.ResetCell(1, 1);
    EXPECT_FALSE(g.HasCellProperties(1, 1));
    EXPECT_EQ(g.GetGridCell(1, 1), "");
    delete kept;
}

TEST(BaseGrid, CellPropertiesAssignCopiesTheListedFieldsOnly)
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

TEST(BaseGrid, MergeEncodingCellByCell)
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
        for (int i = 0; i < c.W; ++i) w += g.ColWidths(c.BaseC + i);
        for (int i = 0; i < c.H; ++i) h += g.RowHeights(c.BaseR + i);
        EXPECT_EQ(g.MergedCellSize(c.C, c.R), TPoint(w, h));
    }
    // The covered cells' own records carry their offsets from the base.
    EXPECT_EQ(g.CellProperties(4, 2)->CellSpanX(), 2);
    EXPECT_EQ(g.CellProperties(4, 2)->CellSpanY(), 1);
    EXPECT_FALSE(g.CellProperties(4, 2)->IsBaseCell());
}

TEST(BaseGrid, TextOfRegionsAndSplitting)
{
    TBaseGrid g(nullptr);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) g.SetGridCell(c, r, Format("%d%d", {c, r}));
    g.CellProperties(2, 2)->SetBrushColor(clRed);
    g.MergeCells(1, 1, 2, 2);
    const TPoint region[] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}};
    for (TPoint p : region) EXPECT_EQ(g.Cells(p.X, p.Y), "11");
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

TEST(BaseGrid, RowsShareMergedCells)
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
        {7, 8, true}, {6, 7, true},
        {6, 8, false},   // column 3: 8 in a region, 6 not; column 4: 6 in, 8 not; no column has both
    };
    for (auto c : cases) EXPECT_EQ(g.RowsShareMergedCells(c.R1, c.R2), c.Share) << c.R1 << "," << c.R2;
    g.MergeCells(5, 2, 1, 2);   // column 5: rows 2..3 in their own region
    EXPECT_TRUE(g.RowsShareMergedCells(2, 3));
    g.MergeCells(5, 8, 1, 2);   // rows 8..9
    g.MergeCells(5, 6, 1, 2);   // rows 6..7: column 5 splits 7 and 8 differently
    EXPECT_FALSE(g.RowsShareMergedCells(7, 8));
}

TEST(BaseGrid, UndoRedoEdges)
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
    EXPECT_EQ(TPoint(g->Col(), g->Row()), TPoint(2, 2));

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
