// Grid printing: pages and column bands, page numbers, header items, fitting,
// page breaks, the preview's page size, and registers printed to PDF files,
// their text read with pdftotext (every column whole on the paper) and their
// pages rendered with pdftoppm (254 dpi: one pixel is 0.1 mm).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProHint.h"
#include "grid/ProObj.h"
#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Printers.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

struct GridPrint : TFormTest {
    TProStringGrid* Grid = nullptr;
    TTempDir Dir{"velmarok-print"};
    void SetUp() override
    {
        MakeForm(600, 400);
        Grid = Place<TProStringGrid>(0, 0, 580, 380);
        Form->Show();
    }
    void TearDown() override
    {
        SetPrinterOutputFile("");
        TFormTest::TearDown();
    }
    // A register: a header row and Rows numbered rows of Cols columns.
    void Fill(int Rows, int Cols)
    {
        Grid->SetColCount(Cols);
        Grid->SetRowCount(Rows + 1);
        for (int c = 0; c < Cols; ++c)
            Grid->SetCells(c, 0, "Kolumna " + IntToStr(c));
        for (int r = 1; r <= Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                Grid->SetCells(c, r, c == 0 ? IntToStr(r) : "PN-EN " + IntToStr(1000 + r) + ":" + IntToStr(c));
    }
    // Prints to the PDF file Name in Dir; the texts at Pos of every page drawn, in order.
    std::vector<AnsiString> PrintCollecting(TPrintPosition Pos, const char* Name)
    {
        std::vector<AnsiString> texts;
        Grid->OnPrintPageDone = [&](TObject*, TCanvas*, int, int, int, int, int) {
            texts.push_back(Trim(Grid->PrintState().PageTexts[Pos]));
        };
        PrintPdf(Name);
        Grid->OnPrintPageDone = nullptr;
        return texts;
    }
    // Prints to the PDF file Name in Dir, whose path it gives.
    std::string PrintPdf(const char* Name)
    {
        const std::string pdf = Dir / Name;
        SetPrinterOutputFile(pdf);
        Grid->PrintGrid();
        SetPrinterOutputFile("");
        return pdf;
    }
    // Page 1 of the preview drawn into a white W x H picture.
    std::unique_ptr<TBitmap> Preview(int W, int H)
    {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(W, H);
        b->Canvas()->Brush()->SetColor(clWhite);
        b->Canvas()->FillRect(TRect(0, 0, W, H));
        Grid->SetPreviewPage(1);
        Grid->PrintPreviewTo(b->Canvas(), TRect(0, 0, W, H));
        return b;
    }
    // Page breaks after every Every rows.
    void BreakEvery(int Every)
    {
        Grid->OnPrintNewPage = [Every](TObject*, int ARow, bool& NewPage) { NewPage = ARow > 1 && (ARow - 1) % Every == 0; };
    }
};

bool DarkInk(TColor c)
{
    return c >= 0 && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
}

bool Dark(TBitmap& b, int x, int y)
{
    return DarkInk(b.Canvas()->Pixels(x, y));
}

// The printer's unprintable left edge in 0.1 mm.
int PrinterOffsetX()
{
    TCanvas* pc = Printer()->Canvas();
    return MulDiv(GetDeviceCaps(pc, PHYSICALOFFSETX), 254, GetDeviceCaps(pc, LOGPIXELSX));
}

// The horizontal lines across the page from Left to Right (nine tenths dark or more): their first
// and last pixel rows, from the top.
std::vector<std::pair<int, int>> LinesAcross(TBitmap& Page, int Left, int Right)
{
    std::vector<std::pair<int, int>> lines;
    for (int y = 0; y < Page.Height(); ++y) {
        if (CountPixels(&Page, TRect(Left, y, Right, y + 1), DarkInk) * 10 < (Right - Left) * 9)
            continue;
        if (!lines.empty() && lines.back().second == y - 1)
            lines.back().second = y;
        else
            lines.push_back({y, y});
    }
    return lines;
}

TEST_F(GridPrint, PageNumbersOfOneBandAndOfSeveralBands)
{
    Grid->PrintSettings()->SetPageNr(ppBottomRight);
    Fill(30, 3);
    BreakEvery(10);   // rows 0-10, 11-20, 21-30
    EXPECT_EQ((std::vector<AnsiString>{"1/3", "2/3", "3/3"}), PrintCollecting(ppBottomRight, "one.pdf"));
    EXPECT_EQ(3, Grid->PrintPageCount());

    // Four columns of 8 cm on a page of about 19 cm: two bands of two columns, each of two pages.
    Fill(15, 4);
    BreakEvery(8);
    Grid->PrintSettings()->SetUseFixedWidth(true);
    Grid->PrintSettings()->SetFixedWidth(800);
    Grid->PrintSettings()->SetPageNumberOffset(5);   // not used for bands
    EXPECT_EQ((std::vector<AnsiString>{"1-1", "2-1", "1-2", "2-2"}), PrintCollecting(ppBottomRight, "bands.pdf"));
}

TEST_F(GridPrint, HeaderItemsStandWhereTheirPositionsSay)
{
    SetTestClock(EncodeDate(2026, 12, 7) + EncodeTime(9, 5, 0, 0));
    const AnsiString date = FormatDateTime("dd/mm/yyyy", Now());
    Fill(3, 2);
    struct Case { TPrintPosition Pos; AnsiString Expected; } cases[] = {
        {ppTopLeft, date + " 09:05 "},
        {ppTopRight, " 09:05 " + date},
        {ppBottomCenter, " 09:05 " + date},
    };
    for (const Case& k : cases) {
        Grid->PrintSettings()->SetTime(k.Pos);
        Grid->PrintSettings()->SetDate(k.Pos);
        AnsiString got;
        Grid->OnPrintPageDone = [&](TObject*, TCanvas*, int, int, int, int, int) {
            got = Grid->PrintState().PageTexts[k.Pos];
        };
        Preview(400, 500);
        EXPECT_EQ(k.Expected, got) << int(k.Pos);
    }
    SetTestClock(0);
}

TEST_F(GridPrint, MiniHtmlCellsPrintInsideTheirOwnRow)
{
    Grid->SetColCount(2);
    Grid->SetRowCount(3);
    Grid->SetColWidths(1, 200);
    Grid->SetCells(1, 0, "Stan");
    Grid->SetCells(1, 1, "<font color=\"#00C000\"><b>Aktualna</b></font>");
    Grid->SetCells(1, 2, "Brak");
    auto preview = Preview(600, 800);
    TBitmap& b = *preview;
    // The green text's rows, and the grid lines running across the whole width of that text.
    const TRect green = InkBox(&b, TRect(0, 0, 600, 800), [](TColor c) {
        return c >= 0 && GetGValue(c) > 120 && GetRValue(c) < 100 && GetBValue(c) < 100;
    });
    ASSERT_GE(green.Top, 0);
    const auto lines = LinesAcross(b, green.Left, green.Right);
    ASSERT_GE(lines.size(), 4u);   // above the header, between the rows, below the last row
    EXPECT_GT(green.Top, lines[1].first);
    EXPECT_LE(green.Bottom, lines[2].first);
}

TEST_F(GridPrint, FittingScalesColumnsOnlyAsItsModeAllows)
{
    Fill(5, 3);
    auto widths = [&](TFitToPage Fit, int ExtraWidth) {
        Grid->PrintSettings()->SetFitToPage(Fit);
        Grid->PrintSettings()->SetUseFixedWidth(true);
        Grid->PrintSettings()->SetFixedWidth(ExtraWidth);
        Preview(800, 600);
        return Grid->PrintState().ColWidths;
    };
    // A narrow table (3 x 2 cm on a 21 cm preview page) and a wide one (3 x 15 cm).
    EXPECT_EQ(widths(fpNever, 200), widths(fpShrink, 200));
    EXPECT_GT(widths(fpGrow, 200)[0], 200);
    EXPECT_GT(widths(fpAlways, 200)[0], 200);
    EXPECT_EQ(widths(fpNever, 1500), widths(fpGrow, 1500));
    EXPECT_LT(widths(fpShrink, 1500)[0], 1500);
    // With a fixed width every column has it.
    for (int w : widths(fpNever, 333))
        EXPECT_EQ(333, w);
    // A custom handler that refuses keeps the widths.
    bool asked = false;
    Grid->OnFitToPage = [&](TObject*, double& Scale, bool& Allow) { asked = Scale != 1.0; Allow = false; };
    EXPECT_EQ(widths(fpNever, 1500), widths(fpCustom, 1500));
    EXPECT_TRUE(asked);
}

TEST_F(GridPrint, PreviewPagesAreThePrintedPagesWhateverThePreviewSize)
{
    Fill(7, 2);
    Grid->OnPrintNewPage = [](TObject*, int, bool& NewPage) { NewPage = true; };
    Preview(400, 600);
    EXPECT_EQ(8, Grid->PrintPageCount());   // one row per page, no empty page after the last
    Grid->OnPrintNewPage = nullptr;

    // A register of five columns: the print's pages and columns, in a small and a large preview.
    Fill(200, 5);
    PrintCollecting(ppNone, "register.pdf");
    const int pages = Grid->PrintPageCount();
    const std::vector<int> widths = Grid->PrintState().ColWidths, starts = Grid->PrintState().ColStarts;
    ASSERT_GT(pages, 1);
    ASSERT_EQ(6u, starts.size());   // one band: all five columns on a page
    TBitmap b;
    for (const TRect& r : {TRect(0, 0, 300, 200), TRect(0, 0, 400, 600), TRect(0, 0, 1200, 1600)}) {
        b.SetSize(r.Right, r.Bottom);
        Grid->SetPreviewPage(2);
        Grid->PrintPreviewTo(b.Canvas(), r);
        EXPECT_EQ(pages, Grid->PrintPageCount()) << r.Right;
        EXPECT_EQ(widths, Grid->PrintState().ColWidths) << r.Right;
        EXPECT_EQ(starts, Grid->PrintState().ColStarts) << r.Right;
    }
}

TEST_F(GridPrint, EmptyRangeFromPrintStartPrintsNothing)
{
    Fill(20, 2);
    std::vector<int> phases;
    Grid->OnGridProgress = [&](TObject*, int Phase, int) {
        if (Phase != 1)
            phases.push_back(Phase);
    };
    Grid->OnPrintStart = [](TObject*, int NrOfPages, int& FromPage, int& ToPage) {
        EXPECT_GE(NrOfPages, 1);
        FromPage = 2;
        ToPage = 1;
    };
    EXPECT_FALSE(FileExists(PrintPdf("none.pdf")));
    EXPECT_EQ(std::vector<int>{0}, phases);   // no end phase for a job that never printed
    EXPECT_FALSE(Printer()->Printing());
}

int PdfPageCount(const std::string& Pdf)
{
    const std::string out = Pdf + ".info";
    const std::string cmd = "pdfinfo '" + Pdf + "' > '" + out + "'";
    if (std::system(cmd.c_str()) != 0)
        return -1;
    const std::string info = ReadFileBytes(out);
    const std::size_t p = info.find("Pages:");
    return p == std::string::npos ? -1 : std::atoi(info.c_str() + p + 6);
}

// The first page of a PDF file rendered at 254 dpi (a pixel is 0.1 mm) into the screenshots.
bool RenderFirstPage(const std::string& Pdf, const std::string& Name, TBitmap& Page)
{
    const std::string png = ScreenshotPath(Name);
    const std::string cmd = "pdftoppm -r 254 -png -f 1 -l 1 -singlefile '" + Pdf + "' '" + png.substr(0, png.size() - 4) + "'";
    if (std::system(cmd.c_str()) != 0)
        return false;
    Page.LoadFromFile(png);
    return !Page.Empty();
}

TEST_F(GridPrint, RegisterPrintedToPdfHasItsPagesTextAndLinesWhereLaidOut)
{
    Fill(200, 5);
    TPrintSettings* ps = Grid->PrintSettings();
    ps->SetCentered(false);
    ps->SetLeftSize(100);
    ps->SetHeaderSize(100);
    ps->SetTitleSpacing(0);
    ps->SetFooterSize(100);
    ps->SetPageNr(ppBottomCenter);
    const std::string pdf = Dir / "register.pdf";
    SetPrinterOutputFile(pdf);
    TCanvas* pc = Printer()->Canvas();
    const int dpi = GetDeviceCaps(pc, LOGPIXELSX);
    const int offX = MulDiv(GetDeviceCaps(pc, PHYSICALOFFSETX), 254, dpi);
    const int offY = MulDiv(GetDeviceCaps(pc, PHYSICALOFFSETY), 254, dpi);
    Grid->PrintGrid();
    SetPrinterOutputFile("");
    const int pages = Grid->PrintPageCount();
    EXPECT_GT(pages, 2);
    EXPECT_EQ(pages, PdfPageCount(pdf));

    TBitmap page;
    ASSERT_TRUE(RenderFirstPage(pdf, "GridPrintRegisterPage1.png", page)) << "pdftoppm could not render the page";

    // The table's frame starts 1 cm in and 1 cm down: the first cell's top and left lines.
    const std::vector<int>& starts = Grid->PrintState().ColStarts;
    ASSERT_GE(starts.size(), 6u);
    EXPECT_EQ(100, starts[0]);
    const int x0 = offX + starts[0], y0 = offY + 100;
    int top = -1;
    for (int y = y0 - 20; y < y0 + 20 && top < 0; ++y)
        if (Dark(page, x0 + 40, y))
            top = y;
    EXPECT_NEAR(y0, top, 3);
    int left = -1;
    for (int x = x0 - 20; x < x0 + 20 && left < 0; ++x)
        if (Dark(page, x, y0 + 30))
            left = x;
    EXPECT_NEAR(x0, left, 3);
    // The line between the first and the second column.
    EXPECT_GT(CountPixels(&page, TRect(offX + starts[1] - 8, y0 + 30, offX + starts[1] + 4, y0 + 31), DarkInk), 0);
    // The header text of the second column lies inside its cell, and nothing stands above the table.
    EXPECT_GT(CountPixels(&page, TRect(offX + starts[1] + 3, y0 + 3, offX + starts[2] - 10, y0 + 45), DarkInk), 100);
    EXPECT_EQ(0, CountPixels(&page, TRect(x0, offY, offX + starts[5], y0 - 5), DarkInk));
}

// The text pdftotext finds on the pages of a PDF file (text off the paper is not found).
std::string PdfText(const std::string& Pdf)
{
    const std::string out = Pdf + ".txt";
    const std::string cmd = "pdftotext -q '" + Pdf + "' '" + out + "'";
    return std::system(cmd.c_str()) == 0 ? ReadFileBytes(out) : std::string();
}

TEST_F(GridPrint, EveryColumnPrintsWholeBetweenTheMargins)
{
    TCanvas* pc = Printer()->Canvas();
    const int page = MulDiv(Printer()->PageWidth(), 254, GetDeviceCaps(pc, LOGPIXELSX));
    struct Case {
        const char* Name;
        int Cols, Letters;
        int FixedWidth;   // 0: measured from the texts
        bool Centered;
        int Left, Right, Pages;
        int Hidden = -1;   // a column hidden before printing
    } cases[] = {
        // Columns of 84 letters (about 13 cm) on a page of about 20 cm: one column a band.
        {"one column fits", 3, 84, 0, true, 100, 100, 3},
        {"one column fits, not centred", 3, 84, 0, false, 100, 100, 3},
        // Five columns of a fifth of the paper beside a left margin of 4 cm: four on the first band.
        {"wide left margin", 5, 10, page / 5 - 2, false, 400, 0, 2},
        // A column wider than the room between the margins stands on a band of its own.
        {"column wider than the margins", 2, 8, page - 150, false, 100, 100, 2},
        {"column wider than the paper", 3, 8, page + 300, true, 100, 100, 3},
        // A hidden column takes no band.
        {"one column fits, one hidden", 4, 84, 0, true, 100, 100, 3, 1},
    };
    for (const Case& k : cases) {
        Grid->UnHideColumnsAll();
        Grid->SetColCount(k.Cols);
        Grid->SetRowCount(3);
        std::vector<AnsiString> texts, hidden;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < k.Cols; ++c) {
                AnsiString t = "k" + IntToStr(c) + "w" + IntToStr(r);
                while (int(t.size()) < k.Letters)
                    t += char('a' + t.size() % 26);
                Grid->SetCells(c, r, t);
                (c == k.Hidden ? hidden : texts).push_back(t);
            }
        if (k.Hidden >= 0)
            Grid->HideColumn(k.Hidden);
        TPrintSettings* ps = Grid->PrintSettings();
        ps->SetUseFixedWidth(k.FixedWidth > 0);
        ps->SetFixedWidth(k.FixedWidth);
        ps->SetCentered(k.Centered);
        ps->SetLeftSize(k.Left);
        ps->SetRightSize(k.Right);
        const std::string pdf = PrintPdf("columns.pdf");
        EXPECT_EQ(k.Pages, Grid->PrintPageCount()) << k.Name;
        EXPECT_EQ(k.Pages, PdfPageCount(pdf)) << k.Name;
        const std::string text = PdfText(pdf);
        for (const AnsiString& t : texts)
            EXPECT_NE(std::string::npos, text.find(t)) << k.Name << ": " << t << "\n" << text;
        for (const AnsiString& t : hidden)
            EXPECT_EQ(std::string::npos, text.find(t.substr(0, 4))) << k.Name << ": " << t;
        TBitmap first;
        if (&k == cases) {
            EXPECT_TRUE(RenderFirstPage(pdf, "GridPrintOneColumnABand.png", first));
        }
    }
}

