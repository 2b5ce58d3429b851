// What a cell's contents look like when the grid paints them: found text marked
// in place, links hit where they are drawn, blinking and turned text, picture
// cells, the desktop's file icons, the colours of the text step, and the
// picture that follows a moved column.
#include <gtest/gtest.h>

#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

#include "grid/ProObj.h"
#include "grid/ProGridParts.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ShellApi.h"

namespace {
// The blue of a link.
bool LinkBlue(TColor p)
{
    return GetBValue(p) > 0xA0 && GetRValue(p) < 0x60 && GetGValue(p) < 0x60;
}

TColor Rgb(TColor c)
{
    return ColorToRGB(c);
}

void SavePng(TBitmap* B, const std::string& Path)
{
    TRasterImage png("PNG");
    png.Assign(B);
    png.SaveToFile(FromOsPath(Path));
}

TBitmap* SolidBitmap(int W, int H, TColor Color)
{
    return &Filled(*new TBitmap(), W, H, Color);
}

struct CellDrawing : TGridFormTest<TProStringGrid> {
    void SetUp() override
    {
        TGridFormTest::SetUp();
        Grid->SetColCount(4);
        Grid->SetRowCount(6);
        Grid->SetDefaultColWidth(100);
    }
    std::unique_ptr<TBitmap> Shot(const char* Name = nullptr)
    {
        auto bmp = GrabControl(Grid);
        if (Name) SavePng(bmp.get(), ScreenshotPath(Name));
        return bmp;
    }
    // The inside of a cell, without its grid lines.
    TRect Inside(int c, int r)
    {
        TRect rc = Grid->CellRect(c, r);
        return TRect(rc.Left + 1, rc.Top + 1, rc.Right - 1, rc.Bottom - 1);
    }
    // Pixels of the cell that differ from its background colour.
    TRect Ink(TBitmap* b, int c, int r, TColor Background = clWindow)
    {
        const TColor bg = ColorToRGB(Background);
        return InkBox(b, Inside(c, r), [bg](TColor p) { return p != bg; });
    }
};
}  // namespace

// ---------------------------------------------------------------- search highlight
TEST_F(CellDrawing, HighlightMarksTheHitDrawsEveryCharacterAndGoesAgainWithoutTrace)
{
    const struct {
        const char* Text;
        const char* Find;
        const char* Highlighted;
    } cases[] = {
        {"x < y", "y", "x &lt; <hi>y</hi>"},
        {"a &lt; b", "b", "a &amp;lt; <hi>b</hi>"},     // entities of a plain text are its own characters
        {"<b>a &lt; b</b>", "b", "<b>a &lt; <hi>b</hi></b>"},
        {"R&D > 0", "d", "R&amp;<hi>D</hi> &gt; 0"}, {"a<b", "a", "<hi>a</hi>&lt;b"},
        {"x < y", "q", "x < y"},                         // no hit: nothing changes
    };
    for (const auto& c : cases) {
        Grid->SetCells(1, 1, c.Text);
        Grid->HighlightInGrid(false, false, c.Find);
        EXPECT_EQ(Grid->Cells(1, 1), c.Highlighted) << c.Text;
        Grid->UnHighlightInGrid(false);
        EXPECT_EQ(Grid->Cells(1, 1), c.Text);
    }
    // Found again before the marks went: one unhighlighting still gives the text back.
    Grid->SetCells(1, 1, "x < y & z");
    Grid->HighlightInGrid(false, false, "y");
    Grid->HighlightInGrid(false, false, "x");
    EXPECT_EQ(Grid->Cells(1, 1), "<hi>x</hi> &lt; <hi>y</hi> &amp; z");
    Grid->UnHighlightInGrid(false);
    EXPECT_EQ(Grid->Cells(1, 1), "x < y & z");

    // Drawn: the text stands where it stood and only its "y" is marked.
    Grid->FocusCell(2, 4, true);
    Grid->SetCells(1, 1, "x < y");
    auto plain = Shot();
    const TRect before = InkBox(plain.get(), Inside(1, 1), Dark);
    Grid->HighlightInGrid(false, false, "y");
    auto marked = Shot("grid_highlight_angle_bracket.png");
    const TColor hi = Rgb(clHighlight);
    const TRect mark = InkBox(marked.get(), Inside(1, 1), [hi](TColor p) { return p == hi; });
    ASSERT_GE(mark.Left, 0) << "no mark";
    EXPECT_NEAR(mark.Right, before.Right, 3);
    // Left of the mark: "x <" as before.
    TRect head = Inside(1, 1);
    head.Right = mark.Left;
    const TRect left = InkBox(marked.get(), head, Dark), leftBefore = InkBox(plain.get(), head, Dark);
    EXPECT_NEAR(left.Left, leftBefore.Left, 2);
    EXPECT_NEAR(left.Right, leftBefore.Right, 4);
}

