// TProStringGrid: its scroll bars (flat looks, proportional ranges, thumb
// hints, scrolling along with the thumb), scrolling while something is
// dragged over the grid, and the footer row calculation.
#include <cmath>

#include "grid/ProGrid.h"
#include "grid/ProHint.h"
#include "platform/core/SysUtils.h"

namespace {
bool HasHorz(TScrollStyle S)
{
    return S == ssHorizontal || S == ssBoth;
}

bool HasVert(TScrollStyle S)
{
    return S == ssVertical || S == ssBoth;
}
}  // namespace

// ---------------------------------------------------------------- flat scroll bars
// The flat bars are the grid's own toolkit bars in a flat style. While they
// are in use each bar carries a page of the part in view on the 0..128
// scale, so that its thumb runs 0..128 - page; scroll messages from it are
// brought back to the grid's 0..127 scale.
void TProStringGrid::InitFlatScroll()
{
    FFlatScrollActive = true;
}

void TProStringGrid::DoneFlatScroll()
{
    FFlatScrollActive = false;
    SetScrollBarStyle(gsbRegular, clNone, 0);
}

void TProStringGrid::ApplyFlatStyle()
{
    if (!FFlatScrollActive)
        return;
    TGridScrollBarStyle style = gsbRegular;
    if (FP.ScrollType == ssFlat)
        style = gsbFlat;
    else if (FP.ScrollType == ssEncarta)
        style = gsbHighlight;
    SetScrollBarStyle(style, FP.ScrollColor, FP.ScrollWidth);
}

void TProStringGrid::SyncFlatBar(int Bar)
{
    if (!FFlatScrollActive || FP.ScrollProportional)
        return;
    bool vertical = Bar == SB_VERT;
    if (vertical ? !HasVert(ScrollBars()) : !HasHorz(ScrollBars()))
        return;
    int count = vertical ? RowCount() : ColCount();
    int visible = vertical ? VisibleRowCount() : VisibleColCount();
    if (count <= 0)
        return;
    // The position on the grid's 0..127 scale comes from the view, never from the bar, which
    // holds the flat scale already after the first sync.
    int fixed = vertical ? FixedRows() : FixedCols();
    int first = vertical ? TopRow() : LeftCol();
    int span = (vertical ? MaxTopRow() : MaxLeftCol()) - fixed;
    int standard = span > 0 ? std::min(127, MulDiv(first - fixed, 127, span)) : 0;
    TGridScrollInfo info;
    int page = std::min(128, visible * 128 / count);
    info.Min = 0;
    info.Max = 127;
    info.Page = page;
    info.Pos = MulDiv(standard, 128 - page, 127);
    SetScrollInfo(Bar, info);
}

void TProStringGrid::UpdateFlatScrollBars()
{
    ApplyFlatStyle();
    if (!FFlatScrollActive)
        return;
    bool v = HasVert(ScrollBars()) && VisibleRowCount() + FixedRows() < RowCount();
    ShowScrollBar(SB_VERT, v);
    bool h = HasHorz(ScrollBars()) && VisibleColCount() + FixedCols() < ColCount();
    ShowScrollBar(SB_HORZ, h);
    SyncFlatBar(SB_VERT);
    SyncFlatBar(SB_HORZ);
}

void TProStringGrid::SetScrollType(TScrollType Value)
{
    if (Value == FP.ScrollType)
        return;
    FP.ScrollType = Value;
    if (Value == ssNormal) {
        DoneFlatScroll();
    } else {
        InitFlatScroll();
        UpdateFlatScrollBars();
    }
    ApplyFlatStyle();
}

void TProStringGrid::SetScrollColor(TColor Value)
{
    FP.ScrollColor = Value;
    ApplyFlatStyle();
}

void TProStringGrid::SetScrollWidth(int Value)
{
    FP.ScrollWidth = Value;
    ApplyFlatStyle();
}

