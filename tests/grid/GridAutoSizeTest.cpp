#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProGridText_p.h"
#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"

namespace {
// The width one cell at a time asks for: a canvas of its own, the cell's
// style resolved in full, every line (or the mini-HTML text) measured on it.
int CellByCellWidth(TProStringGrid& G, int ACol)
{
    int widest = 0;
    for (int r = 0; r < G.RowCount(); ++r) {
        AnsiString text = G.Cells(ACol, r);
        if (text.empty()) continue;
        TBitmap bmp;
        bmp.SetSize(1, 1);
        TCanvas* c = bmp.Canvas();
        TGridDrawState state = 0;
        TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        bool wrap = false;
        TCellGradientDirection dir = GradientVertical;
        G.GetCellStyle(ACol, r, state, false, false, false, c->Brush(), colorTo, mirror, mirrorTo, c->Font(), ha, va,
                       wrap, dir);
        c->Font()->SetSize(c->Font()->Size() + G.ZoomDelta());
        int w = 0;
        if (ClassifyCellText(text, true) == 1) {
            THtmlRun run;
            run.CheckHeight = true;
            run.Run(c, text, TRect(0, 0, 65535, 65535));
            w = run.XSize + 2;
        } else {
            // Lines as drawn: a CR, an LF or both end one.
            for (std::size_t s = 0, e = 0; s <= text.size(); s = e + 1) {
                e = std::min(text.find_first_of("\r\n", s), text.size());
                w = std::max(w, c->TextWidth(text.substr(s, e - s)));
            }
        }
        widest = std::max(widest, w + 2 * G.CellTextOffset().X);
    }
    return (G.GridLineWidth() + 1) * 2 + widest + G.AutoSizeExtraWidth();
}

const char* const Header[] = {"Lp.", "Numer normy", "Status", "Tytuł", "Uwagi"};

void Fill(TProStringGrid& G, int Rows)
{
    static const char* const states[] = {"Aktualna", "Nieaktualna", "Zastąpiona uznaniowo", "Wycofana bez zastąpienia"};
    static const char* const titles[] = {"Stale odporne na korozję", "Bezpieczeństwo maszyn — część ogólna",
                                         "Żurawie offshore; flansze, filtry, śruby fińskie i złącza", "Wymagania\r\ndotyczące\r\nbadań",
                                         "Łożyska ślizgowe, wytyczne (ffi)"};
    G.SetColCount(5);
    G.SetRowCount(Rows + 1);
    for (int c = 0; c < 5; ++c) G.SetCells(c, 0, Header[c]);
    for (int r = 1; r <= Rows; ++r) {
        G.SetCells(0, r, IntToStr(r));
        G.SetCells(1, r, "PN-EN " + IntToStr(1000 + 37 * r) + "-" + IntToStr(r % 7) + ":20" + IntToStr(10 + r % 15));
        const char* s = states[r % 4];
        G.SetCells(2, r, r % 5 == 0 ? AnsiString("<p align=\"center\"><b>") + s + "</b></p>"
                                    : AnsiString("<p align=\"center\"><font color=\"#0000FF\"><b>") + s +
                                          "</b></font></p>");
        G.SetCells(3, r, titles[r % 5]);
        G.SetCells(4, r, r % 3 ? AnsiString() : "zastępuje PN-" + IntToStr(r) + "\nWWW");
    }
}
}  // namespace

