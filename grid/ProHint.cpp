// The grid's hints: the text prepared for the cell under the mouse, the
// mini-HTML hint window and the balloon window.
#include "grid/ProHint.h"

#include <algorithm>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProObj.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"

namespace {
TRect g_monitor;

TRect MonitorRect()
{
    if (!IsRectEmpty(g_monitor))
        return g_monitor;
    return Screen ? Screen->WorkAreaRect() : TRect(0, 0, 1024, 768);
}

bool IsWideText(const AnsiString& S)
{
    return S.size() >= 2 && S[0] == '|' && S[1] == '\\';
}
}

// ---------------------------------------------------------------- THTMLHintWindow
THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : TCustomForm(AOwner)
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetColor(clInfoBk);
    SetVisible(false);
}

void THTMLHintWindow::CreateParams(TCreateParams& Params)
{
    TCustomForm::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    int major = 0, minor = 0;
    PlatformWindowsVersion(major, minor);
    if (major > 5 || (major == 5 && minor >= 1))
        Params.WindowClass.style |= CS_DROPSHADOW;
}

AnsiString& THTMLHintWindow::FontName()
{
    static AnsiString name = "Tahoma";
    return name;
}

void THTMLHintWindow::SetMonitorRect(const TRect& R)
{
    g_monitor = R;
}

bool THTMLHintWindow::IsWide(const AnsiString& Hint) const
{
    return IsWideText(Hint);
}

