// Grid printing: one layout routine lays the cells out on pages of 0.1 mm
// (y growing upward) and runs in four modes: count the pages of a print job,
// print, count the pages of a preview, and draw one preview page. A preview's
// pages are the printer's, measured on the printer's canvas as the print
// measures them, and shown scaled into the preview's rectangle.
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <string_view>
#include <typeinfo>
#include <unordered_map>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/ProGridText_p.h"
#include "grid/ProGridPaint_p.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Printers.h"
#include "platform/gui/RichEdit.h"

namespace {
enum TPrintMode { pmCountPrint, pmPrint, pmCountPreview, pmPreview };

int RoundInt(double v)
{
    return int(std::lround(v));
}

bool IsTopPosition(TPrintPosition p)
{
    return p == ppTopLeft || p == ppTopRight || p == ppTopCenter;
}

bool IsBottomPosition(TPrintPosition p)
{
    return p == ppBottomLeft || p == ppBottomRight || p == ppBottomCenter;
}

// Pixels per inch of a canvas, 96 when it cannot tell.
int CanvasPixelsPerInch(TCanvas* ACanvas)
{
    int ppi = ACanvas ? GetDeviceCaps(ACanvas, LOGPIXELSX) : 0;
    return ppi > 0 ? ppi : 96;
}

// The printer's page in print units, in the orientation the settings ask for.
TRect PrinterPage(TPrinter* Printer, TPrintSettings* Settings)
{
    if (!Settings->UseDefaultOrientation())
        Printer->SetOrientation(Settings->Orientation());
    TCanvas* c = Printer->Canvas();
    const int dpiX = CanvasPixelsPerInch(c), dpiY = std::max(GetDeviceCaps(c, LOGPIXELSY), 1);
    return TRect(0, 0, RoundInt(Printer->PageWidth() * 254.0 / dpiX), RoundInt(Printer->PageHeight() * 254.0 / dpiY));
}

// A canvas in MM_LOMETRIC for as long as the object lives (at a scale and origin when given);
// then as it was.
class TMappedScope {
public:
    explicit TMappedScope(TCanvas* ACanvas) : C(ACanvas), Mode(SetMapMode(ACanvas, MM_LOMETRIC))
    {
        OldScale = GetMappedView(C, OldOrigin);
    }
    TMappedScope(TCanvas* ACanvas, double Scale, const TPoint& Origin) : TMappedScope(ACanvas)
    {
        SetMappedView(C, Scale, Origin);
    }
    ~TMappedScope()
    {
        SetMappedView(C, OldScale, OldOrigin);
        SetMapMode(C, Mode ? Mode : MM_TEXT);
    }
    TMappedScope(const TMappedScope&) = delete;
    TMappedScope& operator=(const TMappedScope&) = delete;

private:
    TCanvas* C;
    int Mode;
    TPoint OldOrigin;
    double OldScale = 1.0;
};

// The six header and footer texts, by position (ppTopLeft .. ppBottomCenter).
struct THeaderTexts {
    AnsiString Text[7];
    void Add(TPrintPosition Pos, const AnsiString& Item)
    {
        if (Pos == ppNone)
            return;
        AnsiString& t = Text[Pos];
        if (Pos == ppTopLeft || Pos == ppBottomLeft)
            t = Item + " " + t;
        else
            t = t + " " + Item;
    }
};
}  // namespace

// One run of the layout over the grid's print range in one mode.
class TGridPrintLayout {
public:
    TGridPrintLayout(TProStringGrid* AGrid, TCanvas* ACanvas, TPrintMode AMode, bool ASelectedOnly)
        : G(AGrid), PS(AGrid->PrintSettings()), C(ACanvas), Mode(AMode), SelectedOnly(ASelectedOnly),
          St(AGrid->PrintState())
    {
    }
    int Run();
    // A draw run takes the measured columns and rows of the count run just before it in the same job.
    void TakeMeasures(const TGridPrintLayout& Count)
    {
        Reused = true;
        Widths = Count.FittedWidths;
        MeasuredHeights = Count.MeasuredHeights;
        Spacing = Count.Spacing;
        Fitted = Count.Fitted;
        FontCache = Count.FontCache;
    }

private:
    bool Drawing() const { return Mode == pmPrint || Mode == pmPreview; }
    bool PageInRange(int Page) const { return Page >= St.FromPage && Page <= St.ToPage; }
    bool RowPrinted(int ARow);
    bool ColPrinted(int ACol);
    void UsePrintFont(TFont* Source);
    int FontHeight(TFont* F);
    TSize MeasureCell(int ACol, int ARow);
    AnsiString CellText(int ACol, int ARow);
    void MeasureColumns();
    bool MeasureCellsAtOnce(const std::vector<int>& ARows, const std::vector<char>& AMeasured);
    void MeasureInRow(int ACol, int ARow, int& Tallest);
    void FitToPage();
    int RowHeight(int ARow);
    // RowHeight where a row's height is its measured one and nothing watches it: a count runs
    // down many rows, taking each one's height once.
    int QuickRowHeight(int ARow)
    {
        if (ARow == CachedRow)
            return CachedHeight;
        if (std::size_t(ARow) < MeasuredHeights.size() && MeasuredHeights[std::size_t(ARow)] > 0) {
            CachedRow = ARow;
            return LastMeasured = CachedHeight = MeasuredHeights[std::size_t(ARow)];
        }
        return RowHeight(ARow);
    }
    int Pitch(int AHeight) const { return AHeight + AHeight / 8 + 2 * LineGap + PS->RowSpacing(); }
    int RowPitch(int ARow) { return Pitch(RowHeight(ARow)); }
    int DrawRow(int ARow, int Y);
    void DrawCell(int ACol, int ARow, int Y, int Pitch, bool FixedPart);
    // The text inside R, Inset below its top and above its bottom line; clipped to R.
    void DrawCellText(int ACol, int ARow, const TRect& R, int Inset, TAlignment HAlign, TVAlignment VAlign,
                      bool WordWrap, bool Merged);
    void DrawHeaderFooter();
    void DrawTitleHtml(const AnsiString& Html, const TRect& R);
    void ClosePage(int LastY);
    void StartNextPage();
    void ComputeOffsets();
    int SumWidths(int From, int To);

    TProStringGrid* G;
    TPrintSettings* PS;
    TCanvas* C;
    TPrintMode Mode;
    bool SelectedOnly;
    TProStringGrid::TPrintState& St;

    int ScreenPPI = 96;
    double DeviceRatio = 1.0;
    int HeaderLine = 0, FooterLine = 0, TableLine = 0, LineGap = 0;
    int PageWidth = 0, PageBottom = 0;
    int Spacing = 0;
    std::vector<int> Widths;           // per column (0 .. range right), print units
    std::vector<int> Pos;              // left position per column of the band, and one past its last
    std::vector<int> FixedPos;         // repeated fixed columns
    std::vector<int> MeasuredHeights;  // per row from the column pass (-1: not measured)
    int BandStart = 0, BandEnd = -1;
    bool RepeatFixed = false;
    bool BandWide = false;
    int Band = 0, PageInBand = 0, Pages = 0;
    int TopOffset = 0, BottomReserve = 0;
    bool Cancelled = false;
    bool Stop = false;
    int CachedRow = -1, CachedHeight = 0, LastMeasured = 0;
    int TableTop = 0;
    // Measures of the column pass, before OnPrintSetColumnWidth.
    bool Reused = false;
    std::vector<int> FittedWidths;
    double Fitted = 1.0;
    // Text heights and widths by font, so that repeated texts are measured once.
    struct TFontMeasures {
        int LineHeight = 0;
        std::unordered_map<AnsiString, int> Widths;
    };
    std::map<AnsiString, TFontMeasures> FontCache;
    TFontMeasures* Measures = nullptr;
    TBrush MeasureBrush;
    TFont MeasureFont;
    int TextWidth(const AnsiString& S);
    // The cell-style query for printing: font and brush, and the text's alignment and wrapping.
    struct TCellLook {
        TAlignment HAlign = taLeftJustify;
        TVAlignment VAlign = vtaTop;
        bool WordWrap = false;
    };
    TCellLook CellStyle(int ACol, int ARow, TBrush* ABrush, TFont* AFont);
    // Mini-HTML in R (measured only with Measure); the size it takes.
    TSize PrintHtml(const AnsiString& Html, const TRect& R, bool Measure, int ShadowOffset, bool WordWrap);
    int LineHeight() { return Measures ? Measures->LineHeight : C->TextHeight("gh"); }
    // Lines of plain text stand this far apart, and so many of them take this height, so that
    // a cell measured for them holds every line.
    int LineStep(int ALineHeight) const { return ALineHeight + (ALineHeight + PS->RowSpacing()) / 8; }
    int LinesHeight(int ALineHeight, int Lines) const { return ALineHeight + LineStep(ALineHeight) * (Lines - 1); }
};

