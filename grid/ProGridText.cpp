// TProStringGrid: the displayed form of numbers, the measured size of a
// cell's text, the balloon text of a cell and the automatic insertion and
// removal of rows.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>
#include <typeinfo>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProGridText_p.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"
#include "platform/core/Parallel.h"

// ---------------------------------------------------------------- numbers
// A format the formatter rejects (or a "d" format over a cell that holds no
// integer) leaves the stored text shown: painting never raises.
void TProStringGrid::FormatNumericCell(int ACol, int ARow, AnsiString& Text)
{
    Text = Cells(ACol, ARow);
    if (!OnGetFloatFormat)
        return;
    Byte kind = IsNumericText(Text);
    if (kind != 0 && kind != 1 && kind != 5)
        return;
    bool isFloat = true;
    AnsiString fmt = FP.FloatFormat;
    OnGetFloatFormat(this, ACol, ARow, isFloat, fmt);
    if (!isFloat)
        return;
    try {
        if (fmt.find('d') != AnsiString::npos)
            Text = Format(fmt, {CellIntegerValue(ACol, ARow)});
        else
            Text = Format(fmt, {CellFloatValue(ACol, ARow)});
    } catch (const Exception&) {
        Text = Cells(ACol, ARow);
    }
}

// ---------------------------------------------------------------- measuring
namespace {
// Calls AMeasure(start, length) for every line of Text: lines end at CR and,
// with AtLineFeed, at LF (CR LF is one break); true while AMeasure says so.
template <class F>
bool EachTextLine(std::string_view Text, int& Lines, bool AtLineFeed, F&& AMeasure)
{
    Lines = 0;
    std::size_t start = 0;
    bool more;
    do {
        std::size_t brk = Text.find_first_of(AtLineFeed ? "\r\n" : "\r", start);
        std::size_t end = brk == std::string_view::npos ? Text.size() : brk;
        if (!AMeasure(start, end - start))
            return false;
        ++Lines;
        more = brk != std::string_view::npos;
        if (more) {
            start = brk + 1;
            if (Text[brk] == '\r' && start < Text.size() && Text[start] == '\n')
                ++start;
            more = start < Text.size();
        }
    } while (more);
    return true;
}
}  // namespace

int WidestTextLine(TTextMetrics& AMetrics, std::string_view Text, int& Lines, bool AtLineFeed)
{
    int widest = 0;
    EachTextLine(Text, Lines, AtLineFeed, [&](std::size_t Start, std::size_t Length) {
        widest = std::max(widest, AMetrics.TextWidth(Text.data() + Start, Length));
        return true;
    });
    return widest;
}

int TextLineCount(std::string_view Text, bool AtLineFeed)
{
    int lines = 0;
    EachTextLine(Text, lines, AtLineFeed, [](std::size_t, std::size_t) { return true; });
    return lines;
}

bool TryWidestTextLine(const TTextMetrics& AMetrics, std::string_view Text, int& Widest,
                       TTextMetrics::TUnmet* Unmet, bool AtLineFeed)
{
    int lines = 0;
    Widest = 0;
    return EachTextLine(Text, lines, AtLineFeed, [&](std::size_t Start, std::size_t Length) {
        int w = 0;
        if (!AMetrics.TryTextWidth(Text.data() + Start, Length, w, Unmet))
            return false;
        Widest = std::max(Widest, w);
        return true;
    });
}

namespace {
// The metrics learn what this many texts of the queue need before all.
constexpr std::size_t SampledTexts = 4096;
// A part looks this many texts ahead for the places of their hashes.
constexpr std::size_t LookAhead = 16;

// A distinct text whose width waits: for the metrics to learn, to lay it
// out whole, or for its cell. The columns it raises are chained.
struct TPending {
    std::uint32_t Index;
    TTextWay Way;
    unsigned Col;
    int More = -1;   // the next column in the part's chain, -1 none
    int Width = -1;  // once known
};
struct TMoreCol {
    unsigned Col;
    int Next;
};

// What one part of the queue gives besides its widest text by column and
// what its texts need the metrics to learn: the texts that wait.
struct TDistinctPart : TMeasurePart {
    std::vector<TPending> Pending;
    std::vector<TMoreCol> More;

