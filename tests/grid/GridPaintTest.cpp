// Painted pixels of the string grid: colour precedence, alignment, mini-HTML
// state cells, glyphs, and a screenshot of a catalogue-like grid; fixed cells
// per look and preset and the drop-down part of a hovered header, the sort
// glyph's place for every text kind and vertical alignment, cell borders,
// merged cells, the area outside the cells, progress bars and their text
// colours, check boxes per style, comment marks and node buttons.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/ProUtilDraw.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {
// A small bitmap's canvas with the font F, to measure text as the grid paints it.
TCanvas* Measuring(TBitmap& m, TFont* F)
{
    m.SetSize(4, 4);
    m.Canvas()->Font()->Assign(F);
    return m.Canvas();
}

// A pixel darker than 0x70 in each of red, green and blue.
bool Darker(TColor p) { return GetRValue(p) < 0x70 && GetGValue(p) < 0x70 && GetBValue(p) < 0x70; }

// The colour at T (0 to 1) of a gradient from From to To.
TColor Blend(TColor From, TColor To, double T)
{
    return RGB(int(GetRValue(From) * (1 - T) + GetRValue(To) * T), int(GetGValue(From) * (1 - T) + GetGValue(To) * T),
               int(GetBValue(From) * (1 - T) + GetBValue(To) * T));
}

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
                    if (lo < 0) lo = x;
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
    Grid->SetCellBrushColor(0, 2, clLime);    // ... unless the event gives it that colour
    Grid->SetFixedColor(0xC0C0C0);
    Grid->OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush* B, TFont*) {
        if (ACol == 4 && ARow == 6) B->SetColor(clAqua);
        if (ACol == 0 && ARow == 2) B->SetColor(clLime);
    };
    Grid->SetRow(9);
    Grid->SetCol(1);
    auto bmp = GrabControl(Grid);
    struct Case {
        int Col, Row;
        TColor Expected;
    } cases[] = {
        {2, 1, 0x00E0FF}, {2, 2, 0x00E0FF}, {2, 3, 0xFFE0E0}, {2, 4, 0x00E0FF}, {2, 6, 0xFFE0E0},
        {3, 5, clRed},    {0, 4, 0xC0C0C0}, {4, 6, clAqua},   {0, 2, clLime},
    };
    for (const Case& c : cases) EXPECT_EQ(Middle(bmp.get(), c.Col, c.Row), c.Expected) << c.Col << "," << c.Row;
}

TEST_F(PaintFixture, SelectionAndActiveRowColours)
{
    Grid->SetSelectionColor(0x00FF80);
    Grid->SetActiveRowShow(true);
    Grid->SetActiveRowColor(0x80FFFF);
    Grid->SetRow(3);
    Grid->SetCol(2);
    Grid->SetCells(3, 3, "{\\rtf1\\ansi }");
    TBitmap mark;   // the row indicator, red with a lime (transparent) corner
    mark.SetSize(8, 6);
    mark.Canvas()->Brush()->SetColor(clRed);
    mark.Canvas()->FillRect(TRect(0, 0, 8, 6));
    mark.Canvas()->SetPixels(0, 0, clLime);
    Grid->SetRowIndicator(&mark);
    Grid->SetRowHeights(3, 40);
    Grid->OnGetAlignment = [](TObject*, int, int, TAlignment&, TVAlignment& V) { V = vtaBottom; };
    auto bmp = GrabControl(Grid);
    EXPECT_EQ(Middle(bmp.get(), 2, 3), 0x00FF80);   // the current cell: selection
    EXPECT_EQ(Middle(bmp.get(), 4, 3), 0x80FFFF);   // the rest of the row: active row
    EXPECT_EQ(Middle(bmp.get(), 3, 3), 0x80FFFF);   // rich text fills with it too
    EXPECT_EQ(Middle(bmp.get(), 4, 5), ColorToRGB(clWindow));
    // The indicator stands at the top, by the grid's VAlignment, whatever the cell's own.
    EXPECT_LT(InkBox(bmp.get(), Cell(0, 3), [](TColor c) { return c == ColorToRGB(clRed); }).Top, Cell(0, 3).Top + 4);
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
    TCanvas* mc = Measuring(m, Grid->Font());
    mc->Font()->SetStyle(fsBold);
    int bold = mc->TextWidth("Aktualna");
    mc->Font()->SetStyle(0);
    int plain = mc->TextWidth("Aktualna");
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
    for (int i = 0; i < 4; ++i) Grid->SetCells(1 + i % 4, 2 + i, texts[i]);
    Grid->CellProperties(4, 5)->SetAlignment(taRightJustify);   // ignored with AutoNumAlign
    Grid->SetRow(9);
    auto bmp = GrabControl(Grid);
    for (int i = 0; i < 4; ++i) {
        TRect rc = Cell(1 + i % 4, 2 + i);
        auto [lo, hi] = InkSpan(bmp.get(), rc, Dark);
        ASSERT_GE(lo, 0) << texts[i];
        if (right[i]) EXPECT_NEAR(hi, rc.Right - 1 - 2, 3) << texts[i];
        else EXPECT_LT(lo, rc.Left + 6) << texts[i];
    }
}