bool TGridPrintLayout::RowPrinted(int ARow)
{
    if (!SelectedOnly)
        return true;
    if (ARow < G->FixedRows() && PS->PrintKeepFixed())
        return true;
    if (G->MouseActions()->DisjunctRowSelect())
        return G->GetShownRowSelect(ARow);
    TGridRect s = G->GetSelection();
    return ARow >= s.Top && ARow <= s.Bottom;
}

bool TGridPrintLayout::ColPrinted(int ACol)
{
    if (!SelectedOnly)
        return true;
    if (ACol < G->FixedCols() && PS->PrintKeepFixed())
        return true;
    if (G->MouseActions()->DisjunctColSelect())
        return G->GetColSelect(ACol);
    TGridRect s = G->GetSelection();
    return ACol >= s.Left && ACol <= s.Right;
}

int TGridPrintLayout::FontHeight(TFont* F)
{
    return -RoundInt(F->Size() * 254.0 / 72.0 * St.ResizeFactor);
}

void TGridPrintLayout::UsePrintFont(TFont* Source)
{
    const int height = FontHeight(Source);
    const AnsiString key = Source->Name() + "|" + IntToStr(height) + "|" + IntToStr(int(Source->Style())) + "|" +
                           IntToStr(Source->Charset()) + "|" + IntToStr(Source->Orientation());
    TFont* f = C->Font();
    if (!(f->Name() == Source->Name() && f->Height() == height && f->Style() == Source->Style() &&
          f->Charset() == Source->Charset() && f->Orientation() == Source->Orientation() &&
          f->Pitch() == Source->Pitch())) {
        f->Assign(Source);
        f->SetHeight(height);
    }
    f->SetColor(Source->Color());
    auto it = FontCache.find(key);
    if (it == FontCache.end()) {
        it = FontCache.emplace(key, TFontMeasures()).first;
        it->second.LineHeight = C->TextHeight("gh");
    }
    Measures = &it->second;
}

int TGridPrintLayout::TextWidth(const AnsiString& S)
{
    if (S.empty())
        return 0;
    if (!Measures)
        return C->TextWidth(S);
    auto it = Measures->Widths.find(S);
    if (it != Measures->Widths.end())
        return it->second;
    const int w = C->TextWidth(S);
    if (Measures->Widths.size() < 200000)
        Measures->Widths.emplace(S, w);
    return w;
}

AnsiString TGridPrintLayout::CellText(int ACol, int ARow)
{
    const int real = G->GetRealColIndex(ACol);
    if (TCellGraphic* g = G->GetCellGraphic(real, ARow)) {
        if (g->CellType == ctDataImage || g->CellType == ctDataCheckBox || g->CellType == ctProgress ||
            g->CellType == ctXPProgress || g->CellType == ctRangeIndicator)
            return AnsiString();
    }
    AnsiString text;
    G->FormatNumericCell(real, ARow, text);
    if (ClassifyCellText(text, G->EnableHTML()) == 3)
        text = G->CalcFormula(real, ARow, text);
    return text;
}

TGridPrintLayout::TCellLook TGridPrintLayout::CellStyle(int ACol, int ARow, TBrush* ABrush, TFont* AFont)
{
    TCellLook look;
    TGridDrawState state = 0;
    TColor to, mirror, mirrorTo;
    TCellGradientDirection dir = GradientVertical;
    G->GetCellStyle(ACol, ARow, state, true, false, true, ABrush, to, mirror, mirrorTo, AFont, look.HAlign,
                    look.VAlign, look.WordWrap, dir);
    return look;
}

TSize TGridPrintLayout::PrintHtml(const AnsiString& Html, const TRect& R, bool Measure, int ShadowOffset,
                                  bool WordWrap)
{
    THtmlRun run;
    run.Images = G->GridImages();
    run.ShadowOffset = ShadowOffset;
    run.CheckHotSpot = Measure;   // laid out without drawing
    run.Print = true;
    run.ResFactor = St.ResizeFactor;
    run.WordWrap = WordWrap;
    run.Owner = G;
    run.Run(C, Html, R);
    return TSize{run.XSize, std::abs(run.YSize)};
}