TEST_F(GridPrint, EveryLineOfAMultiLineCellPrintsInsideItsCell)
{
    // Rows of 1, 2, 3 and 5 lines with descenders; each line is one band of ink in its cell,
    // with white between the last line and the cell's bottom line.
    const int lineCounts[] = {1, 2, 3, 5};
    Grid->SetMultilinecells(true);
    Grid->SetColCount(2);
    Grid->SetRowCount(5);
    Grid->SetCells(1, 0, "Uwagi");
    for (int r = 1; r <= 4; ++r) {
        AnsiString t;
        for (int l = 0; l < lineCounts[r - 1]; ++l)
            t += (l ? "\r\n" : "") + AnsiString("Agpy ") + IntToStr(l + 1);
        Grid->SetCells(0, r, IntToStr(r));
        Grid->SetCells(1, r, t);
    }
    struct Case { int RowSpacing, FontSize; } cases[] = {{20, 10}, {0, 10}, {80, 10}, {20, 16}};
    for (const Case& k : cases) {
        const std::string name = "GridPrintMultiLine" + std::to_string(k.RowSpacing) + "-" + std::to_string(k.FontSize);
        Grid->PrintSettings()->SetRowSpacing(k.RowSpacing);
        Grid->PrintSettings()->SetUseDisplayFont(false);
        Grid->PrintSettings()->Font()->SetSize(k.FontSize);
        Grid->PrintSettings()->FixedFont()->SetSize(k.FontSize);
        TBitmap page;
        ASSERT_TRUE(RenderFirstPage(PrintPdf("lines.pdf"), name + ".png", page));
        const std::vector<int>& starts = Grid->PrintState().ColStarts;
        ASSERT_GE(starts.size(), 3u);
        const int left = PrinterOffsetX() + starts[1] + 8, right = PrinterOffsetX() + starts[2] - 12;
        const auto lines = LinesAcross(page, left, right);
        ASSERT_EQ(6u, lines.size()) << name;
        for (int r = 1; r <= 4; ++r) {
            // Bands of ink between the row's top line and its bottom line, and white below the last.
            int bands = 0, lastInk = -1;
            for (int y = lines[r].second + 1, inBand = 0; y < lines[r + 1].first; ++y) {
                int any = 0;
                for (int x = left; x < right && !any; ++x)
                    any = Dark(page, x, y);
                bands += any && !inBand;
                inBand = any;
                lastInk = any ? y : lastInk;
            }
            EXPECT_EQ(lineCounts[r - 1], bands) << name << " row " << r;
            EXPECT_LT(lastInk, lines[r + 1].first - 1) << name << " row " << r;
        }
    }
}