    void AddCol(TPending& P, unsigned ACol)
    {
        if (P.Col == ACol)
            return;
        for (int m = P.More; m >= 0; m = More[std::size_t(m)].Next)
            if (More[std::size_t(m)].Col == ACol)
                return;
        More.push_back({ACol, P.More});
        P.More = int(More.size()) - 1;
    }
    template <class F>
    void EachCol(const TPending& P, F&& AEach) const
    {
        AEach(P.Col);
        for (int m = P.More; m >= 0; m = More[std::size_t(m)].Next)
            AEach(More[std::size_t(m)].Col);
    }
};

// The distinct texts a part has met, by hash: the first cell of each and
// its width, or where it waits (-1 - its place among the pending).
class TDistinctTexts {
public:
    struct TText {
        std::uint32_t Index;
        int Width;
    };
    TDistinctTexts() { Grow(); }
    // Starts bringing the first place of a hash into the processor's cache.
    void Prefetch(std::uint32_t AHash) const { __builtin_prefetch(&FSlots[AHash & FMask]); }
    // The text met before that Same says equals the one of AHash, else nullptr.
    template <class F>
    TText* Find(std::uint32_t AHash, F&& Same)
    {
        for (std::size_t s = AHash & FMask; FSlots[s].Taken; s = (s + 1) & FMask)
            if (FSlots[s].Hash == AHash && Same(FTexts[FSlots[s].Taken - 1].Index))
                return &FTexts[FSlots[s].Taken - 1];
        return nullptr;
    }
    void Add(std::uint32_t AHash, TText AText)
    {
        if (2 * (FTexts.size() + 1) > FSlots.size())
            Grow();
        FTexts.push_back(AText);
        Place({AHash, std::uint32_t(FTexts.size())});
    }

private:
    struct TSlot {
        std::uint32_t Hash = 0;
        std::uint32_t Taken = 0;   // 1 + the text's place, 0 free
    };
    void Place(TSlot ASlot)
    {
        std::size_t s = ASlot.Hash & FMask;
        while (FSlots[s].Taken)
            s = (s + 1) & FMask;
        FSlots[s] = ASlot;
    }
    void Grow()
    {
        std::vector<TSlot> old = std::move(FSlots);
        FSlots.assign(std::max<std::size_t>(1024, 2 * old.size()), TSlot());
        FMask = FSlots.size() - 1;
        for (const TSlot& o : old)
            if (o.Taken)
                Place(o);
    }
    std::vector<TSlot> FSlots;
    std::size_t FMask = 0;
    std::vector<TText> FTexts;
};

// A hash of a text and its font's key, eight bytes at a time.
std::uint32_t TextHash(unsigned AKey, std::string_view AText)
{
    constexpr std::uint64_t Mul = 0xFF51AFD7ED558CCDu;
    std::uint64_t h = (AText.size() + 1) * 0x9E3779B97F4A7C15u ^ AKey;
    const char* p = AText.data();
    std::size_t n = AText.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * Mul;
        h ^= h >> 32;
    }
    if (n > 0) {
        std::uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = (h ^ w) * Mul;
    }
    h ^= h >> 29;
    return std::uint32_t(h * Mul >> 32);
}
}  // namespace