TSize TGridPrintLayout::MeasureCell(int ACol, int ARow)
{
    const int real = G->GetRealColIndex(ACol);
    const bool wrap = CellStyle(ACol, ARow, &MeasureBrush, &MeasureFont).WordWrap;
    UsePrintFont(&MeasureFont);
    const AnsiString text = CellText(ACol, ARow);
    TSize sz{0, 0};
    TSize graphic{0, 0};
    TCellGraphic* g = G->GetCellGraphic(real, ARow);
    if (g && PS->PrintGraphics()) {
        G->GetCellGraphicSize(real, ARow, graphic);
        graphic.cx = RoundInt(graphic.cx * 254.0 / ScreenPPI);
        graphic.cy = RoundInt(graphic.cy * 254.0 / ScreenPPI);
    }
    const Byte kind = ClassifyCellText(text, G->EnableHTML());
    int angle = 0;
    const bool wrapped = wrap && PS->NoAutoSize() && ACol < int(Widths.size());
    if (kind == 1) {
        sz = PrintHtml(text, TRect(0, 0, 100000, -100000), true, 0, false);
    } else if (kind == 5) {
        // Unicode text by its characters, as it is drawn.
        TRect r(0, 0, wrapped ? std::max(Widths[ACol], 1) : 0, 0);
        const int h = DrawTextW(C, G->GetWideCell(real, ARow), r,
                                DT_CALCRECT | DT_NOPREFIX | (wrapped ? DT_WORDBREAK : 0));
        sz = TSize{r.Right - r.Left + graphic.cx, std::abs(h)};
    } else if (wrapped) {
        TRect r(0, 0, std::max(Widths[ACol], 1), 0);
        int h = DrawText(C, text, -1, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        sz = TSize{r.Right - r.Left, std::abs(h)};
    } else {
        int lines = 0, widest = 0;
        AnsiString rest = text;
        do {
            AnsiString line;
            std::size_t cr = G->Multilinecells() ? rest.find('\r') : AnsiString::npos;
            if (cr == AnsiString::npos) {
                line = rest;
                rest.clear();
            } else {
                line = rest.substr(0, cr);
                rest = rest.substr(cr + 1);
                if (!rest.empty() && rest[0] == '\n')
                    rest.erase(0, 1);
            }
            widest = std::max(widest, TextWidth(line));
            ++lines;
        } while (!rest.empty());
        sz = TSize{widest + graphic.cx, LinesHeight(LineHeight(), lines)};
        if (G->IsRotated(real, ARow, angle) && angle != 0) {
            const double a = angle * M_PI / 180.0;
            const double w = sz.cx, h = sz.cy;
            sz = TSize{RoundInt(std::fabs(w * std::cos(a)) + std::fabs(h * std::sin(a))),
                       RoundInt(std::fabs(w * std::sin(a)) + std::fabs(h * std::cos(a)))};
        }
        if (G->OnCustomCellSize) {
            TPoint p(sz.cx, sz.cy);
            G->OnCustomCellSize(G, C, ACol, ARow, p, true);
            sz = TSize{p.X, p.Y};
        }
    }
    sz.cx = std::max(sz.cx, graphic.cx);
    sz.cy = std::max(sz.cy, graphic.cy);
    return sz;
}

void TGridPrintLayout::MeasureColumns()
{
    const TGridRect& R = St.Range;
    const int fixedCols = G->FixedCols(), fixedRows = G->FixedRows();
    Widths.assign(std::max(R.Right + 1, fixedCols), 0);
    MeasuredHeights.assign(std::size_t(std::max(R.Bottom + 1, 0)), -1);
    auto measured = [&](int c) {
        return (c >= R.Left && c <= R.Right && ColPrinted(c)) || (c < fixedCols && PS->RepeatFixedCols());
    };
    if (PS->NoAutoSize()) {
        for (int c = 0; c < int(Widths.size()); ++c)
            if (measured(c))
                Widths[c] = RoundInt((G->ColWidths(c) - 4) * 254.0 / ScreenPPI);
    } else {
        // Made at its size at once: a list of many rows grown step by step takes fresh memory at every step.
        std::vector<int> rows;
        const int repeated = PS->RepeatFixedRows() ? std::max(std::min(fixedRows, R.Top), 0) : 0;
        rows.reserve(std::size_t(repeated + std::max(R.Bottom - R.Top + 1, 0)));
        for (int r = 0; r < repeated; ++r)
            rows.push_back(r);
        for (int r = R.Top; r <= R.Bottom; ++r)
            if (!SelectedOnly || RowPrinted(r))
                rows.push_back(r);
        std::vector<char> measuredCols(Widths.size());
        for (int c = 0; c < int(Widths.size()); ++c)
            measuredCols[std::size_t(c)] = measured(c);
        if (!MeasureCellsAtOnce(rows, measuredCols))
            for (int r : rows) {
                int tallest = 0;
                for (int c = 0; c < int(Widths.size()); ++c)
                    if (measuredCols[std::size_t(c)])
                        MeasureInRow(c, r, tallest);
                if (r < int(MeasuredHeights.size()))
                    MeasuredHeights[r] = tallest;
            }
        if (PS->UseFixedWidth())
            for (int c = 0; c < int(Widths.size()); ++c)
                if (measured(c))
                    Widths[c] = PS->FixedWidth();
    }
    Spacing = PS->UseFixedWidth() ? 0 : PS->ColumnSpacing() + 20;
}

// One cell of a measured row: its width raises its column's, its height the row's tallest
// unless a merged cell above covers it; a cell merged across columns is not measured.
void TGridPrintLayout::MeasureInRow(int ACol, int ARow, int& Tallest)
{
    const int real = G->GetRealColIndex(ACol);
    if (G->IsMergedAcrossColumns(real, ARow))
        return;
    TSize sz = MeasureCell(ACol, ARow);
    if (PS->UseFixedWidth())
        sz.cx = PS->FixedWidth();
    Widths[ACol] = std::max(Widths[ACol], sz.cx);
    if (!(G->IsMergedAcrossRows(real, ARow) && !G->IsBaseCell(real, ARow)))
        Tallest = std::max(Tallest, sz.cy);
}

// The cells of ARows in the columns AMeasured marks, measured in one pass over the rows on
// several threads where the style of a cell without a record is the print font or the fixed
// print font, with no event asked: such a cell's plain text is measured from its characters'
// advances, as the canvas measures it. A cell with a record, mini-HTML, a formula, Unicode
// text and the texts laid out whole are measured here by MeasureInRow. False, and nothing
// measured, where events or the grid's own kind may decide a cell's style or text.
bool TGridPrintLayout::MeasureCellsAtOnce(const std::vector<int>& ARows, const std::vector<char>& AMeasured)
{
    if (PlainWays || typeid(*G) != typeid(TProStringGrid) || G->OnGetCellPrintColor || G->OnCustomCellSize ||
        G->OnGetFloatFormat || G->OnIsFixedCell || G->OnGetDisplText || G->OnGetDisplWideText ||
        G->MouseActions()->HotmailRowSelect() || (G->Grouping()->ShowGroupCount() && G->NodeCount() > 0))
        return false;
    const std::size_t columns = Widths.size();
    std::vector<int> real(columns);
    for (std::size_t c = 0; c < columns; ++c)
        real[c] = G->GetRealColIndex(int(c));
    // The fonts as UsePrintFont sets them on the canvas, with their measures.
    const bool display = PS->UseDisplayFont();
    struct TPrintFont {
        std::shared_ptr<TTextMetrics> Metrics;
        int LineHeight = 0;
    } fonts[2];
    TFont* sources[2] = {display ? G->Font() : PS->Font(), display ? G->FixedFont() : PS->FixedFont()};
    for (int f = 0; f < 2; ++f) {
        UsePrintFont(sources[f]);
        // Kept between jobs with what they have learnt.
        fonts[f].Metrics = TTextMetrics::Shared(*C->Font(), C);
        fonts[f].LineHeight = LineHeight();
    }
    const bool multiLine = G->Multilinecells(), html = G->EnableHTML();
    // Which cells take the fixed font: by column, and the rows above a limit.
    const int fixedCols = G->FixedCols();
    std::vector<char> fixedCol(columns);
    std::size_t plainCol = columns;
    for (std::size_t c = 0; c < columns; ++c) {
        fixedCol[c] = G->IsFixedCell(real[c], G->RowCount()) || G->DisplayColumn(real[c]) < fixedCols;
        if (!fixedCol[c] && plainCol == columns)
            plainCol = c;
    }
    int fixedRows = G->FixedRows();
    if (plainCol < columns)
        while (fixedRows < G->RowCount() && G->IsFixedCell(real[plainCol], fixedRows))
            ++fixedRows;
    // A cell measured from its text: the font's metrics (nullptr for a cell measured by
    // MeasureInRow), its text and its height. A cell holding an object may have a record.
    struct TPlainCell {
        TTextMetrics* Metrics = nullptr;
        std::string_view Text;
        int Height = 0;
    };
    auto plainCell = [&](int c, int r, bool AObjects = true) {
        TPlainCell cell;
        const int rc = real[std::size_t(c)];
        if (AObjects && (G->Objects(c, r) || G->Objects(rc, r)))
            return cell;
        const std::string_view text = G->CellText(rc, r);
        const Byte kind = ClassifyCellText(text, html);
        if (kind == 1 || kind == 3 || kind == 5)
            return cell;
        const TPrintFont& font = fonts[fixedCol[std::size_t(c)] || r < fixedRows ? 1 : 0];
        cell.Metrics = font.Metrics.get();
        cell.Text = text;
        cell.Height = LinesHeight(font.LineHeight, multiLine ? TextLineCount(text, false) : 1);
        return cell;
    };
    auto tryWidth = [&](const TPlainCell& Cell, int& Width, TTextMetrics::TUnmet* Unmet) {
        Width = 0;
        return Cell.Text.empty() ||
               multiLine ? TryWidestTextLine(*Cell.Metrics, Cell.Text, Width, Unmet, false)
                         : Cell.Metrics->TryTextWidth(Cell.Text.data(), Cell.Text.size(), Width, Unmet);
    };
    auto width = [&](const TPlainCell& Cell) {
        int lines = 0;
        return multiLine ? WidestTextLine(*Cell.Metrics, Cell.Text, lines, false)
                         : Cell.Metrics->TextWidth(Cell.Text.data(), Cell.Text.size());
    };
    const bool fixedWidth = PS->UseFixedWidth();
    const int fixedWidthValue = PS->FixedWidth();
    auto raise = [&](std::vector<int>& W, std::size_t c, int AWidth) {
        W[c] = std::max(W[c], fixedWidth ? fixedWidthValue : AWidth);
    };
    // A cell by its place: row index * columns + column.
    auto rowOf = [&](std::size_t Cell) { return ARows[Cell / columns]; };
    auto colOf = [&](std::size_t Cell) { return int(Cell % columns); };

    // Cell c of row i of ARows: its width raised in W (with APart, a cell whose characters
    // the metrics have not met left in it; without, learnt here), another cell noted in
    // AOther; its height.
    auto measureCell = [&](std::size_t i, std::size_t c, bool AObjects, std::vector<int>& W, TMeasurePart* APart,
                           std::vector<std::size_t>& AOther) {
        const TPlainCell cell = plainCell(int(c), ARows[i], AObjects);
        int w = 0;
        if (!cell.Metrics)
            AOther.push_back(i * columns + c);
        else if (cell.Text.empty())
            raise(W, c, 0);
        else if (!APart)
            raise(W, c, width(cell));
        else if (tryWidth(cell, w, APart->UnmetOf(cell.Metrics)))
            raise(W, c, w);
        else
            APart->Left.push_back(i * columns + c);
        return cell.Height;
    };
    // Row i of ARows, its cells measured as measureCell measures them, its height kept.
    auto measureRow = [&](std::size_t i, std::vector<int>& W, TMeasurePart* APart, std::vector<std::size_t>& AOther) {
        const int r = ARows[i];
        // A row without objects holds no record.
        const bool objects = G->RowHasObjects(r);
        int tallest = 0;
        for (std::size_t c = 0; c < columns; ++c)
            if (AMeasured[c])
                tallest = std::max(tallest, measureCell(i, c, objects, W, APart, AOther));
        if (r < int(MeasuredHeights.size()))
            MeasuredHeights[std::size_t(r)] = tallest;
    };
    // The first rows here, learning: the metrics meet most of what the other rows need.
    const std::size_t warm = std::min<std::size_t>(ARows.size(), 128);
    std::vector<std::size_t> other;
    for (std::size_t i = 0; i < warm; ++i)
        measureRow(i, Widths, nullptr, other);
    const std::size_t warmOther = other.size();
    // The rows after them by runs, column by column: a cell's one-line text summed straight
    // from its stored bytes, from the text above it in its column where they begin or end
    // alike, unless it may be another kind of text (mini-HTML, a formula, a line break) or
    // holds what the sums do not know; such a cell, and the rows with objects, measured as
    // measureCell and measureRow measure them. A row of plain texts is one line high.
    const std::unique_ptr<TTextMetrics::TRunSums> sums[2] = {
        std::make_unique<TTextMetrics::TRunSums>(*fonts[0].Metrics, html ? "\r<" : "\r", "={|"),
        std::make_unique<TTextMetrics::TRunSums>(*fonts[1].Metrics, html ? "\r<" : "\r", "={|")};
    int plainTallest[2] = {0, 0};
    for (std::size_t c = 0; c < columns; ++c)
        if (AMeasured[c]) {
            plainTallest[0] = std::max(plainTallest[0], fonts[fixedCol[c] ? 1 : 0].LineHeight);
            plainTallest[1] = std::max(plainTallest[1], fonts[1].LineHeight);
        }
    // The measured columns, and their stored ones.
    std::vector<std::size_t> measuredCol;
    std::vector<int> measuredReal;
    for (std::size_t c = 0; c < columns; ++c)
        if (AMeasured[c]) {
            measuredCol.push_back(c);
            measuredReal.push_back(real[c]);
        }
    const std::size_t rest = ARows.size() - warm;
    std::vector<TMeasurePart> parts(std::size_t(PartsFor(rest, TextsPerPart / 8)));
    for (TMeasurePart& part : parts) {
        part.Widest.assign(columns, 0);
        part.WidestSum.assign(2 * columns, -1);
    }
    RunInChunks(rest, int(parts.size()), TextsPerPart / 4, [&](int P, std::size_t From, std::size_t To) {
        TMeasurePart& part = parts[std::size_t(P)];
        if (part.Last.empty())
            part.Last.resize(2 * columns);
        // The rows of the run without objects, by their index in ARows, and the rows themselves.
        std::vector<std::uint32_t>& plain = part.Plain;
        std::vector<int>& plainRows = part.PlainRows;
        plain.clear();
        plainRows.clear();
        for (std::size_t i = warm + From; i < warm + To; ++i) {
            const int r = ARows[i];
            if (G->RowHasObjects(r))
                measureRow(i, part.Widest, &part, part.Other);
            else {
                plain.push_back(std::uint32_t(i));
                plainRows.push_back(r);
                if (r < int(MeasuredHeights.size()))
                    MeasuredHeights[std::size_t(r)] = plainTallest[r < fixedRows ? 1 : 0];
            }
        }
        // The rows above fixedRows come first (ARows ascend).
        std::size_t fixedEnd = 0;
        while (fixedEnd < plainRows.size() && plainRows[fixedEnd] < fixedRows)
            ++fixedEnd;
        // The texts of the measured columns in the run, column after column.
        const std::size_t n = plainRows.size();
        part.Texts.resize(measuredReal.size() * n);
        G->ColumnTexts(measuredReal.data(), measuredReal.size(), plainRows.data(), n, part.Texts.data());
        for (std::size_t m = 0; m < measuredReal.size(); ++m) {
            const std::size_t c = measuredCol[m];
            const std::string_view* texts = part.Texts.data() + m * n;
            TTextMetrics::TLastText last[2] = {part.Last[c], part.Last[columns + c]};
            long long widest[2] = {part.WidestSum[c], part.WidestSum[columns + c]};
            // The texts of rows [From, To) of the run in font f.
            auto sumTexts = [&](std::size_t From, std::size_t To, std::size_t f) {
                const TTextMetrics::TRunSums& runSums = *sums[f];
                TTextMetrics::TLastText lastText = last[f];
                long long most = widest[f];
                for (std::size_t k = From; k < To; ++k) {
                    const std::string_view text = texts[k];
                    const long long sum = runSums.TrySum(text.data(), text.size(), lastText);
                    if (sum >= 0) {
                        most = std::max(most, sum);
                        continue;
                    }
                    const int r = plainRows[k];
                    const int height = measureCell(plain[k], c, false, part.Widest, &part, part.Other);
                    if (r < int(MeasuredHeights.size()))
                        MeasuredHeights[std::size_t(r)] = std::max(MeasuredHeights[std::size_t(r)], height);
                }
                last[f] = lastText;
                widest[f] = most;
            };
            sumTexts(0, fixedEnd, 1);
            sumTexts(fixedEnd, plainRows.size(), fixedCol[c] ? 1 : 0);
            part.Last[c] = last[0];
            part.Last[columns + c] = last[1];
            part.WidestSum[c] = widest[0];
            part.WidestSum[columns + c] = widest[1];
        }
    });
    for (TMeasurePart& part : parts)
        for (std::size_t f = 0; f < 2; ++f)
            for (std::size_t c = 0; c < columns; ++c)
                if (part.WidestSum[f * columns + c] >= 0)
                    raise(Widths, c, sums[f]->WidthOf(part.WidestSum[f * columns + c]));
    std::vector<std::size_t> left;
    for (TMeasurePart& part : parts) {
        for (std::size_t c = 0; c < columns; ++c)
            Widths[c] = std::max(Widths[c], part.Widest[c]);
        left.insert(left.end(), part.Left.begin(), part.Left.end());
        other.insert(other.end(), part.Other.begin(), part.Other.end());
        part.Learn();
    }
    // In the order of the cells, whichever thread met them.
    std::sort(left.begin(), left.end());
    std::sort(other.begin() + std::ptrdiff_t(warmOther), other.end());
    // Once the metrics have met what the texts left need, those again; texts laid out whole here.
    std::vector<TMeasurePart> again = MeasureInParts(left.size(), columns, [&](std::size_t k, TMeasurePart& Part) {
        int w = 0;
        if (tryWidth(plainCell(colOf(left[k]), rowOf(left[k])), w, nullptr))
            raise(Part.Widest, std::size_t(colOf(left[k])), w);
        else
            Part.Left.push_back(left[k]);
    });
    for (TMeasurePart& part : again) {
        for (std::size_t c = 0; c < columns; ++c)
            Widths[c] = std::max(Widths[c], part.Widest[c]);
        for (std::size_t cell : part.Left)
            raise(Widths, std::size_t(colOf(cell)), width(plainCell(colOf(cell), rowOf(cell))));
    }
    // The other cells as the plain way measures them.
    for (std::size_t cell : other) {
        const int r = rowOf(cell);
        int tallest = r < int(MeasuredHeights.size()) ? MeasuredHeights[std::size_t(r)] : 0;
        MeasureInRow(colOf(cell), r, tallest);
        if (r < int(MeasuredHeights.size()))
            MeasuredHeights[std::size_t(r)] = tallest;
    }
    return true;
}

void TGridPrintLayout::FitToPage()
{
    if (PS->FitToPage() == fpNever)
        return;
    const TGridRect& R = St.Range;
    const int n = R.Right - R.Left + 1;
    long long total = 0;
    for (int c = R.Left; c <= R.Right; ++c)
        if (ColPrinted(c))
            total += Widths[c] + Spacing;
    if (total == (long long)n * Spacing)
        return;
    double scale = double(PageWidth - PS->RightSize() - PS->LeftSize() - n * Spacing) / double(total - n * Spacing);
    switch (PS->FitToPage()) {
    case fpShrink: scale = std::min(scale, 1.0); break;
    case fpGrow: scale = std::max(scale, 1.0); break;
    case fpCustom:
        if (scale != 1.0 && G->OnFitToPage) {
            bool allow = true;
            G->OnFitToPage(G, scale, allow);
            if (!allow)
                scale = 1.0;
        }
        break;
    default: break;
    }
    if (scale <= 0 || scale == 1.0)
        return;
    for (int c = 0; c < int(Widths.size()); ++c)
        Widths[c] = RoundInt(Widths[c] * scale);
    St.ResizeFactor = scale;
    // Heights measured at the unscaled font are measured again.
    std::fill(MeasuredHeights.begin(), MeasuredHeights.end(), -1);
}

int TGridPrintLayout::RowHeight(int ARow)
{
    if (ARow == CachedRow)
        return CachedHeight;
    int h = 0;
    if (PS->NoAutoSizeRow())
        h = RoundInt(G->RowHeights(ARow) * 254.0 / ScreenPPI) - 4;
    else if (PS->UseFixedHeight())
        h = PS->FixedHeight();
    else {
        if (ARow >= 0 && ARow < int(MeasuredHeights.size()) && MeasuredHeights[ARow] >= 0)
            h = MeasuredHeights[ARow];
        else
            for (int c = St.Range.Left; c <= St.Range.Right; ++c) {
                if (const int real = G->GetRealColIndex(c);
                    !ColPrinted(c) || (G->IsMergedAcrossRows(real, ARow) && !G->IsBaseCell(real, ARow)))
                    continue;
                h = std::max(h, MeasureCell(c, ARow).cy);
            }
        if (h == 0)
            h = LastMeasured;
        LastMeasured = h;
        if (G->OnPrintSetRowHeight)
            G->OnPrintSetRowHeight(G, ARow, h);
    }
    CachedRow = ARow;
    CachedHeight = h;
    return h;
}

int TGridPrintLayout::SumWidths(int From, int To)
{
    int w = 0;
    for (int c = From; c <= To && c < int(Widths.size()); ++c)
        w += Widths[c] + Spacing;
    return w;
}

void TGridPrintLayout::ComputeOffsets()
{
    const int titleLines = PS->TitleText().empty() ? std::max(PS->TitleLines()->Count(), 1) : 1;
    const TPrintPosition items[] = {PS->Time(), PS->Date(), PS->PageNr(), PS->Title()};
    bool top = false, bottom = false;
    for (TPrintPosition p : items) {
        top = top || IsTopPosition(p);
        bottom = bottom || IsBottomPosition(p);
    }
    TopOffset = top ? LineGap + HeaderLine + PS->HeaderSize() : PS->HeaderSize();
    if (IsTopPosition(PS->Title()))
        TopOffset += (titleLines - 1) * HeaderLine;
    BottomReserve = bottom ? (LineGap + FooterLine) * 2 + PS->FooterSize() : LineGap + FooterLine + PS->FooterSize();
    if (IsBottomPosition(PS->Title()))
        BottomReserve += (titleLines - 1) * FooterLine;
}

void TGridPrintLayout::DrawTitleHtml(const AnsiString& Html, const TRect& R)
{
    PrintHtml(Html, R, false, 1, false);
}

void TGridPrintLayout::DrawHeaderFooter()
{
    THeaderTexts t;
    const TDateTime now = Now();
    t.Add(PS->Time(), FormatDateTime("hh:nn", now));
    t.Add(PS->Date(), FormatDateTime(PS->DateFormat(), now));
    if (PS->PageNr() != ppNone) {
        AnsiString number;
        if (BandWide)
            number = IntToStr(PageInBand + 1) + "-" + IntToStr(Band);
        else {
            number = IntToStr(Pages + 1 + PS->PageNumberOffset());
            const int total = St.LastPage + PS->MaxPagesOffset();
            if (!PS->PageNumSep().empty() && St.LastPage > 1)
                number += PS->PageNumSep() + IntToStr(total);
        }
        t.Add(PS->PageNr(), PS->PagePrefix() + " " + number + " " + PS->PageSuffix());
    }
    std::vector<AnsiString> titleLines;
    AnsiString htmlTitle;
    if (PS->Title() != ppNone) {
        if (!PS->TitleText().empty())
            titleLines.push_back(PS->TitleText());
        else {
            AnsiString joined = PS->TitleLines()->Text();
            if (ClassifyCellText(joined, true) == 1)
                htmlTitle = joined;
            else
                for (int i = 0; i < PS->TitleLines()->Count(); ++i)
                    titleLines.push_back(PS->TitleLines()->Strings(i));
        }
        if (!titleLines.empty())
            t.Add(PS->Title(), titleLines[0]);
    }
    for (int p = 0; p < 7; ++p)
        St.PageTexts[p] = t.Text[p];
    C->Brush()->SetStyle(bsClear);
    auto place = [&](int pos, const AnsiString& text, int y) {
        if (text.empty())
            return;
        const int w = C->TextWidth(text);
        int x = PS->LeftSize();
        if (pos == ppTopRight || pos == ppBottomRight)
            x = PageWidth - w - 20 - PS->RightSize();
        else if (pos == ppTopCenter || pos == ppBottomCenter)
            x = (PageWidth - w) / 2;
        C->TextOut(x, y, text);
    };
    // Header.
    UsePrintFont(PS->HeaderFont());
    int y = -PS->HeaderSize();
    for (int p = ppTopLeft; p <= ppTopCenter; ++p)
        place(p, t.Text[p], y);
    if (IsTopPosition(PS->Title())) {
        for (std::size_t i = 1; i < titleLines.size(); ++i)
            place(PS->Title(), titleLines[i], y - int(i) * HeaderLine);
        if (!htmlTitle.empty())
            DrawTitleHtml(htmlTitle, TRect(PS->LeftSize(), y, PageWidth - PS->RightSize(), -TopOffset));
    }
    // Footer.
    UsePrintFont(PS->FooterFont());
    y = PageBottom + PS->FooterSize() + FooterLine + LineGap;
    for (int p = ppBottomLeft; p <= ppBottomCenter; ++p)
        place(p, t.Text[p], y);
    if (IsBottomPosition(PS->Title())) {
        for (std::size_t i = 1; i < titleLines.size(); ++i)
            place(PS->Title(), titleLines[i], y - int(i) * FooterLine);
        if (!htmlTitle.empty())
            DrawTitleHtml(htmlTitle, TRect(PS->LeftSize(), y, PageWidth - PS->RightSize(), PageBottom + PS->FooterSize()));
    }
    C->Brush()->SetStyle(bsSolid);
}

void TGridPrintLayout::DrawCellText(int ACol, int ARow, const TRect& R, int Inset, TAlignment HAlign,
                                    TVAlignment VAlign, bool WordWrap, bool Merged)
{
    const int real = G->GetRealColIndex(ACol);
    AnsiString text = CellText(ACol, ARow);
    if (G->IsPasswordCellAt(real, ARow))
        text = AnsiString(text.size(), '*');
    if (text.empty())
        return;
    const Byte kind = ClassifyCellText(text, G->EnableHTML());
    TRect tr(R.Left + 4, R.Top - Inset, R.Right - 4, R.Bottom + Inset);
    C->Brush()->SetStyle(bsClear);
    if (kind == 1) {
        PrintHtml(text, tr, false, 0, WordWrap);
        return;
    }
    if (kind == 2) {
        DrawRichText(C, text, tr);
        return;
    }
    unsigned align = HAlign == taRightJustify ? DT_RIGHT : HAlign == taCenter ? DT_CENTER : DT_LEFT;
    if (kind == 5) {
        DrawTextW(C, G->GetWideCell(real, ARow), tr, DT_NOPREFIX | align | (WordWrap ? DT_WORDBREAK : 0));
        return;
    }
    if (WordWrap && PS->NoAutoSize()) {
        DrawText(C, text, -1, tr, DT_NOPREFIX | align | (WordWrap ? DT_WORDBREAK : 0));
        return;
    }
    int angle = 0;
    if (G->IsRotated(real, ARow, angle) && angle != 0) {
        // Turned as on the screen, counter-clockwise on the paper: RotatedTextOrigin gives the
        // start of text turned that way, inside the cell.
        C->Font()->SetOrientation(angle * 10);
        TRect rr = R;
        G->RotatedTextOrigin(C, rr, angle, HAlign, VAlign, text);
        C->TextRect(R, rr.Left, rr.Top, text);
        C->Font()->SetOrientation(0);
        return;
    }
    std::vector<AnsiString> lines;
    if (G->Multilinecells()) {
        AnsiString rest = text;
        for (;;) {
            std::size_t cr = rest.find('\r');
            lines.push_back(rest.substr(0, cr));
            if (cr == AnsiString::npos)
                break;
            rest = rest.substr(cr + 1);
            if (!rest.empty() && rest[0] == '\n')
                rest.erase(0, 1);
        }
    } else
        lines.push_back(text);
    const int th = C->TextHeight("gh");
    const int step = LineStep(th);
    int y = tr.Top;
    if (lines.size() > 1 && !Merged) {
        const int block = LinesHeight(th, int(lines.size()));
        const int free = (tr.Top - tr.Bottom) - block;
        if (free > 0)
            y -= VAlign == vtaCenter ? free / 2 : VAlign == vtaBottom ? free : 0;
    } else if (lines.size() == 1) {
        const int free = (tr.Top - tr.Bottom) - th;
        if (free > 0)
            y -= VAlign == vtaCenter ? free / 2 : VAlign == vtaBottom ? free : 0;
    }
    for (const AnsiString& line : lines) {
        const int w = C->TextWidth(line);
        int x = tr.Left;
        if (HAlign == taRightJustify)
            x = tr.Right - w;
        else if (HAlign == taCenter)
            x = (tr.Left + tr.Right - w) / 2;
        C->TextRect(R, x, y, line);
        y -= step;
    }
}

void TGridPrintLayout::DrawCell(int ACol, int ARow, int Y, int Pitch, bool FixedPart)
{
    // A merged region is printed from its first shown column over its shown columns.
    const TGridRect m = G->ShownMergedRegion(ACol, ARow);
    if (m.Left != ACol || m.Top != ARow)
        return;
    const int spanX = m.Right - m.Left, spanY = m.Bottom - m.Top;
    const int width = SumWidths(ACol, ACol + spanX);
    int height = (spanY + 1) * Pitch;
    if (PS->NoAutoSizeRow() && spanY > 0) {
        height = 0;
        for (int r = ARow; r <= ARow + spanY; ++r)
            height += RowPitch(r);
        CachedRow = -1;
    }
    const int left = FixedPart ? FixedPos[ACol] : Pos[ACol - BandStart];
    TRect R(left, Y, left + width, Y - height);
    bool cutBottom = false;
    if (R.Bottom < PageBottom + BottomReserve && spanY > 0) {
        R.Bottom = Y - Pitch;
        cutBottom = true;
    }
    if (R.Right > PageWidth && !FixedPart)
        R.Right = Pos.back();

    TFont font;
    TCellLook look = CellStyle(ACol, ARow, C->Brush(), &font);
    TAlignment ha = look.HAlign;
    TVAlignment va = look.VAlign;
    const bool wrap = look.WordWrap;
    G->ResolveCellAlignment(G->GetRealColIndex(ACol), ARow, ha, va);
    UsePrintFont(&font);
    if (C->Brush()->Color() != clNone) {
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(R);
    }
    const int real = G->GetRealColIndex(ACol);
    TRect textRect = R;
    if (PS->PrintGraphics())
        if (TCellGraphic* g = G->GetCellGraphic(real, ARow)) {
            TSize gs{0, 0};
            G->GetCellGraphicSize(real, ARow, gs);
            const int gw = RoundInt(gs.cx * 254.0 / ScreenPPI), gh = RoundInt(gs.cy * 254.0 / ScreenPPI);
            int gx = R.Left + 4;
            if (g->CellHAlign == haRight)
                gx = R.Right - 4 - gw;
            else if (g->CellHAlign == haCenter)
                gx = (R.Left + R.Right - gw) / 2;
            int gy = R.Top;
            if (g->CellVAlign == vaCenter)
                gy = (R.Top + R.Bottom + gh) / 2;
            else if (g->CellVAlign == vaBottom)
                gy = R.Bottom + gh;
            if (auto* pic = dynamic_cast<TGraphic*>(g->CellObject))
                C->StretchDraw(TRect(gx, gy, gx + gw, gy - gh), pic);
            if (g->CellHAlign == haRight)
                textRect.Right -= gw;
            else
                textRect.Left += gw;
        }
    // The text stands in the middle of the row's spare height, so that accents above capitals
    // stay below the cell's top line.
    const int inset = std::max(0, (Pitch - RowHeight(ARow)) / 2);
    DrawCellText(ACol, ARow, textRect, inset, ha, va, wrap, spanX > 0 || spanY > 0);

    // Cell lines.
    TCellBorders b = 0;
    switch (PS->Borders()) {
    case pbSingle:
    case pbDouble: b = cbTop | cbLeft | cbRight | cbBottom; break;
    case pbHorizontal:
    case pbAroundHorizontal: b = cbTop | cbBottom; break;
    case pbVertical:
    case pbAroundVertical: b = cbLeft | cbRight; break;
    default: break;
    }
    if (spanX > 0)
        b &= ~(cbLeft | cbRight);
    if (spanY > 0)
        b &= ~(cbTop | cbBottom);
    if ((spanX > 0 || spanY > 0) && (PS->Borders() == pbSingle || PS->Borders() == pbDouble))
        b |= cbTop | cbLeft;
    if (cutBottom)
        b &= ~cbBottom;
    TPen* pen = C->Pen();
    const int penWidth = PS->Borders() == pbDouble ? 10 : 2;
    pen->SetWidth(penWidth);
    pen->SetStyle(PS->BorderStyle());
    pen->SetColor(clBlack);
    G->GetCellPrintBorder(real, ARow, pen, b);
    if (Mode == pmPrint)
        pen->SetWidth(RoundInt(pen->Width() * 254.0 / ScreenPPI));
    const int rightX = ACol + spanX < G->ColCount() - 1 ? R.Right - pen->Width() : R.Right;
    if (b & cbTop) {
        C->MoveTo(R.Left, R.Top);
        C->LineTo(rightX, R.Top);
    }
    if (b & cbLeft) {
        C->MoveTo(R.Left, R.Top);
        C->LineTo(R.Left, R.Bottom);
    }
    if (b & cbRight) {
        C->MoveTo(rightX, R.Top);
        C->LineTo(rightX, R.Bottom);
    }
    if (b & cbBottom) {
        C->MoveTo(R.Left, R.Bottom);
        C->LineTo(rightX, R.Bottom);
    }
    pen->SetWidth(penWidth);
    pen->SetStyle(PS->BorderStyle());

    if (G->OnCustomCellDraw) {
        TRect dr = R;
        LPtoDP(C, dr);
        const int saved = SetMapMode(C, MM_TEXT);
        G->OnCustomCellDraw(G, C, ACol, ARow, 0, dr, true);
        SetMapMode(C, saved ? saved : MM_LOMETRIC);
    }
}

int TGridPrintLayout::DrawRow(int ARow, int Y)
{
    const int pitch = RowPitch(ARow);
    if (!Drawing() || !PageInRange(Pages + 1))
        return pitch;
    if (RepeatFixed)
        for (int c = 0; c < G->FixedCols(); ++c)
            DrawCell(c, ARow, Y, pitch, true);
    for (int c = BandStart; c <= BandEnd; ++c)
        if (ColPrinted(c))
            DrawCell(c, ARow, Y, pitch, false);
    return pitch;
}

void TGridPrintLayout::ClosePage(int LastY)
{
    if (!Drawing() || !PageInRange(Pages + 1))
        return;
    const TPrintBorders b = PS->Borders();
    TPen* pen = C->Pen();
    pen->SetStyle(PS->BorderStyle());
    pen->SetWidth(b == pbDouble ? 10 : 2);
    pen->SetColor(clBlack);
    int first = Pos.front();
    for (int c = BandStart; c <= BandEnd; ++c)
        if (ColPrinted(c)) {
            first = Pos[c - BandStart];
            break;
        }
    if (RepeatFixed && !FixedPos.empty())
        first = FixedPos[0];
    const int right = Pos.back();
    const int top = -TopOffset - PS->TitleSpacing();
    const int bottom = LastY + LineGap / 2;
    if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal) {
        C->Brush()->SetStyle(bsClear);
        C->MoveTo(first, top);
        C->LineTo(right, top);
        C->LineTo(right, bottom);
        C->LineTo(first, bottom);
        C->LineTo(first, top);
        C->Brush()->SetStyle(bsSolid);
    }
    if (b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal) {
        C->MoveTo(first, LastY);
        C->LineTo(right, LastY);
    }
    if ((b == pbDouble || b == pbVertical || b == pbAroundVertical) && RepeatFixed)
        for (int c = 0; c < G->FixedCols(); ++c) {
            C->MoveTo(FixedPos[c], top);
            C->LineTo(FixedPos[c], LastY);
        }
}