// ---------------------------------------------------------------- links where they are drawn
TEST_F(CellDrawing, AnchorHintAndClickFollowTheDrawnLink)
{
    Grid->SetColWidths(1, 180);
    Grid->SetRowHeights(1, 70);
    Grid->SetAnchorHint(true);
    Grid->SetCells(1, 1, "<a href=\"https://sklep.pkn.pl/n\" title=\"Sklep PKN\">sklep</a>");
    Grid->FocusCell(1, 4, true);
    AnsiString clicked;
    Grid->OnAnchorClick = [&](TObject*, int, int, const AnsiString& Anchor, bool& AutoHandle) {
        clicked = Anchor;
        AutoHandle = false;
    };
    const struct {
        TVAlignment VAlign;
        int FontSize, Zoom;
    } cases[] = {{vtaTop, 0, 0}, {vtaCenter, 0, 0}, {vtaBottom, 0, 0}, {vtaCenter, 16, 0}, {vtaBottom, 0, 6}};
    for (const auto& c : cases) {
        Grid->SetVAlignment(c.VAlign);
        Grid->CellProperties(1, 1)->SetFontSize(c.FontSize);
        Grid->Zoom(c.Zoom);
        auto shot = Shot();
        const TRect link = InkBox(shot.get(), Inside(1, 1), LinkBlue);
        ASSERT_GE(link.Left, 0) << c.VAlign;
        const TPoint over((link.Left + link.Right) / 2, (link.Top + link.Bottom) / 2);
        EXPECT_EQ(CellHint(*Grid, over.X, over.Y), "Sklep PKN") << c.VAlign << " " << c.FontSize;
        const int above = link.Top - 8;
        if (above > Inside(1, 1).Top) {
            EXPECT_NE(CellHint(*Grid, over.X, above), "Sklep PKN") << c.VAlign;
        }

        Grid->FocusCell(1, 1, true);
        AdvanceInputClock(1000);
        clicked.clear();
        Click(Grid, over.X, over.Y);
        EXPECT_EQ(clicked, "https://sklep.pkn.pl/n") << c.VAlign << " " << c.FontSize;
        Grid->FocusCell(1, 4, true);   // the link in its own colour again
        Grid->Zoom(-c.Zoom);
    }
}