// Sizing the columns of a whole grid gives each column the width measuring
// its cells one by one gives, whatever decides the cells' fonts.
TEST(GridAutoSize, ColumnWidthsEqualCellByCellMeasuring)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Setup;
    } cases[] = {
        {"plain", [](TProStringGrid&) {}},
        {"bold fixed row, larger font",
         [](TProStringGrid& g) {
             g.FixedFont()->SetStyle(fsBold);
             g.FixedFont()->SetHeight(-14);
             g.Font()->SetName("Times New Roman");
         }},
        {"own cell fonts",
         [](TProStringGrid& g) {
             g.CellProperties(1, 4)->SetFontStyle(fsBold | fsItalic);
             g.CellProperties(3, 7)->SetFontSize(16);
             g.CellProperties(2, 9)->SetFontName("Courier New");
         }},
        {"colour event changes fonts",
         [](TProStringGrid& g) {
             g.OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont* AFont) {
                 if (ARow % 4 == 1) AFont->SetStyle(fsBold);
                 if (ACol == 3 && ARow == 12) AFont->SetHeight(-20);
             };
         }},
        {"zoomed", [](TProStringGrid& g) { g.Zoom(3); }},
        {"highlighted header of the current cell",
         [](TProStringGrid& g) {
             g.ActiveCellFont()->SetHeight(-40);
             g.SetActiveCellShow(true);
             g.SetCol(1);
         }},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        Fill(g, 40);
        c.Setup(g);
        std::vector<int> expected;
        for (int col = 0; col < g.ColCount(); ++col) expected.push_back(CellByCellWidth(g, col));
        g.AutoSizeColumns(true, 0);
        for (int col = 0; col < g.ColCount(); ++col)
            EXPECT_EQ(g.ColWidths(col), expected[std::size_t(col)]) << c.Name << ", column " << col;
        // The padding is added after measuring.
        g.AutoSizeColumns(false, 10);
        EXPECT_EQ(g.ColWidths(3), expected[3] + 10) << c.Name;
    }
}

// Sizing reads each text once and keeps the fonts' measures between cells:
// the widest text, characters met only late in the column and an empty
// cell come out as measuring each cell alone gives.
TEST(GridAutoSize, ManyRowsSizeAsCellByCell)
{
    TProStringGrid g(nullptr);
    const int rows = 3000;
    Fill(g, rows);
    g.SetCells(1, 1, "");
    g.SetCells(1, 2500, "PN-EN ISO 9001:2015 WWWWWWWWWWWWWWWWWWWWWWWWWWWW");   // the widest, late
    g.SetCells(3, 2700, "ŹŻĘĄŚŁÓĆŃ źżęąśłóćń ŤŮŘ");                           // characters met only here
    g.SetCells(3, 2900, "fi fl ffi Wyjątki\r\ndruga linia");
    auto alone = [&g](int ACol) {
        int widest = 0;
        for (int r = 0; r < g.RowCount(); ++r) {
            if (g.Cells(ACol, r).empty()) continue;
            TPoint size;
            g.GetCellTextSize(ACol, r, false, size);
            widest = std::max(widest, size.X);
        }
        return (g.GridLineWidth() + 1) * 2 + widest + g.AutoSizeExtraWidth();
    };
    int expected1 = alone(1), expected3 = alone(3);
    g.AutoSizeCol(1);
    g.AutoSizeCol(3);
    EXPECT_EQ(g.ColWidths(1), expected1);
    EXPECT_EQ(g.ColWidths(3), expected3);
}

