#pragma once
// Private to grid: what measuring many cells of one grid keeps between cells.
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/TextMetrics.h"

class TCellTextMeasure {
public:
    explicit TCellTextMeasure(TProStringGrid* AGrid);
    ~TCellTextMeasure();
    TCellTextMeasure(const TCellTextMeasure&) = delete;
    TCellTextMeasure& operator=(const TCellTextMeasure&) = delete;

    // True when nothing but the cell's own record can give a cell another
    // font than the grid's (or fixed) font: no colour event, no descendant
    // that decides colours, no highlighted header of the current cell.
    bool PlainStyle() const { return FPlainStyle; }
    // The fonts of plain and fixed cells, the zoom applied.
    const TFont& CellFont() const { return FCellFont; }
    const TFont& FixedCellFont() const { return FFixedCellFont; }

    // What a cell's style resolves into.
    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }

    // The measures of a font on the measuring canvas.
    TTextMetrics& Metrics(const TFont& AFont);
    // The measuring canvas with the font set.
    TCanvas* Canvas(const TFont& AFont);

    // Mini-HTML texts measured unwrapped, by font and text.
    bool FindHtml(const TFont& AFont, const AnsiString& Text, TPoint& Size);
    void AddHtml(const TFont& AFont, const AnsiString& Text, const TPoint& Size);

    // An empty text measures (0, 0).
    bool SkipEmpty = false;

    // With Queue set, a stored text measured unwrapped is not measured at
    // once but queued by its cell with its font's measures; Queued tells
    // whether the last cell's text went there. MeasureQueued raises
    // Widest[column - First] to the widest queued text of each column (cell
    // offsets included) and empties the queue: many texts are read and
    // measured on several threads; the texts APlain refuses are measured by
    // AOther, but for mini-HTML texts already measured in their font.
    bool Queue = false;
    bool Queued = false;
    void QueueText(const TFont& AFont, int ACol, int ARow);
    void MeasureQueued(TProStringGrid* AGrid, int First, std::vector<int>& Widest, int AOffsetX,
                       const std::function<bool(std::string_view)>& APlain,
                       const std::function<int(int ACol, int ARow)>& AOther);

private:
    struct TKeyed;
    struct TQueuedText {
        TKeyed* Keyed;
        int Col;
        int Row;
    };
    std::vector<TQueuedText> FQueue;

    struct TKeyed {
        TFont Font;
        std::unique_ptr<TTextMetrics> Metrics;
        std::unordered_map<AnsiString, TPoint> Html;
    };
    TKeyed& Keyed(const TFont& AFont);

    bool FPlainStyle = false;
    TFont FCellFont;
    TFont FFixedCellFont;
    TFont FFont;
    TBrush FBrush;
    TBitmap FBitmap;
    std::vector<std::unique_ptr<TKeyed>> FKeyed;
    TKeyed* FLast = nullptr;
};