// The queue is split into parts, each walked on a thread of its own in the
// order of the cells. A part keeps the texts it has met and measures each
// distinct text of a font once: a plain text is summed from its
// characters' advances when the metrics know them all (the first texts
// have met most of them here before). Then the metrics learn what the
// others need, and those are summed again on several threads; texts laid
// out whole and texts that are no plain text are measured here, each
// distinct text of a font once (the metrics and the measuring keep what
// they have laid out), a formula for each cell.
void TCellTextMeasure::MeasureQueued(TProStringGrid* AGrid, int First, std::vector<int>& Widest, int AOffsetX,
                                     const std::function<TTextWay(std::string_view)>& AWay,
                                     const std::function<int(int ACol, int ARow)>& AOther)
{
    std::vector<TQueuedText> queue = std::move(FQueue);
    FQueue.clear();
    const std::size_t n = queue.size();
    if (n == 0)
        return;
    // The texts are read as they were queued, unless the grid has changed since.
    if (AGrid->CellStoreChanges() != FQueueChanges)
        for (TQueuedText& q : queue) {
            const std::string_view text = AGrid->CellText(int(q.Col), int(q.Row));
            q.Text = text.data();
            q.Size = std::uint32_t(text.size());
        }
    auto textOf = [&](std::size_t i) { return queue[i].View(); };
    auto metricsOf = [&](std::size_t i) -> TTextMetrics& { return *FKeyed[queue[i].Key]->Metrics; };
    auto raise = [&](std::vector<int>& W, unsigned ACol, int AWidth) {
        int& w = W[ACol - unsigned(First)];
        w = std::max(w, AWidth);
    };
    // The metrics meet the characters and pairs of texts taken from the
    // whole queue, which hold most of what the others need.
    {
        TMeasurePart sample;
        // Each from its own stretch of the queue, at a place that varies,
        // so that no column or row number is met again and again.
        const std::size_t step = std::max<std::size_t>(1, n / SampledTexts);
        for (std::size_t k = 0; k * step < n; ++k)
            if (const std::size_t i = std::min(n - 1, k * step + (k * 2654435761u >> 7) % step);
                AWay(textOf(i)) == twSummed) {
                const std::string_view text = textOf(i);
                int w = 0;
                TryWidestTextLine(metricsOf(i), text, w, sample.UnmetOf(&metricsOf(i)));
            }
        sample.Learn();
    }

    const int parts = PartsFor(n, TextsPerPart);
    std::vector<TDistinctPart> measured(static_cast<std::size_t>(parts));
    RunInParts(n, parts, [&](int Part, std::size_t From, std::size_t To) {
        TDistinctPart& part = measured[std::size_t(Part)];
        part.Widest.assign(Widest.size(), 0);
        TDistinctTexts distinct;
        std::uint32_t ahead[LookAhead];
        auto hashOf = [&](std::size_t i) { return TextHash(queue[i].Key, textOf(i)); };
        for (std::size_t i = From; i < std::min(To, From + LookAhead); ++i)
            ahead[i % LookAhead] = hashOf(i);
        for (std::size_t i = From; i < To; ++i) {
            const TQueuedText& q = queue[i];
            const auto index = std::uint32_t(i);
            const std::string_view text = textOf(i);
            const std::uint32_t hash = ahead[i % LookAhead];
            if (i + LookAhead < To) {
                ahead[i % LookAhead] = hashOf(i + LookAhead);
                distinct.Prefetch(ahead[i % LookAhead]);
            }
            auto same = [&](std::uint32_t AIndex) { return queue[AIndex].Key == q.Key && textOf(AIndex) == text; };
            if (TDistinctTexts::TText* d = distinct.Find(hash, same)) {
                if (d->Width >= 0) {
                    raise(part.Widest, q.Col, d->Width);
                    continue;
                }
                TPending& p = part.Pending[std::size_t(-1 - d->Width)];
                if (p.Way != twByCell) {
                    part.AddCol(p, q.Col);
                    continue;
                }
            }
            const TTextWay way = AWay(text);
            int w = 0;
            if (way == twSummed && TryWidestTextLine(metricsOf(i), text, w, part.UnmetOf(&metricsOf(i)))) {
                w += 2 * AOffsetX;
                raise(part.Widest, q.Col, w);
            } else {
                // A formula is worked out for its cell: each one waits.
                part.Pending.push_back({index, way, q.Col});
                w = -int(part.Pending.size());
            }
            distinct.Add(hash, {index, w});
        }
    });

    // After the metrics have learnt, the plain texts that waited.
    std::vector<TPending*> left;
    for (TDistinctPart& part : measured) {
        part.Learn();
        for (TPending& p : part.Pending)
            if (p.Way == twSummed)
                left.push_back(&p);
    }
    RunInParts(left.size(), PartsFor(left.size(), TextsPerPart), [&](int, std::size_t From, std::size_t To) {
        for (std::size_t k = From; k < To; ++k) {
            int w = 0;
            if (TryWidestTextLine(metricsOf(left[k]->Index), textOf(left[k]->Index), w, nullptr))
                left[k]->Width = w + 2 * AOffsetX;
        }
    });
    // The rest in queue order (as the cells come: the parts hold
    // consecutive ranges).
    for (const TDistinctPart& part : measured) {
        for (std::size_t c = 0; c < Widest.size(); ++c)
            Widest[c] = std::max(Widest[c], part.Widest[c]);
        for (const TPending& p : part.Pending) {
            int w = p.Width;
            if (w < 0 && p.Way == twSummed) {
                int lines = 0;
                w = WidestTextLine(metricsOf(p.Index), textOf(p.Index), lines) + 2 * AOffsetX;
            } else if (w < 0) {
                w = AOther(int(queue[p.Index].Col), int(queue[p.Index].Row));
            }
            part.EachCol(p, [&](unsigned ACol) { raise(Widest, ACol, w); });
        }
    }
}

