#include "platform/gui/Grids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "platform/gui/Clipbrd.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/StdCtrls_p.h"

namespace {
[[noreturn]] void GridIndexError()
{
    throw EInvalidGridOperation("Grid index out of range");
}

[[noreturn]] void ListIndexError(int Index)
{
    throw EListError(Format("List index out of bounds (%d)", {Index}));
}

constexpr int SizingMargin = 3;
}  // namespace

int MoveAdjust(int Pos, int From, int To)
{
    if (Pos == From)
        return To;
    if (From < To && Pos > From && Pos <= To)
        return Pos - 1;
    if (From > To && Pos >= To && Pos < From)
        return Pos + 1;
    return Pos;
}

// ---------------------------------------------------------------- scroll bars
// The grid's scroll bars are toolkit scroll bars laid over the right and
// bottom edge of its window; their positions are TopRow and LeftCol.
//
// Their scale is the framework's: 0..127 from the first scrolling row (column)
// to the greatest TopRow (LeftCol), whatever the count. A descendant may set
// its own range and page (TCustomGrid::SetScrollInfo) from UpdateScrollRange.
// The bars do not scroll by themselves: each user action becomes a
// WM_VSCROLL / WM_HSCROLL message to the grid.
struct TGridScrollBars {
    TCustomGrid* Grid = nullptr;
    QPointer<QScrollBar> Vert;
    QPointer<QScrollBar> Horz;
    bool VertShown = false;
    bool HorzShown = false;
    TGridScrollInfo Info[2];   // SB_HORZ, SB_VERT
    TGridScrollBarStyle Style = gsbRegular;
    TColor Color = clNone;
    int Width = 0;

    explicit TGridScrollBars(TCustomGrid* g) : Grid(g) {}
    ~TGridScrollBars()
    {
        delete Vert.data();
        delete Horz.data();
    }

    bool Created() const { return Vert && Horz; }

    int Extent() const { return Width > 0 ? Width : StyleExtent(); }

    // The style's bar width, asked once per style: every cell's rectangle needs it.
    static int StyleExtent()
    {
        static const QStyle* style = nullptr;
        static int extent = 0;
        const QStyle* s = QApplication::style();
        if (s != style) {
            extent = s->pixelMetric(QStyle::PM_ScrollBarExtent);
            style = s;
        }
        return extent;
    }

    QScrollBar* Bar(int Which) const { return Which == SB_VERT ? Vert.data() : Horz.data(); }

    // Puts Info[Which] on the toolkit bar (the thumb reaches Max - Page + 1).
    void Apply(int Which, int CosmeticPage)
    {
        QScrollBar* b = Bar(Which);
        if (!b)
            return;
        const TGridScrollInfo& i = Info[Which];
        int hi = i.Page > 0 ? i.Max - i.Page + 1 : i.Max;
        QSignalBlocker block(b);
        b->setRange(i.Min, std::max(i.Min, hi));
        b->setPageStep(std::max(1, i.Page > 0 ? i.Page : CosmeticPage));
        // A thumb the user drags stays under the pointer; the release places it.
        if (!b->isSliderDown())
            b->setValue(i.Pos);
    }

    void ApplyStyle()
    {
        QString sheet;
        if (Style != gsbRegular) {
            QString back = Color == clNone ? QStringLiteral("palette(button)") : ToQColor(Color).name();
            QString thumb = Style == gsbHighlight ? QStringLiteral("palette(highlight)") : QStringLiteral("palette(mid)");
            // No arrow buttons: the thumb and the trough take the whole bar, where they are drawn.
            sheet = QStringLiteral("QScrollBar { background: %1; border: none; }"
                                   "QScrollBar::handle { background: %2; border: none; min-width: 8px; min-height: 8px; }"
                                   "QScrollBar::add-line, QScrollBar::sub-line { border: none; width: 0px; height: 0px; }")
                        .arg(back, thumb);
        } else if (Color != clNone) {
            sheet = QStringLiteral("QScrollBar { background: %1; }").arg(ToQColor(Color).name());
        }
        for (QScrollBar* b : {Vert.data(), Horz.data()})
            if (b)
                b->setStyleSheet(sheet);
    }

    void Create(QWidget* parent)
    {
        if (Created() || !parent)
            return;
        Vert = new QScrollBar(Qt::Vertical, parent);
        Horz = new QScrollBar(Qt::Horizontal, parent);
        Vert->hide();
        Horz->hide();
        Vert->setFocusPolicy(Qt::NoFocus);
        Horz->setFocusPolicy(Qt::NoFocus);
        Vert->setTracking(false);
        Horz->setTracking(false);
        TCustomGrid* g = Grid;
        for (QScrollBar* b : {Vert.data(), Horz.data()}) {
            bool vertical = b == Vert.data();
            QObject::connect(b, &QAbstractSlider::actionTriggered, b, [g, b, vertical](int action) {
                switch (action) {
                case QAbstractSlider::SliderSingleStepAdd: g->Scrolled(vertical, SB_LINEDOWN, 0); break;
                case QAbstractSlider::SliderSingleStepSub: g->Scrolled(vertical, SB_LINEUP, 0); break;
                case QAbstractSlider::SliderPageStepAdd: g->Scrolled(vertical, SB_PAGEDOWN, 0); break;
                case QAbstractSlider::SliderPageStepSub: g->Scrolled(vertical, SB_PAGEUP, 0); break;
                case QAbstractSlider::SliderToMinimum: g->Scrolled(vertical, SB_TOP, 0); break;
                case QAbstractSlider::SliderToMaximum: g->Scrolled(vertical, SB_BOTTOM, 0); break;
                default: break;
                }
            });
            // Without tracking the bar reports the dragged thumb only by sliderMoved.
            QObject::connect(b, &QAbstractSlider::sliderMoved, b, [g, vertical](int position) {
                g->Scrolled(vertical, SB_THUMBTRACK, position);
            });
            QObject::connect(b, &QAbstractSlider::sliderReleased, b, [g, b, vertical]() {
                g->Scrolled(vertical, SB_THUMBPOSITION, b->sliderPosition());
            });
        }
        ApplyStyle();
    }
};

// ---------------------------------------------------------------- TInplaceEdit
TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    SetControlStyle(ControlStyle() & ~csFixedHeight);
    SetTabStop(false);
    SetVisible(false);
    SetBorderStyle(bsNone);
    SetAutoSelect(false);
    SetColor(clWindow);
}

TInplaceEdit::~TInplaceEdit() = default;

namespace {
// The edit takes every key it is given: a key the line edit has no use for
// must not travel on to the grid underneath (a window keeps its keys).
class TKeepKeysFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Obj, QEvent* Ev) override
    {
        if (Ev->type() != QEvent::KeyPress && Ev->type() != QEvent::KeyRelease)
            return false;
        // The widget's own handling, straight (the filters before this one have run).
        QPointer<QObject> alive(Obj);
        Obj->event(Ev);
        if (alive)
            Ev->accept();
        return true;
    }
};
}  // namespace

TNativeWidget* TInplaceEdit::CreateNativeWidget()
{
    TNativeWidget* n = TCustomMaskEdit::CreateNativeWidget();
    // Installed before the window's own message filter, so it sees what that one lets through.
    n->Widget->installEventFilter(new TKeepKeysFilter(n->Widget));
    return n;
}

void TInplaceEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    if (FAlignment == taRightJustify)
        Params.Style |= ES_RIGHT;
}

void TInplaceEdit::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    ApplyToWidget();
}

void TInplaceEdit::SetEditText(const AnsiString& Value)
{
    SetText(Value);
    SetSelStart(int(Text().size()));
}

void TInplaceEdit::Move(const TRect& Loc)
{
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    SetVisible(true);
    if (FGrid && FGrid->Focused() && CanFocus())
        SetFocus();
}

void TInplaceEdit::UpdateContents()
{
    if (!FGrid)
        return;
    SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
    if (!IsMasked())
        SetMaxLength(FGrid->GetEditLimit());
    SetFont(FGrid->Font());
    FOriginal = FGrid->GetEditText(FGrid->Col(), FGrid->Row());
    SetText(FOriginal);
    SelectAll();
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message)
{
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL;
}

void TInplaceEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE: DefaultClipboardMessage(Message); return;
    default: TCustomMaskEdit::WndProc(Message); return;
    }
}

void TInplaceEdit::DefaultClipboardMessage(TMessage& Message)
{
    if (Message.Msg != WM_PASTE) {
        if (SelLength() > 0)
            Clipboard()->SetAsText(SelText());
        if (Message.Msg == WM_CUT && !ReadOnly())
            ClearSelection();
    } else if (!ReadOnly() && Clipboard()->HasFormat(CF_TEXT)) {
        SetSelText(Clipboard()->AsText());
    }
}

void TInplaceEdit::Change()
{
    TCustomMaskEdit::Change();
    if (FGrid && FGrid->HandleAllocated() && HandleAllocated())
        SendMessage(FGrid->Handle(), WM_COMMAND, MAKEWPARAM(0, EditChangeCode), LPARAM(Handle()));
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift)
{
    // The grid's OnKeyDown hears the editor's keys first (the grid's shortcuts work while a cell
    // is edited), except the moving keys, which reach it through the grid's KeyDown below.
    const bool moving = Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_TAB;
    if (FGrid && FGrid->OnKeyDown && !moving) {
        FGrid->OnKeyDown(FGrid, Key, Shift);
        if (Key == 0)
            return;
    }
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (!FGrid || Key == 0)
        return;
    // The clipboard keys become the clipboard messages.
    Cardinal clip = 0;
    if ((Shift & ssCtrl) && !(Shift & (ssShift | ssAlt)))
        clip = Key == 'C' || Key == VK_INSERT ? WM_COPY : Key == 'X' ? WM_CUT : Key == 'V' ? WM_PASTE : 0;
    else if (Shift == ssShift)
        clip = Key == VK_INSERT ? WM_PASTE : Key == VK_DELETE ? WM_CUT : 0;
    if (clip) {
        Perform(clip, 0, 0);
        Key = 0;
        return;
    }
    TCustomGrid* g = FGrid;
    switch (Key) {
    case VK_ESCAPE:
        SetEditText(FOriginal);
        g->HideEditor();
        if (g->CanFocus())
            g->SetFocus();
        Key = 0;
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_TAB:
        g->HideEditor();
        if (g->CanFocus())
            g->SetFocus();
        g->KeyDown(Key, Shift);
        Key = 0;
        break;
    default:
        break;
    }
}

void TInplaceEdit::KeyPress(char& Key)
{
    TCustomMaskEdit::KeyPress(Key);
    if (!FGrid || Key == 0)
        return;
    // The grid sees the editor's characters first (Return ends editing there).
    FGrid->KeyPress(Key);
    if (Key == 0)
        return;
    // The clipboard keys were sent as their messages by KeyDown: their characters do nothing more.
    if (Key == '\r' || Key == 27 || Key == '\t' || Key == 0x03 || Key == 0x16 || Key == 0x18) {
        Key = 0;
    } else if (Byte(Key) >= 32 && !FGrid->CanEditModify()) {
        Key = 0;
    }
}

// ---------------------------------------------------------------- TCustomGrid
TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner), FScroll(std::make_unique<TGridScrollBars>(this))
{
    FColWidths.assign(FColCount, FDefaultColWidth);
    FRowHeights.assign(FRowCount, FDefaultRowHeight);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

// ---- geometry
int TCustomGrid::ColWidths(int Index) const
{
    if (Index < 0 || Index >= FColCount)
        GridIndexError();
    return FColWidths[Index];
}

int TCustomGrid::RowHeights(int Index) const
{
    if (Index < 0 || Index >= FRowCount)
        GridIndexError();
    return FRowHeights[Index];
}

namespace {
int GridExtent(int Value)
{
    return std::clamp(Value, -1, MaxGridExtent);
}
}  // namespace

void TCustomGrid::SetColWidths(int Index, int Value)
{
    if (Index < 0 || Index >= FColCount)
        GridIndexError();
    Value = GridExtent(Value);
    if (FColWidths[Index] == Value)
        return;
    FColWidths[Index] = Value;
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int Index, int Value)
{
    if (Index < 0 || Index >= FRowCount)
        GridIndexError();
    Value = GridExtent(Value);
    if (FRowHeights[Index] == Value)
        return;
    FRowHeights[Index] = Value;
    RowHeightsChanged();
}

void TCustomGrid::PermuteRows(int AFrom, const std::vector<int>& ASource)
{
    std::vector<int> heights;
    heights.reserve(ASource.size());
    for (int src : ASource)
        heights.push_back(src >= 0 && src < FRowCount ? FRowHeights[src] : FDefaultRowHeight);
    bool changed = false;
    for (std::size_t i = 0; i < heights.size() && AFrom + int(i) < FRowCount; ++i) {
        int& h = FRowHeights[AFrom + i];
        changed = changed || h != heights[i];
        h = heights[i];
    }
    if (changed)
        RowHeightsChanged();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value)
{
    Value = GridExtent(Value);
    FDefaultColWidth = Value;
    FColWidths.assign(FColCount, Value);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value)
{
    Value = GridExtent(Value);
    FDefaultRowHeight = Value;
    FRowHeights.assign(FRowCount, Value);
    RowHeightsChanged();
}

void TCustomGrid::ChangeScale(int M, int D)
{
    TCustomControl::ChangeScale(M, D);
    if (M == D || D == 0)
        return;
    FDefaultRowHeight = GridExtent(MulDiv(FDefaultRowHeight, M, D));
    FDefaultColWidth = GridExtent(MulDiv(FDefaultColWidth, M, D));
    for (int& h : FRowHeights)
        h = GridExtent(MulDiv(h, M, D));
    for (int& w : FColWidths)
        w = GridExtent(MulDiv(w, M, D));
    RowHeightsChanged();
    ColWidthsChanged();
}

void TCustomGrid::SetGridLineWidth(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value)
{
    if (Value == FFixedColor)
        return;
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetDefaultDrawing(bool Value)
{
    if (Value == FDefaultDrawing)
        return;
    FDefaultDrawing = Value;
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value)
{
    if (Value == FOptions)
        return;
    if (Value & goRowSelect)
        Value &= ~goAlwaysShowEditor;
    FOptions = Value;
    if (!(FOptions & goEditing))
        HideEditor();
    if (FOptions & goRowSelect) {
        FAnchor.X = FColCount - 1;
        FCurrent.X = std::max(FFixedCols, std::min(FCurrent.X, FColCount - 1));
    }
    if ((FOptions & (goEditing | goAlwaysShowEditor)) == (goEditing | goAlwaysShowEditor))
        ShowEditor();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    Invalidate();
}

void TCustomGrid::SetColCount(int Value)
{
    if (Value < 1)
        Value = 1;
    if (Value == FColCount)
        return;
    if (Value <= FFixedCols)
        FFixedCols = Value - 1;
    ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int Value)
{
    if (Value < 1)
        Value = 1;
    if (Value == FRowCount)
        return;
    if (Value <= FFixedRows)
        FFixedRows = Value - 1;
    ChangeSize(FColCount, Value);
}

void TCustomGrid::SetFixedCols(int Value)
{
    if (Value < 0)
        throw EInvalidGridOperation("Grid index out of range");
    if (Value >= FColCount)
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    // A view at the first scrolling column stays at the first one; any view is moved past the fixed ones.
    if (FTopLeft.X == FFixedCols)
        FTopLeft.X = Value;
    FFixedCols = Value;
    ClampCurrent();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value)
{
    if (Value < 0)
        throw EInvalidGridOperation("Grid index out of range");
    if (Value >= FRowCount)
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    // A view at the first scrolling row stays at the first one; any view is moved past the fixed ones.
    if (FTopLeft.Y == FFixedRows)
        FTopLeft.Y = Value;
    FFixedRows = Value;
    ClampCurrent();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount)
{
    int oldCols = FColCount, oldRows = FRowCount;
    HideEditor();
    FColWidths.resize(NewColCount, FDefaultColWidth);
    FRowHeights.resize(NewRowCount, FDefaultRowHeight);
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    ClampCurrent();
    SizeChanged(oldCols, oldRows);
    UpdateScrollBars();
    KeepViewFilled();
    Invalidate();
}

void TCustomGrid::ClampCurrent()
{
    auto clamp = [](int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); };
    int hiCol = FColCount - 1, hiRow = FRowCount - 1;
    FCurrent.X = clamp(FCurrent.X, FFixedCols, hiCol);
    FCurrent.Y = clamp(FCurrent.Y, FFixedRows, hiRow);
    FAnchor.X = clamp(FAnchor.X, FFixedCols, hiCol);
    FAnchor.Y = clamp(FAnchor.Y, FFixedRows, hiRow);
    if (FOptions & goRowSelect) {
        FCurrent.X = FFixedCols;
        FAnchor.X = hiCol;
    }
    FTopLeft.X = clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, hiCol));
    FTopLeft.Y = clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, hiRow));
}

