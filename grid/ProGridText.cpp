// TProStringGrid: the displayed form of numbers, the measured size of a
// cell's text, the balloon text of a cell and the automatic insertion and
// removal of rows.
#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProGridText_p.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"

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
    // The shown text: the stored one itself when nothing forms it (no copy
    // of every cell while a column is sized), else a copy that may change.
    AnsiString own;
    const AnsiString* shown = nullptr;
    auto readText = [&]() {
        if (!OnGetFloatFormat)
            shown = CellsStored(ACol, ARow);
        if (!shown) {
            FormatNumericCell(ACol, ARow, own);
            shown = &own;
        }
    };
    auto change = [&](AnsiString AText) {
        own = std::move(AText);
        shown = &own;
    };
    // With SkipEmpty the text is read first, so that an empty cell asks
    // nothing more.
    if (m.SkipEmpty) {
        readText();
        if (shown->empty())
            return;
    }
    const TFont* font = nullptr;
    auto resolveStyle = [&]() {
        TGridDrawState state = 0;
        TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        bool wrap = false;
        TCellGradientDirection dir = GradientVertical;
        GetCellStyleEx(ACol, ARow, state, false, false, false, &m.Brush(), colorTo, mirror, mirrorTo, &m.Font(), ha,
                       va, wrap, dir);
        m.Font().SetSize(m.Font().Size() + ZoomDelta());
        font = &m.Font();
    };
    if (m.PlainStyle() && !HasCellProperties(ACol, ARow)) {
        bool fixed = IsFixedCell(ACol, ARow) || DisplayColumn(ACol) < TBaseGrid::FixedCols() ||
                     ARow < TBaseGrid::FixedRows();
        font = fixed ? &m.FixedCellFont() : &m.CellFont();
    } else {
        resolveStyle();
    }

    if (!m.SkipEmpty)
        readText();
    Byte kind = ClassifyCellText(*shown, FP.EnableHTML);
    if (kind == 3) {
        change(CalcFormula(ACol, ARow, *shown));
        kind = ClassifyCellText(*shown, FP.EnableHTML);
    }
    int col = DisplayColumn(ACol);
    int width = col >= 0 && col < ColCount() ? ColWidths(col) : DefaultColWidth();
    auto* g = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(ACol, ARow));
    if (g && g->CellType == ctRotated) {
        TSize e = m.Canvas(*font)->TextExtent(*shown);
        double a = g->CellAngle * 3.14159265358979 / 180.0;
        double ca = std::abs(std::cos(a)), sa = std::abs(std::sin(a));
        Size = TPoint(int(e.cx * ca + e.cy * sa) + 12, int(e.cx * sa + e.cy * ca) + 12);
        return;
    }
    switch (kind) {
    case 1: {
        // Unwrapped, the size depends on the font and the text only.
        if (!WrapToWidth && m.FindHtml(*font, *shown, Size))
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
        run.Run(c, *shown, TRect(0, 0, WrapToWidth ? width : 65535, 65535));
        Size = TPoint(run.XSize + 2 + 2 * FCellTextOffset.X, run.YSize + 2 + 2 * FCellTextOffset.Y);
        if (!WrapToWidth)
            m.AddHtml(*font, *shown, Size);
        return;
    }
    case 2: {
        CellToRich(ACol, ARow, FRichEdit);
        change(FRichEdit->Text());
        break;
    }
    case 5: change(WideToAnsi(DecodeUnicodeCell(*shown))); break;
    default: break;
    }
    if (FP.URLShow && !FP.URLFull && IsURL(*shown)) {
        change(*shown);
        StripURLPrefix(own);
    }
    const AnsiString& text = *shown;
    if (!WrapToWidth) {
        // Lines end at CR (a LF right after it belongs to the break).
        TTextMetrics& tm = m.Metrics(*font);
        int widest = 0, lines = 0;
        std::size_t start = 0;
        bool more;
        do {
            std::size_t cr = text.find('\r', start);
            std::size_t end = cr == AnsiString::npos ? text.size() : cr;
            widest = std::max(widest, tm.TextWidth(text.data() + start, end - start));
            ++lines;
            more = cr != AnsiString::npos;
            if (more) {
                start = cr + 1;
                if (start < text.size() && text[start] == '\n')
                    ++start;
                more = start < text.size();
            }
        } while (more);
        Size = TPoint(widest + 2 * FCellTextOffset.X, lines * tm.TextHeight() + 2 * FCellTextOffset.Y);
        return;
    }
    if (col == Col() && ARow == Row() && !text.empty() && text.back() == '\n') {
        change(text);
        own.pop_back();
    }
    TRect r(0, 0, width - 2 * (2 + FCellTextOffset.X), 0);
    DrawText(m.Canvas(*font), *shown, -1, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
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
