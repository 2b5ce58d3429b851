// The edit with a button and the unit edit: the embedded button and its
// painting, F4, the typing and paste gates, the edit rectangle beside the
// button and the unit, and the popup list of units.
#include "grid/editing/PsgEdit.h"

#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

namespace {
// The edit's change notification (EN_CHANGE) in a command's high word.
constexpr Word kEditChange = 0x0300;
}  // namespace

// ---------------------------------------------------------------- TProSpeedButton
void TProSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    TRect r = ClientRect();
    const bool down = State() == bsDown || State() == bsExclusive;
    if (FIsWinXP && ThemesActive() &&
        DrawThemedPart(c, "button", BP_PUSHBUTTON, down ? PBS_PRESSED : FHot ? PBS_HOT : PBS_NORMAL, r)) {
        // themed face drawn
    } else if (FFlatLook) {
        c->Brush()->SetColor(clBtnFace);
        DrawEdge(c, r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        InflateRect(r, -1, -1);
    } else {
        c->Brush()->SetColor(clBtnFace);
        DrawEdge(c, r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    }
    const int shift = down ? 1 : 0;
    if (Glyph() && !Glyph()->Empty()) {
        const TSize g(Glyph()->Width() / std::max(1, NumGlyphs()), Glyph()->Height());
        const int w = ClientWidth(), h = ClientHeight();
        const int x = g.cx < w ? (w - g.cx) / 2 : 0, y = g.cy < h ? (h - g.cy) / 2 : 0;
        TBitmap cell;
        cell.SetSize(g.cx, g.cy);
        cell.Canvas()->CopyRect(TRect(0, 0, g.cx, g.cy), Glyph()->Canvas(), TRect(0, 0, g.cx, g.cy));
        cell.SetTransparent(true);
        c->Draw(x + shift, y + shift, &cell);
    }
    if (!Caption().empty()) {
        TRect t = ClientRect();
        OffsetRect(t, shift, shift);
        SetBkMode(c, TRANSPARENT);
        // In the button's own font colour; a disabled button greys it.
        if (!Enabled())
            c->Font()->SetColor(clGrayText);
        DrawText(c, Caption(), -1, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void TProSpeedButton::CMMouseEnter(TMessage& Message)
{
    TSpeedButton::CMMouseEnter(Message);
    FHot = true;
    Invalidate();
}

void TProSpeedButton::CMMouseLeave(TMessage& Message)
{
    TSpeedButton::CMMouseLeave(Message);
    FHot = false;
    Invalidate();
}

// ---------------------------------------------------------------- TPsgEditButton
TPsgEditButton::TPsgEditButton(TComponent* AOwner) : TWinControl(AOwner)
{
    FButton = new TProSpeedButton(this);
    FButton->SetParent(this);
    // The speed button's own click does nothing: the action runs on the left button's release.
    FButton->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int, int) {
        if (Button == mbLeft)
            ButtonReleased();
    };
    TWinControl::SetBounds(0, 0, 20, 25);
    FButton->SetBounds(0, 0, 20, 25);
}

void TPsgEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FButton && !(ComponentState() & csLoading))
        FButton->SetBounds(0, 0, AWidth, AHeight);
}

void TPsgEditButton::ButtonReleased()
{
    if (OnClick)
        OnClick(this);
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TPsgEditButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

// ---------------------------------------------------------------- TPsgEditBtn
TPsgEditBtn::TPsgEditBtn(TComponent* AOwner) : TCustomEdit(AOwner)
{
    SetControlStyle(ControlStyle() & ~csSetCaption);
    FButton = new TPsgEditButton(this);
    FButton->SetParent(this);
    FButton->SetBounds(0, 0, 18, 18);
    FButton->SetFocusControl(this);
    FButton->OnClick = [this](TObject* Sender) { ClickButton(Sender); };
    SetText("0");
    TCustomEdit::SetBounds(Left(), Top(), 121, 21);
}

void TPsgEditBtn::ClickButton(TObject* Sender)
{
    if (OnClickBtn)
        OnClickBtn(Sender);
}

void TPsgEditBtn::SetButtonWidth(int v)
{
    FButton->SetWidth(v);
    SetBounds(Left(), Top(), Width(), Height());
}

void TPsgEditBtn::SetRightAlign(bool v)
{
    if (v == FRightAlign)
        return;
    FRightAlign = v;
    if (HandleAllocated())
        RecreateWnd();
}

void TPsgEditBtn::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FButton->SpeedButton()->SetIsWinXP(v);
}

void TPsgEditBtn::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    // Without the multi-line style: the layer's one-line edit takes a formatting rectangle itself.
    Params.Style |= WS_CLIPCHILDREN;
    if (FRightAlign)
        Params.Style |= ES_RIGHT;
}

