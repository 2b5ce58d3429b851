// TProStringGrid: the displayed form of numbers, the measured size of a
// cell's text, the balloon text of a cell and the automatic insertion and
// removal of rows.
#include <algorithm>
#include <cmath>
#include <functional>
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
// Calls AMeasure(start, length) for every line of Text: lines end at CR (a
// LF right after it belongs to the break); true while AMeasure says so.
template <class F>
bool EachTextLine(std::string_view Text, int& Lines, F&& AMeasure)
{
    Lines = 0;
    std::size_t start = 0;
    bool more;
    do {
        std::size_t cr = Text.find('\r', start);
        std::size_t end = cr == std::string_view::npos ? Text.size() : cr;
        if (!AMeasure(start, end - start))
            return false;
        ++Lines;
        more = cr != std::string_view::npos;
        if (more) {
            start = cr + 1;
            if (start < Text.size() && Text[start] == '\n')
                ++start;
            more = start < Text.size();
        }
    } while (more);
    return true;
}

int WidestTextLine(TTextMetrics& AMetrics, std::string_view Text, int& Lines)
{
    int widest = 0;
    EachTextLine(Text, Lines, [&](std::size_t Start, std::size_t Length) {
        widest = std::max(widest, AMetrics.TextWidth(Text.data() + Start, Length));
        return true;
    });
    return widest;
}

// The same without learning anything: false when a line needs the metrics
// to learn (what it needs noted in Unmet when given).
bool TryWidestTextLine(const TTextMetrics& AMetrics, std::string_view Text, int& Widest,
                       TTextMetrics::TUnmet* Unmet)
{
    int lines = 0;
    Widest = 0;
    return EachTextLine(Text, lines, [&](std::size_t Start, std::size_t Length) {
        int w = 0;
        if (!AMetrics.TryTextWidth(Text.data() + Start, Length, w, Unmet))
            return false;
        Widest = std::max(Widest, w);
        return true;
    });
}

// Below this many texts one thread measures them all.
constexpr std::size_t TextsPerPart = 8192;

// What one thread gives: its widest text by column, the texts it left, and
// what they need the metrics to learn, by metrics.
struct TMeasurePart {
    std::vector<int> Widest;
    std::vector<std::size_t> Left;
    std::vector<std::size_t> Other;   // texts that are no plain text
    std::vector<std::pair<TTextMetrics*, std::unique_ptr<TTextMetrics::TUnmet>>> Unmet;

    TTextMetrics::TUnmet* UnmetOf(TTextMetrics* AMetrics)
    {
        for (auto& u : Unmet)
            if (u.first == AMetrics)
                return u.second.get();
        Unmet.emplace_back(AMetrics, std::make_unique<TTextMetrics::TUnmet>());
        return Unmet.back().second.get();
    }
};

// AMeasure(i, Part) for i in [0, Count), the range split over threads when it is long.
template <class F>
std::vector<TMeasurePart> MeasureInParts(std::size_t Count, std::size_t Columns, F&& AMeasure)
{
    std::vector<TMeasurePart> parts(std::size_t(PartsFor(Count, TextsPerPart)));
    for (TMeasurePart& part : parts)
        part.Widest.assign(Columns, 0);
    RunInParts(Count, int(parts.size()), [&](int Part, std::size_t From, std::size_t To) {
        for (std::size_t i = From; i < To; ++i)
            AMeasure(i, parts[std::size_t(Part)]);
    });
    return parts;
}
}  // namespace

