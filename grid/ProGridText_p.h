#pragma once
// Private to grid: what measuring many cells of one grid keeps between cells.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/Graphics.h"
#include "platform/core/Parallel.h"
#include "platform/gui/TextMetrics.h"

// A font that a cell's style sets from one of the grid's fonts, cell after
// cell: it is set again only when it, or the grid's font, changed since (a
// record or a colour event changes it), and then only what differs.
class TStyleFont {
public:
    // AFont made equal to ABase, as AFont->Assign(ABase) makes it.
    void Set(TFont& AFont, const TFont* ABase);
    // The grid's font AFont was last set from, when it has not changed
    // since in what measuring a text depends on (its colour may have).
    const TFont* MeasuresAs(const TFont& AFont) const;

private:
    bool Holds(const TFont& AFont, const TFont* ABase) const
    {
        return FBase == ABase && AFont.ChangeCount() == FStamp && ABase->ChangeCount() == FBaseStamp;
    }
    const TFont* FBase = nullptr;
    unsigned FStamp = 0;
    unsigned FBaseStamp = 0;
    // The font's change count when MeasuresAs found it measuring as FBase:
    // then only its colour and character set may differ from it.
    mutable unsigned FSameStamp = 0;
    mutable bool FSame = false;
};

// How a text is measured: its characters' advances summed, laid out as a
// whole (the same for every cell that holds it), or worked out for its cell.
enum TTextWay { twSummed, twByText, twByCell };

// The widest line of Text and the number of its lines: lines end at CR and, as
// the screen draws them, at LF (CR LF is one break); printing ends them at CR only.
int WidestTextLine(TTextMetrics& AMetrics, std::string_view Text, int& Lines, bool AtLineFeed = true);
int TextLineCount(std::string_view Text, bool AtLineFeed = true);
// The same without learning anything: false when a line needs the metrics
// to learn (what it needs noted in Unmet when given).
bool TryWidestTextLine(const TTextMetrics& AMetrics, std::string_view Text, int& Widest,
                       TTextMetrics::TUnmet* Unmet, bool AtLineFeed = true);

// Below this many texts one thread measures them all.
constexpr std::size_t TextsPerPart = 8192;

// What one thread gives when many texts are measured: the widest text by
// column, the texts it left, and what they need the metrics to learn, by metrics.
struct alignas(64) TMeasurePart {
    std::vector<int> Widest;
    std::vector<std::size_t> Left;
    std::vector<std::size_t> Other;   // texts that are no plain text
    std::vector<std::pair<TTextMetrics*, std::unique_ptr<TTextMetrics::TUnmet>>> Unmet;
    // Where texts are summed column by column (TTextMetrics::TRunSums), by font and
    // column: the last text summed and the largest sum (-1: none).
    std::vector<TTextMetrics::TLastText> Last;
    std::vector<long long> WidestSum;
    std::vector<std::uint32_t> Plain;   // room for the rows of a run such a pass takes
    std::vector<int> PlainRows;         // and for those rows themselves
    std::vector<std::string_view> Texts;   // and for a column's texts in them

    TTextMetrics::TUnmet* UnmetOf(TTextMetrics* AMetrics)
    {
        for (auto& u : Unmet)
            if (u.first == AMetrics)
                return u.second.get();
        Unmet.emplace_back(AMetrics, std::make_unique<TTextMetrics::TUnmet>());
        return Unmet.back().second.get();
    }
    // Meets what the part noted.
    void Learn()
    {
        for (auto& u : Unmet)
            if (u.second->Any())
                u.first->Learn(*u.second);
    }
};

// AMeasure(i, Part) for i in [0, Count) with Columns widest widths per part,
// the range spread over threads when it is long (APerPart items a part at
// least), each thread taking the next run of items nobody has begun: which
// part measures an item depends on the threads' pace.
template <class F>
std::vector<TMeasurePart> MeasureInParts(std::size_t Count, std::size_t Columns, F&& AMeasure,
                                         std::size_t APerPart = TextsPerPart)
{
    std::vector<TMeasurePart> parts(std::size_t(PartsFor(Count, APerPart)));
    for (TMeasurePart& part : parts)
        part.Widest.assign(Columns, 0);
    RunInChunks(Count, int(parts.size()), std::max<std::size_t>(APerPart / 4, 1),
                [&](int Part, std::size_t From, std::size_t To) {
                    for (std::size_t i = From; i < To; ++i)
                        AMeasure(i, parts[std::size_t(Part)]);
                });
    return parts;
}

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
    // True when the colours of a cell without a record are its style's but
    // what the colour event makes of them (GetCellColor does no more).
    bool EventColorsOnly() const { return FEventColorsOnly; }
    // The fonts of plain and fixed cells, the zoom applied.
    const TFont& CellFont() const { return FCellFont; }
    const TFont& FixedCellFont() const { return FFixedCellFont; }

    // What a cell's style resolves into, and what Font() was set from.
    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    TStyleFont& FontSource() { return FFontSource; }

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
    // once but queued by its cell with its font; Queued tells whether the
    // last cell's text went there. MeasureQueued raises Widest[column -
    // First] to the widest queued text of each column (cell offsets
    // included) and empties the queue: each distinct text of a font is
    // measured once, on several threads; the texts that AWay does not sum
    // are measured by AOther (those by cell for each cell).
    bool Queue = false;
    bool Queued = false;
    // The key of a font for QueueKeyed.
    int KeyOf(const TFont& AFont);
    // The measures of the font of a key.
    TTextMetrics& KeyMetrics(int AKey) { return *FKeyed[std::size_t(AKey)]->Metrics; }
    // The key of the font a cell's style takes unchanged from the grid's font ABase (the zoom applied).
    int BaseKeyOf(const TFont* ABase);
    // AText is the cell's stored text (read again when the grid changed before it is measured).
    void QueueKeyed(int AKey, int ACol, int ARow, std::string_view AText, std::uint64_t AGridChanges)
    {
        if (FQueue.empty())
            FQueueChanges = AGridChanges;
        FQueue.push_back({AText.data(), std::uint32_t(AText.size()), unsigned(AKey), unsigned(ACol), unsigned(ARow)});
    }
    void MeasureQueued(TProStringGrid* AGrid, int First, std::vector<int>& Widest, int AOffsetX,
                       const std::function<TTextWay(std::string_view)>& AWay,
                       const std::function<int(int ACol, int ARow)>& AOther);

private:
    struct TQueuedText {
        const char* Text;
        std::uint32_t Size;
        unsigned Key;
        unsigned Col;
        unsigned Row;
        std::string_view View() const { return {Text, Size}; }
    };
    std::vector<TQueuedText> FQueue;
    std::uint64_t FQueueChanges = 0;   // the grid's changes when the first text was queued

    struct TKeyed {
        TFont Font;
        std::shared_ptr<TTextMetrics> Metrics;
        std::unordered_map<AnsiString, TPoint> Html;
    };
    TKeyed& Keyed(const TFont& AFont);
    TTextMetrics& MetricsOf(TKeyed& AKeyed);

    bool FPlainStyle = false;
    bool FEventColorsOnly = false;
    int FZoom = 0;
    TFont FCellFont;
    TFont FFixedCellFont;
    TFont FFont;
    TStyleFont FFontSource;
    TBrush FBrush;
    TBitmap FBitmap;
    std::vector<std::unique_ptr<TKeyed>> FKeyed;
    TKeyed* FLast = nullptr;
    struct TBaseKey {
        const TFont* Base;
        unsigned Stamp;
        int Key;
    };
    std::vector<TBaseKey> FBaseKeys;
};
