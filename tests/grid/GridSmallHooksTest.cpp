// The grid's small hooks: the version text, columns that keep their share of
// the grid's width as it is sized (ColumnSize.SynchWithGrid), and the
// translucent picture of cells that follows the pointer in a column move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

struct VersionedGrid : TProStringGrid {
    using TProStringGrid::TProStringGrid;
    int Nr = 0;
    int GetVersionNr() override { return Nr; }
};

TEST(GridVersion, FourBytesHighToLowThenTheDate)
{
    VersionedGrid g(nullptr);
    const struct {
        unsigned Nr;
        const char* Text;
    } cases[] = {{0x01000000u, "1.0.0.0 Dec, 2026"},
                 {0x02030A0Bu, "2.3.10.11 Dec, 2026"},
                 {0xFF0000FEu, "255.0.0.254 Dec, 2026"}};
    for (const auto& c : cases) {
        g.Nr = int(c.Nr);
        EXPECT_EQ(g.VersionText(), c.Text) << std::hex << c.Nr;
    }
    TProStringGrid plain(nullptr);
    EXPECT_EQ(plain.VersionText(), "1.0.0.0 Dec, 2026");
    EXPECT_EQ(plain.Version(), "1.0.0.0");
}

struct ColumnSynch : TGridFormTest<TProStringGrid> {
    const std::vector<int> Widths{64, 100, 50, 0, 33};
    // The grid as its form loads it: widths set while loading, the snapshot taken by Loaded.
    void Load(bool Synch = true)
    {
        Grid->BeginLoading();
        Grid->ColumnSize()->SetSynchWithGrid(Synch);
        for (int c = 0; c < 5; ++c) Grid->SetColWidths(c, Widths[c]);
        Grid->EndLoading();
    }
    std::vector<int> ColWidths() const
    {
        std::vector<int> v;
        for (int c = 0; c < Grid->ColCount(); ++c) v.push_back(Grid->ColWidths(c));
        return v;
    }
    void SizeTo(int Width) { Grid->SetBounds(0, 0, Width, 250); }
};

TEST_F(ColumnSynch, ColumnsScaleFromTheLoadedWidthsWithoutDrift)
{
    Load();
    const struct {
        int Width;
        std::vector<int> Cols;
    } steps[] = {
        {600, {96, 150, 75, 0, 50}},   // 49.5 rounds up
        {300, {48, 75, 38, 0, 25}},    // from the reference, not from the widths at 600
        {401, {64, 100, 50, 0, 33}},
        {400, {64, 100, 50, 0, 33}},   // back to the loaded size: exactly the loaded widths
        {7, {1, 2, 1, 0, 1}}, {0, {0, 0, 0, 0, 0}}, {400, {64, 100, 50, 0, 33}},
    };
    for (const auto& s : steps) {
        SizeTo(s.Width);
        EXPECT_EQ(ColWidths(), s.Cols) << "grid width " << s.Width;
    }
}

TEST_F(ColumnSynch, NothingIsScaledWithoutSnapshotSwitchOrReferenceWidth)
{
    // Never loaded: the reference width is -1.
    Grid->ColumnSize()->SetSynchWithGrid(true);
    for (int c = 0; c < 5; ++c) Grid->SetColWidths(c, Widths[c]);
    SizeTo(600);
    EXPECT_EQ(ColWidths(), Widths);

    // Loaded, but the columns do not follow the grid.
    SizeTo(400);
    Load(false);
    SizeTo(800);
    EXPECT_EQ(ColWidths(), Widths);

    // Loaded at no width at all: no reference to scale from.
    SizeTo(0);
    Load(true);
    SizeTo(500);
    EXPECT_EQ(ColWidths(), Widths);
}

TEST_F(ColumnSynch, ColumnsAfterTheSnapshotKeepTheirWidthAndANewSnapshotIsTheNewReference)
{
    Load();
    Grid->SetColCount(6);
    Grid->SetColWidths(5, 40);
    SizeTo(200);
    EXPECT_EQ(ColWidths(), (std::vector<int>{32, 50, 25, 0, 17, 40}));
    Grid->SetColCount(3);
    SizeTo(800);
    EXPECT_EQ(ColWidths(), (std::vector<int>{128, 200, 100}));

    Grid->SetColWidths(1, 20);
    Grid->SnapshotColumnWidths();   // 800 wide now
    SizeTo(200);
    EXPECT_EQ(ColWidths(), (std::vector<int>{32, 5, 25}));
}

TEST_F(ColumnSynch, SizingEndsAnOpenEditKeepingTheTypedText)
{
    Load();
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->SetFocus();
    Grid->FocusCell(1, 1, true);
    TypeInCell("xyz");
    SizeTo(600);
    EXPECT_FALSE(Editor()->Visible());
    EXPECT_EQ(Grid->Cells(1, 1), "xyz");
    EXPECT_EQ(Grid->ColWidths(1), 150);
}

TEST_F(ColumnSynch, TheMovePictureIsTranslucentWithTheFixedLineAlongItsLeftEdge)
{
    Grid->SetOptions(Grid->Options() | goFixedHorzLine | goFixedVertLine);
    Grid->SetGridFixedLineColor(clRed);
    for (int r = 0; r < 4; ++r) {
        Grid->SetCells(0, r, "Nr " + std::to_string(r));
        Grid->SetCells(1, r, r == 0 ? "Tytuł" : "Łódź " + std::to_string(r));
    }
    TForm* picture = Grid->CreateDragImageForm(TGridRect(0, 0, 1, 3));
    EXPECT_EQ(picture->Owner(), Grid);
    EXPECT_EQ(picture->BorderStyle(), bsNone);
    EXPECT_TRUE(picture->AlphaBlend());
    EXPECT_EQ(picture->AlphaBlendValue(), 192);
    const TRect last = Grid->CellRect(1, 3);
    EXPECT_EQ(picture->Width(), last.Right - Grid->CellRect(0, 0).Left + 1);
    EXPECT_EQ(picture->Height(), last.Bottom - Grid->CellRect(0, 0).Top + 1);

    picture->SetBounds(Form->Left() + 420, Form->Top() + 10, picture->Width(), picture->Height());
    picture->Show();
    EXPECT_NEAR(WindowOpacity(picture), 192 / 255.0, 0.01);
    ASSERT_EQ(picture->ControlCount(), 1);
    auto* image = dynamic_cast<TImage*>(picture->Controls(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Align(), alClient);
    auto shot = GrabControl(picture);
    for (int y : {0, picture->Height() / 2, picture->Height() - 2})
        EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(0, y)), TColor(clRed)) << "left edge, y " << y;
    SaveScreenshot(shot.get(), "grid_move_picture.png");
    delete picture;
}

}  // namespace