// Where nothing blinks (paper, preview, the footer's template, the popup caption, the hint window)
// "<BLINK>" text is drawn, also while the grid's own cells are in their hidden phase.
TEST_F(GridPrint, BlinkingTextShowsWhereNothingBlinks)
{
    Grid->SetColCount(1);
    Grid->SetRowCount(3);
    Grid->SetFixedCols(0);
    Grid->SetFixedRows(0);
    Grid->SetEnableBlink(true);
    ASSERT_FALSE(Grid->BlinkPhase());
    Grid->PrintSettings()->SetBorders(pbNoborder);
    Grid->FloatingFooter()->SetFooterStyle(fsCustomPreview);
    Grid->FloatingFooter()->SetVisible(true);
    THTMLHintWindow hint(nullptr);
    const struct { const char* Name; std::function<std::unique_ptr<TBitmap>(const AnsiString&)> Draw; } places[] = {
        {"preview", [&](const AnsiString& Text) { Grid->SetCells(0, 0, Text); return Preview(600, 800); }},
        {"paper",
         [&](const AnsiString& Text) {
             Grid->SetCells(0, 0, Text);
             auto b = std::make_unique<TBitmap>();
             EXPECT_TRUE(RenderFirstPage(PrintPdf("blink.pdf"), "GridPrintBlink.png", *b));
             return b;
         }},
        {"footer",
         [&](const AnsiString& Text) { Grid->FloatingFooter()->SetCustomTemplate(Text); return GrabControl(Grid->FooterPanel()); }},
        {"caption",
         [&](const AnsiString& Text) {
             TPopupButton* b = Grid->PopupButton();
             b->SetBounds(10, 10, 120, 24);
             b->SetCaption(Text);
             b->SetVisible(true);
             return GrabControl(b);
         }},
        {"hint", [&](const AnsiString& Text) { hint.ActivateHint(TRect(0, 0, 10, 10), Text); return GrabControl(&hint); }},
    };
    auto darkPixels = [](TBitmap& b) {   // inside the frames of the windows
        return CountPixels(&b, TRect(2, 2, b.Width() - 2, b.Height() - 2), DarkInk);
    };
    for (const auto& p : places) {
        const int without = darkPixels(*p.Draw("<BLINK></BLINK>"));
        const int with = darkPixels(*p.Draw("<BLINK>Migający tekst</BLINK>"));
        EXPECT_GT(with, without + 40) << p.Name;
    }
}