TRect TCustomGrid::ClientRect() const
{
    TRect r = TCustomControl::ClientRect();
    if (FScroll) {
        int ext = FScroll->Extent();
        if (FScroll->VertShown)
            r.Right = std::max(r.Left, r.Right - ext);
        if (FScroll->HorzShown)
            r.Bottom = std::max(r.Top, r.Bottom - ext);
    }
    return r;
}

namespace {
// The extent of the first Count columns (rows) with their lines, held below any
// sum that would overflow: a client area ends long before.
int LeadingExtent(const std::vector<int>& Ext, int Count, int LineWidth)
{
    Int64 sum = 0;
    for (int i = 0; i < Count && sum < (Int64(1) << 30); ++i)
        if (Ext[i] >= 0)
            sum += Ext[i] + LineWidth;
    return int(std::min<Int64>(sum, Int64(1) << 30));
}
}  // namespace

int TCustomGrid::FixedWidth() const
{
    return LeadingExtent(FColWidths, FFixedCols, FGridLineWidth);
}

int TCustomGrid::FixedHeight() const
{
    return LeadingExtent(FRowHeights, FFixedRows, FGridLineWidth);
}

namespace {
// Scrolling cells from First on that lie wholly in view; the first one counts
// even when it is wider (higher) than the room left.
template <class Extent>
int CountFullyVisible(int First, int Count, int Start, int Limit, int LineWidth, Extent ext)
{
    int n = 0;
    int pos = Start;
    for (int i = First; i < Count; ++i) {
        int e = ext(i);
        if (e < 0)
            continue;
        if (pos + e > Limit) {
            if (n == 0)
                n = 1;
            break;
        }
        pos += e + LineWidth;
        ++n;
    }
    return n;
}
}  // namespace

int TCustomGrid::VisibleColCount() const
{
    return CountFullyVisible(FTopLeft.X, FColCount, FixedWidth(), ClientRect().Right, FGridLineWidth,
                             [&](int i) { return FColWidths[i]; });
}

int TCustomGrid::VisibleRowCount() const
{
    return CountFullyVisible(FTopLeft.Y, FRowCount, FixedHeight(), ClientRect().Bottom, FGridLineWidth,
                             [&](int i) { return FRowHeights[i]; });
}

int TCustomGrid::MaxTopRow() const
{
    int room = ClientRect().Bottom - FixedHeight();
    int used = 0;
    int top = FRowCount - 1;
    for (int i = FRowCount - 1; i >= FFixedRows; --i) {
        int h = FRowHeights[i];
        if (h < 0)
            continue;
        used += h + FGridLineWidth;
        if (used > room)
            break;
        top = i;
    }
    return std::max(FFixedRows, std::min(top, FRowCount - 1));
}

int TCustomGrid::MaxLeftCol() const
{
    int room = ClientRect().Right - FixedWidth();
    int used = 0;
    int left = FColCount - 1;
    for (int i = FColCount - 1; i >= FFixedCols; --i) {
        int w = FColWidths[i];
        if (w < 0)
            continue;
        used += w + FGridLineWidth;
        if (used > room)
            break;
        left = i;
    }
    return std::max(FFixedCols, std::min(left, FColCount - 1));
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return TRect();
    if (FColWidths[ACol] < 0 || FRowHeights[ARow] < 0)
        return TRect();
    TRect cr = ClientRect();
    int lw = FGridLineWidth;
    auto axis = [&](int Index, int Fixed, int First, const std::vector<int>& ext, int Limit, int& Start) -> bool {
        int pos = 0;
        if (Index < Fixed) {
            pos = LeadingExtent(ext, Index, lw);
        } else {
            if (Index < First)
                return false;
            pos = LeadingExtent(ext, Fixed, lw);
            for (int i = First; i < Index; ++i) {
                if (ext[i] >= 0)
                    pos += ext[i] + lw;
                if (pos >= Limit)
                    return false;
            }
        }
        if (pos >= Limit)
            return false;
        Start = pos;
        return true;
    };
    int x = 0, y = 0;
    if (!axis(ACol, FFixedCols, FTopLeft.X, FColWidths, cr.Right, x))
        return TRect();
    if (!axis(ARow, FFixedRows, FTopLeft.Y, FRowHeights, cr.Bottom, y))
        return TRect();
    return TRect(x, y, x + FColWidths[ACol], y + FRowHeights[ARow]);
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const
{
    TRect cr = ClientRect();
    int lw = FGridLineWidth;
    auto axis = [&](int P, int Fixed, int First, int Count, const std::vector<int>& ext, int Limit) -> int {
        if (P < 0 || P >= Limit)
            return -1;
        int pos = 0;
        for (int i = 0; i < Fixed; ++i) {
            if (ext[i] < 0)
                continue;
            pos += ext[i] + lw;
            if (P < pos)
                return i;
        }
        for (int i = First; i < Count && pos < Limit; ++i) {
            if (ext[i] < 0)
                continue;
            pos += ext[i] + lw;
            if (P < pos)
                return i;
        }
        return -1;
    };
    TGridCoord c;
    c.X = axis(X, FFixedCols, FTopLeft.X, FColCount, FColWidths, cr.Right);
    c.Y = axis(Y, FFixedRows, FTopLeft.Y, FRowCount, FRowHeights, cr.Bottom);
    if (c.X < 0 || c.Y < 0)
        return TGridCoord{-1, -1};
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

// ---- current cell, selection, scrolling
TGridRect TCustomGrid::Selection() const
{
    TGridRect r(std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y), std::max(FAnchor.X, FCurrent.X),
                std::max(FAnchor.Y, FCurrent.Y));
    if (FOptions & goRowSelect) {
        r.Left = FFixedCols;
        r.Right = FColCount - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& Value)
{
    HideEditor();
    FAnchor = Value.TopLeft();
    FCurrent = Value.BottomRight();
    // A rectangle reaching outside the cells is cut to them.
    ClampCurrent();
    Invalidate();
}

void TCustomGrid::PlaceSelection(const TGridRect& Value)
{
    HideEditor();
    FAnchor = Value.TopLeft();
    FCurrent = Value.BottomRight();
    Invalidate();
}

void TCustomGrid::SetCol(int Value)
{
    if (Value == FCurrent.X)
        return;
    MoveCurrent(Value, FCurrent.Y, true, true);
}

void TCustomGrid::SetRow(int Value)
{
    if (Value == FCurrent.Y)
        return;
    MoveCurrent(FCurrent.X, Value, true, true);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor)
{
    MoveCurrent(ACol, ARow, MoveAnchor, true);
}

void TCustomGrid::SetTopRow(int Value)
{
    Value = std::max(FFixedRows, std::min(Value, FRowCount - 1));
    MoveTopLeft(FTopLeft.X, Value);
}

void TCustomGrid::SetLeftCol(int Value)
{
    Value = std::max(FFixedCols, std::min(Value, FColCount - 1));
    MoveTopLeft(Value, FTopLeft.Y);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        GridIndexError();
    if (!SelectCell(ACol, ARow))
        return;
    HideEditor();
    FCurrent = TGridCoord{ACol, ARow};
    if (MoveAnchor || !(FOptions & goRangeSelect))
        FAnchor = FCurrent;
    if (FOptions & goRowSelect) {
        FCurrent.X = FFixedCols;
        FAnchor.X = FColCount - 1;
    }
    if (Show)
        ClampInView(FCurrent);
    Invalidate();
    if ((FOptions & (goEditing | goAlwaysShowEditor)) == (goEditing | goAlwaysShowEditor))
        ShowEditor();
}

void TCustomGrid::ClampInView(const TGridCoord& Coord)
{
    TGridCoord tl = FTopLeft;
    if (Coord.X >= FFixedCols && !(FOptions & goRowSelect)) {
        if (Coord.X < tl.X)
            tl.X = Coord.X;
        else {
            // Scroll right until the column is wholly in view (or is the first scrolling one).
            int room = ClientRect().Right - FixedWidth();
            int used = 0;
            int left = Coord.X;
            for (int i = Coord.X; i >= FFixedCols; --i) {
                if (FColWidths[i] < 0)
                    continue;
                used += FColWidths[i] + FGridLineWidth;
                if (used > room)
                    break;
                left = i;
            }
            if (tl.X < left)
                tl.X = left;
        }
    }
    if (Coord.Y >= FFixedRows) {
        if (Coord.Y < tl.Y)
            tl.Y = Coord.Y;
        else {
            int room = ClientRect().Bottom - FixedHeight();
            int used = 0;
            int top = Coord.Y;
            for (int i = Coord.Y; i >= FFixedRows; --i) {
                if (FRowHeights[i] < 0)
                    continue;
                used += FRowHeights[i] + FGridLineWidth;
                if (used > room)
                    break;
                top = i;
            }
            if (tl.Y < top)
                tl.Y = top;
        }
    }
    MoveTopLeft(tl.X, tl.Y);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop)
{
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y)
        return;
    FTopLeft = TGridCoord{ALeft, ATop};
    TopLeftChanged();
    UpdateScrollBars();
    Invalidate();
}

// A user's action on a bar: the message, and after a line, page or thumb
// release the end of the scroll, as the window system sends them.
void TCustomGrid::Scrolled(bool Vertical, Word Code, int Pos)
{
    Cardinal msg = Vertical ? WM_VSCROLL : WM_HSCROLL;
    Perform(msg, MAKEWPARAM(Code, std::max(0, Pos)), 0);
    if (Code != SB_THUMBTRACK)
        Perform(msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    if (!FScroll || !FScroll->Created())
        return;
    // The bar shows where the grid went, not where the toolkit moved it.
    if (QScrollBar* b = FScroll->Bar(Vertical ? SB_VERT : SB_HORZ); b && Code != SB_THUMBTRACK) {
        QSignalBlocker block(b);
        b->setSliderPosition(FScroll->Info[Vertical ? SB_VERT : SB_HORZ].Pos);
    }
}

void TCustomGrid::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_HSCROLL: WMHScroll(Message); return;
    case WM_VSCROLL: WMVScroll(Message); return;
    case WM_CANCELMODE:
        // The press's selecting, sizing or moving ends without its release (a modal window took it).
        FGridState = gsNormal;
        FSizingIndex = FMoveIndex = FMovePos = -1;
        RangeScrollCheck(0, 0);
        TCustomControl::Dispatch(Message);
        return;
    default: TCustomControl::Dispatch(Message); return;
    }
}

