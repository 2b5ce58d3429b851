// The flat combo box: the frame and the drop-down button drawn over the
// combo, the three-dimensional frame while hovered or focused, the colour kept
// while disabled; and the cell checker's base.
#include "grid/editing/PsgCombo.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

TPSGCustomCombo::TPSGCustomCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FSavedColor(Color()), FSavedParentColor(ParentColor()),
      FButtonWidth(GetSystemMetrics(SM_CXVSCROLL) + 4)
{
}

void TPSGCustomCombo::SetFlat(bool v)
{
    if (v == FFlat)
        return;
    FFlat = v;
    SetCtl3D(!v);
    Invalidate();
}

void TPSGCustomCombo::SetEtched(bool v)
{
    if (v == FEtched)
        return;
    FEtched = v;
    Invalidate();
}

void TPSGCustomCombo::SetButtonWidth(int v)
{
    if (v < 14 || v > 32)
        return;
    FButtonWidth = v;
    Invalidate();
}

void TPSGCustomCombo::SetDropWidth(int v)
{
    FDropWidth = v;
    if (v > 0)
        SetDropDownWidth(v);
}

AnsiString TPSGCustomCombo::Version()
{
    const unsigned n = unsigned(GetVersionNr());
    return IntToStr(int(n >> 24)) + "." + IntToStr(int((n >> 16) & 0xFF)) + "." + IntToStr(int((n >> 8) & 0xFF)) +
           "." + IntToStr(int(n & 0xFF));
}

bool TPSGCustomCombo::BorderIs3D() const
{
    const bool active = Screen && Screen->ActiveControl() == this;
    return !(ComponentState() & csDesigning) && (FMouseIn || active || Focused()) && FFocusBorder;
}

void TPSGCustomCombo::PaintOver(TCanvas* Canvas)
{
    if (!FFlat)
        return;
    const int w = ClientWidth(), h = ClientHeight();
    const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
    const bool button = Style() != csSimple;
    if (button) {
        // The strip of the button is the combo's own: its colour where the button leaves it.
        Canvas->Brush()->SetColor(Color());
        Canvas->FillRect(TRect(w - FButtonWidth - 4, 0, w, h));
        TRect b(w - FButtonWidth, 0, w, h);
        if (FThemed) {
            InflateRect(b, -1, -1);
            const bool pressed = GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0;
            DrawThemedPart(Canvas, "combobox", CP_DROPDOWNBUTTON, pressed ? CBXS_PRESSED : CBXS_NORMAL, b);
        } else {
            b = TRect(b.Left - 2, b.Top + 2, b.Right - 2, b.Bottom);
            Canvas->Brush()->SetColor(clBtnFace);
            Canvas->FillRect(b);
            const int cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
            Canvas->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
            Canvas->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
            Canvas->Polygon(std::vector<TPoint>{TPoint(cx - 3, cy - 1), TPoint(cx + 3, cy - 1), TPoint(cx, cy + 2)});
        }
    }
    TRect r(0, 0, w, h);
    if (BorderIs3D()) {
        DrawEdge(Canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        FrameRect(Canvas, r, clBtnFace);
        InflateRect(r, -1, -1);
        FrameRect(Canvas, r, Color());
    } else {
        FrameRect(Canvas, r, parentColor);
        InflateRect(r, -1, -1);
        if (!FThemed)
            FrameRect(Canvas, r, parentColor);
    }
    // The edge around the button goes over the frame, down to the bottom and one pixel into the right.
    if (button && !FThemed) {
        TRect e(w - FButtonWidth - 4 + 2, 2, w - 2 + 1, h - 2 + 2);
        DrawEdge(Canvas, e, FEtched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT);
    }
}

void TPSGCustomCombo::CMMouseEnter(TMessage& Message)
{
    TCustomComboBox::CMMouseEnter(Message);
    if (!FMouseIn && Enabled()) {
        FMouseIn = true;
        Invalidate();
    }
    if (FAutoFocus && CanFocus())
        SetFocus();
}

void TPSGCustomCombo::CMMouseLeave(TMessage& Message)
{
    TCustomComboBox::CMMouseLeave(Message);
    if (FMouseIn && Enabled()) {
        FMouseIn = false;
        Invalidate();
    }
}

void TPSGCustomCombo::CMEnter(TMessage& Message)
{
    TCustomComboBox::CMEnter(Message);
    if (!(ComponentState() & csDesigning))
        Invalidate();
}

void TPSGCustomCombo::CMExit(TMessage& Message)
{
    TCustomComboBox::CMExit(Message);
    if (!(ComponentState() & csDesigning))
        Invalidate();
}

void TPSGCustomCombo::CMEnabledChanged(TMessage& Message)
{
    if (FFlat) {
        if (Enabled()) {
            SetParentColor(FSavedParentColor);
            SetColor(FSavedColor);
        } else {
            FSavedParentColor = ParentColor();
            FSavedColor = Color();
            SetParentColor(true);
        }
    }
    TCustomComboBox::CMEnabledChanged(Message);
}

void TPSGCustomCombo::InvalidateButton()
{
    Invalidate();
}

void TPSGCustomCombo::DropDown()
{
    TCustomComboBox::DropDown();
    InvalidateButton();
}

void TPSGCustomCombo::WndProc(TMessage& Message)
{
    TCustomComboBox::WndProc(Message);
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_CLOSEUP)
        InvalidateButton();
}