TEST_F(PaintFixture, RightToLeftGridsMirrorTheSideOfCellText)
{
    const struct { TBiDiMode Mode; TAlignment Align; bool Right; } cases[] = {{bdLeftToRight, taLeftJustify, false},
        {bdRightToLeft, taLeftJustify, true}, {bdRightToLeft, taRightJustify, false},
        {bdRightToLeftReadingOnly, taLeftJustify, false}};
    Grid->SetCells(1, 2, "Norma");
    for (const auto& c : cases) {
        Grid->SetBiDiMode(c.Mode);
        Grid->CellProperties(1, 2)->SetAlignment(c.Align);
        auto bmp = GrabControl(Grid);
        auto [lo, hi] = InkSpan(bmp.get(), Cell(1, 2), Dark);
        EXPECT_EQ(c.Right ? hi > Cell(1, 2).Right - 8 : lo < Cell(1, 2).Left + 6, true) << c.Mode << c.Align;
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

    auto differs = [&](const TRect& r) { return DifferingPixels(before.get(), after.get(), r); };
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
    Grid->SetDefaultRowHeight(22);
    const char* heads[] = {"", "Numer normy", "Tytuł", "Status", "Postęp"};
    const int widths[] = {24, 130, 190, 90, 80};
    for (int c = 0; c < 5; ++c) {
        Grid->SetColWidths(c, widths[c]);
        Grid->SetCells(c, 0, heads[c]);
    }
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

namespace {
struct GridPaint : TGridFormTest<TProStringGrid> {
    void SetUp() override
    {
        ResetFormatSettings();
        MakeGrid(600, 420, 560, 360);
        Grid->SetColCount(5);
        Grid->SetRowCount(8);
        Grid->SetDefaultColWidth(100);
        Grid->SetDefaultRowHeight(30);
        Grid->SetRow(7);
        Form->Show();
    }
    // The rectangle the cell's content is painted in: the cell less its lines.
    TRect Inner(int c, int r)
    {
        TRect rc = Grid->CellRect(c, r);
        InflateRect(rc, -1, -1);
        return rc;
    }
    static TColor At(TBitmap* b, int x, int y) { return ColorToRGB(b->Canvas()->Pixels(x, y)); }
    int LineHeight()
    {
        TBitmap m;
        return Measuring(m, Grid->Font())->TextHeight("gh");
    }
    // The white and grey lines of the sort glyph in the header of column C.
    TRect SortGlyph(TBitmap* b, int C)
    {
        TRect area = Inner(C, 0);
        InflateRect(area, -1, -1);
        return InkBox(b, area, [](TColor p) { return p == clWhite || p == 0x808080; });
    }
};

bool Near(TColor a, TColor b, int tol)
{
    a = ColorToRGB(a);
    b = ColorToRGB(b);
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

::testing::AssertionResult ColourNear(TColor actual, TColor expected, int tol)
{
    if (Near(actual, expected, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "0x" << ColorToRGB(actual) << " is not near 0x"
                                         << ColorToRGB(expected);
}
}

// ---------------------------------------------------------------- fixed cells per look
TEST_F(GridPaint, FixedCellsFollowTheLookAndItsPreset)
{
    const TColor face = ColorToRGB(clBtnFace);
    struct Case {
        const char* Name;
        TGridLook Look;
        int Preset;   // -1 none
        TColor Top, Bottom;
    } cases[] = {
        {"xp", glXP, -1, clWhite, face}, {"halvik", glHalvik, -1, clWhite, face},
        {"xp blue preset", glXP, 0, 0xFCE1CB, 0xE0A57D},
        {"xp silver preset", glXP, 1, 0xECE2E1, 0xB39698},
        {"xp light preset", glXP, 4, 0xFBF9F6, 0xE8DBD2},
        {"vista", glVista, -1, clWhite, 0xF4F2F1}, {"standard", glStandard, -1, face, face},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Grid->SetLook(glStandard);
        Grid->SetLook(c.Look);
        if (c.Preset >= 0) ApplyLookPreset(Grid, Byte(c.Preset));
        auto bmp = GrabControl(Grid);
        TRect in = Inner(2, 0);
        int x = (in.Left + in.Right) / 2;
        EXPECT_TRUE(ColourNear(At(bmp.get(), x, in.Top + 3), c.Top, 8));
        EXPECT_TRUE(ColourNear(At(bmp.get(), x, in.Bottom - 3), c.Bottom, 8));
    }
}

// The theme's colour schemes and the numbered presets give the search footer its colours: its own
// settings hold them, so the footer shown afterwards is painted in them.
TEST_F(GridPaint, SchemesAndPresetsColourTheSearchFooter)
{
    const TColor face = clBtnFace;
    struct Case {
        int Scheme, Preset;   // -1 not applied; Scheme 99 is theme adaption; preset 8 leaves the footer
        TColor From, To;
    } cases[] = {
        {0, -1, clWhite, 0xFFD9B3},   {1, -1, 0xFCE1CB, 0xE0A57D},  {2, -1, 0xCFF0EA, 0x8CC0B1},
        {3, -1, 0xECE2E1, 0xB39698},  {4, -1, 0xECE2E1, 0xB39698},  {7, -1, clWhite, 0xFFD9B3},
        {99, -1, clWhite, 0xFFD9B3},  {-1, 0, 0xFCE1CB, 0xE0A57D},  {-1, 1, 0xECE2E1, 0xB39698},
        {-1, 2, 0xCFF0EA, 0x8CC0B1},  {-1, 3, clWhite, 0xD8D5D4},   {-1, 4, 0xFFEFE3, 0xFFD2AF},
        {-1, 5, 0xF2F1F0, 0xC9C2BD},  {-1, 6, face, face},          {-1, 7, 0xEBEEEF, 0x7E9898},
        {-1, 8, clLime, clLime},      {-1, 9, 0xEEEEEE, 0xC1C1C1},  {-1, 10, face, face},
    };
    TSearchFooter* footer = Grid->SearchFooter();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "scheme " << c.Scheme << " preset " << c.Preset);
        footer->SetVisible(false);
        footer->SetColor(clLime);
        footer->SetColorTo(clLime);
        if (c.Scheme == 99) Grid->SetAutoThemeAdapt(true);
        else if (c.Scheme >= 0) ApplySchemeColors(Grid, Byte(c.Scheme));
        else ApplyLookPreset(Grid, Byte(c.Preset));
        EXPECT_EQ(footer->Color(), c.From);
        EXPECT_EQ(footer->ColorTo(), c.To);
        footer->SetVisible(true);
        ProcessPendingMessages();
        TSearchPanel* panel = Grid->SearchPanel();
        EXPECT_EQ(panel->ColorTo(), c.To);
        auto bmp = GrabControl(panel);
        const int x = panel->Width() - 3;
        EXPECT_TRUE(ColourNear(At(bmp.get(), x, 0), c.From, 8));
        EXPECT_TRUE(ColourNear(At(bmp.get(), x, panel->Height() - 1), c.To, 8));
        if (c.Scheme == 3) SaveScreenshot(Form, "search_footer_scheme3.png");
        Grid->SetAutoThemeAdapt(false);
    }
}

TEST_F(GridPaint, HoveredHeaderShowsItsDropDownPartAtTheRight)
{
    const TColor hover = 0x40C0F0, down = 0x30A030, hoverLine = 0x800000, downLine = 0x000080, ink = 0x0000FF;
    Grid->SetLook(glXP);
    TControlLook* cl = Grid->ControlLook();
    cl->SetFixedGradientHoverFrom(hover);
    cl->SetFixedGradientHoverTo(hover);
    cl->SetFixedGradientHoverBorder(hoverLine);
    cl->SetFixedGradientDownFrom(down);
    cl->SetFixedGradientDownTo(down);
    cl->SetFixedGradientDownBorder(downLine);
    Grid->FixedFont()->SetColor(ink);
    Grid->SetCells(2, 0, "WWWWWWW");
    Grid->OnGetAlignment = [](TObject*, int ARow, int, TAlignment& H, TVAlignment& V) {
        if (ARow == 0) {
            H = taRightJustify;
            V = vtaCenter;
        }
    };
    struct Case {
        const char* Name;
        bool Button, Down;
        TColor Fill, Line;
    } cases[] = {
        {"hover", true, false, hover, hoverLine}, {"pressed", true, true, down, downLine},
        {"hover without the button", false, false, hover, hoverLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        cl->SetFixedDropDownButton(c.Button);
        Grid->SetHoverFixedCell(2, 0, c.Down);
        auto bmp = GrabControl(Grid);
        TRect cell = Grid->CellRect(2, 0);
        int buttonLeft = cell.Right - 16, mid = cell.Top + (cell.Height() - 1) / 2;
        // The part's own fill, away from the arrow and the lines.
        EXPECT_EQ(At(bmp.get(), buttonLeft + 3, cell.Top + 4), c.Fill);
        TRect text = InkBox(bmp.get(), TRect(cell.Left, cell.Top, cell.Right, cell.Bottom),
                            [&](TColor p) { return Near(p, ink, 60); });
        ASSERT_GE(text.Left, 0);
        if (c.Button) {
            EXPECT_EQ(At(bmp.get(), buttonLeft, cell.Top + 4), c.Line);   // separating line
            EXPECT_EQ(At(bmp.get(), buttonLeft + 8, mid + 1), clBlack);    // arrow
            EXPECT_LE(text.Right, buttonLeft);                            // text keeps off the button
        } else {
            EXPECT_EQ(At(bmp.get(), buttonLeft, cell.Top + 4), c.Fill);
            EXPECT_NE(At(bmp.get(), buttonLeft + 8, mid + 1), clBlack);
            EXPECT_GT(text.Right, buttonLeft);
        }
    }
    // Not under the mouse: no drop-down part.
    cl->SetFixedDropDownButton(true);
    Grid->SetHoverFixedCell(-1, -1, false);
    auto bmp = GrabControl(Grid);
    TRect cell = Grid->CellRect(2, 0);
    EXPECT_NE(At(bmp.get(), cell.Right - 8, cell.Top + (cell.Height() - 1) / 2 + 1), clBlack);
}

TEST_F(GridPaint, FixedCellEdgesPerLook)
{
    const TColor face = ColorToRGB(clBtnFace);
    const TColor dark = DarkenColor(face);
    Grid->SetLook(glSoft);
    auto soft = GrabControl(Grid);
    TRect in = Inner(2, 0);
    int y = (in.Top + in.Bottom) / 2;
    // Soft: a darkened line two pixels inside the right edge, white one pixel inside it.
    EXPECT_EQ(At(soft.get(), in.Right - 1, y), dark);
    EXPECT_EQ(At(soft.get(), in.Right, y), clWhite);
    EXPECT_EQ(At(soft.get(), in.Left, y), clWhite);

    Grid->SetLook(glClassic);
    auto classic = GrabControl(Grid);
    EXPECT_EQ(At(classic.get(), in.Left, y), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(classic.get(), in.Right - 1, y), clBlack);
    EXPECT_EQ(At(classic.get(), (in.Left + in.Right) / 2, in.Bottom - 1), clBlack);
    EXPECT_EQ(At(classic.get(), (in.Left + in.Right) / 2, y), face);

    // Flat grids keep plain fixed cells in every look.
    Grid->SetFlat(true);
    Grid->SetLook(glXP);
    auto flat = GrabControl(Grid);
    EXPECT_EQ(At(flat.get(), (in.Left + in.Right) / 2, in.Top + 3), face);
    EXPECT_FALSE(Grid->Ctl3D());   // the window's 3-D look follows Flat
}

namespace {
struct FilterGrid : TProStringGrid {
    using TProStringGrid::TProStringGrid;
    bool HasFilterButton(int ACol) override { return ACol == 2; }
    void GetCellWordWrap(int ACol, int, bool& WordWrap) override { WordWrap = ACol == 3; }
};
using FilteredHeaders = TGridFormTest<FilterGrid>;
}  // namespace

// A column with a filter button shows its glyph at the right of its header cell, also when the grid
// has drawn no other glyph yet.
TEST_F(FilteredHeaders, TheFilterGlyphSitsAtTheRightOfItsHeaderCell)
{
    auto bmp = GrabControl(Grid);
    for (int c : {1, 2}) {
        const TRect rc = Grid->CellRect(c, 0);
        const TRect glyph = InkBox(bmp.get(), TRect(rc.Right - 17, rc.Top + 1, rc.Right - 1, rc.Bottom - 1),
                                   [](TColor p) { return p == TColor(0x404040); });
        EXPECT_EQ(glyph.Left >= 0, c == 2) << "column " << c;
    }
}

// A descendant's word-wrap answer decides how the cell's text is painted.
TEST_F(FilteredHeaders, TheWordWrapHookBreaksThePaintedText)
{
    Grid->SetDefaultRowHeight(60);
    for (int c : {1, 3})
        Grid->SetCells(c, 1, "Bezpieczeństwo maszyn elektrycznych");
    auto bmp = GrabControl(Grid);
    const int one = InkBox(bmp.get(), Grid->CellRect(1, 1), Dark).Height();
    EXPECT_GT(InkBox(bmp.get(), Grid->CellRect(3, 1), Dark).Height(), one * 3 / 2);
}

// A list-view header under the mouse is lit, and darkened while pressed.
TEST_F(GridPaint, ListViewHeaderShowsHotAndPressedStates)
{
    Grid->SetLook(glListView);
    const TRect in = Inner(2, 0);
    auto at = [&](int ACol, bool ADown) {
        Grid->SetHoverFixedCell(ACol, ACol < 0 ? -1 : 0, ADown);
        return At(GrabControl(Grid).get(), in.Left + 30, (in.Top + in.Bottom) / 2);
    };
    const TColor normal = at(-1, false), hot = at(2, false), pressed = at(2, true);
    EXPECT_NE(hot, normal);
    EXPECT_LT(GetRValue(pressed) + GetGValue(pressed) + GetBValue(pressed),
              GetRValue(normal) + GetGValue(normal) + GetBValue(normal));
}

TEST_F(GridPaint, ActiveCellHeadersAndSortHeaderColours)
{
    Grid->SetActiveCellShow(true);
    Grid->SetActiveCellColor(0x00FFFF);
    Grid->SetActiveCellColorTo(0x00FFFF);
    Grid->SetCol(3);
    Grid->SetRow(4);
    auto bmp = GrabControl(Grid);
    auto mid = [&](int c, int r) {
        TRect in = Inner(c, r);
        return At(bmp.get(), (in.Left + in.Right) / 2, (in.Top + in.Bottom) / 2);
    };
    EXPECT_EQ(mid(3, 0), 0x00FFFF);   // column header of the current cell
    EXPECT_EQ(mid(0, 4), 0x00FFFF);   // row header of the current cell
    EXPECT_NE(mid(2, 0), 0x00FFFF);
    EXPECT_NE(mid(0, 3), 0x00FFFF);
}

// ---------------------------------------------------------------- the sort glyph
TEST_F(GridPaint, SortGlyphPlaceForEveryTextKindAndVerticalAlignmentAndWhereItIsLeftOut)
{
    Grid->SetLook(glStandard);   // plain header: the glyph's white and grey lines stand out
    Grid->SetFixedColor(0xC8D0D4);
    Grid->SetDefaultRowHeight(40);
    Grid->SortSettings()->SetShow(true);
    Grid->SortSettings()->SetColumn(2);
    const AnsiString plain = "Tytuł";
    struct Case {
        const char* Name;
        AnsiString Text;
        TAlignment Align;
        TVAlignment VAlign;
        TSortDirection Direction = sdAscending;
    } cases[] = {
        {"plain left, top", plain, taLeftJustify, vtaTop},
        {"plain left, descending", plain, taLeftJustify, vtaCenter, sdDescending},
        {"plain left, centre", plain, taLeftJustify, vtaCenter},
        {"plain left, bottom", plain, taLeftJustify, vtaBottom},
        {"plain right", plain, taRightJustify, vtaCenter},
        {"plain centred", plain, taCenter, vtaCenter},
        {"mini-HTML", "<b>Tytuł</b>", taLeftJustify, vtaCenter},
        {"wide text", EncodeUnicodeCell(AnsiToWide(plain)), taLeftJustify, vtaCenter},
        {"rich text", "{\\rtf1\\ansi Tytu\\'b3\\par}", taLeftJustify, vtaBottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Grid->SetCells(2, 0, c.Text);
        Grid->CellProperties(2, 0)->SetAlignment(c.Align);
        Grid->SetVAlignment(c.VAlign);
        Grid->SortSettings()->SetDirection(c.Direction);
        auto bmp = GrabControl(Grid);
        TRect in = Inner(2, 0);
        TRect glyph = SortGlyph(bmp.get(), 2);
        ASSERT_GE(glyph.Left, 0) << "no sort glyph";
        int gx = (glyph.Left + glyph.Right - 1) / 2, gy = (glyph.Top + glyph.Bottom - 1) / 2;
        // The text rectangle: the cell less the text offset of 2 on the left, right and top.
        TRect text(in.Left + 2, in.Top + 2, in.Right - 2, in.Bottom);
        TBitmap m;
        int tw = Measuring(m, Grid->FixedFont())->TextWidth(plain);
        int x = 0;
        if (c.Text[0] == '<') x = text.Right - 10 + 2;
        else if (c.Text[0] == '|' || c.Text[0] == '{') x = text.Right - 10 + 3;
        else if (c.Align == taLeftJustify) x = text.Left + tw + 10;
        else if (c.Align == taRightJustify) x = text.Right - tw - 10;
        else x = in.Left + 8;
        int y = c.VAlign == vtaTop ? text.Top + 8 : c.VAlign == vtaBottom ? text.Bottom - 8
                                                                           : (text.Top + text.Bottom) / 2;
        EXPECT_NEAR(gx, x, 1);
        EXPECT_NEAR(gy, y, 1);
        // Nine pixels each way: the apex at four pixels from the middle is drawn too.
        EXPECT_EQ(TPoint(glyph.Width(), glyph.Height()), TPoint(9, 9));
    }
    // None with two rows or fewer, nor in a fixed column without SortSettings.FixedCols.
    Grid->SetCells(2, 0, "");
    Grid->SetRowCount(2);
    EXPECT_LT(SortGlyph(GrabControl(Grid).get(), 2).Left, 0);
    Grid->SetRowCount(8);
    Grid->SortSettings()->SetColumn(0);
    EXPECT_LT(SortGlyph(GrabControl(Grid).get(), 0).Left, 0);
}

// ---------------------------------------------------------------- text alignment
TEST_F(GridPaint, VerticalAlignmentAndWordWrapOfSingleAndMultiLineText)
{
    Grid->SetDefaultRowHeight(60);
    Grid->SetCells(1, 1, "Norma");
    Grid->SetCells(2, 1, "Pierwsza\r\nDruga");
    Grid->SetCells(3, 1, "Pierwsza\nDruga");
    const int lineH = LineHeight();
    struct Case {
        TVAlignment VAlign;
        int Col, Lines;
    } cases[] = {{vtaTop, 1, 1}, {vtaCenter, 1, 1}, {vtaBottom, 1, 1},
                 {vtaTop, 2, 2}, {vtaCenter, 2, 2}, {vtaBottom, 2, 2}, {vtaTop, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "valign " << c.VAlign << " lines " << c.Lines);
        Grid->SetVAlignment(c.VAlign);
        auto bmp = GrabControl(Grid);
        TRect in = Inner(c.Col, 1);
        TRect ink = InkBox(bmp.get(), in, Darker);
        ASSERT_GE(ink.Left, 0);
        int blockH = c.Lines * lineH;
        int top = in.Top + 2;   // below the text offset
        int expectedTop = c.VAlign == vtaTop      ? top
                          : c.VAlign == vtaBottom ? in.Bottom - blockH
                                                  : top + (in.Bottom - top - blockH) / 2;
        // The ink lies inside the block of lines that starts there.
        EXPECT_GE(ink.Top, expectedTop - 2);
        EXPECT_LE(ink.Bottom, expectedTop + blockH + 2);
        EXPECT_GT(ink.Height(), (c.Lines - 1) * lineH);
        TPoint size;   // measured as drawn
        Grid->GetCellTextSize(c.Col, 1, false, size);
        EXPECT_EQ(size.Y, c.Lines * lineH + 4);
    }
    // Long text breaks only with WordWrap.
    Grid->SetCells(1, 1, "Bezpieczeństwo maszyn elektrycznych");
    Grid->SetWordWrap(false);
    auto one = GrabControl(Grid);
    Grid->SetWordWrap(true);
    auto wrapped = GrabControl(Grid);
    TRect in = Inner(1, 1);
    TRect a = InkBox(one.get(), in, Darker), b = InkBox(wrapped.get(), in, Darker);
    EXPECT_LT(a.Height(), lineH + 1);
    EXPECT_GT(b.Height(), lineH);
    EXPECT_LE(b.Right, in.Right - 2);
}

// A Unicode cell shows and measures the letters that have no 8-bit form as themselves.
TEST_F(GridPaint, WideTextIsDrawnAndMeasuredFromItsOwnLetters)
{
    const WideString letters = u"\u0416\u0416\u0416\u0416";   // no Windows-1250 form
    Grid->SetCells(1, 1, EncodeUnicodeCell(letters));
    Grid->SetCells(1, 2, "????");
    Grid->SetCells(1, 3, EncodeUnicodeCell(WideString()));
    TBitmap m;
    TRect want;
    DrawTextW(Measuring(m, Grid->Font()), letters, want, DT_CALCRECT | DT_NOPREFIX);
    auto bmp = GrabControl(Grid);
    TRect wide = InkBox(bmp.get(), Inner(1, 1), Dark), asked = InkBox(bmp.get(), Inner(1, 2), Dark);
    EXPECT_NEAR(wide.Width(), want.Width(), 2);
    EXPECT_NE(wide.Width(), asked.Width());
    TPoint size, empty;
    Grid->GetCellTextSize(1, 1, false, size);
    Grid->GetCellTextSize(1, 3, false, empty);
    EXPECT_EQ(size.X - empty.X, want.Width());
}

// ---------------------------------------------------------------- borders and merged cells
TEST_F(GridPaint, CellBordersByEvent)
{
    Grid->OnGetCellBorder = [](TObject*, int ARow, int ACol, TPen* APen, TCellBorders& Borders) {
        if (ACol == 2 && ARow == 3) {
            APen->SetColor(clRed);
            Borders = cbLeft | cbTop | cbRight | cbBottom;
        }
    };
    auto bmp = GrabControl(Grid);
    TRect rc = Grid->CellRect(2, 3);
    TRect red = InkBox(bmp.get(), TRect(rc.Left - 3, rc.Top - 3, rc.Right + 3, rc.Bottom + 3),
                       [](TColor p) { return p == clRed; });
    // The rectangle grown back to the cell and moved in by one pixel; the top
    // line one line width above that, the right and bottom ones inside it.
    EXPECT_EQ(red, TRect(rc.Left + 1, rc.Top, rc.Right - 1, rc.Bottom - 1));
    int my = (rc.Top + rc.Bottom) / 2, mx = (rc.Left + rc.Right) / 2;
    EXPECT_EQ(At(bmp.get(), rc.Left + 1, my), clRed);
    EXPECT_EQ(At(bmp.get(), rc.Right - 2, my), clRed);
    EXPECT_EQ(At(bmp.get(), mx, rc.Top), clRed);
    EXPECT_EQ(At(bmp.get(), mx, rc.Bottom - 2), clRed);
    EXPECT_NE(At(bmp.get(), mx, my), clRed);
    // Other cells have none.
    TRect other = Grid->CellRect(3, 3);
    EXPECT_LT(InkBox(bmp.get(), other, [](TColor p) { return p == clRed; }).Left, 0);
    // Both events name the stored column, also behind a hidden one.
    Grid->HideColumn(1);
    std::vector<int> cols, propCols;
    Grid->OnGetCellBorder = [&](TObject*, int ARow, int ACol, TPen*, TCellBorders&) {
        if (ARow == 3) cols.push_back(ACol);
    };
    Grid->OnGetCellBorderProp = [&](TObject*, int ARow, int ACol, TPen*, TPen*, TPen*, TPen*) {
        if (ARow == 3) propCols.push_back(ACol);
    };
    GrabControl(Grid);
    EXPECT_EQ(propCols, cols);
}

TEST_F(GridPaint, MergedCellsHaveNoInnerGridLines)
{
    Grid->SetGridLineColor(0x00FF00);
    Grid->SetCellBrushColor(1, 2, 0xFFE0C0);
    Grid->MergeCells(1, 2, 2, 2);
    auto bmp = GrabControl(Grid);
    TRect a = Grid->CellRect(1, 2), d = Grid->CellRect(2, 3);
    // Where the lines between the four cells would run, the merged cell's colour shows.
    EXPECT_EQ(At(bmp.get(), a.Right - 1, a.Top + 5), 0xFFE0C0);
    EXPECT_EQ(At(bmp.get(), a.Left + 5, a.Bottom - 1), 0xFFE0C0);
    // Its outer lines stay.
    EXPECT_EQ(At(bmp.get(), d.Right - 1, d.Top + 5), 0x00FF00);
    EXPECT_EQ(At(bmp.get(), d.Left + 5, d.Bottom - 1), 0x00FF00);
}

// ---------------------------------------------------------------- outside the cells
TEST_F(GridPaint, AreaOutsideTheCellsIsAGradient)
{
    Grid->SetColCount(3);
    Grid->SetDefaultColWidth(80);
    auto grey = [](TColor p) {
        return std::abs(GetRValue(p) - GetBValue(p)) < 24 && std::abs(GetRValue(p) - GetGValue(p)) < 24;
    };
    const TColor from = 0x0000FF, to = 0xFF0000;
    struct Case {
        TBackGroundDisplay Display;
        int Rows;   // 4 fit the grid; 12 scroll
        TColor To;
        bool Footer, Painted, Horizontal;
    } cases[] = {{bdTile, 4, to, false, true, false},   // no picture: Color to ColorTo, top to bottom
                 {bdFixed, 4, to, false, true, false},  {bdTile, 4, clNone, false, false, false},
                 {bdGradientVert, 4, to, false, true, false}, {bdGradientHorz, 4, to, false, true, true},
                 {bdGradientVert, 12, to, false, true, false},
                 {bdGradientVert, 4, to, true, true, false}};   // the search footer clips the client area's gradient
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "display " << int(c.Display) << " rows " << c.Rows << " footer "
                                          << c.Footer);
        Grid->SetRowCount(c.Rows);
        Grid->BackGround()->SetColor(from);
        Grid->BackGround()->SetColorTo(c.To);
        Grid->BackGround()->SetDisplay(c.Display);
        Grid->SearchFooter()->SetVisible(c.Footer);
        Grid->Invalidate();
        auto bmp = GrabControl(Grid);
        const TRect cr = Grid->ClientRect();
        // The colour of the one gradient over the client area at (x, y).
        auto slice = [&](int x, int y) {
            return Blend(from, to, c.Horizontal ? double(x) / cr.Width() : double(y) / cr.Height());
        };
        TRect lastCol = Grid->CellRect(2, 1);
        TColor topRight = At(bmp.get(), cr.Right - 3, 3);
        if (!c.Painted) {
            EXPECT_TRUE(grey(topRight));
            continue;
        }
        EXPECT_TRUE(ColourNear(topRight, slice(cr.Right - 3, 3), 8));
        if (c.Rows == 4) {
            TRect last = Grid->CellRect(2, 3);
            const int y = cr.Bottom - (c.Footer ? 32 : 0) - 3;
            EXPECT_TRUE(ColourNear(At(bmp.get(), 3, y), slice(3, y), 8));
            EXPECT_FALSE(grey(At(bmp.get(), last.Left + 5, last.Bottom + 4)));   // right below the last row
        }
        // Cells are not painted over: the fixed cells keep their look, the
        // normal ones show their slice of the same gradient in the gradient displays.
        TRect head = Inner(0, 2);
        EXPECT_TRUE(grey(At(bmp.get(), (head.Left + head.Right) / 2, (head.Top + head.Bottom) / 2)));
        const bool slices = c.Display == bdGradientHorz || c.Display == bdGradientVert;
        EXPECT_NE(grey(At(bmp.get(), (lastCol.Left + lastCol.Right) / 2, lastCol.Top + 5)), slices);
        // Grid lines stay over the cells' slices.
        TRect inner = Grid->CellRect(1, 1);
        EXPECT_EQ(At(bmp.get(), inner.Right - 1, inner.Top + 5), ColorToRGB(Grid->GridLineColor()));
        EXPECT_EQ(At(bmp.get(), inner.Left + 5, inner.Bottom - 1), ColorToRGB(Grid->GridLineColor()));
    }
}

// Over a background picture shown as a gradient, a check box, radio group or button shows its slice of
// the gradient whatever its cell's colour; any other cell with its own colour keeps it.
TEST_F(GridPaint, ControlCellsShowTheBackgroundGradientOverTheirOwnColour)
{
    const TColor own = 0x00FF00, from = 0x0000FF, to = 0xFF0000;
    TBitmap picture;
    picture.SetSize(8, 8);
    Grid->BackGround()->SetBitmap(&picture);
    Grid->BackGround()->SetColor(from);
    Grid->BackGround()->SetColorTo(to);
    struct Cell {
        int Col, Row;
        int Type;   // -1 no graphic
        bool Own, Gradient;
    } cells[] = {
        {1, 1, ctCheckBox, true, true},   {2, 1, ctRadio, true, true},      {3, 1, ctButton, true, true},
        {4, 1, ctBitButton, true, true},  {1, 2, ctDataCheckBox, true, true}, {2, 2, -1, true, false},
        {3, 2, ctComment, true, false},   {4, 2, ctCheckBox, false, true},  {1, 3, -1, false, true},
    };
    for (const Cell& c : cells) {
        if (c.Own) Grid->SetCellBrushColor(c.Col, c.Row, own);
        if (c.Type < 0) continue;
        TCellGraphic* g = AddGraphic(Grid, c.Col, c.Row, TCellType(c.Type));
        g->CellIndex = (14 << 16) | 20;   // the buttons' size
        if (c.Type == ctRadio) {
            g->CellObject = NewStringList({"a"});
            g->CellCreated = true;
            g->CellIndex = 0;
        }
    }
    for (TBackGroundDisplay display : {bdGradientHorz, bdGradientVert}) {
        Grid->BackGround()->SetDisplay(display);
        auto bmp = GrabControl(Grid);
        const bool horz = display == bdGradientHorz;
        const TRect client = Grid->ClientRect();
        for (const Cell& c : cells) {
            SCOPED_TRACE(::testing::Message() << "display " << int(display) << " cell " << c.Col << "," << c.Row);
            const TRect in = Inner(c.Col, c.Row);
            const int x = in.Right - 6, y = in.Bottom - 5;   // clear of the glyphs
            const TColor slice = Blend(from, to, horz ? double(x) / client.Width() : double(y) / client.Height());
            EXPECT_TRUE(ColourNear(At(bmp.get(), x, y), c.Gradient ? slice : own, 12));
        }
        if (horz) SaveScreenshot(bmp.get(), "background_gradient_control_cells.png");
    }
}

// ---------------------------------------------------------------- glyphs
// A cell's button is found where it is drawn (a press takes what the user sees); its caption is centred, wrapped too.
TEST_F(GridPaint, CellButtonsAreFoundWhereTheyAreDrawnWithTheCaptionCentred)
{
    Grid->SetOptions(Grid->Options() | goEditing);   // an enabled button: a dark caption
    Grid->SetRowHeights(2, 52);
    TCellGraphic* g = AddGraphic(Grid, 2, 2, ctButton);
    g->CellIndex = (44 << 16) | 60;
    const std::tuple<TCellHAlign, TCellVAlign, const char*> cases[] = {
        {haLeft, vaTop, "Ok"}, {haCenter, vaCenter, ""}, {haRight, vaBottom, "jeden\rdwa"}};
    for (auto [h, v, caption] : cases) {
        std::tie(g->CellHAlign, g->CellVAlign, g->CellText) = std::tuple(h, v, caption);
        auto bmp = GrabControl(Grid);
        TRect found;
        Grid->GetCellButtonRect(2, 2, found);
        EXPECT_EQ(found, InkBox(bmp.get(), Inner(2, 2), [](TColor c) { return c != ColorToRGB(clWindow); })) << h;
        const TRect text = InkBox(bmp.get(), found, Dark);
        EXPECT_TRUE(!*caption || std::abs(text.Top + text.Bottom - found.Top - found.Bottom) <= 3) << caption;
    }
}

TEST_F(GridPaint, ClassicProgressBarsClampTheirValue)
{
    Grid->ControlLook()->SetControlStyle(csClassic);
    const TColor complete = 0x00A000, uncomplete = 0xF0F0F0;
    struct Case {
        const char* Value;
        bool LeftDone, RightDone;
    } cases[] = {{"150", true, true}, {"-5", false, false}, {"50", true, false}, {"abc", false, false},
                 {"5000000000", true, true}, {"-5000000000", false, false}};
    for (int i = 0; i < 6; ++i) {
        Grid->SetCells(1, 1 + i, cases[i].Value);
        auto* g = AddGraphic(Grid, 1, 1 + i, ctProgress);
        g->CellIndex = complete;
        g->CellAngle = uncomplete;
    }
    auto bmp = GrabControl(Grid);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(cases[i].Value);
        TRect in = Inner(1, 1 + i);
        int y = in.Top + 6;   // above the percentage text
        TColor left = At(bmp.get(), in.Left + 6, y), right = At(bmp.get(), in.Right - 6, y);
        EXPECT_EQ(left, cases[i].LeftDone ? complete : uncomplete);
        EXPECT_EQ(right, cases[i].RightDone ? complete : uncomplete);
    }
}

TEST_F(GridPaint, ClassicProgressTextTakesTheGraphicsTextColoursWhenAsked)
{
    Grid->ControlLook()->SetControlStyle(csClassic);
    Grid->Font()->SetSize(12);
    const TColor complete = 0x00A000, uncomplete = 0xF0F0F0, doneText = 0x0000FF, restText = 0xFF0000;
    struct Case {
        const char* Name;
        bool Own;             // CellBoolean
        bool SetColours;      // the graphic's text colours are given
        TColor Done, Rest;    // expected text colours over each part
    } cases[] = {
        {"own colours", true, true, doneText, restText},
        {"own colours not given", true, false, complete ^ 0xFFFFFF, uncomplete ^ 0xFFFFFF},
        {"inverted bar colours", false, true, complete ^ 0xFFFFFF, uncomplete ^ 0xFFFFFF},
        {"no bar colours: the grid's progress look", false, false, doneText, restText},
    };
    Grid->ProgressAppearance()->SetCompleteColor(complete);
    Grid->ProgressAppearance()->SetUnCompleteColor(uncomplete);
    Grid->ProgressAppearance()->SetCompleteFontColor(doneText);
    Grid->ProgressAppearance()->SetUnCompleteFontColor(restText);
    for (int i = 0; i < 4; ++i) {
        Grid->SetColWidths(1, 160);
        Grid->SetCells(1, 1 + i, "50");
        auto* g = AddGraphic(Grid, 1, 1 + i, ctProgress);
        g->CellIndex = i < 3 ? complete : 0;
        g->CellAngle = i < 3 ? uncomplete : 0;
        g->CellBoolean = cases[i].Own;
        if (cases[i].SetColours) {
            g->CellCompleteFontColor = doneText;
            g->CellUnCompleteFontColor = restText;
        }
    }
    auto bmp = GrabControl(Grid);
    for (int i = 0; i < 4; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.Name);
        TRect in = Inner(1, 1 + i);
        int mid = (in.Left + in.Right) / 2;
        EXPECT_EQ(At(bmp.get(), in.Left + 6, in.Top + 6), complete);
        EXPECT_EQ(At(bmp.get(), in.Right - 6, in.Top + 6), uncomplete);
        // The text "50%" straddles the middle, where the done part ends.
        auto inkIn = [&](int from, int to, TColor colour) {
            return InkBox(bmp.get(), TRect(from, in.Top, to, in.Bottom),
                          [&](TColor p) { return Near(p, colour, 40); }).Left >= 0;
        };
        EXPECT_TRUE(inkIn(in.Left + 4, mid - 1, c.Done));
        EXPECT_TRUE(inkIn(mid + 2, in.Right - 4, c.Rest));
        EXPECT_FALSE(inkIn(mid + 2, in.Right - 4, c.Done));
        EXPECT_FALSE(inkIn(in.Left + 4, mid - 1, c.Rest));
    }
}

TEST_F(GridPaint, CheckBoxStylesDrawInTheirSquare)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    auto* g = AddGraphic(Grid, 2, 2, ctCheckBox);
    struct Case {
        TGridControlStyle Style;
        int Size;   // drawn square
    } cases[] = {{csClassic, 15}, {csFlat, 15}, {csWinXP, 16}, {csHalvik, 20}, {csOstrevan, 15}, {csTheme, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Style));
        Grid->ControlLook()->SetControlStyle(c.Style);
        g->CellBoolean = false;
        Grid->Invalidate();
        auto off = GrabControl(Grid);
        g->CellBoolean = true;
        Grid->Invalidate();
        auto on = GrabControl(Grid);
        TRect cell = Grid->CellRect(2, 2);
        int lo = -1, hi = -1, top = -1, bottom = -1;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                if (At(on.get(), x, y) != At(off.get(), x, y)) {
                    lo = lo < 0 ? x : std::min(lo, x);
                    hi = std::max(hi, x);
                    top = top < 0 ? y : std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(lo, 0) << "checked and unchecked look alike";
        // Left-aligned: one pixel inside the text margin; the graphic's own top.
        TRect in = Inner(2, 2);
        int x0 = in.Left + 2, y0 = in.Top + 2;
        EXPECT_GE(lo, x0);
        EXPECT_LT(hi, x0 + c.Size);
        EXPECT_GE(top, y0);
        EXPECT_LT(bottom, y0 + c.Size);
    }
}

