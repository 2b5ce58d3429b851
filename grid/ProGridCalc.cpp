// TProStringGrid: column sum, average, minimum and maximum, running numbers,
// sizing columns and rows to their content, the grid as plain text.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string_view>
#include <typeinfo>
#include <unordered_set>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProGridText_p.h"
#include "grid/ProUtil.h"
#include "platform/core/CodePage.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"

namespace {
const AnsiString CRLF = "\r\n";

// Keeps the measuring canvas on the cell's font, switching only on change.
class TCellMeasure {
public:
    explicit TCellMeasure(TProStringGrid* AGrid) : FGrid(AGrid) {}

    TCanvas* CanvasFor(int ACol, int ARow)
    {
        bool fixed = ARow < FGrid->FixedRows() || ACol < FGrid->FixedCols();
        FWork.Assign(fixed ? FGrid->FixedFont() : FGrid->Font());
        FGrid->GetCellColor(ACol, ARow, 0, &FBrush, &FWork);
        TFont* f = FBitmap.Canvas()->Font();
        if (f->Name() != FWork.Name() || f->Height() != FWork.Height() || f->Style() != FWork.Style())
            f->Assign(&FWork);
        return FBitmap.Canvas();
    }

private:
    TProStringGrid* FGrid;
    TBitmap FBitmap;
    TFont FWork;
    TBrush FBrush;
};
}

// ---------------------------------------------------------------- calculations
// Row range rule shared by the four calculations. When ToRow lies beyond the
// shown rows, the rows are stored rows (hidden ones included); node and
// summary rows of a grouped grid and covered cells of merged regions are left
// out. ADisplayRow receives the row to read (a stored row in stored mode).
bool TProStringGrid::CalcRowUsed(int ACol, int ARow, bool ARealRows, int& ADisplayRow)
{
    bool hidden = false;
    int d = ARow;
    if (ARealRows) {
        hidden = IsHiddenRow(ARow);
        d = DisplayRowIndex(ARow);
    }
    ADisplayRow = d;
    bool grouped = FGroupColumn >= 0;
    if (!hidden && grouped && (IsNodeRow(d) || IsSummaryRow(d)))
        return false;
    return hidden || IsBaseCell(ACol, d);
}

namespace {
// A column or row outside the grid (the hidden ones included) raises the grid's index errors.
void CheckCalcColumn(TProStringGrid* Grid, int ACol)
{
    if (ACol < 0 || ACol >= Grid->AllColCount())
        throw EProGridError("Invalid column accessed");
}

void CheckCalcRange(TProStringGrid* Grid, int ACol, int FromRow, int ToRow)
{
    CheckCalcColumn(Grid, ACol);
    if (FromRow < 0 || ToRow >= Grid->RowCount() + Grid->NumHiddenRows())
        throw EProGridError("Invalid row accessed");
}

bool CalcOverStoredRows(TProStringGrid* Grid, int ToRow)
{
    int shown = Grid->FloatingFooter()->Visible() ? Grid->RowCount() - 1 : Grid->RowCount();
    // Shown rows are 0 .. shown - 1: a range reaching shown goes past them.
    return ToRow >= shown;
}
}

double TProStringGrid::FoldColumn(int ACol, int FromRow, int ToRow, double AStart,
                                  const std::function<double(double Acc, double Value)>& AFold)
{
    if (FromRow > ToRow)
        return AStart;
    CheckCalcRange(this, ACol, FromRow, ToRow);
    bool real = CalcOverStoredRows(this, ToRow);
    double result = AStart;
    DoProgress(0, -1);
    for (int r = FromRow; r <= ToRow; ++r) {
        int d = r;
        if (!CalcRowUsed(ACol, r, real, d))
            continue;
        DoProgress(1, r);
        try {
            double v = 0;
            if (CellTextNumber(real ? GetCellByRealRow(ACol, r) : Cells(ACol, d), v))
                result = AFold(result, v);
        } catch (const EProGridError&) {
        }
    }
    DoProgress(2, -1);
    return result;
}

double TProStringGrid::ColumnSum(int ACol, int FromRow, int ToRow)
{
    return FoldColumn(ACol, FromRow, ToRow, 0, [](double Acc, double V) { return Acc + V; });
}

double TProStringGrid::ColumnAverage(int ACol, int FromRow, int ToRow)
{
    const Int64 n = Int64(ToRow) - FromRow + 1;
    return n >= 1 ? ColumnSum(ACol, FromRow, ToRow) / double(n) : 0;
}