TCellTextMeasure::TCellTextMeasure(TProStringGrid* AGrid)
{
    FBitmap.SetSize(1, 1);
    // The style is resolved into fonts of the measuring canvas's resolution.
    int ppi = FBitmap.Canvas()->Font()->PixelsPerInch();
    for (TFont* f : {&FCellFont, &FFixedCellFont, &FFont})
        f->SetPixelsPerInch(ppi);
    FEventColorsOnly = typeid(*AGrid) == typeid(TProStringGrid) && !AGrid->ActiveCellShow();
    FPlainStyle = FEventColorsOnly && !AGrid->OnGetCellColor;
    FZoom = AGrid->ZoomDelta();
    FCellFont.Assign(AGrid->Font());
    FCellFont.SetSize(FCellFont.Size() + FZoom);
    FFixedCellFont.Assign(AGrid->FixedFont());
    FFixedCellFont.SetSize(FFixedCellFont.Size() + FZoom);
}

TCellTextMeasure::~TCellTextMeasure() = default;

TCellTextMeasure::TKeyed& TCellTextMeasure::Keyed(const TFont& AFont)
{
    auto same = [&](const TFont& f) {
        return f.Height() == AFont.Height() && f.Style() == AFont.Style() && f.Pitch() == AFont.Pitch() &&
               f.PixelsPerInch() == AFont.PixelsPerInch() && f.Name() == AFont.Name();
    };
    if (FLast && same(FLast->Font))
        return *FLast;
    for (auto& k : FKeyed)
        if (same(k->Font))
            return *(FLast = k.get());
    auto k = std::make_unique<TKeyed>();
    k->Font.SetPixelsPerInch(AFont.PixelsPerInch());
    k->Font.Assign(const_cast<TFont*>(&AFont));
    FKeyed.push_back(std::move(k));
    return *(FLast = FKeyed.back().get());
}

TTextMetrics& TCellTextMeasure::MetricsOf(TKeyed& AKeyed)
{
    if (!AKeyed.Metrics)
        AKeyed.Metrics = TTextMetrics::Shared(AKeyed.Font, FBitmap.Canvas());
    return *AKeyed.Metrics;
}

TTextMetrics& TCellTextMeasure::Metrics(const TFont& AFont)
{
    return MetricsOf(Keyed(AFont));
}

int TCellTextMeasure::KeyOf(const TFont& AFont)
{
    TKeyed& k = Keyed(AFont);
    MetricsOf(k);
    return int(std::find_if(FKeyed.begin(), FKeyed.end(), [&](const auto& p) { return p.get() == &k; }) - FKeyed.begin());
}

int TCellTextMeasure::BaseKeyOf(const TFont* ABase)
{
    for (const TBaseKey& b : FBaseKeys)
        if (b.Base == ABase && b.Stamp == ABase->ChangeCount())
            return b.Key;
    TFont f;
    f.SetPixelsPerInch(FFont.PixelsPerInch());
    f.Assign(const_cast<TFont*>(ABase));
    f.SetSize(f.Size() + FZoom);
    const int key = KeyOf(f);
    FBaseKeys.push_back({ABase, ABase->ChangeCount(), key});
    return key;
}

TCanvas* TCellTextMeasure::Canvas(const TFont& AFont)
{
    TCanvas* c = FBitmap.Canvas();
    c->Font()->Assign(const_cast<TFont*>(&AFont));
    return c;
}

bool TCellTextMeasure::FindHtml(const TFont& AFont, const AnsiString& Text, TPoint& Size)
{
    TKeyed& k = Keyed(AFont);
    auto it = k.Html.find(Text);
    if (it == k.Html.end())
        return false;
    Size = it->second;
    return true;
}