// The glyph bitmaps are found by name, also before a grid drew one, in their sizes and colour depths.
TEST(GridGlyphs, BitmapsLoadByNameInTheirSizeAndDepth)
{
    const struct {
        const char* Name;
        int Size;
        TPixelFormat Format;
    } cases[] = {{"PSGCHK01", 20, pf4bit},    {"PSGCHK08", 16, pf24bit},    {"PSGRAD04", 16, pf4bit},
                 {"PSGRAD05", 16, pf8bit},    {"PSGLEAFOPEN", 16, pf8bit}, {"XPNODEC", 9, pf24bit},
                 {"PSGFILT", 16, pf4bit}};
    for (const auto& c : cases) {
        TBitmap b;
        b.LoadFromResourceName(c.Name);
        EXPECT_EQ(b.Width(), c.Size) << c.Name;
        EXPECT_EQ(b.Height(), c.Size) << c.Name;
        EXPECT_EQ(b.PixelFormat(), c.Format) << c.Name;
    }
}

// A graphic beside an empty text keeps the text's two pixels, a check box under the text stands on
// the cell's bottom, radio items without texts stand centred (haCenter: the offset of the middle) and
// a transparent bitmap leaves out its own transparent colour, its bottom-left pixel.
TEST_F(GridPaint, GraphicsArePlacedByTheirAlignment)
{
    TImageList images(10, 10);
    TBitmap red;
    images.AddMasked(&Filled(red, 10, 10, clRed), clWhite);
    Grid->SetGridImages(&images);
    Grid->SetDefaultRowHeight(40);
    Grid->SetColor(clYellow);
    Grid->ControlLook()->SetControlStyle(csClassic);
    struct Case {
        TCellType Type;
        TCellHAlign H;
        TCellVAlign V;
        TPoint Want;   // from the inner cell's left and top (bottom when negative)
    } cases[] = {{ctImageList, haAfterText, vaTop, TPoint(3, 2)}, {ctCheckBox, haLeft, vaUnderText, TPoint(2, -16)},
                 {ctRadio, haCenter, vaTop, TPoint(0, 3)}, {ctBitmap, haLeft, vaTop, TPoint(2, 2)}};
    for (const Case& c : cases) {
        TCellGraphic* g = AddGraphic(Grid, 2, 2, c.Type);
        g->CellHAlign = c.H;
        g->CellVAlign = c.V;
        g->CellTransparent = g->CellCreated = true;
        if (c.Type == ctRadio) {
            g->CellObject = NewStringList({""});
        } else if (c.Type == ctBitmap) {
            auto* bitmap = &Filled(*new TBitmap(), 10, 10, clRed);
            bitmap->Canvas()->SetPixels(0, 9, clLime);
            g->CellObject = bitmap;
        }
        auto bmp = GrabControl(Grid);
        const TRect in = Inner(2, 2), box = InkBox(bmp.get(), in, [](TColor p) { return p != clYellow; });
        const int x = c.H == haCenter ? (box.Left + box.Right - in.Left - in.Right) / 2 : box.Left - in.Left;
        EXPECT_EQ(TPoint(x, box.Top - (c.Want.Y < 0 ? in.Bottom : in.Top)), c.Want) << c.Type;
        EXPECT_LT(InkBox(bmp.get(), in, [](TColor p) { return p == clLime; }).Left, 0) << c.Type;
        Grid->RemoveCellGraphic(2, 2);   // frees the graphic and what it holds
    }
    Grid->SetGridImages(nullptr);
}

