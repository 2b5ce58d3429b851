#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/BaseGrid.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"

namespace {
// A grid whose hooks the tests steer.
class TProbeGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    TColor CellColor = clNone;      // what GetCellColors gives new records
    TColor StyleColor = clNone;     // what GetCellStyle paints, clNone: leave
    int ColumnShift = 0;            // DisplayColumn = stored column - ColumnShift
    void GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                       TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& AAlignment,
                       TVAlignment& AVAlignment, bool& AWordWrap,
                       TCellGradientDirection& AGradientDirection) override
    {
        TBaseGrid::GetCellColors(ACol, ARow, AState, ABrush, AFont, AColorTo, AMirrorColor, AMirrorColorTo,
                                 AAlignment, AVAlignment, AWordWrap, AGradientDirection);
        if (CellColor != clNone)
            ABrush->SetColor(CellColor);
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
            for (int r = 0; r < Grid->RowCount(); ++r)
                Grid->SetGridCell(c, r, Format("%d,%d", {c, r}));
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
        {2, 2, {2, 2}, {2, 1}, false},
        {3, 2, {2, 2}, {1, 1}, true},
        {4, 3, {2, 2}, {0, 0}, true},
        {2, 3, {2, 2}, {2, 0}, true},
        {5, 3, {5, 3}, {0, 0}, false},
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
            if (c == 3 && r == 3)
                continue;
            EXPECT_FALSE(Grid->IsMergedCell(c, r)) << c << "," << r;
            EXPECT_EQ(Grid->Cells(c, r), Format("%d,%d", {c, r}));
        }
    EXPECT_EQ(Grid->GetBaseCell(4, 4), TPoint(3, 3));
    EXPECT_EQ(Grid->CellSpan(4, 4), TPoint(1, 1));
    EXPECT_EQ(Grid->Cells(4, 4), "3,3");
}

TEST_F(BaseGridFixture, RecordsAreMadeOnlyWhenAskedAndFreezeTheHooksColours)
{
    Grid->SetCells(1, 1, "x");
    Grid->Cells(2, 2);
    Grid->IsMergedCell(2, 2);
    Grid->GetCellObject(2, 2);
    EXPECT_FALSE(Grid->HasCellProperties(1, 1));
    EXPECT_FALSE(Grid->HasCellProperties(2, 2));
    EXPECT_FALSE(Grid->PropertiesCreated());

    Grid->CellColor = clYellow;
    TCellProperties* p = Grid->CellProperties(2, 2);
    EXPECT_EQ(p->BrushColor(), clYellow);
    EXPECT_EQ(p->Alignment(), taRightJustify);
    Grid->CellColor = clRed;
    EXPECT_EQ(Grid->CellProperties(2, 2)->BrushColor(), clYellow);

    TObject hung;
    Grid->SetCellObject(3, 3, &hung);
    EXPECT_EQ(Grid->GetCellObject(3, 3), &hung);
    EXPECT_EQ(Grid->Cells(3, 3), "");
    Grid->FreeCellProperties(0, 0, 5, 7);   // frees records, never the hung object
    EXPECT_FALSE(Grid->HasCellProperties(3, 3));
    EXPECT_EQ(Grid->GetCellObject(3, 3), nullptr);
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

TEST_F(BaseGridFixture, UndoAndRedoOfGroupsAndSingleChanges)
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
}

TEST_F(BaseGridFixture, MaxLevelDropsTheOldestChange)
{
    TProGridUndoRedo undo(nullptr);
    Grid->SetUndoRedo(&undo);
    undo.SetMaxLevel(3);
    for (int i = 1; i <= 4; ++i)
        undo.AddCellChange(1, i, "", Format("v%d", {i}));
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
    Grid->FocusCell(1, 1, true);
    undo.Undo();
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 5);
    Grid->FocusCell(1, 1, true);
    undo.Redo();
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 5);
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
        {{2, 2}, VK_RIGHT, {5, 2}},
        {{2, 2}, VK_DOWN, {2, 4}},
        {{1, 2}, VK_RIGHT, {2, 2}},   // into the region: lands on its base
        {{5, 3}, VK_LEFT, {2, 2}},
        {{2, 2}, VK_LEFT, {1, 2}},
        {{3, 4}, VK_UP, {2, 2}},
        {{2, 2}, VK_UP, {2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Start.X << "," << c.Start.Y << " key " << c.Key);
        Grid->FocusCell(c.Start.X, c.Start.Y, true);
        KeyDown(Grid, c.Key);
        EXPECT_EQ(Grid->Col(), c.Expect.X);
        EXPECT_EQ(Grid->Row(), c.Expect.Y);
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
        for (int c = 0; c < 5; ++c)
            AValues[c] = std::string_view(AScratch).substr(std::size_t(c));
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