// A merged region draws its base cell's text across the region in the base cell's font and
// alignment: a link or a control of it is hit where it stands, over whichever of the region's cells.
TEST_F(CellDrawing, LinksAndControlsOfAMergedRegionAreHitWhereTheyAreDrawn)
{
    Grid->SetShowHint(true);
    Grid->SetAnchorHint(true);
    Grid->SetRowHeights(1, 40);
    Grid->SetRowHeights(2, 40);
    Grid->MergeCells(1, 1, 2, 2);
    Grid->CellProperties(1, 1)->SetFontSize(16);
    Grid->OnGetAlignment = [](TObject*, int ARow, int ACol, TAlignment&, TVAlignment& VAlign) {
        if (ACol == 1 && ARow == 1) VAlign = vtaBottom;
    };
    Grid->FocusCell(3, 4, true);
    AnsiString clicked, entered;
    TPoint clickedCell, enteredCell, hintCell;
    Grid->OnAnchorHint = [&](TObject*, int ACol, int ARow, AnsiString&) { hintCell = TPoint(ACol, ARow); };
    Grid->OnAnchorClick = [&](TObject*, int ARow, int ACol, const AnsiString& Anchor, bool& AutoHandle) {
        clicked = Anchor;
        clickedCell = TPoint(ACol, ARow);
        AutoHandle = false;
    };
    Grid->OnAnchorEnter = [&](TObject*, int ARow, int ACol, const AnsiString& Anchor) {
        entered = Anchor;
        enteredCell = TPoint(ACol, ARow);
    };
    const TRect region = Grid->MergedCellRect(1, 1);
    const TRect inside(region.Left + 1, region.Top + 1, region.Right - 1, region.Bottom - 1);
    const TRect covered = Grid->CellRect(2, 2);   // the region's bottom right cell
    const struct {
        const char* Text;
        TColor Ink;   // the drawn link, or clNone: everything drawn, the check box rightmost
    } cases[] = {
        {"<p align=\"right\"><a href=\"https://sklep.pkn.pl/n\" title=\"Sklep PKN\">sklep</a></p>", clBlue},
        {"<p align=\"right\">x <control type=\"CHECK\" id=\"k\" value=\"FALSE\" width=\"16\"></p>", clNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        Grid->SetCells(1, 1, c.Text);
        auto shot = Shot(c.Ink == clBlue ? "grid_merged_link.png" : nullptr);
        const TRect drawn =
            InkBox(shot.get(), inside, [&](TColor p) { return c.Ink == clBlue ? LinkBlue(p) : p != Rgb(clWindow); });
        ASSERT_GE(drawn.Left, 0);
        // The check box is the region's rightmost ink; the link stands whole in the covered cell.
        const TPoint over(c.Ink == clBlue ? (drawn.Left + drawn.Right) / 2 : drawn.Right - 5,
                          (drawn.Top + drawn.Bottom) / 2);
        ASSERT_TRUE(PtInRect(covered, over)) << over.X << "," << over.Y;
        if (c.Ink == clBlue) {
            EXPECT_EQ(HintAt(Grid, over.X, over.Y), "Sklep PKN");
            EXPECT_EQ(hintCell, TPoint(1, 1));
            MouseMove(Grid, over.X, over.Y);
            EXPECT_EQ(entered, "https://sklep.pkn.pl/n");
            EXPECT_EQ(enteredCell, TPoint(1, 1));
            clicked.clear();
            Click(Grid, over.X, over.Y);
            EXPECT_EQ(clicked, "https://sklep.pkn.pl/n");
            EXPECT_EQ(clickedCell, TPoint(1, 1));
        } else {
            Click(Grid, over.X, over.Y);
            EXPECT_NE(UpperCase(Grid->Cells(1, 1)).find("VALUE=\"TRUE\""), AnsiString::npos) << Grid->Cells(1, 1);
        }
        // The empty top of the region holds nothing.
        EXPECT_NE(HintAt(Grid, over.X, inside.Top + 3), "Sklep PKN");
        MouseMove(Grid, 5, 5);
        Grid->FocusCell(3, 4, true);
        AdvanceInputClock(1000);
    }
}

// ---------------------------------------------------------------- blinking and turned text
TEST_F(CellDrawing, BlinkingTextShowsInOnePhaseAndSteadyWithoutBlinking)
{
    Grid->SetCells(1, 1, "<BLINK>Miga</BLINK>");
    auto inkOf = [&]() {
        auto b = Shot();
        return InkBox(b.get(), Inside(1, 1), Dark).Left >= 0;
    };
    EXPECT_TRUE(inkOf()) << "without blinking the text stays";
    Grid->SetEnableBlink(true);
    bool phases[2];
    for (bool& shown : phases) {
        ASSERT_TRUE(FireTimer(Grid, 111));
        shown = inkOf();
    }
    EXPECT_NE(phases[0], phases[1]);
}

TEST_F(CellDrawing, TurnedTextStandsTurnedInsideItsCell)
{
    Grid->SetColWidths(1, 150);
    Grid->SetRowHeights(1, 110);
    Grid->SetCol(2);
    const struct {
        const char* Text;
        bool Upright;
    } cases[] = {
        {"Obrócony", false}, {"<R a=\"90\">Obrócony</R>", true}, {"a <R a=\"270\">Obrócony</R>", true},
    };
    for (const auto& c : cases) {
        Grid->SetCells(1, 1, c.Text);
        auto shot = Shot(AnsiString(c.Text).find("90") != AnsiString::npos ? "grid_turned_text.png" : nullptr);
        const TRect ink = InkBox(shot.get(), Inside(1, 1), Dark);
        ASSERT_GE(ink.Left, 0) << c.Text;
        EXPECT_EQ(ink.Height() > ink.Width(), c.Upright) << c.Text << " " << ink.Width() << "x" << ink.Height();
        EXPECT_LT(ink.Bottom, Inside(1, 1).Bottom) << c.Text;
    }
}

// A turned-text cell at any angle stands inside its cell where its alignment puts it.
TEST_F(CellDrawing, TurnedTextCellsFollowTheirAlignment)
{
    Grid->SetColWidths(1, 150);
    Grid->SetRowHeights(1, 100);
    Grid->SetCol(2);
    Grid->SetCells(1, 1, "Tekst");
    TCellGraphic* g = AddGraphic(Grid, 1, 1, ctRotated);
    const TRect in = Inside(1, 1);
    const TRect area(in.Left + 3, in.Top + 3, in.Right - 3, in.Bottom - 3);   // the margins and 2 more
    const struct {
        int Angle;
        TAlignment H;
        TVAlignment V;
    } cases[] = {{0, taLeftJustify, vtaTop},     {0, taRightJustify, vtaTop}, {90, taLeftJustify, vtaTop},
                 {90, taCenter, vtaBottom},       {180, taRightJustify, vtaTop}, {180, taCenter, vtaCenter},
                 {270, taLeftJustify, vtaBottom}, {270, taRightJustify, vtaTop}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Angle << " degrees, alignment " << int(c.H) << "/" << int(c.V));
        g->CellAngle = c.Angle;
        Grid->CellProperties(1, 1)->SetAlignment(c.H);
        Grid->SetVAlignment(c.V);
        Grid->Invalidate();
        const TRect ink = InkBox(Shot().get(), in, Dark);
        ASSERT_GE(ink.Left, 0);
        EXPECT_EQ(ink.Height() > ink.Width(), c.Angle % 180 != 0);
        const int x = c.H == taLeftJustify ? ink.Left - area.Left
                      : c.H == taRightJustify ? area.Right - ink.Right
                                              : std::abs(ink.Left + ink.Right - area.Left - area.Right) / 2;
        const int y = c.V == vtaTop ? ink.Top - area.Top
                      : c.V == vtaBottom ? area.Bottom - ink.Bottom
                                         : std::abs(ink.Top + ink.Bottom - area.Top - area.Bottom) / 2;
        EXPECT_GE(x, 0);
        EXPECT_LE(x, 4);
        EXPECT_GE(y, 0);
        EXPECT_LE(y, 6);
    }
}