// Selected rich text takes the selection's text colour, the current cell too while the grid has no
// focus.
TEST_F(GridPaint, SelectedRichTextTakesTheSelectionTextColour)
{
    Grid->SetSelectionColor(clWhite);
    Grid->SetSelectionTextColor(clLime);
    Grid->SetDefaultRowHeight(30);
    for (int c = 1; c <= 2; ++c)
        Grid->SetCells(c, 2, "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\fs32\\cf1 MMMM}");
    Grid->SetCol(2);
    Grid->SetRow(2);
    Grid->SetSelection(TGridRect(1, 2, 2, 2));
    ASSERT_FALSE(Grid->Focused());
    auto bmp = GrabControl(Grid);
    for (int c = 1; c <= 2; ++c) {
        EXPECT_GE(InkBox(bmp.get(), Inner(c, 2), [](TColor p) { return p == clLime; }).Left, 0) << c;
        EXPECT_LT(InkBox(bmp.get(), Inner(c, 2), [](TColor p) { return p == clRed; }).Left, 0) << c;
    }
    // Kept colours: text without a colour of its own does not take the selection's either.
    Grid->SetSelectionRTFKeep(true);
    Grid->SetCells(1, 2, "{\\rtf1\\ansi\\fs32 MMMM}");
    bmp = GrabControl(Grid);
    EXPECT_LT(InkBox(bmp.get(), Inner(1, 2), [](TColor p) { return p == clLime; }).Left, 0);
}

