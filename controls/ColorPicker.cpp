#include "controls/ColorPicker.h"

#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"

const TColor PaletteColors[56] = {
    0x000000, 0x808080, 0x000040, 0x004040, 0x004000, 0x404000, 0x400000, 0x400040,
    0x202020, 0x909090, 0x000080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080,
    0x303030, 0xA0A0A0, 0x0000C0, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000, 0xC000C0,
    0x404040, 0xB0B0B0, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF,
    0x505050, 0xC0C0C0, 0x4040FF, 0x40FFFF, 0x40FF40, 0xFFFF40, 0xFF4040, 0xFF40FF,
    0x606060, 0xD0D0D0, 0x8080FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080, 0xFF80FF,
    0x707070, 0xFFFFFF, 0xC0C0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0, 0xFFC0FF,
};

namespace {

// The glyphs of the colour half (16 x 16 on an olive, transparent ground):
// a letter for the text colour, a bucket for the background, strokes for lines.
// The colour swatch is painted over the glyph's lower right (from column 4,
// row 6 on), so each mark keeps to the top rows.
std::unique_ptr<TBitmap> ColorGlyph(TGlyphType Type)
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(16, 16);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clOlive);
    c->FillRect(TRect(0, 0, 16, 16));
    c->Pen()->SetColor(clBlack);
    switch (Type) {
    case gtForeground:   // "A"
        c->MoveTo(1, 5); c->LineTo(4, 0); c->LineTo(7, 5);
        c->SetPixels(7, 5, clBlack);
        c->MoveTo(3, 3); c->LineTo(6, 3);
        break;
    case gtBackground: {   // bucket
        c->Brush()->SetColor(clWhite);
        TPoint bucket[] = {TPoint(1, 2), TPoint(4, 0), TPoint(7, 3), TPoint(4, 5)};
        c->Polygon(bucket, 4);
        c->MoveTo(8, 3); c->LineTo(8, 6);
        break;
    }
    case gtLines:
        for (int y = 1; y <= 5; y += 2) {
            c->MoveTo(1, y); c->LineTo(15, y);
        }
        break;
    case gtCustom:
        break;
    }
    bmp->SetTransparentColor(clOlive);
    bmp->SetTransparent(true);
    return bmp;
}

std::unique_ptr<TBitmap> DropDownGlyph()
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(5, 5);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clOlive);
    c->FillRect(TRect(0, 0, 5, 5));
    for (int row = 0; row < 3; ++row)
        for (int x = row; x < 5 - row; ++x)
            c->SetPixels(x, row + 1, clBlack);
    bmp->SetTransparentColor(clOlive);
    bmp->SetTransparent(true);
    return bmp;
}

}  // namespace

// ---------------------------------------------------------------- TColBtn
TColBtn::TColBtn(TComponent* AOwner) : TKxSpeedButton(AOwner) {}

void TColBtn::SetColor(TColor v)
{
    FSwatch = v;
    Invalidate();
}

void TColBtn::Paint()
{
    TKxSpeedButton::Paint();
    TCanvas* c = Canvas();
    int d = Height() / 5;
    TColor pen = Enabled() ? clBlack : 0x808080;
    TColor brush = Enabled() ? FSwatch : clBtnFace;
    c->Brush()->SetStyle(bsSolid);
    if (!Glyph()->Empty()) {
        // The swatch covers the lower right of the glyph, whose mark stays above and left of it.
        int x = Width() / 2 - 4 + (State() == bsDown || State() == bsExclusive ? 1 : 0);
        c->Pen()->SetColor(pen);
        c->Brush()->SetColor(brush);
        c->Rectangle(x, x + 2, x + 12, x + 12);
    } else if (Caption().empty()) {
        c->Pen()->SetColor(0x808080);
        c->Brush()->SetColor(brush);
        c->Rectangle(d, d, Width() - d, Height() - d);
    } else {
        c->Pen()->SetColor(0x808080);
        c->Brush()->SetStyle(bsClear);
        // Open on the left, where the swatch sits.
        TPoint frame[] = {TPoint(d - 1, d - 1), TPoint(Width() - d + 1, d - 1), TPoint(Width() - d + 1, Height() - d + 1),
                          TPoint(d - 1, Height() - d + 1)};
        c->Polyline(frame, 4);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(brush);
        c->Pen()->SetColor(pen);
        c->Rectangle(d + 1, d + 1, Height(), Height() - d);
    }
}