void TProStringGrid::SetScrollProportional(bool Value)
{
    if (Value == FP.ScrollProportional)
        return;
    FP.ScrollProportional = Value;
    if (Value) {
        UpdateVertScrollRange();
        UpdateHorzScrollRange();
        return;
    }
    if (FFlatScrollActive && FP.ScrollType == ssNormal)
        DoneFlatScroll();
    if (FFlatScrollActive) {
        // Flat bars in use carry their page of the part in view again.
        SyncFlatBar(SB_HORZ);
        SyncFlatBar(SB_VERT);
    } else {
        for (int bar : {SB_HORZ, SB_VERT}) {
            TGridScrollInfo info = ScrollInfo(bar);
            info.Page = 0;
            SetScrollInfo(bar, info);
        }
    }
    Invalidate();
}

// ---------------------------------------------------------------- proportional ranges
// The thumb is sized and placed by pixels: the page is the share of the rows
// (columns) in view, the position the share of the pixels above the view.
void TProStringGrid::UpdateVertScrollRange()
{
    if (!FP.ScrollProportional || (ComponentState() & (csLoading | csDesigning)) || FUpdateCount > 0)
        return;
    int lw = TCustomGrid::GridLineWidth();
    int fixedRows = FixedRows();
    double fixed = lw, total = lw, above = lw;
    for (int r = 0; r < RowCount(); ++r) {
        int h = RowHeights(r);
        if (r < fixedRows) {
            fixed += h;
            continue;
        }
        total += h + lw;
        if (r < TopRow())
            above += h + lw;
    }
    fixed += lw;
    double height = Height();
    if (total <= 0)
        return;
    double ratio = (height - fixed) / total;
    if (ratio >= 0.9999)
        return;
    TGridScrollInfo info;
    info.Min = 0;
    info.Max = int(std::trunc((127 + ratio) / (1 - ratio)));
    info.Page = info.Max - 126;
    info.Pos = total > height ? int(std::trunc(above / (total - height) * 128)) : 127;
    SetScrollInfo(SB_VERT, info);
    SyncFlatBar(SB_VERT);
}

void TProStringGrid::UpdateHorzScrollRange()
{
    if (!FP.ScrollProportional || (ComponentState() & (csLoading | csDesigning)) || FUpdateCount > 0)
        return;
    int lw = TCustomGrid::GridLineWidth();
    int fixedCols = FixedCols();
    double fixed = lw, total = lw, above = lw;
    int plain = 0;
    for (int c = 0; c < ColCount(); ++c) {
        int w = ColWidths(c);
        plain += w;
        if (c < fixedCols) {
            fixed += w;
            continue;
        }
        total += w + lw;
        if (c < LeftCol())
            above += w + lw;
    }
    fixed += lw;
    double width = Width();
    if (total > 0) {
        double ratio = (width - fixed) / total;
        if (ratio < 0.9999) {
            TGridScrollInfo info;
            info.Min = 0;
            info.Max = int(std::trunc((127 + ratio) / (1 - ratio)));
            info.Page = info.Max - 126;
            info.Pos = total > width ? int(std::trunc(above / (total - width) * 128)) : 127;
            SetScrollInfo(SB_HORZ, info);
            SyncFlatBar(SB_HORZ);
        }
    }
    if ((FP.ScrollBarAlways == saNone || FP.ScrollBarAlways == saVert) && (plain < Width() || !HasHorz(ScrollBars())))
        ShowScrollBar(SB_HORZ, false);
}

void TProStringGrid::UpdateScrollRange()
{
    if (FInScrollRange)
        return;
    FInScrollRange = true;
    try {
        UpdateVertScrollRange();
        UpdateHorzScrollRange();
        SyncFlatBar(SB_VERT);
        SyncFlatBar(SB_HORZ);
    } catch (...) {
        FInScrollRange = false;
        throw;
    }
    FInScrollRange = false;
    // Laying the bars out again must not take an always-visible bar away.
    if (FP.ScrollBarAlways != saNone)
        UpdateScrollBarsAlways();
    // A bar that came or went sized the client anew: the stretched column fills it again.
    if (FColumnSize->Stretch() && !FStretching && Parent() && FStretchedWidth >= 0 &&
        ClientRect().Width() != FStretchedWidth)
        StretchColumn(FColumnSize->StretchColumn());
}

