// Painted pixels of the string grid: colour precedence, alignment, mini-HTML
// state cells, glyphs, and a screenshot of a catalogue-like grid.
#include <gtest/gtest.h>

#include <filesystem>

#include "grid/ProGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {
struct PaintFixture : TGridFormTest<TProStringGrid> {
    void SetUp() override
    {
        ResetFormatSettings();
        MakeGrid(560, 420, 520, 360);
        Grid->SetColCount(5);
        Grid->SetRowCount(10);
        Grid->SetDefaultColWidth(96);
        Form->Show();
    }
    TRect Cell(int c, int r) { return Grid->CellRect(c, r); }
    TColor At(TBitmap* b, int x, int y) { return b->Canvas()->Pixels(x, y); }
    TColor Middle(TBitmap* b, int c, int r)
    {
        TRect rc = Cell(c, r);
        return At(b, (rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    }
    // Left and right x of the pixels in R that satisfy Ink; -1 when none.
    template <class F>
    std::pair<int, int> InkSpan(TBitmap* b, const TRect& R, F Ink)
    {
        int lo = -1, hi = -1;
        for (int x = R.Left; x < R.Right; ++x)
            for (int y = R.Top; y < R.Bottom; ++y)
                if (Ink(ColorToRGB(At(b, x, y)))) {
                    if (lo < 0)
                        lo = x;
                    hi = x;
                    break;
                }
        return {lo, hi};
    }
};

}

TEST_F(PaintFixture, ColourPrecedenceOfOwnColourBandsFixedAndEvent)
{
    Grid->SetLook(glStandard);   // plain fixed cells, no header gradient
    Grid->Bands()->SetPrimaryColor(0x00E0FF);
    Grid->Bands()->SetSecondaryColor(0xFFE0E0);
    Grid->Bands()->SetPrimaryLength(2);
    Grid->Bands()->SetSecondaryLength(1);
    Grid->Bands()->SetActive(true);
    Grid->SetCellBrushColor(3, 5, clRed);     // its own colour beats the band
    Grid->SetCellBrushColor(0, 4, clLime);    // a fixed cell keeps FixedColor
    Grid->SetFixedColor(0xC0C0C0);
    Grid->OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush* B, TFont*) {
        if (ACol == 4 && ARow == 6)
            B->SetColor(clAqua);
    };
    Grid->SetRow(9);
    Grid->SetCol(1);
    auto bmp = GrabControl(Grid);
    struct Case {
        int Col, Row;
        TColor Expected;
    } cases[] = {
        {2, 1, 0x00E0FF}, {2, 2, 0x00E0FF}, {2, 3, 0xFFE0E0}, {2, 4, 0x00E0FF}, {2, 6, 0xFFE0E0},
        {3, 5, clRed},    {0, 4, 0xC0C0C0}, {4, 6, clAqua},   {1, 0, -2},
    };
    for (const Case& c : cases) {
        if (c.Expected == -2)
            continue;
        EXPECT_EQ(Middle(bmp.get(), c.Col, c.Row), c.Expected) << c.Col << "," << c.Row;
    }
}

TEST_F(PaintFixture, SelectionAndActiveRowColours)
{
    Grid->SetSelectionColor(0x00FF80);
    Grid->SetActiveRowShow(true);
    Grid->SetActiveRowColor(0x80FFFF);
    Grid->SetRow(3);
    Grid->SetCol(2);
    auto bmp = GrabControl(Grid);
    EXPECT_EQ(Middle(bmp.get(), 2, 3), 0x00FF80);   // the current cell: selection
    EXPECT_EQ(Middle(bmp.get(), 4, 3), 0x80FFFF);   // the rest of the row: active row
    EXPECT_EQ(Middle(bmp.get(), 4, 5), ColorToRGB(clWindow));
}

TEST_F(PaintFixture, StateCellIsBoldGreenAndCentred)
{
    const AnsiString state = "<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>";
    Grid->SetCells(2, 4, state);
    Grid->SetRow(8);
    auto bmp = GrabControl(Grid);
    TRect rc = Cell(2, 4);
    auto green = [](TColor c) { return GetGValue(c) > 0x50 && GetRValue(c) < 0x60 && GetBValue(c) < 0x60; };
    auto [lo, hi] = InkSpan(bmp.get(), rc, green);
    ASSERT_GE(lo, 0) << "no green text painted";
    TBitmap m;
    m.SetSize(10, 10);
    m.Canvas()->Font()->Assign(Grid->Font());
    m.Canvas()->Font()->SetStyle(fsBold);
    int bold = m.Canvas()->TextWidth("Aktualna");
    m.Canvas()->Font()->SetStyle(0);
    int plain = m.Canvas()->TextWidth("Aktualna");
    ASSERT_GT(bold, plain);
    int ink = hi - lo + 1;
    EXPECT_GT(ink, plain - 1) << "the text is painted bold";
    int expectedLeft = rc.Left + (rc.Width() - bold) / 2;
    EXPECT_NEAR(lo, expectedLeft, 2);
}