void TGridPrintLayout::StartNextPage()
{
    const int next = Pages + 2;
    if (!PageInRange(next))
        return;
    if (Mode == pmPrint && PageInRange(Pages + 1))
        Printer()->NewPage();
    SetMapMode(C, MM_LOMETRIC);
    if (Drawing() && G->OnPrintPage)
        G->OnPrintPage(G, C, next, PageWidth, PageBottom);
}

int TGridPrintLayout::Run()
{
    // Screen and device resolutions.
    SetMapMode(C, MM_TEXT);
    ScreenPPI = CanvasPixelsPerInch(G->Canvas());
    DeviceRatio = double(CanvasPixelsPerInch(C)) / ScreenPPI;
    SetMapMode(C, MM_LOMETRIC);
    St.ResizeFactor = 1.0;

    C->Pen()->SetStyle(PS->BorderStyle());
    C->Pen()->SetWidth(PS->Borders() == pbDouble ? 10 : 2);
    UsePrintFont(PS->HeaderFont());
    HeaderLine = LineHeight();
    UsePrintFont(PS->FooterFont());
    FooterLine = LineHeight();
    UsePrintFont(PS->Font());
    TableLine = LineHeight();
    LineGap = TableLine / 8;

    // Page area: the printer's (a preview shows the printer's page).
    if (Mode == pmPrint) {
        TRect clip = C->ClipRect();
        PageWidth = clip.Right - clip.Left;
        PageBottom = clip.Bottom;
    } else {
        PageWidth = St.PageRect.Right - St.PageRect.Left;
        PageBottom = -St.PageRect.Bottom - St.PageRect.Top;
    }

    const TGridRect& R = St.Range;
    if (Reused)
        St.ResizeFactor = Fitted;
    else {
        MeasureColumns();
        FitToPage();
        FittedWidths = Widths;
        Fitted = St.ResizeFactor;
    }
    const double resize = St.ResizeFactor;
    if (G->OnPrintSetColumnWidth)
        for (int c = R.Left; c <= R.Right; ++c)
            G->OnPrintSetColumnWidth(G, c, Widths[c]);

    const int fixedCols = G->FixedCols(), fixedRows = G->FixedRows();
    // A count, where no event watches the rows and their heights are those measured, takes
    // each row's height at once and tells no progress of its own.
    const bool quick = !Drawing() && typeid(*G) == typeid(TProStringGrid) && !G->OnGridProgress &&
                       !G->OnPrintNewPage && !G->OnPrintSetRowHeight && !PS->NoAutoSizeRow() && !PS->UseFixedHeight();
    const bool fast = St.FastPreview && (Mode == pmPreview || Mode == pmCountPreview);
    BandStart = R.Left;
    while (BandStart <= R.Right && !Cancelled && !Stop) {
        ++Band;
        PageInBand = 0;
        RepeatFixed = fixedCols > 0 && PS->RepeatFixedCols() && (BandStart > R.Left || R.Left >= fixedCols);
        const int indent = RepeatFixed ? SumWidths(0, fixedCols - 1) : 0;
        // Band extent: the columns that fit between the margins (a centred band may use the
        // left one). A column wider than that stands on a band of its own, cut only where
        // the paper ends, so that every other column is printed whole.
        const int room = PageWidth - PS->RightSize() - (PS->Centered() ? 0 : PS->LeftSize());
        int w = indent;
        BandEnd = BandStart - 1;
        for (int c = BandStart; c <= R.Right; ++c) {
            const int add = ColPrinted(c) ? Widths[c] + Spacing : 0;
            if (w + add > room)
                break;
            w += add;
            BandEnd = c;
        }
        BandEnd = std::max(BandEnd, BandStart);
        if (BandEnd < R.Right)
            BandWide = true;
        // Positions.
        Pos.assign(std::size_t(BandEnd - BandStart + 2), 0);
        int x = PS->Centered() ? 0 : PS->LeftSize();
        for (int c = BandStart; c <= BandEnd; ++c) {
            Pos[c - BandStart] = x;
            if (ColPrinted(c))
                x += Widths[c] + Spacing;
        }
        Pos.back() = x;
        FixedPos.assign(std::size_t(fixedCols + 1), 0);
        for (int c = 0; c < fixedCols; ++c)
            FixedPos[c + 1] = FixedPos[c] + Widths[c] + Spacing;
        const int bandWidth = indent + x - (PS->Centered() ? 0 : PS->LeftSize());
        if (PS->Centered() && bandWidth < PageWidth) {
            const int half = (PageWidth - bandWidth) / 2;
            for (int& p : Pos)
                p += half;
            for (int& p : FixedPos)
                p += half;
        }
        for (int& p : Pos)
            p += indent;
        ComputeOffsets();
        if (Drawing() && G->OnPrintPage && PageInRange(Pages + 1) && Band == 1)
            G->OnPrintPage(G, C, Pages + 1, PageWidth, PageBottom);

        bool atTop = true, closed = false;
        int y = 0;
        int r = R.Top;
        while (r <= R.Bottom && !Cancelled) {
            if (!quick)
                G->DoProgress(1, r);
            if (atTop) {
                y = -TopOffset;
                if (Drawing() && PageInRange(Pages + 1))
                    DrawHeaderFooter();
                St.ResizeFactor = resize;
                y -= PS->TitleSpacing();
                TableTop = y;
                if (PS->RepeatFixedRows() && fixedRows > 0 && r > 0 && (Pages > 0 || R.Top >= fixedRows))
                    for (int fr = 0; fr < fixedRows; ++fr)
                        y -= DrawRow(fr, y);
                atTop = false;
                closed = false;
            }
            if (quick) {
                if (!SelectedOnly || RowPrinted(r))
                    y -= Pitch(QuickRowHeight(r));
            } else if (RowPrinted(r))
                y -= DrawRow(r, y);
            bool newPage = false;
            const int next = r + 1;
            if (G->OnPrintNewPage)
                G->OnPrintNewPage(G, next, newPage);
            const bool rowsLeft = next <= R.Bottom;
            if (!rowsLeft || newPage ||
                y - (quick ? QuickRowHeight(next) : RowHeight(next)) < PageBottom + BottomReserve) {
                if (Drawing() && PageInRange(Pages + 1)) {
                    if (G->OnPrintPageDone)
                        G->OnPrintPageDone(G, C, next, y, Pages + 1, PageWidth, PageBottom);
                    if (G->OnPrintCancel)
                        G->OnPrintCancel(G, Pages + 1, Cancelled);
                }
                // A page break asked for after the last row adds no empty page.
                if (rowsLeft && !Cancelled) {
                    ClosePage(y);
                    StartNextPage();
                    ++Pages;
                    ++PageInBand;
                    atTop = true;
                    closed = true;
                    // A preview or print job lays out no page after the last one it draws.
                    if ((fast && Pages >= St.FromPage) || (Drawing() && Pages >= St.ToPage)) {
                        Stop = true;
                        break;
                    }
                    ComputeOffsets();
                }
            }
            r = next;
        }
        if (Stop)
            break;
        if (!closed)
            ClosePage(y);
        BandStart = BandEnd + 1;
        if (BandStart <= R.Right && !Cancelled)
            StartNextPage();
        ++Pages;
        if (Drawing() && Pages >= St.ToPage)
            break;
    }
    St.ResizeFactor = 1.0;
    St.ColWidths = Widths;
    St.ColStarts = Pos;
    (void)DeviceRatio;
    return Pages;
}