// With tens of thousands of rows the plain texts are measured on several
// threads; every other kind of cell still measures as it does alone: mini-HTML,
// formulas, shortened addresses, joined letters, characters met only in the
// last rows, a graphic beside its text, a rotated text, a merged cell, fonts
// changed by the record and by the colour event.
TEST(GridAutoSize, ColumnsOfManyRowsSizeAsCellByCell)
{
    TProStringGrid g(nullptr);
    const int rows = 40000;
    Fill(g, rows);
    g.SetURLShow(true);
    g.SetCells(3, 100, "https://sklep.example/normy/PN-EN-ISO-9001-2015-wersja-pełna");
    g.SetCells(3, 200, "=1+2");
    g.SetCells(3, 30000, "ŹŻĘĄŚŁÓĆŃ źżęąśłóćń ŤŮŘ ‰ ˇ ˘ ˝");     // characters met only late
    g.SetCells(3, 30001, "office affluent fjord ffi ffl");      // joined pairs
    g.SetCells(3, 39999, "PN-EN ISO 9001:2015 WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    g.SetCells(4, 5000, "<b>pogrubiony opis WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW</b>");   // the widest
    g.CreateCellGraphic(1, 700)->CellType = ctCheckBox;
    g.SetCells(1, 700, "PN-EN 1000-1:2010 z polem wyboru WWWWWWWWWWWWWWWWWWWWWWWW");
    TCellGraphic* rotated = g.CreateCellGraphic(4, 900);
    rotated->CellType = ctRotated;
    rotated->CellAngle = 30;
    g.SetCells(4, 900, "obrócony tekst");
    g.SetCells(1, 20000, "scalona komórka o bardzo długim tekście WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    g.MergeCells(1, 20000, 2, 1);
    g.CellProperties(3, 25000)->SetFontStyle(fsBold | fsItalic);
    g.OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont* AFont) {
        if (ARow % 3 == 1) AFont->SetStyle(fsBold);
        if (ACol == 4 && ARow == 33333) AFont->SetHeight(-22);
    };
    g.SetCells(4, 33333, "zastępuje PN-33333");

    std::vector<int> expected;
    TCellTextMeasure alone(&g);
    for (int col = 0; col < g.ColCount(); ++col) {
        int widest = 0;
        for (int r = 0; r < g.RowCount(); ++r) {
            if (g.IsMergedAcrossColumns(col, r)) continue;
            TSize graphic = {0, 0};
            g.GetCellGraphicSize(col, r, graphic, true);
            if (graphic.cx == 0 && g.Cells(col, r).empty()) continue;
            TPoint size;
            g.GetCellTextSize(col, r, false, size, alone);
            ASSERT_FALSE(alone.Queued);
            widest = std::max(widest, size.X + graphic.cx);
        }
        expected.push_back((g.GridLineWidth() + 1) * 2 + widest + g.AutoSizeExtraWidth());
    }
    g.AutoSizeColumns(true, 0);
    for (int col = 0; col < g.ColCount(); ++col)
        EXPECT_EQ(g.ColWidths(col), expected[std::size_t(col)]) << "column " << col;
}

namespace {
// A grid that draws a mark before the text of every cell of column 2.
class TMarkedGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    void GetCellGraphicSize(int ACol, int ARow, TSize& ASize, bool AForText) override
    {
        TProStringGrid::GetCellGraphicSize(ACol, ARow, ASize, AForText);
        if (ACol == 2 && ARow > 0) ASize = TSize{20, 10};
    }
};

// A grid that shows a filter button in the header of column 1.
class TFilterGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    bool HasFilterButton(int ACol) override { return ACol == 1; }
};
}  // namespace

// The filter button of a header cell counts 16 pixels beside its text.
TEST(GridAutoSize, FilterButtonWidensItsHeaderCell)
{
    struct Case {
        const char* Header;
        const char* Data;
    } cases[] = {{"Numer normy PN-EN", "x"}, {"", ""}};
    for (const Case& c : cases) {
        TFilterGrid filtered(nullptr);
        TProStringGrid plain(nullptr);
        for (TProStringGrid* g : {static_cast<TProStringGrid*>(&filtered), &plain}) {
            g->SetCells(1, 0, c.Header);
            g->SetCells(1, 1, c.Data);
            g->AutoSizeColEx(1, false);
        }
        EXPECT_EQ(filtered.ColWidths(1), plain.ColWidths(1) + 16) << c.Header;
    }
}

// A descendant's own graphics count for cells that have no record.
TEST(GridAutoSize, GraphicsOfADescendantCountBesideTheText)
{
    TMarkedGrid marked(nullptr);
    TProStringGrid plain(nullptr);
    for (TProStringGrid* g : {static_cast<TProStringGrid*>(&marked), &plain}) {
        g->SetColCount(3);
        g->SetRowCount(20001);
        for (int r = 1; r <= 20000; ++r) g->SetCells(2, r, "Stale odporne na korozję, część " + IntToStr(r % 40));
        g->AutoSizeColumns(false, 0);
    }
    EXPECT_EQ(marked.ColWidths(2), plain.ColWidths(2) + 20);
}

namespace {
// An opaque Size x Size icon as an .ico file holds it (one 32-bit image).
std::string SolidIconData(int Size)
{
    const int mask = (Size + 31) / 32 * 4;
    const Cardinal image = 40 + Cardinal(Size * Size * 4 + Size * mask);
    std::string s(22 + image, '\0');
    auto put = [&s](std::size_t At, Cardinal V, int N) {
        for (int i = 0; i < N; ++i) s[At + std::size_t(i)] = char((V >> (8 * i)) & 0xFF);
    };
    put(2, 1, 2), put(4, 1, 2);                                           // an icon file of one image
    put(6, Cardinal(Size), 1), put(7, Cardinal(Size), 1), put(10, 1, 2), put(12, 32, 2);
    put(14, image, 4), put(18, 22, 4);
    put(22, 40, 4), put(26, Cardinal(Size), 4), put(30, Cardinal(2 * Size), 4), put(34, 1, 2), put(36, 32, 2);
    for (int i = 0; i < Size * Size; ++i) put(62 + std::size_t(i) * 4, 0xFF0000FF, 4);
    return s;
}
}  // namespace