// A cell's error range is underlined by the red wave right under its text, however the text is
// placed in the cell.
TEST_F(GridPaint, ErrorRangeIsUnderlinedUnderItsText)
{
    Grid->SetCells(2, 2, "Abcdef ghijkl");
    TCellGraphic* g = AddGraphic(Grid, 2, 2, ctEmpty);
    g->CellErrFrom = 7;
    g->CellErrLen = 6;
    for (int height : {0, 60})
        for (TVAlignment va : {vtaTop, vtaCenter, vtaBottom}) {
            if (height) Grid->SetRowHeights(2, height);
            Grid->SetVAlignment(va);
            auto bmp = GrabControl(Grid);
            const TRect in = Inner(2, 2);
            const TRect text = InkBox(bmp.get(), in, [](TColor p) { return GetRValue(p) < 0x50; });
            const TRect wave = InkBox(bmp.get(), in, [](TColor p) {
                return GetRValue(p) > 0xC0 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40;
            });
            ASSERT_GE(wave.Left, 0) << height << " " << va;
            EXPECT_NEAR(wave.Top, text.Bottom, 3) << height << " " << va;
        }
}

TEST_F(GridPaint, CommentMarkIsASmallTriangleInTheTopRightCorner)
{
    struct Case {
        TColor Own, Expected;
    } cases[] = {{0, clRed}, {0x00C000, 0x00C000}};
    for (const Case& c : cases) {
        auto* g = AddGraphic(Grid, 3, 2, ctComment);
        g->CellText = "Uwaga";
        g->CellAngle = c.Own;
        auto bmp = GrabControl(Grid);
        TRect in = Inner(3, 2);
        InflateRect(in, -1, -1);   // one pixel inside the text margin
        TRect mark = InkBox(bmp.get(), Grid->CellRect(3, 2), [&](TColor p) { return p == c.Expected; });
        ASSERT_GE(mark.Left, 0);
        EXPECT_GE(mark.Left, in.Right - 7);
        EXPECT_EQ(mark.Right, in.Right - 1);
        EXPECT_EQ(mark.Top, in.Top + 1);
        EXPECT_EQ(mark.Bottom, in.Top + 7);   // down to its lowest corner
        EXPECT_NE(At(bmp.get(), in.Right - 6, in.Top + 5), c.Expected);   // below the diagonal
        Grid->RemoveCellGraphic(3, 2);   // frees the graphic; the plain setter only drops the pointer
    }
    Grid->ControlLook()->SetCommentColor(clNone);
    AddGraphic(Grid, 3, 2, ctComment);
    auto none = GrabControl(Grid);
    EXPECT_LT(InkBox(none.get(), Grid->CellRect(3, 2), [](TColor p) { return p == clRed; }).Left, 0);
}