// ---------------------------------------------------------------- entry points
void TProStringGrid::PrintJob(int SelectedOnly)
{
    DoProgress(0, -1);
    TPrinter* printer = Printer();
    FPrint.PageRect = PrinterPage(printer, FPrintSettings.get());
    TCanvas* c = printer->Canvas();
    printer->SetTitle(FPrintSettings->JobName());
    printer->BeginDoc();
    const int savedMode = GetMapMode(c);
    int total = INT_MAX;
    TGridPrintLayout count(this, c, pmCountPrint, SelectedOnly);
    if (!FPrint.FastPreview) {
        SetMapMode(c, MM_LOMETRIC);
        FPrint.FromPage = 1;
        FPrint.ToPage = INT_MAX;
        total = count.Run();
    }
    FPrint.FromPage = 1;
    FPrint.ToPage = FPrint.LastPage = total;
    if (OnPrintStart) {
        printer->Abort();
        int from = 1, to = total;
        OnPrintStart(this, total, from, to);
        if (from == 0 || to == 0 || from > to)
            return;
        FPrint.FromPage = from;
        FPrint.ToPage = to;
        printer->BeginDoc();
    }
    FPrint.LastPage = FPrint.ToPage;
    try {
        SetMapMode(c, MM_LOMETRIC);
        TGridPrintLayout print(this, c, pmPrint, SelectedOnly);
        if (!FPrint.FastPreview)
            print.TakeMeasures(count);
        print.Run();
    } catch (...) {
        if (printer->Printing())
            printer->Abort();
        throw;
    }
    SetMapMode(c, savedMode ? savedMode : MM_TEXT);
    printer->EndDoc();
    DoProgress(2, -1);
}