void TProStringGrid::SetScrollBarAlways(TScrollBarAlways Value)
{
    FP.ScrollBarAlways = Value;
    UpdateScrollBarsAlways();
}

void TProStringGrid::UpdateScrollBarsAlways()
{
    if (ComponentState() & csLoading)
        return;
    bool rowsFit = TopRow() <= FixedRows() && VisibleRowCount() >= RowCount() - FixedRows();
    bool colsFit = LeftCol() <= FixedCols() && VisibleColCount() >= ColCount() - FixedCols();
    TScrollBarAlways a = FP.ScrollBarAlways;
    // A bar not chosen goes when everything fits (also after the choice changed).
    auto apply = [this](int Bar, bool Always, bool Fits) {
        if (Always) {
            ShowScrollBar(Bar, true);
            EnableScrollBar(Bar, !Fits);
        } else if (Fits) {
            ShowScrollBar(Bar, false);
        }
    };
    apply(SB_VERT, a == saVert || a == saBoth, rowsFit);
    apply(SB_HORZ, a == saHorz || a == saBoth, colsFit);
}

TGridRect TProStringGrid::BackgroundPictureCells()
{
    TBitmap* b = FBackGround->Bitmap();
    if (FBackGround->Display() != bdFixed || b->Empty())
        return TGridRect(-1, -1, -1, -1);
    int x = FBackGround->Left(), y = FBackGround->Top();
    TGridCoord tl = MouseCoord(x, y);
    TGridCoord br = MouseCoord(x + b->Width() - 1, y + b->Height() - 1);
    return TGridRect(tl.X, tl.Y, br.X, br.Y);
}

// ---------------------------------------------------------------- scroll messages
void TProStringGrid::WMHScroll(TMessage& Message)
{
    ScrollMessage(false, Message);
}

void TProStringGrid::WMVScroll(TMessage& Message)
{
    ScrollMessage(true, Message);
}

void TProStringGrid::ScrollMessage(bool Vertical, TMessage& Message)
{
    Word code = Message.WParamLo();
    int pos = Message.WParamHi();
    int count = Vertical ? RowCount() : ColCount();
    int fixed = Vertical ? FixedRows() : FixedCols();
    int visible = Vertical ? VisibleRowCount() : VisibleColCount();
    bool thumb = code == SB_THUMBPOSITION || code == SB_THUMBTRACK;

    // A flat bar's thumb runs 0..128 - page; back to the grid's 0..127. With
    // everything in view there is no page left to scale by.
    if (thumb && FFlatScrollActive && !FP.ScrollProportional && count > 0) {
        int span = 128 - visible * 128 / count;
        if (span > 0) {
            pos = std::min(127, pos * 127 / span);
            Message.WParam = MAKEWPARAM(code, pos);
        }
    }

    TScrollHintType mine = Vertical ? shVertical : shHorizontal;
    if (FP.ScrollHints == mine || FP.ScrollHints == shBoth) {
        if (code == SB_ENDSCROLL) {
            HideScrollHint();
        } else if (code == SB_THUMBTRACK) {
            int n = MulDiv(pos, count - visible - fixed, 127) + fixed;
            AnsiString text = (Vertical ? "Row : " : "Col : ") + IntToStr(n);
            if (OnScrollHint)
                OnScrollHint(this, n, text);
            ShowScrollHint(text);
        }
    }

    if (code == SB_THUMBTRACK && FP.ScrollSynch) {
        int n = MulDiv(pos, count - visible - fixed, 127) + fixed;
        if (Vertical)
            SetTopRow(n);
        else
            SetLeftCol(n);
    }

    // With the search footer shown the last row must be able to come out
    // from under its panel: scrolling down ends with the last row above it.
    bool searchFooter = Vertical && FSearchFooter->Visible();
    if (searchFooter && (code == SB_ENDSCROLL || code == SB_LINEDOWN) && LastRowBottom() <= SearchPanelTop()) {
        Message.Result = 0;
        return;
    }

    // The cells over a fixed background picture change as the grid scrolls under it.
    TGridRect pictureBefore = BackgroundPictureCells();
    if (Vertical)
        TBaseGrid::WMVScroll(Message);
    else
        TBaseGrid::WMHScroll(Message);
    TGridRect pictureAfter = BackgroundPictureCells();
    if (code != SB_THUMBTRACK && !(pictureBefore == pictureAfter)) {
        RepaintRect(TRect(pictureBefore.Left, pictureBefore.Top, pictureBefore.Right, pictureBefore.Bottom));
        RepaintRect(TRect(pictureAfter.Left, pictureAfter.Top, pictureAfter.Right, pictureAfter.Bottom));
    }

    if (searchFooter) {
        if (code == SB_LINEUP && TopRow() == MaxTopRow() && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        else if ((code == SB_ENDSCROLL || code == SB_LINEDOWN) && TopRow() >= MaxTopRow())
            ScrollAboveSearchFooter();
    }

    SyncFlatBar(SB_HORZ);
    SyncFlatBar(SB_VERT);
    auto* g = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(RealColIndex(Col()), Row()));
    if (g && IsCheckBoxType(g->CellType))
        HideEditor();
    if (FFooterPanel)
        FFooterPanel->Invalidate();
}