// ---------------------------------------------------------------- TColorPicker
TColorPicker::TColorPicker(TComponent* AOwner, TColorBtn* Button) : TCustomPanel(AOwner), FOwnerBtn(Button)
{
    SetBounds(0, 0, 170, 200);
    SetBevelOuter(bvNone);
    FDialog = new TColorDialog(this);
    FDialog->SetOptions(cdFullOpen);
    bool flat = Button ? Button->DropDownFlat() : true;
    auto make = [&](int l, int t, int w, int h, TColor color) {
        auto* b = new TColBtn(this);
        b->SetParent(this);
        b->SetBounds(l, t, w, h);
        b->SetFlat(flat);
        b->SetGroupIndex(1);
        b->SetAnchors(akBottom);
        b->SetColor(color);
        b->OnClick = [this](TObject* s) { CellClick(s); };
        return b;
    };
    FAutoBtn = make(5, 4, Width() - 10, 20, Button ? Button->AutomaticColor() : clBlack);
    FAutoBtn->SetTag(100);
    FAutoBtn->SetCaption(Button ? Button->AutoBtnCaption() : AnsiString("Automatic"));
    for (int i = 1; i <= 56; ++i)
        FCells[i - 1] = make(5 + 20 * ((i - 1) % 8), 30 + 20 * ((i - 1) / 8), 20, 20, PaletteColors[i - 1]);
    FCustomBtn = make(5, 175, 20, 20, FDialog->Color());
    FOtherBtn = new TKxSpeedButton(this);
    FOtherBtn->SetParent(this);
    FOtherBtn->SetBounds(25, 175, Width() - 10 - 20, 20);
    FOtherBtn->SetFlat(flat);
    FOtherBtn->SetAnchors(akBottom);
    FOtherBtn->SetCaption(Button ? Button->OtherBtnCaption() : AnsiString("&Other colors..."));
    FOtherBtn->OnClick = [this](TObject* s) { OtherClick(s); };
    if (Button && !Button->IsAutomatic())
        SetShowAutomatic(false);
}

TColorPicker::~TColorPicker() { Destroying(); }

void TColorPicker::SetShowAutomatic(bool Value)
{
    if (FShowAutomatic == Value)
        return;
    FShowAutomatic = Value;
    int dy = Value ? 0 : -22;
    FAutoBtn->SetVisible(Value);
    SetHeight(200 + dy);
    // Placed anew: the bottom anchors may already have moved them with the panel.
    for (int i = 1; i <= 56; ++i)
        FCells[i - 1]->SetTop(30 + 20 * ((i - 1) / 8) + dy);
    FCustomBtn->SetTop(175 + dy);
    FOtherBtn->SetTop(175 + dy);
}

void TColorPicker::MarkColor(TColor Color)
{
    // Return before any click keeps the current colour.
    FSelectedColor = Color;
    FAutoChosen = false;
    for (TColBtn* b : FCells)
        if (b->Color() == Color) {
            b->SetDown(true);
            return;
        }
    FCustomBtn->SetColor(Color);
    FCustomBtn->SetDown(true);
}

void TColorPicker::CellClick(TObject* Sender)
{
    auto* b = dynamic_cast<TColBtn*>(static_cast<TComponent*>(Sender));
    if (!b)
        return;
    FAutoChosen = b->Tag() == 100;
    FSelectedColor = b->Color();
    if (OnChosen)
        OnChosen();
}

namespace {
const char* const BrenvikPath[] = {"SoftWare", "Brenvik"};
}