void TProStringGrid::PreviewJob(TCanvas* ACanvas, const TRect& ADisplayRect, int SelectedOnly)
{
    DoProgress(0, -1);
    // Laid out on the printer's page and canvas, as the print job lays it out; a fast preview
    // stops at its page and leaves the page total as it was.
    TPrinter* printer = Printer();
    FPrint.PageRect = PrinterPage(printer, FPrintSettings.get());
    const int page = FPrint.FromPage;
    TGridPrintLayout count(this, printer->Canvas(), pmCountPreview, SelectedOnly);
    int total = 1;
    {
        TMappedScope printerScope(printer->Canvas());
        FPrint.FromPage = FPrint.FastPreview ? page : 1;
        FPrint.ToPage = INT_MAX;
        const int counted = count.Run();
        if (!FPrint.FastPreview)
            FPrint.LastPage = total = counted;
    }
    FPrint.FromPage = FPrint.ToPage = page;
    bool draw = true;
    if (OnPrintStart) {
        int from = 1, to = total;
        OnPrintStart(this, total, from, to);
        draw = from > 0 && to > 0 && from <= to;
    }
    if (draw) {
        // The whole page in the middle of the rectangle, its proportions kept.
        const double dpi = CanvasPixelsPerInch(ACanvas) / 254.0;
        const double pageW = std::max(1, FPrint.PageRect.Width()) * dpi,
                     pageH = std::max(1, FPrint.PageRect.Height()) * dpi;
        const int rectW = std::max(ADisplayRect.Width(), 1), rectH = std::max(ADisplayRect.Height(), 1);
        const double scale = std::min(rectW / pageW, rectH / pageH);
        const TPoint origin(ADisplayRect.Left + RoundInt((rectW - pageW * scale) / 2),
                            ADisplayRect.Top + RoundInt((rectH - pageH * scale) / 2));
        TMappedScope previewScope(ACanvas, scale, origin);
        TGridPrintLayout preview(this, ACanvas, pmPreview, SelectedOnly);
        preview.TakeMeasures(count);
        preview.Run();
    }
    DoProgress(2, -1);
}