void TCustomGrid::WMHScroll(TMessage& Message)
{
    ModifyScrollBar(false, Message.WParamLo(), Message.WParamHi());
}

void TCustomGrid::WMVScroll(TMessage& Message)
{
    ModifyScrollBar(true, Message.WParamLo(), Message.WParamHi());
}

void TCustomGrid::ModifyScrollBar(bool Vertical, Word Code, int Pos)
{
    int fixed = Vertical ? FFixedRows : FFixedCols;
    int current = Vertical ? FTopLeft.Y : FTopLeft.X;
    int maxTL = Vertical ? MaxTopRow() : MaxLeftCol();
    int page = std::max(1, Vertical ? VisibleRowCount() : VisibleColCount());
    int target = current;
    switch (Code) {
    case SB_LINEUP: target = current - 1; break;
    case SB_LINEDOWN: target = current + 1; break;
    case SB_PAGEUP: target = current - page; break;
    case SB_PAGEDOWN: target = current + page; break;
    case SB_THUMBTRACK:
        if (!(FOptions & goThumbTracking))
            return;
        [[fallthrough]];
    case SB_THUMBPOSITION:
        target = fixed + (maxTL > fixed ? MulDiv(std::min(Pos, 127), maxTL - fixed, 127) : 0);
        break;
    case SB_TOP: target = fixed; break;
    case SB_BOTTOM: target = maxTL; break;
    default: return;
    }
    target = std::max(fixed, std::min(target, std::max(fixed, maxTL)));
    if (Vertical)
        MoveTopLeft(FTopLeft.X, target);
    else
        MoveTopLeft(target, FTopLeft.Y);
}

TGridScrollInfo TCustomGrid::ScrollInfo(int Bar) const
{
    return FScroll->Info[Bar == SB_VERT ? SB_VERT : SB_HORZ];
}

void TCustomGrid::SetScrollInfo(int Bar, const TGridScrollInfo& Info)
{
    int which = Bar == SB_VERT ? SB_VERT : SB_HORZ;
    FScroll->Info[which] = Info;
    FScroll->Apply(which, 1);
}

bool TCustomGrid::ScrollBarVisible(int Bar) const
{
    return Bar == SB_VERT ? FScroll->VertShown : FScroll->HorzShown;
}

void TCustomGrid::ShowScrollBar(int Bar, bool Show)
{
    bool& shown = Bar == SB_VERT ? FScroll->VertShown : FScroll->HorzShown;
    if (shown == Show)
        return;
    shown = Show;
    if (QScrollBar* b = FScroll->Bar(Bar == SB_VERT ? SB_VERT : SB_HORZ)) {
        TRect full = TCustomControl::ClientRect();
        int ext = FScroll->Extent();
        if (FScroll->Vert)
            FScroll->Vert->setGeometry(full.Right - ext, 0, ext, full.Height() - (FScroll->HorzShown ? ext : 0));
        if (FScroll->Horz)
            FScroll->Horz->setGeometry(0, full.Bottom - ext, full.Width() - (FScroll->VertShown ? ext : 0), ext);
        b->setVisible(Show);
    }
    UpdateEditor();
    Invalidate();
}

void TCustomGrid::EnableScrollBar(int Bar, bool Enable)
{
    if (QScrollBar* b = FScroll->Bar(Bar == SB_VERT ? SB_VERT : SB_HORZ))
        b->setEnabled(Enable);
}

bool TCustomGrid::ScrollBarEnabled(int Bar) const
{
    QScrollBar* b = FScroll->Bar(Bar == SB_VERT ? SB_VERT : SB_HORZ);
    return b && b->isEnabled();
}