void TColorPicker::LoadCustomColors()
{
    AnsiString key = FOwnerBtn ? FOwnerBtn->RegKey() : AnsiString("Palette0");
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(BrenvikPath[0], false) || !reg.OpenKey(BrenvikPath[1], false) || !reg.OpenKey(key, false))
        return;
    for (int i = 0; i < 16; ++i) {
        AnsiString name = AnsiString("Color") + char('A' + i);
        AnsiString value;
        try {
            value = reg.ReadString(name);
        } catch (const ERegistryException&) {
            // a value of another kind reads as empty
        }
        FDialog->CustomColors()->Add(name + "=" + value);
    }
}

void TColorPicker::SaveCustomColors()
{
    AnsiString key = FOwnerBtn ? FOwnerBtn->RegKey() : AnsiString("Palette0");
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(BrenvikPath[0], true) || !reg.OpenKey(BrenvikPath[1], true) || !reg.OpenKey(key, true))
        return;
    TStrings* list = FDialog->CustomColors();
    for (int i = 0; i < list->Count() && i < 16; ++i)
        reg.WriteString(list->Names(i), list->ValueFromIndex(i));
}

void TColorPicker::OtherClick(TObject*)
{
    FDialog->SetColor(FCustomBtn->Color());
    if (OnDialogOpen)
        OnDialogOpen(true);
    LoadCustomColors();
    bool ok = false;
    try {
        ok = FDialog->Execute();
    } catch (...) {
        if (OnDialogOpen)
            OnDialogOpen(false);
        throw;
    }
    if (ok) {
        FCustomBtn->SetColor(FDialog->Color());
        SaveCustomColors();
    }
    if (OnDialogOpen)
        OnDialogOpen(false);
}

// ---------------------------------------------------------------- TColPickDlg
TColPickDlg::TColPickDlg(TComponent* AOwner, TColorBtn* Button) : TForm(AOwner), FButton(Button)
{
    SetBorderStyle(bsNone);
    SetKeyPreview(true);
}

void TColPickDlg::PickKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key == VK_ESCAPE) {
        Close();
    } else if (Key == VK_RETURN) {
        FCurrentColor = ColPick->SelectedColor();
        FAccepted = true;
        Close();
    }
    Key = 0;
}

void TColPickDlg::WMKillFocus(TWMFocus& Message)
{
    TForm::WMKillFocus(Message);
    if (!FDialogOpen && Visible()) {
        // The focus went to a window outside the popup.
        TWinControl* to = FindControl(Message.FocusedWnd());
        if (!to || (to != this && GetParentForm(to) != this))
            Close();
    }
}

void TColPickDlg::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TColPickDlg::Deactivate()
{
    TForm::Deactivate();
    if (!FDialogOpen && Visible())
        Close();
}

// ---------------------------------------------------------------- TColorBtn
TColorBtn::TColorBtn(TComponent* AOwner) : TCustomPanel(AOwner)
{
    SetBevelOuter(bvNone);
    FControlStyle = (FControlStyle & ~(csAcceptsControls | csSetCaption)) | csOpaque;
    FColorHalf = new TColBtn(this);
    FColorHalf->SetParent(this);
    FColorHalf->SetColor(FActiveColor);
    FColorHalf->OnClick = [this](TObject*) {
        if (OnClick && !(ComponentState() & csDesigning))
            OnClick(this);
    };
    FDropHalf = new TKxSpeedButton(this);
    FDropHalf->SetParent(this);
    FDropHalf->SetGlyph(DropDownGlyph().get());
    FDropHalf->OnClick = [this](TObject*) { DropDown(); };
    SetGlyphType(gtForeground);
    SetBounds(Left(), Top(), 0, 22);
}

TColorBtn::~TColorBtn()
{
    Destroying();
    if (FPopup) {
        FPopup->OnClose = nullptr;
        delete FPopup;   // its notification forgets it
    }
}

void TColorBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopup)
        FPopup = nullptr;
}