// The bottom of the last row in client coordinates, as laid out from TopRow; once
// below the client area it is not followed further (any such bottom is below it).
int TProStringGrid::LastRowBottom() const
{
    int lw = TCustomGrid::GridLineWidth();
    int bottom = FixedHeight();
    const int below = ClientRect().Bottom;
    for (int r = TopRow(); r < RowCount() && bottom <= below; ++r)
        if (RowHeights(r) >= 0)
            bottom += RowHeights(r) + lw;
    return bottom;
}

int TProStringGrid::SearchPanelTop() const
{
    int h = FSearchPanel && FSearchPanel->Height() > 0 ? FSearchPanel->Height() : 32;
    return ClientRect().Bottom - h;
}

void TProStringGrid::ScrollAboveSearchFooter()
{
    if (!FSearchFooter->Visible())
        return;
    while (TopRow() < RowCount() - 1 && LastRowBottom() > SearchPanelTop())
        SetTopRow(TopRow() + 1);
}

void TProStringGrid::ShowScrollHint(const AnsiString& Text)
{
    FScrollHintText = Text;
    FScrollHintShow = true;
    if (!FHintWindow)
        return;
    TPoint p;
    GetCursorPos(p);
    TRect r = FHintWindow->CalcHintRect(100, Text);
    FHintWindow->SetColor(FP.HintColor);
    FHintWindow->ActivateHint(TRect(p.X + 10, p.Y, p.X + 10 + r.Width(), p.Y + r.Height()), Text, 100);
}

void TProStringGrid::HideScrollHint()
{
    FScrollHintShow = false;
    if (FHintWindow)
        FHintWindow->ReleaseHint();
}

void TProStringGrid::WMGetDlgCode(TMessage& Message)
{
    TBaseGrid::WMGetDlgCode(Message);
    if (FNavigation->AutoGotoWhenSorted() || !(Options() & goEditing))
        Message.Result |= DLGC_WANTCHARS;
}

// ---------------------------------------------------------------- drag scrolling
void TProStringGrid::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TBaseGrid::DragOver(Source, X, Y, State, Accept);
    TDragScrollOptions* o = FDragScrollOptions.get();
    if (State == dsDragLeave || !o->Active()) {
        StopDragScroll();
        return;
    }
    TDragScrollMargins* m = o->Margins();
    TDragScrollDirections dirs = 0;
    if (Y < m->TopMargin())
        dirs |= dsdUp;
    else if (Y > Height() - m->BottomMargin())
        dirs |= dsdDown;
    if (X < m->LeftMargin())
        dirs |= dsdLeft;
    else if (X > Width() - m->RightMargin())
        dirs |= dsdRight;

    if (dirs == 0) {
        FDragScrollTimer.reset();
    } else if (!FDragScrollTimer) {
        FDragScrollTimer = std::make_unique<TTimer>(nullptr);
        FDragScrollTimer->SetInterval(o->Delays()->InitialDelay());
        FDragScrollTimer->OnTimer = [this](TObject* Sender) { DragScrollTick(Sender); };
        FDragScrollTimer->SetEnabled(true);
    } else if (FDragScrollDirs != 0) {
        // A pointer that keeps moving in a margin waits the initial delay again.
        FDragScrollTimer->SetInterval(o->Delays()->InitialDelay());
    }
    FDragScrollDirs = dirs;
}