TSize THTMLHintWindow::Measure(const AnsiString& Hint, int MaxWidth)
{
    TBitmap bmp;
    bmp.SetSize(1, 1);
    TCanvas* c = bmp.Canvas();
    c->Font()->Assign(Font());
    if (IsWide(Hint)) {
        // Wide text is laid out in the grid's font face, on one line, from its own characters.
        c->Font()->SetName(FontName());
        TRect r(0, 0, MaxWidth, 0);
        DrawTextW(c, DecodeUnicodeCell(Hint), r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        return TSize{r.Width(), r.Height()};
    }
    THtmlRun run;
    run.CheckHeight = true;
    run.WordWrap = true;
    run.URLColor = 0xFF0000;
    run.ShadowColor = 0x808080;
    run.Run(c, Hint, TRect(0, 0, MaxWidth, 4096));
    return TSize{run.XSize, run.YSize};
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const AnsiString& Hint)
{
    TSize s = Measure(Hint, MaxWidth);
    return TRect(0, 0, s.cx, s.cy);
}

void THTMLHintWindow::ActivateHint(TRect Rect, const AnsiString& Hint, int MaxWidth)
{
    SetCaption(Hint);
    bool wide = IsWide(Hint);
    FWideText = wide ? DecodeUnicodeCell(Hint) : WideString();
    FMaxWidth = MaxWidth;
    TSize s = Measure(Hint, MaxWidth);
    FTextWidth = s.cx;
    FTextHeight = s.cy;
    Rect.Right = Rect.Left + FTextWidth + (wide ? 8 : 16);
    Rect.Bottom = Rect.Top + FTextHeight + 4;
    TRect mon = MonitorRect();
    if (Rect.Right > mon.Right) {
        int w = Rect.Width();
        Rect.Right = mon.Right - 2;
        Rect.Left = Rect.Right - w;
    }
    if (Rect.Bottom > mon.Bottom) {
        Rect.Bottom = mon.Bottom - 2;
        Rect.Top = Rect.Bottom - FTextHeight - 4;
    }
    SetBoundsRect(Rect);
    Show();
    Invalidate();
}

void THTMLHintWindow::Paint()
{
    TCanvas* c = Canvas();
    TRect cr = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(cr);
    c->Pen()->SetColor(cl3DLight);
    c->MoveTo(cr.Left, cr.Bottom - 1);
    c->LineTo(cr.Left, cr.Top);
    c->LineTo(cr.Right - 1, cr.Top);
    c->Pen()->SetColor(cl3DDkShadow);
    c->LineTo(cr.Right - 1, cr.Bottom - 1);
    c->LineTo(cr.Left, cr.Bottom - 1);
    TRect tr(cr.Left + 4, cr.Top + (cr.Height() - FTextHeight) / 2, cr.Right - 4, 0);
    tr.Bottom = tr.Top + FTextHeight + 8;
    c->Font()->Assign(Font());
    SetBkMode(c, TRANSPARENT);
    AnsiString text = Caption();
    if (IsWide(text)) {
        c->Font()->SetName(FontName());
        DrawTextW(c, FWideText, tr, DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    THtmlRun run;
    run.URLColor = 0xFF0000;
    run.ShadowColor = 0x808080;
    run.WordWrap = FMaxWidth < WidestHint;   // the lines as measured
    run.Run(c, text, tr);
}

// ---------------------------------------------------------------- TBalloonWindow
TBalloonWindow::TBalloonWindow(TComponent* AOwner)
    : TCustomForm(AOwner), FHideTimer(new TTimer(this)), FShowTimer(new TTimer(this))
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetColor(clInfoBk);
    SetVisible(false);
    FHideTimer->SetEnabled(false);
    FHideTimer->OnTimer = [this](TObject*) {
        FHideTimer->SetEnabled(false);
        Hide();
    };
    FShowTimer->SetEnabled(false);
    FShowTimer->OnTimer = [this](TObject*) {
        FShowTimer->SetEnabled(false);
        if (OnShowDue)
            OnShowDue(FShowAt);
    };
}

void TBalloonWindow::CreateParams(TCreateParams& Params)
{
    TCustomForm::CreateParams(Params);
    Params.WindowClass.style |= CS_DROPSHADOW;
}

void TBalloonWindow::WaitToShow(const TPoint& At, bool Reshow)
{
    FShowAt = At;
    FShowTimer->SetEnabled(false);
    FShowTimer->SetInterval(Cardinal(std::max(1, Reshow ? FReshow : FInitial)));
    FShowTimer->SetEnabled(true);
}

void TBalloonWindow::SetContent(const AnsiString& Title, int Icon, const AnsiString& Text)
{
    FTitle = Title;
    FIcon = Icon >= 0 && Icon <= 3 ? Icon : 0;
    FText = Text;
    Invalidate();
}

void TBalloonWindow::SetColors(TColor TextColor, TColor BackgroundColor)
{
    if (TextColor != clNone)
        FTextColor = TextColor;
    if (BackgroundColor != clNone)
        FBackColor = BackgroundColor;
    SetColor(FBackColor);
}

void TBalloonWindow::SetOpacity(Byte v)
{
    FOpacity = v;
    SetAlphaBlendValue(v);
    SetAlphaBlend(v != 255);
}

void TBalloonWindow::SetDelays(int Initial, int Reshow, int AutoHide)
{
    if (Initial != -1)
        FInitial = Initial;
    if (Reshow != -1)
        FReshow = Reshow;
    if (AutoHide != -1)
        FAutoHide = AutoHide;
}

TSize TBalloonWindow::ContentSize()
{
    TBitmap bmp;
    bmp.SetSize(1, 1);
    TCanvas* c = bmp.Canvas();
    c->Font()->Assign(Font());
    c->Font()->SetStyle(fsBold);
    TRect t(0, 0, 400, 0);
    DrawText(c, FTitle, -1, t, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    c->Font()->SetStyle(0);
    TRect b(0, 0, 400, 0);
    DrawText(c, FText, -1, b, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    int icon = FIcon ? 20 : 0;
    return TSize{std::max(t.Width() + icon, b.Width()) + 16, t.Height() + b.Height() + 14};
}

void TBalloonWindow::ShowAt(const TPoint& ScreenPos)
{
    TSize s = ContentSize();
    TRect r(ScreenPos.X, ScreenPos.Y + 16, ScreenPos.X + s.cx, ScreenPos.Y + 16 + s.cy);
    TRect mon = MonitorRect();
    if (r.Right > mon.Right)
        OffsetRect(r, mon.Right - 2 - r.Right, 0);
    if (r.Bottom > mon.Bottom)
        OffsetRect(r, 0, mon.Bottom - 2 - r.Bottom);
    SetBoundsRect(r);
    Show();
    Invalidate();
    FHideTimer->SetEnabled(false);
    FHideTimer->SetInterval(Cardinal(std::max(1, FAutoHide)));
    FHideTimer->SetEnabled(true);
}

void TBalloonWindow::Paint()
{
    TCanvas* c = Canvas();
    TRect cr = ClientRect();
    c->Brush()->SetColor(FBackColor);
    c->Pen()->SetColor(clGray);
    c->RoundRect(cr.Left, cr.Top, cr.Right, cr.Bottom, 8, 8);
    SetBkMode(c, TRANSPARENT);
    c->Font()->Assign(Font());
    c->Font()->SetColor(FTextColor);
    int x = cr.Left + 8;
    if (FIcon) {
        // Information blue, warning yellow, error red: a round mark before the title.
        TColor mark = FIcon == 1 ? TColor(0xC07000) : FIcon == 2 ? TColor(0x00C0FF) : TColor(0x0000D0);
        c->Brush()->SetColor(mark);
        c->Pen()->SetColor(mark);
        c->Ellipse(x, cr.Top + 6, x + 14, cr.Top + 20);
        c->Brush()->SetColor(FBackColor);
        x += 20;
    }
    c->Font()->SetStyle(fsBold);
    TRect t(x, cr.Top + 5, cr.Right - 8, cr.Top + 5);
    int h = DrawText(c, FTitle, -1, t, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    t.Right = cr.Right - 8;
    DrawText(c, FTitle, -1, t, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    c->Font()->SetStyle(0);
    TRect b(cr.Left + 8, cr.Top + 7 + h, cr.Right - 8, cr.Bottom - 4);
    DrawText(c, FText, -1, b, DT_WORDBREAK | DT_NOPREFIX);
}

// ---------------------------------------------------------------- the grid's hint
void TProStringGrid::PrepareCellHint(AnsiString& HintStr, THintInfo& HintInfo)
{
    HintInfo.HintData = nullptr;
    TGridCoord cell = MouseCoord(HintInfo.CursorPos.X, HintInfo.CursorPos.Y);
    THTMLHintWindow::FontName() = Font()->Name();
    if (cell.X >= 0 && cell.Y >= 0) {
        FHintCol = cell.X;
        FHintRow = cell.Y;
        TRect r = MergedCellRect(cell.X, cell.Y);
        int col = RealColIndex(cell.X);
        int row = cell.Y;
        // A merged region shows its base cell over all of its cells: its comment and its text.
        const TPoint base = GetBaseCell(col, row);
        TPoint pos;
        auto* g = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(base.X, base.Y));
        if (g && g->CellType == ctComment) {
            HintStr = g->CellText;
            pos = TPoint(r.Right, r.Top);
        } else {
            pos = TPoint(r.Left, r.Bottom + 6);
        }
        AnsiString text = Cells(col, row);
        if (FP.AnchorHint && ClassifyCellText(text, FP.EnableHTML) == 1) {
            THtmlRun run;
            HtmlHitAt(cell.X, row, HintInfo.CursorPos.X, HintInfo.CursorPos.Y, run);
            if (run.Hit && !run.Anchor.empty()) {
                AnsiString hint = run.AnchorHint.empty() ? run.Anchor : run.AnchorHint;
                // Asked of the cell that holds the link: the base cell of a merged region.
                if (OnAnchorHint)
                    OnAnchorHint(this, base.X, base.Y, hint);
                HintStr = hint;
                pos = TPoint(HintInfo.CursorPos.X + 8, HintInfo.CursorPos.Y - 16);
            }
        }
        auto cellHintText = [&](bool RawWide) {
            if (IsWideText(text))
                return RawWide ? text : WideToAnsi(DecodeUnicodeCell(text));
            return FP.HTMLHint ? text : HtmlStripTags(text);
        };
        bool normal = cell.X >= TBaseGrid::FixedCols() && cell.X < ColCount() - FP.FixedRightCols &&
                      row >= TBaseGrid::FixedRows() && row < RowCount() - FP.FixedFooters;
        if (FP.HintShowCells && normal) {
            pos.Y = r.Top;
            HintStr = cellHintText(false);
        }
        if (FP.HintShowLargeText) {
            TPoint size;
            GetCellTextSize(base.X, base.Y, false, size);
            if (r.Width() < size.X || r.Height() < size.Y) {
                pos.Y = r.Top;
                HintStr = cellHintText(true);
            }
        }
        if (!(FFloatingFooter->Visible() && row == RowCount() - 1))
            HintStr = GetCellHint(col, row, HintStr);
        if (ClassifyCellText(HintStr, true) == 1 || IsWideText(HintStr))
            HintInfo.HintData = FHintWindow;
        HintInfo.HintPos = ClientToScreen(pos);
    }
    HintInfo.HintStr = HintStr;
    HintInfo.HintColor = FP.HintColor;
}

void TProStringGrid::CMHintShow(TMessage& Message)
{
    TBaseGrid::CMHintShow(Message);
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (!info)
        return;
    AnsiString hint = info->HintStr;
    PrepareCellHint(hint, *info);
    if (info->HintData && FHintWindow && !info->HintStr.empty()) {
        FHintWindow->SetColor(info->HintColor);
        FHintWindow->ActivateHint(TRect(info->HintPos.X, info->HintPos.Y, info->HintPos.X, info->HintPos.Y),
                                  info->HintStr);
    } else if (FHintWindow && !FScrollHintShow) {
        FHintWindow->ReleaseHint();
    }
}

void TProStringGrid::CMMouseLeave(TMessage& Message)
{
    if (FHintWindow && !FScrollHintShow)
        FHintWindow->ReleaseHint();
    if (FBalloonWindow) {
        FBalloonWindow->CancelShow();
        FBalloonWindow->Hide();
    }
    TBaseGrid::CMMouseLeave(Message);
    MouseLeft();
}

void TProStringGrid::HintMessage(TMessage& Message)
{
    // The scroll hint of a dragged thumb shares the window and goes by its own rules.
    const bool cellHint = FHintWindow && FHintWindow->Visible() && !FScrollHintShow;
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        if (FBalloonWindow && FBalloon->Enable()) {
            // A shown balloon stays while the pointer is over its cell; elsewhere the pointer has to
            // rest for the initial delay, or the reshow delay right after a balloon.
            const TPoint at(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
            const TGridCoord cell = MouseCoord(at.X, at.Y);
            const bool shown = FBalloonWindow->Visible();
            if (!shown || cell.X < 0 || RealColIndex(cell.X) != FBalloonCol || cell.Y != FBalloonRow) {
                FBalloonWindow->Hide();
                FBalloonWindow->WaitToShow(at, shown);
            }
        }
        if (cellHint) {
            TGridCoord cell = MouseCoord(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
            if (cell.X != FHintCol || cell.Y != FHintRow)
                FHintWindow->ReleaseHint();
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
        if (cellHint)
            FHintWindow->ReleaseHint();
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- balloons
void TProStringGrid::CreateBalloonTooltip()
{
    if (FBalloonWindow)
        return;
    FBalloonWindow = new TBalloonWindow(this);
    FBalloonWindow->SetContent("ToolTipText", 3, AnsiString());
    FBalloonWindow->OnShowDue = [this](const TPoint& At) { ShowBalloonAt(At.X, At.Y); };
    FBalloonWindow->SetDelays(FBalloon->InitialDelay(), FBalloon->ReshowDelay(), FBalloon->AutoHideDelay());
    if (FBalloon->Transparency() != 0)
        FBalloonWindow->SetOpacity(Byte(255 - FBalloon->Transparency()));
}

// Whenever a balloon window exists it goes, also when the setting has just
// been switched off (the window of an enabled balloon must not outlive it).
void TProStringGrid::DestroyBalloonTooltip()
{
    delete FBalloonWindow;
    FBalloonWindow = nullptr;
    FBalloonCol = FBalloonRow = -1;
}

bool TProStringGrid::ShowBalloonAt(int X, int Y)
{
    if (!FBalloonWindow || !FBalloon->Enable())
        return false;
    TGridCoord cell = MouseCoord(X, Y);
    AnsiString title, text;
    int icon = 1;
    if (cell.X < 0 || cell.Y < 0 || !GetBalloonText(RealColIndex(cell.X), cell.Y, title, text, icon)) {
        FBalloonWindow->Hide();
        return false;
    }
    FBalloonWindow->SetColors(FBalloon->TextColor(), FBalloon->BackgroundColor());
    FBalloonWindow->SetContent(title, icon, text);
    FBalloonWindow->ShowAt(ClientToScreen(TPoint(X, Y)));
    return true;
}