void TCustomGrid::SetScrollBarStyle(TGridScrollBarStyle Style, TColor Color, int Width)
{
    if (FScroll->Style == Style && FScroll->Color == Color && FScroll->Width == Width)
        return;
    FScroll->Style = Style;
    FScroll->Color = Color;
    FScroll->Width = std::max(0, Width);
    FScroll->ApplyStyle();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::UpdateScrollBars()
{
    if (!FScroll || !FScroll->Created())
        return;
    bool wantV = FScrollBars == ssVertical || FScrollBars == ssBoth;
    bool wantH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    // Showing one bar narrows the room for the other: settle in two passes.
    FScroll->VertShown = FScroll->HorzShown = false;
    for (int pass = 0; pass < 2; ++pass) {
        bool v = wantV && MaxTopRow() > FFixedRows;
        bool h = wantH && MaxLeftCol() > FFixedCols;
        FScroll->VertShown = v;
        FScroll->HorzShown = h;
    }
    TRect full = TCustomControl::ClientRect();
    int ext = FScroll->Extent();
    QScrollBar* vb = FScroll->Vert;
    QScrollBar* hb = FScroll->Horz;
    {
        QSignalBlocker b1(vb), b2(hb);
        // The standard scale: 0..127 over the scrolling range, page 0.
        int maxTop = MaxTopRow(), maxLeft = MaxLeftCol();
        int vSpan = maxTop - FFixedRows, hSpan = maxLeft - FFixedCols;
        FScroll->Info[SB_VERT] = TGridScrollInfo{0, 127, 0, vSpan > 0 ? MulDiv(FTopLeft.Y - FFixedRows, 127, vSpan) : 0};
        FScroll->Info[SB_HORZ] = TGridScrollInfo{0, 127, 0, hSpan > 0 ? MulDiv(FTopLeft.X - FFixedCols, 127, hSpan) : 0};
        FScroll->Apply(SB_VERT, vSpan > 0 ? MulDiv(VisibleRowCount(), 127, vSpan) : 127);
        FScroll->Apply(SB_HORZ, hSpan > 0 ? MulDiv(VisibleColCount(), 127, hSpan) : 127);
        vb->setGeometry(full.Right - ext, 0, ext, full.Height() - (FScroll->HorzShown ? ext : 0));
        hb->setGeometry(0, full.Bottom - ext, full.Width() - (FScroll->VertShown ? ext : 0), ext);
        vb->setVisible(FScroll->VertShown);
        hb->setVisible(FScroll->HorzShown);
        vb->setEnabled(true);
        hb->setEnabled(true);
    }
    UpdateScrollRange();
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    FScroll->Create(ControlWidget(this));
    UpdateScrollBars();
}

void TCustomGrid::WMSize(TWMSize& Message)
{
    TCustomControl::WMSize(Message);
    UpdateScrollBars();
    KeepViewFilled();
    UpdateEditor();
}

// Fewer or smaller cells, or a larger window, can leave the view past the last position that fills it,
// hiding rows or columns that no bar brings back. Moving the view never calls this: a descendant may
// scroll the last row higher on purpose.
void TCustomGrid::KeepViewFilled()
{
    int left = std::min(FTopLeft.X, MaxLeftCol()), top = std::min(FTopLeft.Y, MaxTopRow());
    if (left != FTopLeft.X || top != FTopLeft.Y)
        MoveTopLeft(left, top);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message)
{
    Message.Result = DLGC_WANTARROWS;
    if (FOptions & goRowSelect)
        return;
    if (FOptions & goTabs)
        Message.Result |= DLGC_WANTTAB;
    if (FOptions & goEditing)
        Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMSetFocus(TWMFocus& Message)
{
    TCustomControl::WMSetFocus(Message);
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::WMKillFocus(TWMFocus& Message)
{
    TCustomControl::WMKillFocus(Message);
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

bool TCustomGrid::IsActiveControl() const
{
    return Focused() || (FInplaceEdit && FInplaceEdit->Focused());
}

// ---- invalidation
void TCustomGrid::InvalidateCell(int ACol, int ARow)
{
    InvalidateRectOfCells(TGridRect(ACol, ARow, ACol, ARow));
}

void TCustomGrid::InvalidateRow(int ARow)
{
    InvalidateRectOfCells(TGridRect(0, ARow, FColCount - 1, ARow));
}

void TCustomGrid::InvalidateCol(int ACol)
{
    InvalidateRectOfCells(TGridRect(ACol, 0, ACol, FRowCount - 1));
}

void TCustomGrid::InvalidateRectOfCells(const TGridRect& R)
{
    if (!HandleAllocated())
        return;
    TRect cr = ClientRect();
    if (R.Left == R.Right && R.Top == R.Bottom) {
        TRect c = CellRect(R.Left, R.Top);
        if (IsRectEmpty(c))
            return;
        c.Right += FGridLineWidth;
        c.Bottom += FGridLineWidth;
        InvalidateRect(c);
        return;
    }
    if (R.Top == R.Bottom) {
        // A row: its band across the client area.
        TRect c;
        for (int col : {0, FFixedCols, FTopLeft.X}) {
            c = CellRect(col, R.Top);
            if (!IsRectEmpty(c))
                break;
        }
        if (IsRectEmpty(c))
            return;
        InvalidateRect(TRect(cr.Left, c.Top, cr.Right, c.Bottom + FGridLineWidth));
        return;
    }
    Invalidate();
}

// ---- moving and deleting
void TCustomGrid::MoveColumn(int FromIndex, int ToIndex)
{
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount)
        GridIndexError();
    if (FromIndex == ToIndex)
        return;
    HideEditor();
    int w = FColWidths[FromIndex];
    FColWidths.erase(FColWidths.begin() + FromIndex);
    FColWidths.insert(FColWidths.begin() + ToIndex, w);
    if (!(FOptions & goRowSelect)) {
        FCurrent.X = MoveAdjust(FCurrent.X, FromIndex, ToIndex);
        FAnchor.X = MoveAdjust(FAnchor.X, FromIndex, ToIndex);
    }
    ColumnMoved(FromIndex, ToIndex);
    ColWidthsChanged();
    Invalidate();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex)
{
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount)
        GridIndexError();
    if (FromIndex == ToIndex)
        return;
    HideEditor();
    int h = FRowHeights[FromIndex];
    FRowHeights.erase(FRowHeights.begin() + FromIndex);
    FRowHeights.insert(FRowHeights.begin() + ToIndex, h);
    FCurrent.Y = MoveAdjust(FCurrent.Y, FromIndex, ToIndex);
    FAnchor.Y = MoveAdjust(FAnchor.Y, FromIndex, ToIndex);
    RowMoved(FromIndex, ToIndex);
    RowHeightsChanged();
    Invalidate();
}

void TCustomGrid::DeleteColumn(int ACol)
{
    MoveColumn(ACol, FColCount - 1);
    SetColCount(FColCount - 1);
}

void TCustomGrid::DeleteRow(int ARow)
{
    MoveRow(ARow, FRowCount - 1);
    SetRowCount(FRowCount - 1);
}

void TCustomGrid::ExtractRows(const std::vector<int>& ASteps)
{
    if (ASteps.empty())
        return;
    HideEditor();
    const int count = FRowCount;
    // Which row each step takes, the (s + 1)-th row left: a tree of counts of the rows left
    // over ranges of rows, searched from the widest range down.
    std::vector<int> left(std::size_t(count) + 1, 0);
    for (int i = 1; i <= count; ++i) {
        ++left[std::size_t(i)];
        if (const int up = i + (i & -i); up <= count)
            left[std::size_t(up)] += left[std::size_t(i)];
    }
    int widest = 1;
    while (widest * 2 <= count)
        widest *= 2;
    std::vector<char> taken(std::size_t(count), 0);
    int rows = count, fixed = FFixedRows;
    int current = FCurrent.Y, anchor = FAnchor.Y;
    for (int step : ASteps) {
        if (step < 0 || step >= rows)
            GridIndexError();
        // Each step as MoveRow to the last row and SetRowCount one less would leave it.
        if (step != rows - 1) {
            current = MoveAdjust(current, step, rows - 1);
            anchor = MoveAdjust(anchor, step, rows - 1);
        }
        if (rows == 1)
            continue;
        int at = 0;
        for (int span = widest, rest = step + 1; span > 0; span /= 2)
            if (at + span <= count && left[std::size_t(at + span)] < rest) {
                at += span;
                rest -= left[std::size_t(at)];
            }
        taken[std::size_t(at)] = 1;
        for (int i = at + 1; i <= count; i += i & -i)
            --left[std::size_t(i)];
        --rows;
        fixed = std::min(fixed, rows - 1);
        current = std::clamp(current, fixed, rows - 1);
        anchor = std::clamp(anchor, fixed, rows - 1);
    }
    if (rows == count)
        return;
    const int first = int(std::find(taken.begin(), taken.end(), 1) - taken.begin());
    std::vector<int> source;
    source.reserve(std::size_t(count - first));
    for (int pass = 0; pass < 2; ++pass)
        for (int r = first; r < count; ++r)
            if (taken[std::size_t(r)] == pass)
                source.push_back(r);
    FCurrent.Y = current;
    FAnchor.Y = anchor;
    PermuteRows(first, source);
    SetRowCount(rows);
}

// ---- hooks
void TCustomGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomGrid::SelectCell(int ACol, int ARow)
{
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TCustomGrid::TopLeftChanged()
{
    UpdateEditor();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

AnsiString TCustomGrid::GetEditMask(int ACol, int ARow)
{
    AnsiString s;
    if (OnGetEditMask)
        OnGetEditMask(this, ACol, ARow, s);
    return s;
}

AnsiString TCustomGrid::GetEditText(int ACol, int ARow)
{
    AnsiString s;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, s);
    return s;
}

void TCustomGrid::SetEditText(int ACol, int ARow, const AnsiString& Value)
{
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TCustomGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomGrid::RowMoved(int FromIndex, int ToIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);
}

void TCustomGrid::ColWidthsChanged()
{
    UpdateScrollBars();
    KeepViewFilled();
    UpdateEditor();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged()
{
    UpdateScrollBars();
    KeepViewFilled();
    UpdateEditor();
    Invalidate();
}

void TCustomGrid::SizeChanged(int OldColCount, int OldRowCount) {}

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs)
{
    State = gsNormal;
    Index = -1;
    int lw = FGridLineWidth;
    TRect cr = ClientRect();
    // Nearest border within the margin, walking the cells in view.
    auto near = [&](int P, int Fixed, int First, int Count, const std::vector<int>& ext, int Limit) {
        int pos = 0, best = -1, bestDist = SizingMargin + 1;
        auto visit = [&](int i) {
            if (ext[i] < 0)
                return;
            pos += ext[i] + lw;
            int line = pos - lw;
            int dist = std::abs(P - line - lw / 2);
            if (dist < bestDist) {
                bestDist = dist;
                best = i;
                SizingPos = line;
            }
        };
        for (int i = 0; i < Fixed; ++i)
            visit(i);
        for (int i = First; i < Count && pos < Limit; ++i)
            visit(i);
        return best;
    };
    if ((FOptions & goColSizing) && Y < FixedHeight() && X < cr.Right) {
        Index = near(X, FFixedCols, FTopLeft.X, FColCount, FColWidths, cr.Right);
        if (Index >= 0) {
            State = gsColSizing;
            SizingOfs = SizingPos - X;
            return;
        }
    }
    if ((FOptions & goRowSizing) && X < FixedWidth() && Y < cr.Bottom) {
        Index = near(Y, FFixedRows, FTopLeft.Y, FRowCount, FRowHeights, cr.Bottom);
        if (Index >= 0) {
            State = gsRowSizing;
            SizingOfs = SizingPos - Y;
            return;
        }
    }
    Index = -1;
}

// ---- editing
bool TCustomGrid::CanEditShow()
{
    return (FOptions & (goRowSelect | goEditing)) == goEditing && FEditorMode && HandleAllocated() &&
           ((FOptions & goAlwaysShowEditor) || IsActiveControl());
}

TInplaceEdit* TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(this);
}

void TCustomGrid::ShowEditor()
{
    FEditorMode = true;
    UpdateEditor();
}

void TCustomGrid::HideEditor()
{
    bool wasShown = FInplaceEdit && FInplaceEdit->Visible();
    FEditorMode = false;
    if (!wasShown)
        return;
    UpdateText();
    // The grid takes the focus before the editor goes, so it passes nowhere else.
    if (FInplaceEdit->Focused() && CanFocus())
        SetFocus();
    FInplaceEdit->SetVisible(false);
    FInplaceCol = FInplaceRow = -1;
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::SetEditorMode(bool Value)
{
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::UpdateText()
{
    if (!FInplaceEdit || FInplaceCol < 0 || FInplaceRow < 0)
        return;
    if (FInplaceEdit->EditModified()) {
        AnsiString text = FInplaceEdit->Text();
        FInplaceEdit->FOriginal = text;
        SetEditText(FInplaceCol, FInplaceRow, text);
    }
}

void TCustomGrid::UpdateEditor()
{
    if (!FEditorMode)
        return;
    if (!CanEditShow()) {
        if (FInplaceEdit && FInplaceEdit->Visible()) {
            UpdateText();
            if (FInplaceEdit->Focused() && CanFocus())
                SetFocus();
            FInplaceEdit->SetVisible(false);
            FInplaceCol = FInplaceRow = -1;
        }
        return;
    }
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->FGrid = this;
        FInplaceEdit->SetParent(this);
    }
    TRect r = CellRect(FCurrent.X, FCurrent.Y);
    if (FInplaceCol != FCurrent.X || FInplaceRow != FCurrent.Y) {
        UpdateText();
        FInplaceCol = FCurrent.X;
        FInplaceRow = FCurrent.Y;
        FInplaceEdit->UpdateContents();
    }
    if (IsRectEmpty(r)) {
        FInplaceEdit->SetVisible(false);
        return;
    }
    FInplaceEdit->Move(r);
}

// ---- keyboard
void TCustomGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    bool rowSelect = FOptions & goRowSelect;
    int pageWidth = std::max(1, VisibleColCount());
    int pageHeight = std::max(1, VisibleRowCount());
    TGridCoord cur = FCurrent, tl = FTopLeft;
    bool handled = true;
    if (Shift & ssCtrl) {
        switch (Key) {
        case VK_UP: --tl.Y; break;
        case VK_DOWN: ++tl.Y; break;
        // In a row selection Ctrl+Left and Ctrl+Right move nothing (the plain arrows scroll).
        case VK_LEFT:
            if (!rowSelect) {
                cur.X -= pageWidth;
                tl.X -= pageWidth;
            }
            break;
        case VK_RIGHT:
            if (!rowSelect) {
                cur.X += pageWidth;
                tl.X += pageWidth;
            }
            break;
        case VK_PRIOR: cur.Y = FTopLeft.Y; break;
        case VK_NEXT: cur.Y = FTopLeft.Y + pageHeight - 1; break;
        case VK_HOME: cur = TGridCoord{FFixedCols, FFixedRows}; break;
        case VK_END: cur = TGridCoord{FColCount - 1, FRowCount - 1}; break;
        default: handled = false; break;
        }
    } else {
        switch (Key) {
        case VK_UP: --cur.Y; break;
        case VK_DOWN: ++cur.Y; break;
        case VK_LEFT:
            if (rowSelect)
                --tl.X;
            else
                --cur.X;
            break;
        case VK_RIGHT:
            if (rowSelect)
                ++tl.X;
            else
                ++cur.X;
            break;
        case VK_NEXT:
            cur.Y += pageHeight;
            tl.Y += pageHeight;
            break;
        case VK_PRIOR:
            cur.Y -= pageHeight;
            tl.Y -= pageHeight;
            break;
        case VK_HOME:
            if (rowSelect)
                cur.Y = FFixedRows;
            else
                cur.X = FFixedCols;
            break;
        case VK_END:
            if (rowSelect)
                cur.Y = FRowCount - 1;
            else
                cur.X = FColCount - 1;
            break;
        case VK_TAB:
            if ((FOptions & goTabs) && !(Shift & ssAlt)) {
                if (Shift & ssShift) {
                    if (--cur.X < FFixedCols) {
                        cur.X = FColCount - 1;
                        if (--cur.Y < FFixedRows)
                            cur.Y = FRowCount - 1;
                    }
                } else if (++cur.X >= FColCount) {
                    cur.X = FFixedCols;
                    if (++cur.Y >= FRowCount)
                        cur.Y = FFixedRows;
                }
                Shift &= ~ssShift;
            } else {
                handled = false;
            }
            break;
        case VK_F2:
            if (FOptions & goEditing)
                ShowEditor();
            break;
        default: handled = false; break;
        }
    }
    if (!handled)
        return;
    tl.X = std::max(FFixedCols, std::min(tl.X, MaxLeftCol()));
    tl.Y = std::max(FFixedRows, std::min(tl.Y, MaxTopRow()));
    if (tl.X != FTopLeft.X || tl.Y != FTopLeft.Y)
        MoveTopLeft(tl.X, tl.Y);
    cur.X = std::max(FFixedCols, std::min(cur.X, FColCount - 1));
    cur.Y = std::max(FFixedRows, std::min(cur.Y, FRowCount - 1));
    if (cur.X != FCurrent.X || cur.Y != FCurrent.Y) {
        bool moveAnchor = !(Shift & ssShift) || !(FOptions & goRangeSelect);
        MoveCurrent(cur.X, cur.Y, moveAnchor, true);
    }
}

void TCustomGrid::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == 0)
        return;
    if (!(FOptions & goAlwaysShowEditor) && Key == '\r') {
        if (FEditorMode && FInplaceEdit && FInplaceEdit->Visible())
            HideEditor();
        else if (FOptions & goEditing)
            ShowEditor();
        Key = 0;
        return;
    }
}