TEST_F(GridPrint, AccentedCapitalsPrintWholeBelowTheirCellsTopLine)
{
    // Each accented word below its plain form: the accent must add ink above the plain capitals,
    // with white between it and the cell's top line.
    const char* words[] = {"Lp.", "SRUBA", "ŚRUBA", "PRZEWOD", "PRZEWÓD"};
    Grid->SetColCount(2);
    Grid->SetRowCount(5);
    for (int r = 0; r < 5; ++r) {
        Grid->SetCells(0, r, IntToStr(r));
        Grid->SetCells(1, r, words[r]);
    }
    TBitmap page;
    ASSERT_TRUE(RenderFirstPage(PrintPdf("accents.pdf"), "GridPrintAccents.png", page));
    const std::vector<int>& starts = Grid->PrintState().ColStarts;
    ASSERT_GE(starts.size(), 3u);
    const int left = PrinterOffsetX() + starts[1] + 8, right = PrinterOffsetX() + starts[2] - 12;
    const auto lines = LinesAcross(page, left, right);   // across the word column
    ASSERT_EQ(lines.size(), 6u);
    // White rows between a cell's top line and its first ink.
    auto gap = [&](int Row) {
        const int top = InkBox(&page, TRect(left, lines[Row].second + 1, right, lines[Row + 1].first), DarkInk).Top;
        return top < 0 ? -1 : top - lines[Row].second - 1;
    };
    for (int accented : {2, 4}) {
        EXPECT_GE(gap(accented), 1) << words[accented];
        EXPECT_GE(gap(accented - 1) - gap(accented), 4) << words[accented];
    }
}