void TColorBtn::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    int h = AHeight;
    TCustomPanel::SetBounds(ALeft, ATop, h + h / 2 + 4, h);
    if (FColorHalf && FDropHalf) {
        FColorHalf->SetBounds(0, 0, h, h);
        FDropHalf->SetBounds(h, 0, h / 2 + 4, h);
    }
}

void TColorBtn::WMSize(TWMSize& Message)
{
    TCustomPanel::WMSize(Message);
    int h = Height(), w = h + h / 2 + 4;
    if (Width() != w)
        SetBounds(Left(), Top(), w, h);
}

void TColorBtn::SetEnabled(bool Value)
{
    FColorHalf->SetEnabled(Value);
    FDropHalf->SetEnabled(Value);
    TCustomPanel::SetEnabled(Value);
}

void TColorBtn::SetActiveColor(TColor Value)
{
    if (FActiveColor == Value)
        return;
    FActiveColor = Value;
    FColorHalf->SetColor(Value);
}

void TColorBtn::SetFlat(bool Value)
{
    if (FFlat == Value)
        return;
    FFlat = Value;
    FColorHalf->SetFlat(Value);
    FDropHalf->SetFlat(Value);
}

void TColorBtn::SetGlyphType(TGlyphType Value)
{
    FGlyphType = Value;
    if (Value == gtCustom)
        FColorHalf->SetGlyph(nullptr);
    else
        FColorHalf->SetGlyph(ColorGlyph(Value).get());
    FColorHalf->Invalidate();
}

void TColorBtn::SetGlyph(TBitmap* Value)
{
    FColorHalf->SetGlyph(Value);
    FGlyphType = gtCustom;
    FColorHalf->Invalidate();
}

void TColorBtn::SetRegKey(const AnsiString& Value)
{
    if (Value == FRegKey)
        return;
    FRegKey = Value.empty() ? AnsiString("Palette0") : Value;
}

void TColorBtn::DropDown()
{
    if (FPopup)
        return;
    if (BeforeDropDown && !(ComponentState() & csDesigning))
        BeforeDropDown(this);
    TPoint p = ClientToScreen(TPoint(FDropHalf->Left() - FDropHalf->Height(), FDropHalf->Top() + FDropHalf->Height()));
    SetReference(FPopup, new TColPickDlg(Application, this));
    FPopup->SetBounds(p.X, p.Y, 170, 200);
    FPopup->ColPick = new TColorPicker(FPopup, this);
    FPopup->ColPick->SetParent(FPopup);
    FPopup->ColPick->SetBounds(0, 0, FPopup->ColPick->Width(), FPopup->ColPick->Height());
    FPopup->SetClientWidth(FPopup->ColPick->Width());
    FPopup->SetClientHeight(FPopup->ColPick->Height());
    TColPickDlg* popup = FPopup;
    popup->ColPick->OnChosen = [popup]() {
        Word key = VK_RETURN;
        popup->PickKeyDown(popup, key, 0);
    };
    popup->ColPick->OnDialogOpen = [popup](bool open) {
        popup->FDialogOpen = open;
        if (!open && popup->Showing())
            popup->SetFocus();
    };
    popup->OnKeyDown = [popup](TObject* s, Word& key, TShiftState shift) { popup->PickKeyDown(s, key, shift); };
    popup->OnShow = [popup](TObject*) {
        popup->FAccepted = false;
        popup->ColPick->MarkColor(popup->FCurrentColor);
    };
    popup->OnClose = [this](TObject* s, TCloseAction& a) { PopupClosed(s, a); };
    popup->FCurrentColor = FTargetColor;
    popup->Show();
}

void TColorBtn::PopupClosed(TObject*, TCloseAction& Action)
{
    TColPickDlg* popup = FPopup;
    SetReference(FPopup, static_cast<TColPickDlg*>(nullptr));
    Action = caFree;
    if (popup && popup->FAccepted) {
        FActiveColor = popup->FCurrentColor;
        FTargetColor = popup->FCurrentColor;
        FColorHalf->SetColor(popup->FCurrentColor);
        FLastAutomatic = popup->ColPick->AutoChosen();
        if (OnClick)
            OnClick(this);
    }
}