void TCustomGrid::WMChar(TWMKey& Message)
{
    char key = char(Message.CharCode());
    if ((FOptions & (goEditing | goRowSelect)) == goEditing && (Byte(key) >= 32 || key == '\b') && key != 127)
        ShowEditorChar(key);
    else
        TCustomControl::WMChar(Message);
}

void TCustomGrid::ShowEditorChar(char Ch)
{
    ShowEditor();
    if (FInplaceEdit && FInplaceEdit->Visible() && CanEditModify()) {
        // The editor comes with the cell's text selected: the typed character replaces it.
        FInplaceEdit->Perform(WM_CHAR, WPARAM(Byte(Ch)), 0);
    }
}

// ---- mouse
void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!Focused() && CanFocus())
        SetFocus();
    if (Button == mbLeft) {
        if (Shift & ssDouble) {
            if ((FOptions & (goEditing | goRowSelect)) == goEditing) {
                TGridCoord c = MouseCoord(X, Y);
                if (c.X == FCurrent.X && c.Y == FCurrent.Y)
                    ShowEditor();
            }
        } else {
            TGridState state;
            int index = -1;
            CalcSizingState(X, Y, state, index, FSizingPos, FSizingOfs);
            if (state != gsNormal) {
                HideEditor();
                FGridState = state;
                FSizingIndex = index;
            } else {
                TGridCoord c = MouseCoord(X, Y);
                if (c.X >= 0) {
                    if ((FOptions & goColMoving) && c.Y < FFixedRows && c.X >= FFixedCols) {
                        HideEditor();
                        FGridState = gsColMoving;
                        FMoveIndex = FMovePos = c.X;
                    } else if ((FOptions & goRowMoving) && c.X < FFixedCols && c.Y >= FFixedRows) {
                        HideEditor();
                        FGridState = gsRowMoving;
                        FMoveIndex = FMovePos = c.Y;
                    } else if (c.X >= FFixedCols && c.Y >= FFixedRows) {
                        if ((FOptions & (goEditing | goRowSelect)) == goEditing && c == FCurrent &&
                            !(Shift & ssShift)) {
                            ShowEditor();
                        } else {
                            bool extend = (Shift & ssShift) && (FOptions & goRangeSelect);
                            MoveCurrent(c.X, c.Y, !extend, true);
                            FGridState = gsSelecting;
                        }
                    }
                }
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    switch (FGridState) {
    case gsSelecting: {
        TGridCoord c = MouseCoord(X, Y);
        if (c.X >= FFixedCols && c.Y >= FFixedRows && !(c == FCurrent))
            MoveCurrent(c.X, c.Y, !(FOptions & goRangeSelect), true);
        RangeScrollCheck(X, Y);
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        TGridCoord c = MouseCoord(X, Y);
        int p = FGridState == gsColMoving ? c.X : c.Y;
        int fixed = FGridState == gsColMoving ? FFixedCols : FFixedRows;
        if (p >= fixed)
            FMovePos = p;
        break;
    }
    default: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

// The timer runs while a selecting pointer lies left of or above the scrolling cells, or right of
// or below the client area; each tick takes the selection one column (row) on past the edge.
void TCustomGrid::RangeScrollCheck(int X, int Y)
{
    const TRect client = ClientRect();
    const bool outside = FGridState == gsSelecting && AutoRangeScroll() &&
                         (X < FixedWidth() || X >= client.Right || Y < FixedHeight() || Y >= client.Bottom);
    if (outside == FRangeScrolling)
        return;
    FRangeScrolling = outside;
    if (outside)
        SetTimer(this, RangeScrollTimer, 60);
    else
        KillTimer(this, RangeScrollTimer);
}

void TCustomGrid::RangeScrollTick()
{
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    RangeScrollCheck(p.X, p.Y);
    if (!FRangeScrolling)
        return;
    const TRect client = ClientRect();
    // Along each axis: one past the first (last) cell in view beyond the edge, else the cell under the pointer.
    auto target = [](int Pos, int Low, int High, int First, int Past, int Fixed, int Count, int Under, int Current) {
        if (Pos < Low)
            return std::max(Fixed, First - 1);
        if (Pos >= High)
            return std::min(Count - 1, Past);
        return Under >= Fixed ? Under : Current;
    };
    const int x = std::clamp(p.X, FixedWidth(), int(client.Right) - 1);
    const int y = std::clamp(p.Y, FixedHeight(), int(client.Bottom) - 1);
    const TGridCoord under = MouseCoord(x, y);
    const int col = target(p.X, FixedWidth(), client.Right, FTopLeft.X, FTopLeft.X + VisibleColCount(),
                           FFixedCols, FColCount, under.X, FCurrent.X);
    const int row = target(p.Y, FixedHeight(), client.Bottom, FTopLeft.Y, FTopLeft.Y + VisibleRowCount(),
                           FFixedRows, FRowCount, under.Y, FCurrent.Y);
    if (!(TGridCoord{col, row} == FCurrent))
        MoveCurrent(col, row, !(FOptions & goRangeSelect), true);
}

void TCustomGrid::WMTimer(TWMTimer& Message)
{
    if (Message.TimerID() == RangeScrollTimer)
        RangeScrollTick();
    else
        TCustomControl::WMTimer(Message);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGridState state = FGridState;
    FGridState = gsNormal;
    RangeScrollCheck(X, Y);
    switch (state) {
    case gsSelecting:
        if ((FOptions & (goEditing | goAlwaysShowEditor)) == (goEditing | goAlwaysShowEditor))
            ShowEditor();
        break;
    case gsColSizing: {
        TRect r = CellRect(FSizingIndex, 0);
        int left = r.Left;
        if (IsRectEmpty(r)) {
            // The column's left edge: its right border less its width.
            left = FSizingPos - FColWidths[FSizingIndex];
        }
        SetColWidths(FSizingIndex, std::max(0, X + FSizingOfs - left));
        break;
    }
    case gsRowSizing: {
        TRect r = CellRect(0, FSizingIndex);
        int top = IsRectEmpty(r) ? FSizingPos - FRowHeights[FSizingIndex] : r.Top;
        SetRowHeights(FSizingIndex, std::max(0, Y + FSizingOfs - top));
        break;
    }
    case gsColMoving: {
        TGridCoord c = MouseCoord(X, Y);
        int to = c.X >= FFixedCols ? c.X : FMovePos;
        if (to >= FFixedCols && to != FMoveIndex)
            MoveColumn(FMoveIndex, to);
        break;
    }
    case gsRowMoving: {
        TGridCoord c = MouseCoord(X, Y);
        int to = c.Y >= FFixedRows ? c.Y : FMovePos;
        if (to >= FFixedRows && to != FMoveIndex)
            MoveRow(FMoveIndex, to);
        break;
    }
    default: break;
    }
    FSizingIndex = FMoveIndex = FMovePos = -1;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos))
        return true;
    if (FCurrent.Y < FRowCount - 1)
        MoveCurrent(FCurrent.X, FCurrent.Y + 1, true, true);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos))
        return true;
    if (FCurrent.Y > FFixedRows)
        MoveCurrent(FCurrent.X, FCurrent.Y - 1, true, true);
    return true;
}