// A record made while its cell is selected takes none of the selection's look: once the
// cursor has moved on, the cell shows its own background and text colours.
TEST_F(GridPaint, RecordMadeOnASelectedCellDoesNotKeepTheSelectionLook)
{
    struct Case {
        const char* Name;
        std::function<void()> Make;
        TColor Background;   // of the cell after the cursor moved
    } cases[] = {
        {"comment", [this] { Grid->AddCellComment(2, 3, "Uwaga"); }, clWindow},
        {"font colour", [this] { Grid->SetCellFontColor(2, 3, clNavy); }, clWindow},
        {"row colour", [this] { Grid->SetRowColor(3, clYellow); }, clYellow},
        {"read-only mark", [this] { Grid->CellProperties(2, 3)->SetReadOnly(true); }, clWindow},
        {"merge", [this] { Grid->MergeCells(2, 3, 1, 1); }, clWindow},
    };
    Grid->SetSelectionColor(clLime);
    Grid->SetSelectionTextColor(clFuchsia);
    Grid->SetSelectionColorTo(clAqua);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Grid->ClearAll();
        Grid->SetRowColor(3, clNone);
        Grid->SetCells(2, 3, "WWWW");
        Grid->FocusCell(2, 3, true);
        c.Make();
        Grid->FocusCell(4, 6, true);
        auto bmp = GrabControl(Grid);
        const TRect in = Inner(2, 3);
        EXPECT_EQ(At(bmp.get(), in.Left + 2, in.Bottom - 2), ColorToRGB(c.Background));
        EXPECT_EQ(At(bmp.get(), in.Left + 2, in.Top + 1), ColorToRGB(c.Background));
        // The text is painted, and not in the selection's text colour.
        EXPECT_GE(InkBox(bmp.get(), in, [](TColor p) { return p != ColorToRGB(clWindow) && p != clYellow; }).Left, 0);
        EXPECT_LT(InkBox(bmp.get(), in, [](TColor p) { return p == clFuchsia || p == clLime || p == clAqua; }).Left,
                  0);
    }
}