// The first cell of the range is read before the others, so that a malformed one raises to
// the caller; a cell without a number takes no part, the first one included.
double TProStringGrid::ColumnExtreme(int ACol, int FromRow, int ToRow, bool AMaximum)
{
    if (FromRow > ToRow)
        return 0;
    CheckCalcRange(this, ACol, FromRow, ToRow);
    double start = 0;
    bool any = CellTextNumber(Cells(ACol, FromRow), start);
    return FoldColumn(ACol, FromRow, ToRow, start, [&any, AMaximum](double Acc, double V) {
        const bool replaces = !any || (AMaximum ? V > Acc : V < Acc);
        any = true;
        return replaces ? V : Acc;
    });
}

double TProStringGrid::ColumnMinimum(int ACol, int FromRow, int ToRow)
{
    return ColumnExtreme(ACol, FromRow, ToRow, false);
}

double TProStringGrid::ColumnMaximum(int ACol, int FromRow, int ToRow)
{
    return ColumnExtreme(ACol, FromRow, ToRow, true);
}

void TProStringGrid::DoProgress(int Phase, int Value)
{
    if (OnGridProgress)
        OnGridProgress(this, Phase, Value);
}

// ---------------------------------------------------------------- numbering
void TProStringGrid::NumberColumn(int ACol)
{
    if (RowCount() < 1)
        return;
    CheckCalcColumn(this, ACol);
    int fixed = FixedRows();
    int last = RowCount() - 1 - FixedFooters();
    BeginUpdate();
    for (int r = fixed + FAutoNumStart; r <= last; ++r) {
        int n = r - fixed + 1 + FAutoNumOffset;
        int target = FAutoNumReverse ? last - r + fixed : r;
        if (target >= 0 && target < RowCount())
            SetCells(ACol, target, IntToStr(n));
    }
    EndUpdate();
}

// ---------------------------------------------------------------- sizing
// Each shown column is sized by the texts of its stored column: the stored columns of the shown
// ones are measured at once (hidden ones between them too, unused).
void TProStringGrid::AutoSizeColumns(bool ADoFixedCols, int APadding)
{
    BeginUpdate();
    const int first = ADoFixedCols ? 0 : FixedCols();
    const int storedFirst = RealColIndex(first);
    const std::vector<int> widths = ContentWidths(storedFirst, RealColIndex(ColCount() - 1));
    for (int c = first; c < ColCount(); ++c) {
        SetContentWidth(c, widths[std::size_t(RealColIndex(c) - storedFirst)], FAutoSizeGrowOnly);
        if (APadding != 0)
            // Padding takes a width to the largest one, or down to none, but never past them (a
            // width of -1 would hide the column).
            SetColWidths(c, ClampToMinMax(int(std::clamp<Int64>(Int64(ColWidths(c)) + APadding, 0, INT_MAX)),
                                          FMinColWidth, FMaxColWidth));
    }
    EndUpdate();
}

void TProStringGrid::AutoSizeCol(int ACol)
{
    AutoSizeColEx(ACol, FAutoSizeGrowOnly);
}

void TProStringGrid::AutoSizeColEx(int ACol, bool GrowOnly)
{
    if (ACol < 0 || ACol >= ColCount())
        return;
    const int stored = RealColIndex(ACol);
    SetContentWidth(ACol, ContentWidths(stored, stored)[0], GrowOnly);
}