// Turned text prints inside its own cell, turned the way the screen turns it: text turned by 90
// degrees reads upward, so its ink is taller than wide; by 270 it reads downward.
TEST_F(GridPrint, TurnedTextPrintsInsideItsCell)
{
    const int angles[] = {90, 45, 270};
    Grid->SetColCount(4);
    Grid->SetRowCount(2);
    Grid->SetCells(0, 1, "Lp.");
    for (int c = 1; c <= 3; ++c) {
        TCellGraphic* g = Grid->CreateCellGraphic(c, 1);
        g->CellType = ctRotated;
        g->CellAngle = angles[c - 1];
        Grid->SetCells(c, 1, "Obrócony");
    }
    TBitmap page;
    ASSERT_TRUE(RenderFirstPage(PrintPdf("turned.pdf"), "GridPrintTurned.png", page));
    const std::vector<int>& starts = Grid->PrintState().ColStarts;
    ASSERT_EQ(starts.size(), 5u);
    const auto lines = LinesAcross(page, PrinterOffsetX() + starts[0] + 8, PrinterOffsetX() + starts[0] + 30);
    ASSERT_EQ(lines.size(), 3u);
    for (int c = 1; c <= 3; ++c) {
        const TRect cell(PrinterOffsetX() + starts[c] + 8, lines[1].second + 2, PrinterOffsetX() + starts[c + 1] - 8,
                         lines[2].first - 1);
        const TRect ink = InkBox(&page, cell, DarkInk);
        ASSERT_GE(ink.Left, 0) << angles[c - 1];
        // The whole word: about as long as the cell is tall, where it stands upright.
        if (angles[c - 1] != 45) {
            EXPECT_GT(ink.Height() - 1, 3 * (ink.Width() - 1)) << angles[c - 1];
        }
    }
}