TEST_F(GridPaint, FlatNodeButtonsAreEightPixelBoxes)
{
    Grid->SetRowCount(10);
    Grid->SetFixedCols(1);
    Grid->CellNode()->SetNodeType(cnFlat);
    Grid->CellNode()->SetNodeColor(0x0000C0);
    Grid->CellNode()->SetShowTree(false);
    Grid->AddNode(2, 4);
    auto bmp = GrabControl(Grid);
    TRect cell = Grid->CellRect(0, 2);
    TRect box = InkBox(bmp.get(), cell, [](TColor p) { return p == 0x0000C0; });
    ASSERT_GE(box.Left, 0);
    EXPECT_EQ(TPoint(box.Width(), box.Height()), TPoint(8, 8));
    int x = Inner(0, 2).Left + Grid->GetRowIndent(2) - Grid->CellNode()->NodeIndent() / 2 - 4;
    EXPECT_EQ(box.Left, std::max(x, Inner(0, 2).Left) + 4);
    TRect in = Inner(0, 2);
    EXPECT_NEAR((box.Top + box.Bottom) / 2, (in.Top + in.Bottom) / 2, 1);
    Grid->CellNode()->SetShowTree(true);   // the line down from the button meets its children's
    Grid->CellNode()->SetTreeColor(clFuchsia);
    bmp = GrabControl(Grid);
    for (int y : {in.Bottom - 1, Inner(0, 3).Top + 1})
        EXPECT_EQ(At(bmp.get(), in.Left + Grid->GetRowIndent(2) - 4, y), clFuchsia) << y;
}