// The object of a ctInterface cell draws itself (over the text, or under it when it asks to be drawn
// first) and tells its size.
TEST_F(CellDrawing, SelfDrawingCellObjectsDrawAndMeasureThemselves)
{
    struct Swatch : IGridCellObject {
        bool First = false;
        TProStringGrid* Grid = nullptr;
        TSize CellSize(int, int) override { return TSize{30, 12}; }
        bool DrawBeforeText() override { return First; }
        void DrawCell(TCanvas* C, const TRect& R, int ACol, int ARow, bool, TProStringGrid* G) override
        {
            EXPECT_EQ(TPoint(ACol, ARow), TPoint(1, 1));
            EXPECT_EQ(G, Grid);
            C->Brush()->SetColor(clRed);
            C->FillRect(R);
        }
    };
    auto* swatch = new Swatch;
    swatch->Grid = Grid;
    TCellGraphic* g = AddGraphic(Grid, 1, 1, ctInterface);
    g->CellObject = swatch;
    g->CellCreated = true;
    Grid->SetCells(1, 1, "MMMM");
    TSize size;
    Grid->GetCellGraphicSize(1, 1, size);
    EXPECT_EQ(TPoint(size.cx, size.cy), TPoint(30, 12));
    for (bool first : {false, true}) {
        swatch->First = first;
        Grid->Invalidate();
        auto shot = Shot();
        const TRect red = InkBox(shot.get(), Inside(1, 1), [](TColor p) { return p == clRed; });
        ASSERT_GE(red.Left, 0) << first;
        EXPECT_EQ(InkBox(shot.get(), red, Dark).Left >= 0, first) << "the text shows over the object drawn first";
    }
}