void TPsgEditBtn::CreateWnd()
{
    TCustomEdit::CreateWnd();
    SetEditRectForButton();
}

void TPsgEditBtn::SetEditRectForButton()
{
    int right = ClientWidth() - FButton->Width() - 3 - FUnitWidth;
    if (FUnitWidth > 0)
        right -= 3;
    const int lt = BorderStyle() != bsNone ? 1 : 2;
    SetEditRect(TRect(lt, lt, right, ClientHeight() + 1));
}

int TPsgEditBtn::GetMinHeight() { return FontMinHeight(Font()); }

void TPsgEditBtn::CMFontChanged(TMessage& Message)
{
    TCustomEdit::CMFontChanged(Message);
    if (FAutoSize)
        AutoSizeEditHeight(this);
}

void TPsgEditBtn::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FButton)
        return;
    if (Height() < GetMinHeight()) {
        SetHeight(GetMinHeight());
        return;
    }
    PlaceEditButton(this, FButton, BorderStyle() != bsNone);
    SetEditRectForButton();
}

void TPsgEditBtn::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == VK_F4 && F4Clicks(Shift))
        ClickButton(this);
}

void TPsgEditBtn::WMChar(TWMKey& Message)
{
    if (FEditorEnabled)
        TCustomEdit::WMChar(Message);
}

void TPsgEditBtn::WndProc(TMessage& Message)
{
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly()))
        return;
    TCustomEdit::WndProc(Message);
}

void TPsgEditBtn::DoEnter()
{
    TCustomEdit::DoEnter();
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0)
        SelectAll();
}

// ---------------------------------------------------------------- TPsgUnitEditBtn
TPsgUnitEditBtn::TPsgUnitEditBtn(TComponent* AOwner) : TPsgEditBtn(AOwner), FUnits(std::make_unique<TStringList>())
{
    FUnitWidth = 20;
    SetRightAlign(true);
}

void TPsgUnitEditBtn::SetUnitID(const AnsiString& v)
{
    FUnitID = v;
    Invalidate();
}

void TPsgUnitEditBtn::SetUnits(TStrings* v)
{
    if (v)
        FUnits->Assign(v);
}

void TPsgUnitEditBtn::SetUnitSpace(int v)
{
    FUnitWidth = v;
    SetEditRectForButton();
    Invalidate();
}

void TPsgUnitEditBtn::PaintOver(TCanvas* Canvas)
{
    Canvas->Font()->Assign(Font());
    SetBkMode(Canvas, TRANSPARENT);
    const int left = ClientWidth() - Button()->Width() - 3 - FUnitWidth;
    TRect r(left, 2, left + FUnitWidth, ClientHeight());
    DrawText(Canvas, FUnitID, -1, r, DT_LEFT | DT_TOP | DT_EDITCONTROL | DT_WORDBREAK);
}

void TPsgUnitEditBtn::ClickButton(TObject*)
{
    // One item per unit, with the command identifiers 1, 2, 3 ... sent back to the edit.
    TPopupMenu menu(nullptr);
    for (int i = 0; i < FUnits->Count(); ++i) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(FUnits->Strings(i));
        const int id = i + 1;
        item->OnClick = [this, id](TObject*) { Perform(WM_COMMAND, WPARAM(id), 0); };
        menu.Items()->Add(item);
    }
    menu.SetPopupComponent(this);
    const TPoint p = ClientToScreen(TPoint(0, 0));
    menu.Popup(p.X + ClientWidth() - 15, p.Y + ClientHeight());
}

void TPsgUnitEditBtn::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_COMMAND && HIWORD(Message.WParam) != kEditChange) {
        const int id = LOWORD(Message.WParam);
        if (id >= 1 && id <= FUnits->Count()) {
            SetUnitID(FUnits->Strings(id - 1));
            return;
        }
    }
    TPsgEditBtn::WndProc(Message);
}