// A bitmap, icon or image-list image adds its width to the text's wherever it stands in the cell (a column
// holding only a picture takes the picture's width); a graphic filling the cell's width adds none, so that
// sizing again keeps the width.
TEST(GridAutoSize, GraphicsAddTheirSizeWhereverTheyStand)
{
    TImageList images(40, 40);
    const std::string icon = SolidIconData(40);
    struct Case {
        TCellType Type;
        TCellHAlign H;
        TCellVAlign V;
        const char* Text;
        int Added;
        enum { Beside, Stacked, None } Height;  // beside the text the taller counts, above or under it both
    } cases[] = {
        {ctBitmap, haLeft, vaTop, "", 40, Case::Beside},
        {ctBitmap, haLeft, vaTop, "Numer normy", 40, Case::Beside},
        {ctBitmap, haRight, vaCenter, "Numer normy", 40, Case::Beside},
        {ctBitmap, haCenter, vaCenter, "Numer normy", 40, Case::Beside},
        {ctBitmap, haBeforeText, vaTop, "Numer normy", 40, Case::Beside},
        {ctBitmap, haAfterText, vaBottom, "Numer normy", 40, Case::Beside},
        {ctBitmap, haLeft, vaAboveText, "Numer normy", 40, Case::Stacked},
        {ctBitmap, haCenter, vaUnderText, "Numer normy", 40, Case::Stacked},
        {ctIcon, haCenter, vaCenter, "Numer normy", 40, Case::Beside},
        {ctIcon, haRight, vaTop, "", 40, Case::Beside},
        {ctImageList, haLeft, vaCenter, "Numer normy", 40, Case::Beside},
        {ctImageList, haRight, vaAboveText, "", 40, Case::Stacked},
        {ctBitmap, haFull, vaTop, "Numer normy", 0, Case::Beside},
        {ctCheckBox, haFull, vaCenter, "Numer normy", 0, Case::Beside},
        {ctIcon, haLeft, vaFull, "Numer normy", 40, Case::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << int(c.Type) << " placed " << int(c.H) << "/" << int(c.V)
                                          << " text \"" << c.Text << "\"");
        TProStringGrid g(nullptr), plain(nullptr);
        g.SetGridImages(&images);
        TCellGraphic* graphic = g.CreateCellGraphic(1, 1);
        graphic->CellType = c.Type;
        graphic->CellHAlign = c.H;
        graphic->CellVAlign = c.V;
        if (c.Type == ctBitmap) {
            auto* b = new TBitmap();
            b->SetSize(40, 30);
            graphic->CellObject = b;
            graphic->CellCreated = true;
        } else if (c.Type == ctIcon) {
            graphic->CellIcon = new TIcon();
            graphic->CellIcon->LoadFromData(icon);
            graphic->CellCreated = true;
        }
        for (TProStringGrid* p : {&g, &plain}) {
            p->SetCells(1, 1, c.Text);
            p->AutoSizeColEx(1, false);
            p->AutoSizeRowEx(1, false);
        }
        const int plainWidth = *c.Text ? plain.ColWidths(1) : (g.GridLineWidth() + 1) * 2 + g.AutoSizeExtraWidth();
        EXPECT_EQ(g.ColWidths(1), plainWidth + c.Added);
        const int first = g.ColWidths(1);
        g.AutoSizeColEx(1, false);
        EXPECT_EQ(g.ColWidths(1), first) << "sized again";
        TSize own;
        g.GetCellGraphicSizeEx(1, 1, own, 1, 0, 0);
        const int empty = (g.GridLineWidth() + 1) * 2 + g.AutoSizeExtraHeight();
        const int plainHeight = *c.Text ? plain.RowHeights(1) : empty;
        const int height = c.Height == Case::Stacked  ? plainHeight + own.cy
                           : c.Height == Case::Beside ? std::max(plainHeight, empty + own.cy)
                                                      : plainHeight;
        EXPECT_EQ(g.RowHeights(1), height);
        g.AutoSizeRowEx(1, false);
        EXPECT_EQ(g.RowHeights(1), height) << "sized again";
    }
}