// ---------------------------------------------------------------- picture cells
TEST_F(CellDrawing, PictureCellsDrawEveryTypeAndFitMode)
{
    TTempDir dir("velmarok-cellpic");
    std::unique_ptr<TBitmap> file(SolidBitmap(12, 8, clBlue));
    SavePng(file.get(), dir / "plik.png");
    TImageList images(8, 8);
    for (TColor c : {clRed, clLime, clBlue}) {
        std::unique_ptr<TBitmap> b(SolidBitmap(8, 8, c));
        images.Add(b.get(), nullptr);
    }
    Grid->SetGridImages(&images);
    Grid->SetDefaultRowHeight(50);
    Grid->SetDefaultColWidth(76);
    Grid->SetColCount(5);
    Grid->SetRowCount(4);
    Grid->SetFixedCols(0);
    Grid->FocusCell(4, 3, true);

    enum Kind { Images, Graphic, Picture, File, Copied };
    const struct {
        int Col, Row;
        Kind What;
        bool Flag;   // images side by side; a picture fit mode below
        int Mode;
        int W, H;    // the ink expected; -1: the cell's whole free width or height
    } cases[] = {
        {0, 1, Images, false, 0, 8, 24},  {1, 1, Images, true, 0, 24, 8},  {2, 1, Graphic, false, 0, 20, 10},
        {3, 1, Graphic, false, 1, -1, -1}, {4, 1, Graphic, false, 2, -1, -2}, {0, 2, Graphic, false, 3, 20, 10},
        {1, 2, Picture, false, 0, 20, 10}, {2, 2, Picture, false, 1, -1, -1}, {3, 2, File, false, 0, 12, 8},
        {4, 2, File, false, 1, -1, -1},
        {0, 3, Copied, false, 0, 8, 24},   {1, 3, Copied, true, 0, 24, 8},   // the image cells read from a cell stream
    };
    for (const auto& c : cases) {
        if (c.What == Copied) continue;
        TCellGraphic* g = Grid->CreateCellGraphic(c.Col, c.Row);
        g->CellAngle = c.Mode;
        g->CellCreated = true;
        if (c.What == Images) {
            auto* list = new TIntList(c.Col, c.Row);
            list->SetCommaText("0,1,2");
            g->CellType = ctImages;
            g->CellObject = list;
            g->CellBoolean = c.Flag;
        } else if (c.What == File) {
            auto* f = new TFilePicture();
            f->SetFilename(dir / "plik.png");
            g->CellType = ctFilePicture;
            g->CellObject = f;
        } else if (c.What == Picture) {
            auto* p = new TPicture();
            std::unique_ptr<TBitmap> b(SolidBitmap(20, 10, clFuchsia));
            p->SetGraphic(b.get());
            g->CellType = ctPicture;
            g->CellObject = p;
        } else {
            g->CellType = ctPicture;
            g->CellObject = SolidBitmap(20, 10, clFuchsia);
        }
    }
    TMemoryStream stream;
    Grid->WriteCellObjects(TGridRect(0, 1, 1, 1), &stream);
    stream.SetPosition(0);
    Grid->ReadCellObjects(TPoint(0, 3), &stream);
    auto shot = Shot("grid_picture_cells.png");
    for (const auto& c : cases) {
        const TRect in = Inside(c.Col, c.Row);
        const TRect ink = Ink(shot.get(), c.Col, c.Row);
        const std::string at = std::to_string(c.Col) + "," + std::to_string(c.Row);
        ASSERT_GE(ink.Left, 0) << at;
        const int w = c.W == -1 ? in.Width() - 2 : c.W;
        const int h = c.H == -1 ? in.Height() - 2 : c.H == -2 ? ink.Width() / 2 : c.H;   // -2: its own proportions
        EXPECT_NEAR(ink.Width(), w, c.W < 0 ? 4 : 0) << at;
        EXPECT_NEAR(ink.Height(), h, c.H < 0 ? 4 : 0) << at;
        if (c.What == Images || c.What == Copied) {
            // Red, lime and blue one after another, down or to the right.
            const TPoint step = c.Flag ? TPoint(8, 0) : TPoint(0, 8);
            const TColor colours[] = {clRed, clLime, clBlue};
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(shot->Canvas()->Pixels(ink.Left + 4 + k * step.X, ink.Top + 4 + k * step.Y), Rgb(colours[k]))
                    << at;
        }
    }
    Grid->SetGridImages(nullptr);
}