namespace {
// A cell whose font is not the one of its column in the rows measured on
// several threads.
struct TCellKey {
    int Row, Col, Key;
};

// The texts of the plain rows [From, RowCount) (rows without objects) of
// the columns Cols are measured on several threads, each in its column's
// font ColKeys[k] or its own from Own (in the order of the cells): a text
// AWay sums and whose characters the metrics know raises Widest[column -
// First] at once, any other is queued in Measure. The metrics first meet
// the texts of rows spread over the whole range.
template <class FWay>
void MeasurePlainRows(TProStringGrid* G, TCellTextMeasure& Measure, int From, const std::vector<int>& Cols,
                      const std::vector<int>& ColKeys, const std::vector<TCellKey>& Own, int First,
                      std::vector<int>& Widest, int AOffsetX, FWay&& AWay)
{
    const int rows = G->RowCount() - From;
    if (rows <= 0 || Cols.empty())
        return;
    constexpr int SampledRows = 256;
    {
        TMeasurePart sample;
        const int step = std::max(1, rows / SampledRows);
        for (int k = 0; k * step < rows; ++k) {
            const int r = From + std::min(rows - 1, k * step + int((unsigned(k) * 2654435761u >> 7) % unsigned(step)));
            if (G->RowHasObjects(r))
                continue;
            for (std::size_t i = 0; i < Cols.size(); ++i)
                if (const std::string_view text = G->CellText(Cols[i], r); !text.empty() && AWay(text) == twSummed) {
                    TTextMetrics& m = Measure.KeyMetrics(ColKeys[i]);
                    int w = 0;
                    TryWidestTextLine(m, text, w, sample.UnmetOf(&m));
                }
        }
        sample.Learn();
    }
    const std::uint64_t changes = G->CellStoreChanges();
    // What a thread keeps over the runs of rows it takes: the widest text by column and the cells left for the queue (a
    // text measured whole once for its font and column).
    struct TLeft {
        std::string_view Text;
        int Col, Key;
        bool operator==(const TLeft&) const = default;
    };
    struct THash {
        std::size_t operator()(const TLeft& L) const
        {
            return std::hash<std::string_view>()(L.Text) ^ std::size_t(L.Col) * 0x9E3779B97F4A7C15u ^ std::size_t(L.Key);
        }
    };
    struct TPart {
        std::vector<int> Widest;
        std::vector<TTextMetrics*> Metrics;
        std::vector<TCellKey> Rest;
        std::unordered_set<TLeft, THash> Queued;
    };
    const int parts = PartsFor(std::size_t(rows) * Cols.size(), TextsPerPart);
    std::vector<std::unique_ptr<TPart>> state;
    for (int p = 0; p < parts; ++p) {
        state.push_back(std::make_unique<TPart>());
        state.back()->Widest.assign(Widest.size(), 0);
        for (int k : ColKeys)
            state.back()->Metrics.push_back(&Measure.KeyMetrics(k));
    }
    constexpr std::size_t RowsPerRun = 2048;
    RunInChunks(std::size_t(rows), parts, RowsPerRun, [&](int Part, std::size_t Begin, std::size_t End) {
        TPart& part = *state[std::size_t(Part)];
        // The widths of the run in memory the thread took itself.
        std::vector<int> w(Widest.size(), 0);
        const int from = From + int(Begin), to = From + int(End);
        auto own = std::lower_bound(Own.begin(), Own.end(), from, [](const TCellKey& k, int r) { return k.Row < r; });
        for (int r = from; r < to; ++r) {
            if (G->RowHasObjects(r))
                continue;
            for (std::size_t i = 0; i < Cols.size(); ++i) {
                const int c = Cols[i];
                const std::string_view text = G->CellText(c, r);
                if (text.empty())
                    continue;
                int key = ColKeys[i];
                const TTextMetrics* m = part.Metrics[i];
                if (own != Own.end() && own->Row == r && own->Col == c) {
                    key = (own++)->Key;
                    m = &Measure.KeyMetrics(key);
                }
                const TTextWay way = AWay(text);
                int width = 0;
                // A text of one line is summed at once (a line break is never summed).
                if (way == twSummed && (m->TryTextWidth(text.data(), text.size(), width) ||
                                        TryWidestTextLine(*m, text, width, nullptr))) {
                    int& most = w[std::size_t(c - First)];
                    most = std::max(most, width + 2 * AOffsetX);
                } else if (way == twByCell || part.Queued.insert({text, c, key}).second) {
                    part.Rest.push_back({r, c, key});
                }
            }
        }
        for (std::size_t c = 0; c < w.size(); ++c)
            part.Widest[c] = std::max(part.Widest[c], w[c]);
    });
    for (const auto& part : state) {
        for (std::size_t c = 0; c < Widest.size(); ++c)
            Widest[c] = std::max(Widest[c], part->Widest[c]);
        for (const TCellKey& k : part->Rest)
            Measure.QueueKeyed(k.Key, k.Col, k.Row, G->CellText(k.Col, k.Row), changes);
    }
}
}  // namespace