TEST_F(PaintFixture, AutoNumAlignRightAlignsNumbersOnly)
{
    Grid->SetAutoNumAlign(true);
    const char* texts[] = {"12,50", "1,5E3", "=1+2", "abc"};
    bool right[] = {true, true, false, false};
    for (int i = 0; i < 4; ++i)
        Grid->SetCells(1 + i % 4, 2 + i, texts[i]);
    Grid->CellProperties(4, 5)->SetAlignment(taRightJustify);   // ignored with AutoNumAlign
    Grid->SetRow(9);
    auto bmp = GrabControl(Grid);
    for (int i = 0; i < 4; ++i) {
        TRect rc = Cell(1 + i % 4, 2 + i);
        auto [lo, hi] = InkSpan(bmp.get(), rc, Dark);
        ASSERT_GE(lo, 0) << texts[i];
        if (right[i])
            EXPECT_NEAR(hi, rc.Right - 1 - 2, 3) << texts[i];
        else
            EXPECT_LT(lo, rc.Left + 6) << texts[i];
    }
}

TEST_F(PaintFixture, CheckBoxCommentAndSortGlyph)
{
    Grid->SetRow(9);
    auto unchecked = AddGraphic(Grid, 1, 3, ctCheckBox);
    AddGraphic(Grid, 2, 4, ctComment)->CellText = "Normy się różnią !!!";
    auto before = GrabControl(Grid);
    unchecked->CellBoolean = true;
    Grid->SortSettings()->SetColumn(3);
    Grid->SortSettings()->SetShow(true);
    Grid->Invalidate();
    auto after = GrabControl(Grid);

    auto differs = [&](const TRect& r) {
        int n = 0;
        for (int x = r.Left; x < r.Right; ++x)
            for (int y = r.Top; y < r.Bottom; ++y)
                n += At(before.get(), x, y) != At(after.get(), x, y);
        return n;
    };
    TRect box = Cell(1, 3);
    box.Right = box.Left + 20;
    EXPECT_GT(differs(box), 5) << "checked and unchecked boxes look alike";
    EXPECT_GT(differs(Cell(3, 0)), 3) << "no sort glyph";
    EXPECT_EQ(differs(Cell(4, 0)), 0);
    TRect c = Cell(2, 4);
    EXPECT_EQ(At(after.get(), c.Right - 5, c.Top + 3), clRed);
    EXPECT_NE(At(after.get(), c.Left + 5, c.Top + 3), clRed);
}

TEST_F(PaintFixture, CatalogueScreenshot)
{
    Grid->SetRowCount(13);
    Grid->SetColCount(5);
    Grid->SetBounds(0, 0, 540, 320);
    Grid->SetColWidths(0, 24);
    Grid->SetColWidths(1, 130);
    Grid->SetColWidths(2, 190);
    Grid->SetColWidths(3, 90);
    Grid->SetColWidths(4, 80);
    Grid->SetDefaultRowHeight(22);
    const char* heads[] = {"", "Numer normy", "Tytuł", "Status", "Postęp"};
    for (int c = 0; c < 5; ++c)
        Grid->SetCells(c, 0, heads[c]);
    const char* states[] = {"<p align=\"center\"><font color=\"#008000\"><b>Aktualna</b></font></p>",
                            "<p align=\"center\"><font color=\"#0000FF\"><b>Wycofana</b></font></p>",
                            "<p align=\"center\"><font color=\"#FF8000\"><b>Zastąpiona</b></font></p>"};
    for (int r = 1; r < 13; ++r) {
        Grid->SetCells(0, r, IntToStr(r));
        Grid->SetCells(1, r, "PN-EN " + IntToStr(1000 + r * 37) + ":2004");
        Grid->SetCells(2, r, r % 2 ? "Bezpieczeństwo maszyn" : "Oznaczenia i wymagania ogólne");
        Grid->SetCells(3, r, states[r % 3]);
        Grid->SetCells(4, r, IntToStr(r * 8));
        AddGraphic(Grid, 4, r, ctProgress);
    }
    auto* chk = AddGraphic(Grid, 1, 2, ctCheckBox);
    chk->CellBoolean = true;
    AddGraphic(Grid, 2, 3, ctComment)->CellText = "Normy się różnią !!!";
    Grid->SortSettings()->SetColumn(1);
    Grid->SortSettings()->SetShow(true);
    Grid->SetRow(5);
    Grid->SetCol(1);
    SaveScreenshot(Grid, "catalogue.png");
    EXPECT_TRUE(std::filesystem::exists(ScreenshotPath("catalogue.png")));
}