void TProStringGrid::DragDrop(TObject* Source, int X, int Y)
{
    StopDragScroll();
    TBaseGrid::DragDrop(Source, X, Y);
}

void TProStringGrid::StopDragScroll()
{
    FDragScrollTimer.reset();
    FDragScrollDirs = 0;
}

void TProStringGrid::DragScrollTick(TObject*)
{
    if (!FDragScrollTimer)
        return;
    FDragScrollTimer->SetInterval(FDragScrollOptions->Delays()->RepeatDelay());
    TDragScrollDirections dirs = FDragScrollDirs;
    bool canScroll = true;
    if (OnDragScroll)
        OnDragScroll(this, TopRow(), LeftCol(), dirs, canScroll);
    if (!canScroll)
        return;
    if ((dirs & dsdUp) && TopRow() > FixedRows())
        SetTopRow(TopRow() - 1);
    if ((dirs & dsdDown) && TopRow() + VisibleRowCount() < RowCount())
        SetTopRow(TopRow() + 1);
    if ((dirs & dsdLeft) && LeftCol() > FixedCols())
        SetLeftCol(LeftCol() - 1);
    if ((dirs & dsdRight) && LeftCol() + VisibleColCount() < ColCount())
        SetLeftCol(LeftCol() + 1);
}

// ---------------------------------------------------------------- footer row
void TProStringGrid::CalcFooter(int ACol)
{
    CalcFooterRow(ACol);
}

void TProStringGrid::CalcFooterRow(int ACol)
{
    TFloatingFooter* footer = FFloatingFooter.get();
    if (!footer->Visible() || footer->FooterStyle() != fsFixedLastRow)
        return;
    int footerRow = RowCount() - 1;
    if (footerRow < 0)
        return;
    int hidden = footer->CalculateHiddenRows() ? NumHiddenRows() : 0;
    int fromCol = ACol, toCol = ACol;
    if (ACol == -1) {
        fromCol = 0;
        toCol = ColCount() + NumHiddenColumns() - 1;
    }
    for (int c = fromCol; c <= toCol; ++c) {
        if (c < 0 || !HasCellProperties(c, footerRow))
            continue;
        int type = CellProperties(c, footerRow)->CalcType() & 0x7F;
        int from = FixedRows(), to = RowCount() - 2 + hidden;
        switch (type) {
        case 1: SetCellFloatValue(c, footerRow, ColumnSum(c, from, to)); break;
        case 2: SetCellFloatValue(c, footerRow, ColumnAverage(c, from, to)); break;
        case 3: SetCellIntegerValue(c, footerRow, RowCount() - 1 - FixedRows() + hidden); break;
        case 4: SetCellFloatValue(c, footerRow, ColumnMinimum(c, from, to)); break;
        case 5: SetCellFloatValue(c, footerRow, ColumnMaximum(c, from, to)); break;
        case 7: {
            AnsiString value;
            if (OnFooterCalc)
                OnFooterCalc(this, c, footerRow + hidden, value);
            else if (footer->OnCalcFooter)
                footer->OnCalcFooter(this, c, footerRow + hidden, value);
            SetCells(c, footerRow, value);
            break;
        }
        default: break;
        }
    }
}

void TProStringGrid::LastRowChanged()
{
    TBaseGrid::LastRowChanged();
    if (FFooterPanel)
        FFooterPanel->Invalidate();
}