// Each row is read once for all the columns; in each cell the text is read
// once (an empty one measures (0, 0)), and plain texts are measured
// together at the end, each distinct text of a font once. The rows that
// hold no object (past the fixed rows) are read and measured on several
// threads: only their fonts are asked here, cell by cell, where an event
// may decide them.
std::vector<int> TProStringGrid::ContentWidths(int First, int Last)
{
    std::vector<int> widest(std::size_t(std::max(0, Last - First + 1)), 0);
    if (widest.empty())
        return widest;
    TCellTextMeasure measure(this);
    measure.SkipEmpty = true;
    // Only a cell with a record can be merged or hold a graphic (but the row
    // check boxes of column 0), unless a descendant gives graphics its own way.
    const bool rowChecks = First == 0 && FMouseActions->HotmailRowSelect();
    const bool ownGraphics = typeid(*this) == typeid(TProStringGrid);
    // A stored text is what is shown, unless a handler forms it.
    const bool asStored = !OnGetFloatFormat && !OnGetDisplText && !OnGetDisplWideText &&
                          !(FGrouping->ShowGroupCount() && FGroupColumn >= 0);
    // The queued texts are summed from their characters' advances, but for a
    // mini-HTML text, rich text, formula, wide text or shortened address,
    // measured as its cell alone (a formula for each cell).
    const bool html = FP.EnableHTML, shortUrls = FP.URLShow && !FP.URLFull;
    auto way = [html, shortUrls](std::string_view Text) {
        const Byte kind = ClassifyCellText(Text, html);
        if (kind == 3)
            return twByCell;
        return kind == 0 && !(shortUrls && IsURL(Text)) ? twSummed : twByText;
    };
    auto measureCell = [&](int c, int r, bool objects) {
        TCellProperties* props = objects ? FindProps(c, r) : nullptr;
        TSize graphic = {0, 0};
        if (!ownGraphics || (rowChecks && c == 0) || props) {
            if (IsMergedAcrossColumns(c, r))
                return;
            // The graphic's own width, wherever it stands in the cell; one that fills the cell's width has
            // none (counting the width the cell has now would widen the column at every sizing).
            GetCellGraphicSize(c, r, graphic);
            if (const TCellGraphic* g = GetCellGraphic(c, r); g && g->CellHAlign == haFull)
                graphic.cx = 0;
        }
        // A header cell's filter button takes its 16 pixels beside the text.
        const int button = r == 0 && HasFilterButton(c) ? 16 : 0;
        // A graphic's width adds to the text's.
        const bool alone = graphic.cx == 0 && button == 0;
        if (alone) {
            const std::uint64_t changes = CellStoreChanges();
            const std::string_view stored = CellText(c, r);
            if (stored.empty())
                return;
            if (asStored && !props) {
                measure.QueueKeyed(MeasureFontKey(c, r, measure), c, r, stored, changes);
                return;
            }
        }
        TPoint text(0, 0);
        measure.Queue = alone;
        GetCellTextSize(c, r, false, text, measure);
        int& w = widest[std::size_t(c - First)];
        w = std::max(w, text.X + graphic.cx + button);
    };

    // From row plainFrom on, a cell of a row without objects has its stored
    // text, no graphic (but a row check box) and no filter button, and its
    // font is its column's unless an event decides otherwise.
    const int plainFrom = ownGraphics && asStored
                              ? std::max({1, TBaseGrid::FixedRows(), FP.FixedRowAlways ? FLoadedFixedRows : 0})
                              : RowCount();
    std::vector<int> plainCols, colKeys, displayCols;
    std::vector<char> fixedCols;
    for (int c = First; c <= Last; ++c)
        if (!(rowChecks && c == 0))
            plainCols.push_back(c);
    // Without events a cell's font is its column's; else each cell's font is
    // asked here, and those that are not their column's noted.
    const bool askFonts = !measure.PlainStyle() || OnIsFixedCell;
    for (int c : plainCols) {
        const int dcol = DisplayColumn(c);
        const bool fixed = dcol < TBaseGrid::FixedCols() || (!OnIsFixedCell && IsFixedCell(c, plainFrom));
        displayCols.push_back(dcol);
        fixedCols.push_back(fixed);
        colKeys.push_back(measure.BaseKeyOf(fixed ? FFixedFont.get() : Font()));
    }
    std::vector<TCellKey> own;
    for (int r = 0; r < RowCount(); ++r) {
        const bool objects = RowHasObjects(r);
        if (r < plainFrom || objects) {
            for (int c = First; c <= Last; ++c)
                measureCell(c, r, objects);
            continue;
        }
        if (plainCols.size() < widest.size())
            measureCell(First, r, false);
        if (!askFonts)
            continue;
        for (std::size_t k = 0; k < plainCols.size(); ++k) {
            const int c = plainCols[k];
            if (CellText(c, r).empty())
                continue;
            const bool fixed = fixedCols[k] || (OnIsFixedCell && IsFixedCell(c, r));
            const int key = MeasureFontKey(c, r, displayCols[k], fixed, measure);
            if (key != colKeys[k])
                own.push_back({r, c, key});
        }
    }
    MeasurePlainRows(this, measure, plainFrom, plainCols, colKeys, own, First, widest, FCellTextOffset.X, way);
    auto other = [&](int ACol, int ARow) {
        TPoint text(0, 0);
        measure.Queue = false;
        GetCellTextSize(ACol, ARow, false, text, measure);
        return text.X;
    };
    measure.MeasureQueued(this, First, widest, FCellTextOffset.X, way, other);
    return widest;
}