void TCellTextMeasure::AddHtml(const TFont& AFont, const AnsiString& Text, const TPoint& Size)
{
    Keyed(AFont).Html.emplace(Text, Size);
}

void TStyleFont::Set(TFont& AFont, const TFont* ABase)
{
    if (Holds(AFont, ABase))
        return;
    if (FSame && FSameStamp == AFont.ChangeCount() && FBase == ABase && ABase->ChangeCount() == FBaseStamp) {
        AFont.SetColor(ABase->Color());
        AFont.SetCharset(ABase->Charset());
        FStamp = AFont.ChangeCount();
        FSame = false;
        return;
    }
    FSame = false;
    if (AFont.PixelsPerInch() == ABase->PixelsPerInch()) {
        AFont.SetName(ABase->Name());
        AFont.SetHeight(ABase->Height());
        AFont.SetStyle(ABase->Style());
        AFont.SetColor(ABase->Color());
        AFont.SetCharset(ABase->Charset());
        AFont.SetPitch(ABase->Pitch());
        AFont.SetOrientation(ABase->Orientation());
    } else {
        AFont.Assign(const_cast<TFont*>(ABase));
    }
    FBase = ABase;
    FStamp = AFont.ChangeCount();
    FBaseStamp = ABase->ChangeCount();
}

const TFont* TStyleFont::MeasuresAs(const TFont& AFont) const
{
    if (!FBase || FBase->ChangeCount() != FBaseStamp)
        return nullptr;
    if (AFont.ChangeCount() == FStamp)
        return FBase;
    const bool same = AFont.Height() == FBase->Height() && AFont.Style() == FBase->Style() &&
                      AFont.Pitch() == FBase->Pitch() && AFont.PixelsPerInch() == FBase->PixelsPerInch() &&
                      AFont.Orientation() == FBase->Orientation() && AFont.Name() == FBase->Name();
    FSame = same;
    FSameStamp = AFont.ChangeCount();
    return same ? FBase : nullptr;
}

int TProStringGrid::MeasureFontKey(int ACol, int ARow, TCellTextMeasure& AMeasure)
{
    const int dcol = DisplayColumn(ACol);
    const bool fixed = IsFixedCell(ACol, ARow) || dcol < TBaseGrid::FixedCols() || ARow < TBaseGrid::FixedRows();
    return MeasureFontKey(ACol, ARow, dcol, fixed, AMeasure);
}

// What GetCellTextStyle resolves for a cell without a record, without
// asking for the record again.
int TProStringGrid::MeasureFontKey(int ACol, int ARow, int ADisplayCol, bool AFixed, TCellTextMeasure& AMeasure)
{
    TCellTextMeasure& m = AMeasure;
    const TFont* base = AFixed ? FFixedFont.get() : Font();
    if (m.PlainStyle())
        return m.BaseKeyOf(base);
    m.FontSource().Set(m.Font(), base);
    m.Brush().SetColor(AFixed ? FixedColor() : BackgroundColor(ADisplayCol, ARow, false));
    const TGridDrawState state = AFixed ? TGridDrawState(gdFixed) : TGridDrawState(0);
    if (!m.EventColorsOnly())
        GetCellColor(ACol, ARow, state, &m.Brush(), &m.Font());
    else if (OnGetCellColor)
        OnGetCellColor(this, ARow, ACol, state, &m.Brush(), &m.Font());
    // Unchanged by the events, the font measures as one of the grid's.
    if (const TFont* same = m.FontSource().MeasuresAs(m.Font()))
        return m.BaseKeyOf(same);
    m.Font().SetSize(m.Font().Size() + ZoomDelta());
    return m.KeyOf(m.Font());
}

void TProStringGrid::GetCellTextSize(int ACol, int ARow, bool WrapToWidth, TPoint& Size)
{
    TCellTextMeasure measure(this);
    GetCellTextSize(ACol, ARow, WrapToWidth, Size, measure);
}