// ---------------------------------------------------------------- the desktop's file icons
TEST_F(CellDrawing, SystemIconsShowTheDesktopsIconAtTheirSize)
{
    TTempDir dir("velmarok-icons");
    Grid->SetDefaultRowHeight(40);
    Grid->SetColWidths(1, 120);
    Grid->SetCol(2);
    const struct {
        std::string Text;
        int Size;
    } cases[] = {
        {"<IMG src=\"SSYS:" + dir.Path.string() + "\">A", 16},
        {"<IMG src=\"LSYS:" + dir.Path.string() + "\">A", 32},
        {"<IMG src=\"SSYS:raport.txt\">A", 16},   // no such file: the icon of its type
        {"<IMG src=\"LSYS:raport.txt\">A", 32},
        {"<IMG src=\"SSYS:" + std::to_string(SystemFileIconIndex("raport.txt")) + "\">A", 16},   // by its index
        {"A", 0},
    };
    Grid->SetRowCount(7);
    Grid->SetBounds(0, 0, 400, 320);
    int row = 1;
    for (const auto& c : cases) Grid->SetCells(1, row++, c.Text);
    auto shot = Shot("grid_system_icons.png");
    row = 1;
    for (const auto& c : cases) {
        const TRect in = Inside(1, row);
        const int left = in.Left + 2;   // where the cell's text begins
        if (c.Size > 0) {
            TRect area = in;
            area.Right = left + c.Size;
            const TRect icon = InkBox(shot.get(), area, [](TColor p) { return p != Rgb(clWindow); });
            ASSERT_GE(icon.Left, 0) << c.Text;
            EXPECT_GT(icon.Width(), c.Size / 2) << c.Text;
            EXPECT_GT(icon.Height(), c.Size / 2) << c.Text;
            EXPECT_LE(icon.Height(), c.Size) << c.Text;
        }
        // The letter after the icon begins past it.
        TRect text = in;
        text.Left = left + c.Size;
        const TRect letter = InkBox(shot.get(), text, Dark);
        ASSERT_GE(letter.Left, 0) << c.Text;
        EXPECT_LE(letter.Left, left + c.Size + 4) << c.Text;
        ++row;
    }
}

// ---------------------------------------------------------------- colours of the text step
TEST_F(CellDrawing, TextTakesTheCellsColoursAfterTheParts)
{
    Grid->SetFixedCols(0);
    Grid->SetFixedRows(1);
    Grid->SetEnableBlink(true);
    Grid->ShowModified()->SetEnabled(true);
    Grid->ShowModified()->SetColor(clRed);
    Grid->SetShowSelection(false);
    Grid->SetRowModified(1, true);
    Grid->SetCells(0, 1, "<BLINK>Miga</BLINK>");
    Grid->SetSelection(TGridRect(0, 1, 1, 2));
    // The phase that hides the text: no red of the modified mark besides the mark itself.
    bool hiddenSeen = false;
    for (int phase = 0; phase < 2; ++phase) {
        ASSERT_TRUE(FireTimer(Grid, 111));
        auto shot = Shot();
        TRect text = Inside(0, 1);
        text.Right -= 6;
        const bool dark = InkBox(shot.get(), text, Dark).Left >= 0;
        const TRect red = InkBox(shot.get(), text, [](TColor p) { return GetRValue(p) > 0xA0 && GetGValue(p) < 0x60; });
        if (!dark) {
            hiddenSeen = true;
            EXPECT_LT(red.Left, 0) << "hidden text drawn in the mark's colour";
        }
    }
    EXPECT_TRUE(hiddenSeen);
}