// A Unicode cell prints every character it holds, at the width its text takes.
TEST_F(GridPrint, UnicodeCellsPrintTheirCharactersAtTheirWidth)
{
    Grid->SetColCount(4);
    Grid->SetRowCount(2);
    Grid->SetCells(1, 1, EncodeUnicodeCell(u"Zażółć gęślą"));
    Grid->SetCells(2, 1, "Zażółć gęślą");
    Grid->SetCells(3, 1, EncodeUnicodeCell(u"\u03A9mega \u0416uk"));
    const std::string text = PdfText(PrintPdf("unicode.pdf"));
    const std::vector<int>& widths = Grid->PrintState().ColWidths;
    ASSERT_EQ(widths.size(), 4u);
    EXPECT_EQ(widths[1], widths[2]);
    EXPECT_NE(text.find("\xCE\xA9mega \xD0\x96uk"), std::string::npos) << text;
}

}  // namespace

// A merged region over stored columns 2-4 and stored rows 1-3 with one of its columns or rows
// hidden prints over its shown cells only, with its text once: the cells after it and below it keep
// their own texts.
TEST_F(GridPrint, MergedRegionAcrossAHiddenColumnOrRowPrintsOverItsShownCells)
{
    const struct { bool Column; int Hidden; } cases[] = {{true, 3}, {true, 2}, {false, 1}, {false, 2}, {false, 3}};
    for (const auto& c : cases) {
        Grid->UnHideColumnsAll();
        Grid->UnHideRowsAll();
        Fill(4, 7);
        // Texts beside and below the region, at stored cells.
        const struct { const char* Text; int Col, Row; } cells[] = {
            {"Obszar", 2, 1}, {"Dalej5", 5, 1}, {"Dalej6", 6, 3}, {"Pod", 4, 4}};
        for (const auto& t : cells)
            Grid->SetCells(t.Col, t.Row, t.Text);
        Grid->MergeCells(2, 1, 3, 3);
        c.Column ? Grid->HideColumn(c.Hidden) : Grid->HideRow(c.Hidden);
        const std::string text = PdfText(PrintPdf("merged.pdf"));
        const std::string name = (c.Column ? "column " : "row ") + std::to_string(c.Hidden);
        for (const auto& t : cells)
            if (t.Col == 2 || (c.Column ? t.Col : t.Row) != c.Hidden) {
                EXPECT_NE(std::string::npos, text.find(t.Text)) << name << ": " << t.Text << "\n" << text;
            }
        EXPECT_EQ(text.find("Obszar"), text.rfind("Obszar")) << name;
        Grid->SplitCells(2, 1);
    }
}