void TProStringGrid::PrintGrid()
{
    FPrint.Range = TGridRect{0, 0, ColCount() - 1, RowCount() - 1};
    PrintJob(false);
}

void TProStringGrid::PrintSelection()
{
    FPrint.Range = Selection();
    PrintJob(false);
}

void TProStringGrid::PrintSelectedCells()
{
    FPrint.Range = TGridRect{0, 0, ColCount() - 1, RowCount() - 1};
    PrintJob(true);
}

void TProStringGrid::PrintPreviewTo(TCanvas* ACanvas, const TRect& ADisplayRect)
{
    FPrint.Range = TGridRect{0, 0, ColCount() - 1, RowCount() - 1};
    PreviewJob(ACanvas, ADisplayRect, false);
}

void TProStringGrid::PrintPreviewSelectionTo(TCanvas* ACanvas, const TRect& ADisplayRect)
{
    FPrint.Range = Selection();
    PreviewJob(ACanvas, ADisplayRect, false);
}

void TProStringGrid::PrintPreviewSelectedTo(TCanvas* ACanvas, const TRect& ADisplayRect)
{
    FPrint.Range = TGridRect{0, 0, ColCount() - 1, RowCount() - 1};
    PreviewJob(ACanvas, ADisplayRect, true);
}

TRect TProStringGrid::PrintPaper()
{
    // Measured as a job measures it; the printer is left turned as it was.
    TPrinter* printer = Printer();
    const TPrinterOrientation was = printer->Orientation();
    const TRect paper = PrinterPage(printer, FPrintSettings.get());
    if (printer->Orientation() != was)
        printer->SetOrientation(was);
    return paper;
}