void TProStringGrid::SetContentWidth(int ACol, int AWidest, bool GrowOnly)
{
    int width = (GridLineWidth() + 1) * 2 + AWidest + FAutoSizeExtraWidth;
    if (GrowOnly && ColWidths(ACol) >= width)
        return;
    UpdateColumnSize(ACol, width);
    SetColWidths(ACol, ClampToMinMax(width, FMinColWidth, FMaxColWidth));
}

void TProStringGrid::AutoSizeRow(int ARow)
{
    AutoSizeRowEx(ARow, FAutoSizeGrowOnly);
}

void TProStringGrid::AutoSizeRowEx(int ARow, bool GrowOnly)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    int tallest = 0;
    TCellTextMeasure measure(this);
    // Every shown cell of the row counts, in its stored column.
    for (int shown = 0; shown < ColCount(); ++shown) {
        const int c = RealColIndex(shown);
        // A covered cell of a merged region counts 0.
        if (IsMergedAcrossRows(c, ARow) || IsIgnoredColumn(c) || !IsBaseCell(c, ARow))
            continue;
        // The graphic's own height wherever it stands: beside the text the taller counts, above or under
        // it both; one that fills the cell's height has none (as a full-width one for the column).
        TSize graphic = {0, 0};
        GetCellGraphicSize(c, ARow, graphic);
        const TCellGraphic* g = GetCellGraphic(c, ARow);
        if (g && g->CellVAlign == vaFull)
            graphic.cy = 0;
        const bool stacked = g && (g->CellVAlign == vaUnderText || g->CellVAlign == vaAboveText);
        TPoint text(0, 0);
        bool wrap = FP.WordWrap;
        GetCellWordWrap(c, ARow, wrap);
        if (!Cells(c, ARow).empty())
            GetCellTextSize(c, ARow, wrap, text, measure);
        tallest = std::max(tallest, stacked ? text.Y + graphic.cy : std::max(text.Y, graphic.cy));
    }
    int height = tallest + (GridLineWidth() + 1) * 2 + FAutoSizeExtraHeight;
    if (GrowOnly && RowHeights(ARow) >= height)
        return;
    SetRowHeights(ARow, ClampToMinMax(height, FMinRowHeight, FMaxRowHeight));
}

namespace {
// The height of one line of text in a row: the text's height and an eighth for the space between lines.
int RowLineHeight(TProStringGrid* G, TCellMeasure& Measure, int ARow)
{
    const int h = Measure.CanvasFor(G->FixedCols(), ARow)->TextHeight("gh");
    return std::max(1, h + h / 8);
}
}  // namespace

void TProStringGrid::SizeRowToLines(int ARow, int ALines, int AExtra)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    TCellMeasure measure(this);
    SetRowHeights(ARow, ClampToMinMax(RowLineHeight(this, measure, ARow) * ALines + AExtra, FMinRowHeight,
                                      FMaxRowHeight));
}

int TProStringGrid::RowLineCount(int ARow)
{
    if (ARow < 0 || ARow >= RowCount())
        return 1;
    TCellMeasure measure(this);
    const int room = RowHeights(ARow) - 2 * FCellTextOffset.Y;
    return std::max(1, room / RowLineHeight(this, measure, ARow));
}

// ---------------------------------------------------------------- plain text
std::vector<int> TProStringGrid::SelectedTextRows(const TGridRect& AArea) const
{
    std::vector<int> rows;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (DisjunctRowFlagged(r))
                rows.push_back(r);
    } else {
        for (int r = std::max(AArea.Top, 0); r <= AArea.Bottom && r < RowCount(); ++r)
            rows.push_back(r);
    }
    return rows;
}

AnsiString TProStringGrid::GridAsPlainText()
{
    TGridRect area = Selection();
    if ((Options() & goRowSelect) && FDragDropSettings->OleEntireRows()) {
        area.Left = 0;
        area.Right = ColCount() - 1;
    }
    area.Right = std::min(area.Right, ColCount() - 1);
    const std::vector<int> rows = SelectedTextRows(area);
    AnsiString text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            text += CRLF;
        for (int c = std::max(area.Left, 0); c <= area.Right; ++c) {
            if (c > std::max(area.Left, 0))
                text += '\t';
            const int stored = RealColIndex(c);
            AnsiString s = Cells(stored, rows[i]);
            if (s.find("{\\") != AnsiString::npos) {
                CellToRich(stored, rows[i], FRichEdit);
                s = FRichEdit->Text();
            }
            text += s;
        }
    }
    return text;
}