// Three rounds: the plain texts whose characters and pairs the metrics know,
// on several threads; after the metrics have met what the others need,
// those again; the rest (texts laid out whole) here, as the texts that are
// no plain text. The first texts are measured here before all: the metrics
// meet most of what the others need.
void TCellTextMeasure::MeasureQueued(TProStringGrid* AGrid, int First, std::vector<int>& Widest, int AOffsetX,
                                     const std::function<bool(std::string_view)>& APlain,
                                     const std::function<int(int ACol, int ARow)>& AOther)
{
    std::vector<TQueuedText> queue = std::move(FQueue);
    FQueue.clear();
    auto textOf = [&](std::size_t i) { return AGrid->CellText(queue[i].Col, queue[i].Row); };
    auto raise = [&](std::vector<int>& W, std::size_t i, int AWidth) {
        int& w = W[std::size_t(queue[i].Col - First)];
        w = std::max(w, AWidth);
    };
    auto measureHere = [&](std::size_t i) {
        const std::string_view text = textOf(i);
        int lines = 0;
        if (APlain(text)) {
            raise(Widest, i, WidestTextLine(*queue[i].Keyed->Metrics, text, lines) + 2 * AOffsetX);
        } else {
            const auto& html = queue[i].Keyed->Html;
            const auto known = html.find(AnsiString(text));
            raise(Widest, i, known != html.end() ? known->second.X : AOther(queue[i].Col, queue[i].Row));
        }
    };
    const std::size_t warm = std::min<std::size_t>(queue.size(), 256);
    for (std::size_t i = 0; i < warm; ++i)
        measureHere(i);
    std::vector<TMeasurePart> first =
        MeasureInParts(queue.size() - warm, Widest.size(), [&](std::size_t k, TMeasurePart& Part) {
            const std::size_t i = warm + k;
            int w = 0;
            const std::string_view text = textOf(i);
            if (!APlain(text))
                Part.Other.push_back(i);
            else if (TryWidestTextLine(*queue[i].Keyed->Metrics, text, w, Part.UnmetOf(queue[i].Keyed->Metrics.get())))
                raise(Part.Widest, i, w + 2 * AOffsetX);
            else
                Part.Left.push_back(i);
        });
    std::vector<std::size_t> left;
    auto takeWidest = [&](const TMeasurePart& Part) {
        for (std::size_t c = 0; c < Widest.size(); ++c)
            Widest[c] = std::max(Widest[c], Part.Widest[c]);
    };
    for (TMeasurePart& part : first) {
        takeWidest(part);
        for (std::size_t i : part.Other)
            measureHere(i);
        left.insert(left.end(), part.Left.begin(), part.Left.end());
        for (auto& u : part.Unmet)
            if (u.second->Any())
                u.first->Learn(*u.second);
    }
    std::vector<TMeasurePart> second =
        MeasureInParts(left.size(), Widest.size(), [&](std::size_t k, TMeasurePart& Part) {
            int w = 0;
            if (TryWidestTextLine(*queue[left[k]].Keyed->Metrics, textOf(left[k]), w, nullptr))
                raise(Part.Widest, left[k], w + 2 * AOffsetX);
            else
                Part.Left.push_back(left[k]);
        });
    for (TMeasurePart& part : second) {
        takeWidest(part);
        for (std::size_t i : part.Left)
            measureHere(i);
    }
}

TCellTextMeasure::TCellTextMeasure(TProStringGrid* AGrid)
{
    FBitmap.SetSize(1, 1);
    // The style is resolved into fonts of the measuring canvas's resolution.
    int ppi = FBitmap.Canvas()->Font()->PixelsPerInch();
    for (TFont* f : {&FCellFont, &FFixedCellFont, &FFont})
        f->SetPixelsPerInch(ppi);
    FPlainStyle = typeid(*AGrid) == typeid(TProStringGrid) && !AGrid->OnGetCellColor && !AGrid->ActiveCellShow();
    FCellFont.Assign(AGrid->Font());
    FCellFont.SetSize(FCellFont.Size() + AGrid->ZoomDelta());
    FFixedCellFont.Assign(AGrid->FixedFont());
    FFixedCellFont.SetSize(FFixedCellFont.Size() + AGrid->ZoomDelta());
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

TTextMetrics& TCellTextMeasure::Metrics(const TFont& AFont)
{
    TKeyed& k = Keyed(AFont);
    if (!k.Metrics)
        k.Metrics = std::make_unique<TTextMetrics>(k.Font, FBitmap.Canvas());
    return *k.Metrics;
}

void TCellTextMeasure::QueueText(const TFont& AFont, int ACol, int ARow)
{
    Metrics(AFont);
    FQueue.push_back({FLast, ACol, ARow});
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
        GetCellTextStyle(ACol, ARow, &m.Brush(), &m.Font());
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
        m.QueueText(*font, ACol, ARow);
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
    case 5: change(WideToAnsi(DecodeUnicodeCell(AnsiString(shown)))); break;
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