// A cell with no record of its own in a grid of plain style has the grid's
// font or the fixed font; any other cell has its style resolved in full.
void TProStringGrid::GetCellTextSize(int ACol, int ARow, bool WrapToWidth, TPoint& Size, TCellTextMeasure& AMeasure)
{
    Size = TPoint(0, 0);
    TCellTextMeasure& m = AMeasure;
    m.Queued = false;
    // The shown text: the stored one itself when nothing forms it (no copy
    // of every cell while a column is sized), else a copy that may change.
    const std::uint64_t changes = CellStoreChanges();   // when the stored text is read
    AnsiString own;
    std::string_view shown;
    bool formed = false;   // shown is own
    auto readText = [&]() {
        if (OnGetFloatFormat || !CellsStored(ACol, ARow, shown)) {
            FormatNumericCell(ACol, ARow, own);
            shown = own;
            formed = true;
        }
    };
    auto change = [&](AnsiString AText) {
        own = std::move(AText);
        shown = own;
        formed = true;
    };
    // With SkipEmpty the text is read first, so that an empty cell asks
    // nothing more.
    if (m.SkipEmpty) {
        readText();
        if (shown.empty())
            return;
    }
    const TFont* font = nullptr;
    auto resolveStyle = [&]() {
        GetCellTextStyle(ACol, ARow, &m.Brush(), &m.Font(), &m.FontSource());
        m.Font().SetSize(m.Font().Size() + ZoomDelta());
        font = &m.Font();
    };
    TCellProperties* props = FindProps(ACol, ARow);
    if (m.PlainStyle() && !props) {
        bool fixed = IsFixedCell(ACol, ARow) || DisplayColumn(ACol) < TBaseGrid::FixedCols() ||
                     ARow < TBaseGrid::FixedRows();
        font = fixed ? &m.FixedCellFont() : &m.CellFont();
    } else {
        resolveStyle();
    }

    if (!m.SkipEmpty)
        readText();
    auto* g = props ? dynamic_cast<TCellGraphic*>(props->GraphicObject()) : nullptr;
    if (m.Queue && !WrapToWidth && !formed && !(g && g->CellType == ctRotated)) {
        m.QueueKeyed(m.KeyOf(*font), ACol, ARow, shown, changes);
        m.Queued = true;
        return;
    }
    Byte kind = ClassifyCellText(shown, FP.EnableHTML);
    if (kind == 3) {
        change(CalcFormula(ACol, ARow, AnsiString(shown)));
        kind = ClassifyCellText(shown, FP.EnableHTML);
    }
    int col = DisplayColumn(ACol);
    int width = col >= 0 && col < ColCount() ? ColWidths(col) : DefaultColWidth();
    if (g && g->CellType == ctRotated) {
        TSize e = m.Canvas(*font)->TextExtent(AnsiString(shown));
        double a = g->CellAngle * 3.14159265358979 / 180.0;
        double ca = std::abs(std::cos(a)), sa = std::abs(std::sin(a));
        Size = TPoint(int(e.cx * ca + e.cy * sa) + 12, int(e.cx * sa + e.cy * ca) + 12);
        return;
    }
    switch (kind) {
    case 1: {
        // Unwrapped, the size depends on the font and the text only.
        const AnsiString html(shown);
        if (!WrapToWidth && m.FindHtml(*font, html, Size))
            return;
        if (font != &m.Font())
            resolveStyle();
        TBitmap bmp;
        bmp.SetSize(1, 1);
        TCanvas* c = bmp.Canvas();
        c->Font()->Assign(&m.Font());
        c->Brush()->Assign(&m.Brush());
        THtmlRun run;
        run.CheckHeight = true;
        run.WordWrap = WrapToWidth;
        run.Images = FGridImages;
        run.Cache = FPictureCache.get();
        run.Container = FPictureContainer;
        run.URLColor = FP.URLColor;
        run.Run(c, html, TRect(0, 0, WrapToWidth ? width : 65535, 65535));
        Size = TPoint(run.XSize + 2 + 2 * FCellTextOffset.X, run.YSize + 2 + 2 * FCellTextOffset.Y);
        if (!WrapToWidth)
            m.AddHtml(*font, html, Size);
        return;
    }
    case 2: {
        CellToRich(ACol, ARow, FRichEdit);
        change(FRichEdit->Text());
        break;
    }
    case 5: {
        // Wide text is measured from its own characters, as it is drawn.
        TRect r(0, 0, WrapToWidth ? width - 2 * (2 + FCellTextOffset.X) : 0, 0);
        DrawTextW(m.Canvas(*font), DecodeUnicodeCell(AnsiString(shown)), r,
                  DT_CALCRECT | DT_NOPREFIX | (WrapToWidth ? DT_WORDBREAK : 0u));
        Size = TPoint(r.Width() + 2 * FCellTextOffset.X, r.Height() + 2 * FCellTextOffset.Y);
        return;
    }
    default: break;
    }
    if (FP.URLShow && !FP.URLFull && IsURL(shown)) {
        change(AnsiString(shown));
        StripURLPrefix(own);
        shown = own;
    }
    const std::string_view text = shown;
    if (!WrapToWidth) {
        TTextMetrics& tm = m.Metrics(*font);
        int lines = 0;
        const int widest = WidestTextLine(tm, text, lines);
        Size = TPoint(widest + 2 * FCellTextOffset.X, lines * tm.TextHeight() + 2 * FCellTextOffset.Y);
        return;
    }
    if (col == Col() && ARow == Row() && !text.empty() && text.back() == '\n') {
        change(AnsiString(text));
        own.pop_back();
        shown = own;
    }
    TRect r(0, 0, width - 2 * (2 + FCellTextOffset.X), 0);
    DrawText(m.Canvas(*font), AnsiString(shown), -1, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    Size = TPoint(r.Width() + 2 * FCellTextOffset.X, r.Height() + 2 * FCellTextOffset.Y);
}

// ---------------------------------------------------------------- balloon text
AnsiString TProStringGrid::BalloonCellText(int ACol, int ARow)
{
    AnsiString text = Cells(ACol, ARow);
    switch (ClassifyCellText(text, FP.EnableHTML)) {
    case 1: text = HtmlStripTags(text); break;
    case 2:
        CellToRich(ACol, ARow, FRichEdit);
        text = FRichEdit->Text();
        break;
    case 5: text = WideToAnsi(DecodeUnicodeCell(text)); break;
    default: break;
    }
    std::replace(text.begin(), text.end(), '\t', ' ');
    std::size_t start = text.find_first_not_of("\r\n\t");
    text = start == AnsiString::npos ? AnsiString() : text.substr(start);
    if (text.size() > 1024)
        text = text.substr(0, 1021) + "...";
    return text;
}

bool TProStringGrid::GetBalloonText(int ACol, int ARow, AnsiString& ATitle, AnsiString& AText, int& AIcon)
{
    if (!FBalloon->Enable())
        return false;
    AText = BalloonCellText(ACol, ARow);
    if (ATitle.empty())
        ATitle.assign(1, ' ');
    AIcon = 1;
    if (OnCellBalloon)
        OnCellBalloon(this, ACol, ARow, ATitle, AText, AIcon);
    FBalloonCol = ACol;
    FBalloonRow = ARow;
    if (ATitle.size() > 100)
        ATitle = ATitle.substr(0, 97) + "...";
    return !AText.empty();
}

// ---------------------------------------------------------------- rows made and removed by editing
// Nodes keep their rows through the row services: a row inside a node is one
// more of its rows.
// A row is inside a node when a node's span covers it; a node row counts as
// inside its own node.
static bool RowInsideNode(TProStringGrid& G, int ARow)
{
    return G.GetParentNodeRow(ARow) >= 0;
}

void TProStringGrid::AutoInsertRow(int ARow)
{
    if (!HasNodes())
        InsertRows(ARow, 1);
    else if (RowInsideNode(*this, ARow))
        // Before a node row the new row stays outside that node, inside the nodes around it.
        InsertChildRow(RealRowIndex(ARow), false);
    else
        InsertRowKeepHidden(RealRowIndex(ARow));
    if (OnAutoInsertRow)
        OnAutoInsertRow(this, ARow);
}

void TProStringGrid::AutoRemoveRow(int ARow)
{
    if (!HasNodes()) {
        if (RowCount() - TBaseGrid::FixedRows() - FP.FixedFooters == 1 && !FP.FixedRowAlways)
            ClearRowRange(ARow, 1);
        else
            RemoveRows(ARow, 1);
    } else if (RowInsideNode(*this, ARow)) {
        int real = RealRowIndex(ARow);
        // A node row takes its node with it: its rows stay, one level up.
        if (IsNodeRow(ARow))
            RemoveNode(real);
        RemoveChildRow(real);
    } else {
        RemoveRowKeepMax(ARow);
    }
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, ARow);
}