void TProStringGrid::SetPreviewPage(int Page)
{
    FPrint.FromPage = FPrint.ToPage = Page;
}

int TProStringGrid::MaxRowLines(int ARow)
{
    int most = 1;
    for (int c = 0; c < ColCount() - FP.FixedRightCols; ++c)
        most = std::max(most, CountTextLines(Cells(c, ARow), Multilinecells()));
    return most;
}

void TProStringGrid::RotatedTextOrigin(TCanvas* ACanvas, TRect& R, int Angle, TAlignment HAlign,
                                       TVAlignment VAlign, const AnsiString& Text)
{
    R.Left += 2;
    R.Right -= 2;
    const bool up = R.Bottom > R.Top;   // screen rectangles grow downward, print rectangles upward
    R.Top += up ? 2 : -2;
    R.Bottom -= up ? 2 : -2;
    const TSize ext = ACanvas->TextExtent(Text);
    const double a = Angle * M_PI / 180.0;
    const double w = ext.cx, h = ext.cy;
    // The rotated text's bounding box and where its origin lies inside it.
    const double bw = std::fabs(w * std::cos(a)) + std::fabs(h * std::sin(a));
    const double bh = std::fabs(w * std::sin(a)) + std::fabs(h * std::cos(a));
    double ox = (std::sin(a) < 0 ? -h * std::sin(a) : 0) + (std::cos(a) < 0 ? -w * std::cos(a) : 0);
    double oy = (std::sin(a) > 0 ? w * std::sin(a) : 0) + (std::cos(a) < 0 ? -h * std::cos(a) : 0);
    const int width = R.Right - R.Left, height = std::abs(R.Bottom - R.Top);
    double left = 0, top = 0;
    if (HAlign == taRightJustify)
        left = width - bw;
    else if (HAlign == taCenter)
        left = (width - bw) / 2;
    if (VAlign == vtaBottom)
        top = height - bh;
    else if (VAlign == vtaCenter)
        top = (height - bh) / 2;
    R.Left += RoundInt(left + ox);
    if (up)
        R.Top += RoundInt(top + oy);
    else
        R.Top -= RoundInt(top + oy);
}