// ---- painting
void TCustomGrid::Paint()
{
    TCanvas* c = Canvas();
    TRect cr = ClientRect();
    int lw = FGridLineWidth;
    // The columns and rows in view, with their left (top) edges.
    struct Line {
        int Index;
        int Pos;
        int Ext;
    };
    auto collect = [&](int Fixed, int First, int Count, const std::vector<int>& ext, int Limit) {
        std::vector<Line> out;
        int pos = 0;
        for (int i = 0; i < Fixed && i < Count; ++i)
            if (ext[i] >= 0) {
                out.push_back({i, pos, ext[i]});
                pos += ext[i] + lw;
            }
        for (int i = First; i < Count && pos < Limit; ++i)
            if (ext[i] >= 0) {
                out.push_back({i, pos, ext[i]});
                pos += ext[i] + lw;
            }
        return out;
    };
    std::vector<Line> cols = collect(FFixedCols, FTopLeft.X, FColCount, FColWidths, cr.Right);
    std::vector<Line> rows = collect(FFixedRows, FTopLeft.Y, FRowCount, FRowHeights, cr.Bottom);
    int gridRight = cols.empty() ? 0 : cols.back().Pos + cols.back().Ext + lw;
    int gridBottom = rows.empty() ? 0 : rows.back().Pos + rows.back().Ext + lw;
    int fixedRight = FixedWidth();
    int fixedBottom = FixedHeight();

    // Lines first: the cells are painted between them.
    if (lw > 0) {
        auto lineColor = [&](bool fixed) { return fixed ? clBlack : clSilver; };
        for (const Line& col : cols) {
            bool fixedCol = col.Index < FFixedCols;
            int x = col.Pos + col.Ext;
            // Vertical line of this column: through the fixed rows and through the rest.
            if (FOptions & goFixedVertLine) {
                c->Brush()->SetColor(lineColor(true));
                c->FillRect(TRect(x, 0, x + lw, fixedCol ? gridBottom : fixedBottom));
            }
            if (!fixedCol && (FOptions & goVertLine)) {
                c->Brush()->SetColor(lineColor(false));
                c->FillRect(TRect(x, fixedBottom, x + lw, gridBottom));
            }
        }
        for (const Line& row : rows) {
            bool fixedRow = row.Index < FFixedRows;
            int y = row.Pos + row.Ext;
            if (FOptions & goFixedHorzLine) {
                c->Brush()->SetColor(lineColor(true));
                c->FillRect(TRect(0, y, fixedRow ? gridRight : fixedRight, y + lw));
            }
            if (!fixedRow && (FOptions & goHorzLine)) {
                c->Brush()->SetColor(lineColor(false));
                c->FillRect(TRect(fixedRight, y, gridRight, y + lw));
            }
        }
    }

    TGridRect sel = Selection();
    bool active = IsActiveControl();
    bool editing = FInplaceEdit && FInplaceEdit->Visible();
    for (const Line& row : rows) {
        for (const Line& col : cols) {
            TRect r(col.Pos, row.Pos, col.Pos + col.Ext, row.Pos + row.Ext);
            TGridDrawState state = 0;
            bool fixed = col.Index < FFixedCols || row.Index < FFixedRows;
            bool focused = col.Index == FCurrent.X && row.Index == FCurrent.Y;
            if (fixed)
                state |= gdFixed;
            else {
                if (focused && active)
                    state |= gdFocused;
                bool inSel = col.Index >= sel.Left && col.Index <= sel.Right && row.Index >= sel.Top &&
                             row.Index <= sel.Bottom;
                if (inSel && (!focused || (FOptions & (goDrawFocusSelected | goRowSelect)) || !active))
                    state |= gdSelected;
                if (inSel && focused && !(FOptions & (goDrawFocusSelected | goRowSelect)) && !active)
                    state &= ~gdSelected;
            }
            c->SetFont(Font());
            if (FDefaultDrawing) {
                if (fixed)
                    c->Brush()->SetColor(FFixedColor);
                else if (state & gdSelected) {
                    c->Brush()->SetColor(clHighlight);
                    c->Font()->SetColor(clHighlightText);
                } else
                    c->Brush()->SetColor(Color());
                c->FillRect(r);
            }
            c->Brush()->SetStyle(bsSolid);
            DrawCell(col.Index, row.Index, r, state);
            if (FDefaultDrawing && fixed) {
                TRect e = r;
                DrawEdge(c, e, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
                e = r;
                DrawEdge(c, e, BDR_RAISEDINNER, BF_TOPLEFT);
            }
            if (FDefaultDrawing && focused && active && !editing && !(FOptions & goRowSelect) && !fixed)
                c->DrawFocusRect(r);
        }
    }
    // What lies beyond the last column and row.
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    if (gridRight < cr.Right)
        c->FillRect(TRect(gridRight, 0, cr.Right, cr.Bottom));
    if (gridBottom < cr.Bottom)
        c->FillRect(TRect(0, gridBottom, std::min(gridRight, cr.Right), cr.Bottom));
}

// ---------------------------------------------------------------- TDrawGrid
TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

// ---------------------------------------------------------------- TStringGrid
TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

TStringGrid::~TStringGrid() = default;

void TStringGrid::IndexError(int ACol, int ARow)
{
    ListIndexError(ACol < 0 ? ACol : ARow);
}

void TStringGrid::AssignCellText(int ACol, int ARow, std::string_view Value)
{
    CheckIndex(ACol, ARow);
    FStore.SetText(ACol, ARow, Value, ColCount());
    InvalidateCell(ACol, ARow);
}

void TStringGrid::AssignRowTexts(int AFirstCol, int ARow, const std::string_view* Values, int ACount)
{
    if (ACount <= 0)
        return;
    CheckIndex(AFirstCol, ARow);
    FStore.SetTexts(AFirstCol, ARow, Values, ACount, ColCount());
    InvalidateRow(ARow);
}

void TStringGrid::AssignRowsTexts(int AFirstRow, int ACount, int ACols, const TCellStore::TRowTexts& ARow)
{
    if (ACount <= 0 || ACols <= 0)
        return;
    CheckIndex(ACols - 1, AFirstRow);
    FStore.SetRowsTexts(AFirstRow, ACount, ACols, ColCount(), ARow);
    InvalidateRectOfCells(TGridRect(0, AFirstRow, ColCount() - 1, AFirstRow + ACount - 1));
}

void TStringGrid::RemoveStoredColumns(int ACol, int ACount, int AEnd, int ARows)
{
    CheckIndex(ACol, 0);
    FStore.RemoveColumns(ACol, ACount, AEnd, ARows);
    if (ARows > 0 && ACol < AEnd)
        InvalidateRectOfCells(TGridRect(ACol, 0, AEnd - 1, ARows - 1));
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value)
{
    CheckIndex(ACol, ARow);
    FStore.SetObject(ACol, ARow, Value, ColCount());
}

void TStringGrid::PermuteRows(int AFrom, const std::vector<int>& ASource)
{
    FStore.PermuteRows(AFrom, ASource);
    TDrawGrid::PermuteRows(AFrom, ASource);
}

TStrings* TStringGrid::Cols(int Index)
{
    if (Index < 0)
        ListIndexError(Index);
    auto list = std::make_unique<TStringList>();
    for (int r = 0; r < RowCount(); ++r)
        list->AddObject(Cells(Index, r), Objects(Index, r));
    FLineView = std::move(list);
    return FLineView.get();
}

TStrings* TStringGrid::Rows(int Index)
{
    if (Index < 0)
        ListIndexError(Index);
    auto list = std::make_unique<TStringList>();
    for (int c = 0; c < ColCount(); ++c)
        list->AddObject(Cells(c, Index), Objects(c, Index));
    FLineView = std::move(list);
    return FLineView.get();
}

void TStringGrid::SetCols(int Index, TStrings* Value)
{
    int n = Value ? std::min(Value->Count(), RowCount()) : 0;
    if (n > 0)
        CheckIndex(Index, 0);
    for (int r = 0; r < n; ++r) {
        FStore.SetText(Index, r, Value->Strings(r), ColCount());
        FStore.SetObject(Index, r, Value->Objects(r), ColCount());
    }
    InvalidateCol(Index);
}

void TStringGrid::SetRows(int Index, TStrings* Value)
{
    int n = Value ? std::min(Value->Count(), ColCount()) : 0;
    if (n > 0)
        CheckIndex(0, Index);
    for (int c = 0; c < n; ++c) {
        FStore.SetText(c, Index, Value->Strings(c), ColCount());
        FStore.SetObject(c, Index, Value->Objects(c), ColCount());
    }
    InvalidateRow(Index);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (DefaultDrawing())
        Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

AnsiString TStringGrid::GetEditText(int ACol, int ARow)
{
    AnsiString s = Cells(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, s);
    return s;
}

void TStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value)
{
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    FStore.MoveColumn(FromIndex, ToIndex);
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    FStore.MoveRow(FromIndex, ToIndex);
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}
