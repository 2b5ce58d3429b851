#pragma once
// Private to grid: what measuring many cells of one grid keeps between cells.
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

private:
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