TEST_F(CellDrawing, RowsLeftOutOfADisjunctSelectionAskTheirColoursUnselected)
{
    Grid->MouseActions()->SetDisjunctRowSelect(true);
    Grid->SetOptions(Grid->Options() | goRowSelect);
    for (int r = 1; r < 5; ++r) Grid->SetCells(1, r, "Tekst");
    Grid->OnGetCellColor = [](TObject*, int, int ACol, TGridDrawState AState, TBrush*, TFont* AFont) {
        if (ACol == 1) AFont->SetColor((AState & gdSelected) ? clRed : clGreen);
    };
    Grid->SetRow(4);
    Grid->SetSelection(TGridRect(1, 1, 3, 3));
    Grid->SetRowSelect(2, true);
    auto shot = Shot("grid_disjunct_rows.png");
    auto has = [&](int Row, bool Red) {
        return InkBox(shot.get(), Inside(1, Row), [Red](TColor p) {
                   const int hue = Red ? GetRValue(p) : GetGValue(p), other = Red ? GetGValue(p) : GetRValue(p);
                   return hue > 0x60 && other < 0x40 && GetBValue(p) < 0x40;
               }).Left >= 0;
    };
    for (int row : {1, 3}) {
        EXPECT_TRUE(has(row, false)) << row;
        EXPECT_FALSE(has(row, true)) << row;
    }
}

// The focused cell's text takes the selection's colour only with goDrawFocusSelected.
TEST_F(CellDrawing, TheFocusedCellTakesTheSelectionTextColourOnlyWithDrawFocusSelected)
{
    Grid->SetSelectionTextColor(clRed);
    for (const bool drawFocus : {false, true}) {
        Grid->SetOptions(drawFocus ? Grid->Options() | goDrawFocusSelected : Grid->Options() & ~goDrawFocusSelected);
        Grid->SetCells(1, 1, "WWW");
        Grid->SetCells(2, 1, "WWW");
        Grid->SetSelection(TGridRect(1, 1, 2, 1));   // the focused cell is (2, 1)
        Grid->SetFocus();
        auto shot = Shot();
        auto red = [&](int Col) { return InkBox(shot.get(), Inside(Col, 1), [](TColor p) { return p == clRed; }).Left >= 0; };
        EXPECT_EQ(std::make_pair(red(1), red(2)), std::make_pair(true, drawFocus));
    }
}

// ---------------------------------------------------------------- the picture of a moved column
TEST_F(CellDrawing, DragPictureShowsTheCellsAsTheGridPaintsThem)
{
    Grid->Bands()->SetPrimaryColor(0x00E0FF);
    Grid->Bands()->SetSecondaryColor(0xFFE0E0);
    Grid->Bands()->SetActive(true);
    Grid->SetCellBrushColor(1, 2, clLime);
    Grid->SetSelectionColor(0xFF8000);
    Grid->SetRow(4);
    Grid->SetCol(1);
    for (int r = 0; r < 6; ++r) Grid->SetCells(1, r, "W" + std::to_string(r));
    auto grid = Shot();
    TForm* picture = Grid->CreateDragImageForm(TGridRect(1, 0, 1, 5));
    auto* image = dynamic_cast<TImage*>(picture->Controls(0));
    ASSERT_NE(image, nullptr);
    auto* bmp = dynamic_cast<TBitmap*>(image->Picture()->Graphic());
    ASSERT_NE(bmp, nullptr);
    const TRect first = Grid->CellRect(1, 0);
    for (int r = 0; r < 6; ++r) {
        const TRect rc = Grid->CellRect(1, r);
        for (TPoint p : {TPoint(rc.Left + 3, rc.Top + 3), TPoint(rc.Right - 4, (rc.Top + rc.Bottom) / 2)})
            EXPECT_EQ(bmp->Canvas()->Pixels(p.X - first.Left - 1, p.Y - first.Top - 1),
                      grid->Canvas()->Pixels(p.X, p.Y))
                << "row " << r << " at " << p.X << "," << p.Y;
    }
    EXPECT_EQ(bmp->Canvas()->Pixels(5, Grid->CellRect(1, 2).Top + 5 - first.Top - 1), Rgb(clLime));
    SavePng(bmp, ScreenshotPath("grid_drag_picture_colours.png"));
    delete picture;
}