// The rows without records are read on several threads while their fonts
// are asked cell by cell: whatever the events make of a cell's brush, fixed
// state or font, each column comes out as measuring its cells alone gives.
TEST(GridAutoSize, RowsReadOnThreadsSizeAsCellByCell)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid&)> Setup;
    } cases[] = {
        {"the event bolds the second band",
         [](TProStringGrid& g) {
             g.Bands()->SetPrimaryColor(clWhite);
             g.Bands()->SetSecondaryColor(clYellow);
             g.Bands()->SetActive(true);
             g.OnGetCellColor = [](TObject*, int, int, TGridDrawState, TBrush* ABrush, TFont* AFont) {
                 if (ABrush->Color() == clYellow) AFont->SetStyle(fsBold);
             };
         }},
        {"footers in the fixed colour, enlarged by the event",
         [](TProStringGrid& g) {
             g.SetFixedFooters(2);
             g.OnGetCellColor = [&g](TObject*, int, int, TGridDrawState, TBrush* ABrush, TFont* AFont) {
                 if (ABrush->Color() == g.FixedColor()) AFont->SetHeight(-30);
             };
         }},
        {"cells made fixed by an event",
         [](TProStringGrid& g) {
             g.FixedFont()->SetHeight(-24);
             g.OnIsFixedCell = [](TObject*, int ACol, int ARow, bool& Fixed) { Fixed = Fixed || (ACol == 3 && ARow == 4321); };
         }},
        {"a hidden column before the sized ones",
         [](TProStringGrid& g) {
             g.FixedFont()->SetHeight(-20);
             g.HideColumn(1);
             g.OnGetCellColor = [](TObject*, int ARow, int ACol, TGridDrawState AState, TBrush*, TFont* AFont) {
                 if ((AState & gdFixed) && ARow % 2 == 0 && ACol == 0) AFont->SetStyle(fsItalic);
             };
         }},
        {"highlighted header of the current row",
         [](TProStringGrid& g) {
             g.ActiveCellFont()->SetHeight(-40);
             g.SetActiveCellShow(true);
             g.SetRow(4000);
         }},
        {"the event bolds a cell whose font it finds recoloured",
         [](TProStringGrid& g) {
             g.OnGetCellColor = [](TObject*, int, int ACol, TGridDrawState, TBrush*, TFont* AFont) {
                 if (AFont->Color() == clRed || AFont->Charset() == 238) AFont->SetStyle(fsBold);
                 if (ACol == 1) AFont->SetColor(clRed);
                 if (ACol == 3) AFont->SetCharset(238);
             };
         }},
        {"the last cell enlarged", [](TProStringGrid& g) {
             g.OnGetCellColor = [&g](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont* AFont) {
                 if (ACol == 3 && ARow == g.RowCount() - 1) AFont->SetHeight(-28);
             };
         }},
    };
    for (const Case& c : cases) {
        TProStringGrid g(nullptr);
        Fill(g, 6000);
        c.Setup(g);
        TCellTextMeasure alone(&g);
        std::vector<int> expected;
        for (int col = 0; col < g.ColCount(); ++col) {
            // A shown column is sized by the cells of the stored column shown there.
            const int stored = g.RealColIndex(col);
            int widest = 0;
            for (int r = 0; r < g.RowCount(); ++r) {
                TPoint size;
                if (!g.Cells(stored, r).empty()) g.GetCellTextSize(stored, r, false, size, alone);
                widest = std::max(widest, size.X);
            }
            expected.push_back((g.GridLineWidth() + 1) * 2 + widest + g.AutoSizeExtraWidth());
        }
        g.AutoSizeColumns(true, 0);
        for (int col = 0; col < g.ColCount(); ++col)
            EXPECT_EQ(g.ColWidths(col), expected[std::size_t(col)]) << c.Name << ", column " << col;
    }
}
