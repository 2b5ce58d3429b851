// The grid's spin edit: value views of the text, clamping, stepping of
// numbers, date parts and time fields, the typing filter; and the timer
// button and spin control that the print dialogs' spin edit shares.
#include "grid/editing/PsgSpin.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Sound.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

namespace {
constexpr char kBackspace = 8, kReturn = 13, kEscape = 27;

// The arrow of a horizontal button, grey when disabled.
void DrawArrow(TCanvas* C, const TRect& R, int Kind, bool Enabled)
{
    const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
    C->Brush()->SetColor(Enabled ? clBlack : clGray);
    C->Pen()->SetColor(Enabled ? clBlack : clGray);
    // Kind 0 points left, kind 1 right.
    const int d = Kind == 0 ? 1 : -1;
    C->Polygon(std::vector<TPoint>{TPoint(cx + 2 * d, cy - 3), TPoint(cx + 2 * d, cy + 3), TPoint(cx - d, cy)});
}

// The default glyphs of the vertical spin buttons: a 9 by 6 arrow on a key colour.
constexpr TColor kGlyphKey = 0xFF00FF;

TBitmapBuilder SpinGlyph(bool Up)
{
    return [=](TBitmap* B) {
        B->SetSize(9, 6);
        TCanvas* c = B->Canvas();
        c->Brush()->SetColor(kGlyphKey);
        c->FillRect(TRect(0, 0, 9, 6));
        B->SetTransparent(true);
        B->SetTransparentColor(kGlyphKey);
        c->Brush()->SetColor(clBlack);
        c->Pen()->SetColor(clBlack);
        if (Up)
            c->Polygon(std::vector<TPoint>{TPoint(1, 4), TPoint(7, 4), TPoint(4, 1)});
        else
            c->Polygon(std::vector<TPoint>{TPoint(1, 1), TPoint(7, 1), TPoint(4, 4)});
    };
}

void RegisterSpinGlyphs()
{
    static const bool registered = [] {
        RegisterResourceBitmap("ProSpinUp", SpinGlyph(true));
        RegisterResourceBitmap("ProSpinDown", SpinGlyph(false));
        RegisterResourceBitmap("PsgSpinUp", SpinGlyph(true));
        RegisterResourceBitmap("PsgSpinDown", SpinGlyph(false));
        return true;
    }();
    (void)registered;
}

// The "spin" theme parts by arrow kind: left, right, up, down.
constexpr int kSpinPart[] = {SPNP_DOWNHORZ, SPNP_UPHORZ, SPNP_UP, SPNP_DOWN};

// Position (from 1) of the first Sep in Text and of the next one after it; 0 when missing.
void SeparatorPositions(const AnsiString& Text, char Sep, int& P1, int& P2)
{
    const std::size_t a = Text.find(Sep);
    P1 = a == AnsiString::npos ? 0 : int(a) + 1;
    const std::size_t b = a == AnsiString::npos ? AnsiString::npos : Text.find(Sep, a + 1);
    P2 = b == AnsiString::npos ? 0 : int(b) + 1;
}
}  // namespace

// ---------------------------------------------------------------- shared steps
TDateTime StepDateAtCaret(const AnsiString& Text, int Caret, TDateTime Value, int Sign, bool& MonthFirst)
{
    const AnsiString fmt = UpperCase(FormatSettings.ShortDateFormat);
    MonthFirst = fmt.find('M') < fmt.find('D');
    int p1 = 0, p2 = 0;
    SeparatorPositions(Text, FormatSettings.DateSeparator, p1, p2);
    // A missing separator counts as position 0: nothing lies before it, and a text with fewer than
    // two separators steps its year.
    enum { Day, Month, Year } part;
    if (MonthFirst)
        part = Caret < p1 ? Month : p2 <= Caret ? Year : Day;
    else
        part = Caret < p1 ? Day : p2 > Caret ? Month : Year;
    return part == Day ? Value + Sign : IncMonth(Value, Sign * (part == Month ? 1 : 12));
}

bool SpinSeparatorAllowed(char Key, TProSpinType Type)
{
    const TFormatSettings& fs = FormatSettings;
    auto sharesMeaning = [&](char c) {
        return c == fs.DecimalSeparator || c == fs.ThousandSeparator || c == '-' || c == '+';
    };
    if (Key == fs.TimeSeparator && Type != sptTime && !(sharesMeaning(Key) && Type != sptDate))
        return false;
    if (Key == fs.DateSeparator && Type != sptDate && !(sharesMeaning(Key) && Type != sptTime))
        return false;
    return true;
}

void PlaceEditButton(TWinControl* Edit, TControl* Button, bool HasBorder)
{
    const int bw = Button->Width(), w = Edit->Width(), h = Edit->Height();
    if (Edit->Ctl3D() && HasBorder) {
        // The sunken frame is drawn inside the window here: the button sits within it, as it
        // sits within the frame around the client area of a bordered edit.
        Button->SetBounds(w - bw - 1, 1, bw, h - 2);
    } else if (Edit->Ctl3D()) {
        Button->SetBounds(w - bw - 1, 0, bw, h - 1);
    } else {
        Button->SetBounds(w - bw, 1, bw, h - 3);
    }
}

// ---------------------------------------------------------------- TProTimerSpeedButton
TProTimerSpeedButton::TProTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner)
{
    // Themed from platform version 5.1 on (the grid's spin edit switches it off).
    int major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    FIsWinXP = major >= 6 || (major == 5 && minor > 0);
    FHot = false;
}

TProTimerSpeedButton::~TProTimerSpeedButton() = default;

void TProTimerSpeedButton::Paint()
{
    const TRect r = ClientRect();
    if (FIsWinXP && ThemesActive()) {
        const int state = !Enabled() ? UPS_DISABLED : State() == bsDown ? UPS_PRESSED : FHot ? UPS_HOT : UPS_NORMAL;
        if (DrawThemedPart(Canvas(), "spin", kSpinPart[FArrowKind & 3], state, r))
            return;
    }
    TSpeedButton::Paint();
    // The horizontal arrows have no glyph: drawn here (grey when disabled).
    if (FArrowKind < 2)
        DrawArrow(Canvas(), r, FArrowKind, Enabled());
    if (FFocusRect) {
        TRect f = r;
        InflateRect(f, -3, -3);
        Canvas()->DrawFocusRect(f);
    }
}

void TProTimerSpeedButton::CMMouseEnter(TMessage& Message)
{
    TSpeedButton::CMMouseEnter(Message);
    FHot = true;
    Invalidate();
}

void TProTimerSpeedButton::CMMouseLeave(TMessage& Message)
{
    TSpeedButton::CMMouseLeave(Message);
    FHot = false;
    Invalidate();
}

void TProTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (FAllowTimer) {
        if (!FRepeatTimer) {
            FRepeatTimer = new TTimer(this);
            FRepeatTimer->OnTimer = [this](TObject* Sender) { TimerExpired(Sender); };
        }
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    if (Parent())
        Parent()->Invalidate();
}

void TProTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
    if (Parent())
        Parent()->Invalidate();
}

void TProTimerSpeedButton::TimerExpired(TObject*)
{
    FRepeatTimer->SetInterval(100);
    if (State() == bsDown && MouseCapture()) {
        try {
            Click();
        } catch (...) {
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

// ---------------------------------------------------------------- TPsgSpinButton
TPsgSpinButton::TPsgSpinButton(TComponent* AOwner, const char* UpResource, const char* DownResource)
    : TWinControl(AOwner), FUpResource(UpResource), FDownResource(DownResource)
{
    RegisterSpinGlyphs();
    auto make = [this](int Kind, TNotifyEvent* Event) {
        auto* b = new TProTimerSpeedButton(this);
        b->SetParent(this);
        b->SetArrowKind(Kind);
        b->OnClick = [this, Event](TObject*) {
            if (*Event)
                (*Event)(this);
        };
        b->OnMouseDown = [this, b](TObject*, TMouseButton Button, TShiftState, int, int) {
            if (Button == mbLeft)
                ButtonMouseDown(b);
        };
        return b;
    };
    FUp = make(2, &OnUpClick);
    FDown = make(3, &OnDownClick);
    FFocusedButton = FUp;
    LoadGlyph(FUp, nullptr, FUpResource);
    LoadGlyph(FDown, nullptr, FDownResource);
    TWinControl::SetBounds(0, 0, 15, 25);
    LayoutButtons(15, 25);
}

void TPsgSpinButton::LoadGlyph(TProTimerSpeedButton* B, TBitmap* Glyph, const AnsiString& Resource)
{
    if (Glyph) {
        B->SetGlyph(Glyph);
    } else {
        TBitmap glyph;
        glyph.LoadFromResourceName(Resource);
        B->SetGlyph(&glyph);
        B->SetNumGlyphs(1);
    }
    Invalidate();
}

void TPsgSpinButton::SetUpGlyph(TBitmap* v) { LoadGlyph(FUp, v, FUpResource); }
void TPsgSpinButton::SetDownGlyph(TBitmap* v) { LoadGlyph(FDown, v, FDownResource); }

void TPsgSpinButton::SetButtonsFlat(bool v)
{
    FUp->SetFlat(v);
    FDown->SetFlat(v);
}

void TPsgSpinButton::SetButtonsTransparent(bool v)
{
    FUp->SetTransparent(v);
    FDown->SetTransparent(v);
}

void TPsgSpinButton::SetIsWinXP(bool v)
{
    FUp->SetIsWinXP(v);
    FDown->SetIsWinXP(v);
}

void TPsgSpinButton::SetDirection(TSpinDirection v)
{
    if (v == FDirection)
        return;
    FDirection = v;
    if (HandleAllocated())
        RecreateWnd();
    FUp->SetArrowKind(v == spHorizontal ? 1 : 2);
    FDown->SetArrowKind(v == spHorizontal ? 0 : 3);
    SetWidth(v == spHorizontal ? 20 : 15);
}

void TPsgSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FUp && !(ComponentState() & csLoading))
        LayoutButtons(AWidth, AHeight);
}

void TPsgSpinButton::LayoutButtons(int W, int H)
{
    if (FDirection == spVertical) {
        W = std::max(W, 15);
        FUp->SetBounds(0, 0, W, H / 2);
        FDown->SetBounds(0, FUp->Height() - 1, W, H - FUp->Height() + 1);
    } else {
        W = std::max(W, 20);
        FDown->SetBounds(0, 0, W / 2, H);
        FUp->SetBounds(W / 2 + 1, 0, W / 2, H);
    }
}

void TPsgSpinButton::FocusButton(TProTimerSpeedButton* B)
{
    if (B == FFocusedButton)
        return;
    const bool shown = FFocusedButton->FocusRectShown();
    FFocusedButton->SetFocusRectShown(false);
    FFocusedButton = B;
    B->SetFocusRectShown(shown);
}

void TPsgSpinButton::ButtonMouseDown(TProTimerSpeedButton* B)
{
    if (B != FFocusedButton && CanFocus())
        FocusButton(B);
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TPsgSpinButton::KeyDown(Word& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_UP: FocusButton(FUp); FUp->Click(); break;
    case VK_DOWN: FocusButton(FDown); FDown->Click(); break;
    case VK_SPACE: FFocusedButton->Click(); break;
    default: TWinControl::KeyDown(Key, Shift);
    }
}

void TPsgSpinButton::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TPsgSpinButton::WMSetFocus(TWMFocus& Message)
{
    TWinControl::WMSetFocus(Message);
    FFocusedButton->SetFocusRectShown(true);
}

void TPsgSpinButton::WMKillFocus(TWMFocus& Message)
{
    TWinControl::WMKillFocus(Message);
    FFocusedButton->SetFocusRectShown(false);
}

void TPsgSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

// ---------------------------------------------------------------- TPsgSpinEdit
TPsgSpinEdit::TPsgSpinEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    SetControlStyle(ControlStyle() & ~csSetCaption);
    FButton = new TPsgSpinButton(this);
    FButton->SetParent(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetFocusControl(this);
    FButton->SetIsWinXP(false);
    FButton->OnUpClick = [this](TObject* Sender) { UpClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownClick(Sender); };
    SetText("0");
    TCustomMaskEdit::SetBounds(Left(), Top(), 121, 21);
}

TPsgSpinEdit::~TPsgSpinEdit() = default;

int TPsgSpinEdit::CheckValue(int v) const
{
    if (FMinValue == FMaxValue)
        return v;
    return v < FMinValue ? FMinValue : v > FMaxValue ? FMaxValue : v;
}

double TPsgSpinEdit::CheckFloatValue(double v) const
{
    if (FMinFloatValue == FMaxFloatValue)
        return v;
    return v < FMinFloatValue ? FMinFloatValue : v > FMaxFloatValue ? FMaxFloatValue : v;
}

TDateTime TPsgSpinEdit::CheckDateValue(TDateTime v) const
{
    if (FMinDateValue == FMaxDateValue)
        return v;
    return v < FMinDateValue ? FMinDateValue : v > FMaxDateValue ? FMaxDateValue : v;
}

bool IsClipboardEditKey(Word Key, TShiftState Shift)
{
    return ((Shift & ssCtrl) && !(Shift & (ssShift | ssAlt)) && (Key == 'V' || Key == 'X')) ||
           (Shift == ssShift && (Key == VK_INSERT || Key == VK_DELETE));
}

DWORD EditAlignStyle(TEditAlign Align)
{
    return Align == eaRight ? ES_RIGHT : Align == eaCenter ? ES_CENTER : ES_LEFT;
}

int StepInteger(int Value, long long Delta)
{
    const long long v = (long long)Value + Delta;
    return int(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void SetTextKeepCaret(TCustomEdit* Edit, const AnsiString& S)
{
    const int caret = Edit->SelStart();
    Edit->SetText(S);
    Edit->SetSelStart(std::min(caret, int(S.size())));
}

int TPsgSpinEdit::Value()
{
    int v = 0;
    return TryStrToInt(Text(), v) ? v : FMinValue;
}

void TPsgSpinEdit::SetValue(int v)
{
    SetText(IntToStr(CheckValue(v)));
    if (!FEditorEnabled)
        SelectAll();
}

double TPsgSpinEdit::FloatValue()
{
    double v = 0;
    // An unreadable text gives the integer minimum.
    return TryStrToFloat(Text(), v) ? v : double(FMinValue);
}

AnsiString TPsgSpinEdit::FloatText(double v) const
{
    return FPrecision != 0 ? FloatToStrF(v, ffFixed, 15, FPrecision) : FloatToStrF(v, ffGeneral, 15, 0);
}

void TPsgSpinEdit::SetFloatValue(double v)
{
    SetText(FloatText(CheckFloatValue(v)));
}

TDateTime TPsgSpinEdit::DateValue()
{
    const AnsiString t = Text();
    if (t.empty() || t == "0")
        return Now();
    TDateTime d = 0;
    return TryStrToDate(t, d) ? d : FMinDateValue;
}

void TPsgSpinEdit::SetDateValue(TDateTime v)
{
    FDateStore = v;
    if (!Loading())
        SetTextKeepCaret(FormatDateTime(FormatSettings.ShortDateFormat, CheckDateValue(v)));
}

TDateTime TPsgSpinEdit::TimeValue()
{
    TDateTime v = 0;
    return TryStrToTime(Text(), v) ? v : 0;
}

void TPsgSpinEdit::SetTimeValue(TDateTime v)
{
    FTimeStore = v;
    if (!Loading())
        SetTextKeepCaret(FormatDateTime(FormatSettings.LongTimeFormat, v));
}

void TPsgSpinEdit::SetSpinType(TPsgSpinType v)
{
    FSpinType = v;
    switch (v) {
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    default: SetValue(Value()); break;
    }
}

void TPsgSpinEdit::SetPrecision(int v)
{
    FPrecision = v;
    if (FSpinType == sptFloat)
        SetFloatValue(FloatValue());
}

void TPsgSpinEdit::Loaded()
{
    TCustomMaskEdit::Loaded();
    if (FSpinType == sptDate)
        SetText(FormatDateTime(FormatSettings.ShortDateFormat, FDateStore));
    else if (FSpinType == sptTime)
        SetText(FormatDateTime(FormatSettings.LongTimeFormat, FTimeStore));
    SetSpinType(FSpinType);
}

void TPsgSpinEdit::SetDirection(TSpinDirection v)
{
    FButton->SetDirection(v);
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TPsgSpinEdit::SetSpinFlat(bool v)
{
    FButton->SetButtonsFlat(v);
}

void TPsgSpinEdit::SetSpinTransparent(bool v)
{
    FSpinTransparent = v;
    FButton->SetButtonsTransparent(v);
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TPsgSpinEdit::SetEditAlign(TEditAlign v)
{
    FEditAlign = v;
    if (HandleAllocated())
        RecreateWnd();
}

void TPsgSpinEdit::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FButton->SetIsWinXP(v);
}

void TPsgSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    // Without the multi-line style: the layer's one-line edit takes a formatting rectangle itself.
    Params.Style |= WS_CLIPCHILDREN | EditAlignStyle(FEditAlign);
}

void TPsgSpinEdit::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    SetEditRectForButton();
}

void TPsgSpinEdit::SetEditRectForButton()
{
    const int right = ClientWidth() - FButton->Width() - 2;
    if (BorderStyle() != bsNone)
        SetEditRect(TRect(0, 0, right, ClientHeight() + 1));
    else
        SetEditRect(TRect(1, 1, right - 1, ClientHeight() + 1));
}

int FontMinHeight(TFont* Font)
{
    TBitmap system, own;
    own.Canvas()->Font()->Assign(Font);
    TTextMetric systemMetrics, ownMetrics;
    GetTextMetrics(system.Canvas(), systemMetrics);
    GetTextMetrics(own.Canvas(), ownMetrics);
    return ownMetrics.tmHeight + std::min(systemMetrics.tmHeight, ownMetrics.tmHeight) / 4;
}

void AutoSizeEditHeight(TCustomEdit* Edit)
{
    if (Edit->BorderStyle() != bsSingle)
        return;
    TBitmap text;
    text.Canvas()->Font()->Assign(Edit->Font());
    TTextMetric metrics;
    GetTextMetrics(text.Canvas(), metrics);
    Edit->SetHeight(metrics.tmHeight + (Edit->Ctl3D() ? 8 : 6) * GetSystemMetrics(SM_CYBORDER));
}

void TPsgSpinEdit::CMFontChanged(TMessage& Message)
{
    TCustomMaskEdit::CMFontChanged(Message);
    if (FAutoSize)
        AutoSizeEditHeight(this);
}

int TPsgSpinEdit::GetMinHeight()
{
    return FontMinHeight(Font()) + 2 + (BorderStyle() == bsSingle ? 4 * GetSystemMetrics(SM_CYBORDER) : 0);
}

void TPsgSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!FButton)
        return;
    const int minHeight = GetMinHeight();
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    PlaceEditButton(this, FButton, BorderStyle() != bsNone);
    SetEditRectForButton();
}

void TPsgSpinEdit::Step(int Sign, bool Page)
{
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    const int caret = SelStart();
    const AnsiString text = Text();
    switch (FSpinType) {
    case sptFloat: SetFloatValue(FloatValue() + Sign * (Page ? 1.0 : FIncrementFloat)); break;
    case sptDate: SetDateValue(StepDateAtCaret(text, caret, DateValue(), Sign, FMonthFirst)); break;
    case sptTime: {
        int p1 = 0, p2 = 0;
        SeparatorPositions(text, FormatSettings.TimeSeparator, p1, p2);
        double amount;
        if (p1 == 0 || caret < p1)
            amount = 1.0 / 24;
        else if (p2 <= caret)   // no second separator (p2 0) counts as before the caret
            amount = 1.0 / 86400;
        else
            amount = 1.0 / 1440;
        if (Sign > 0) {
            SetTimeValue(TimeValue() + amount);
        } else {
            // A step down from just after midnight wraps to the end of the day.
            double t = TimeValue() + 1.0 - amount;
            if (t > 1.0)
                t -= 1.0;
            SetTimeValue(t);
        }
        break;
    }
    default: SetValue(StepInteger(Value(), (long long)Sign * FIncrement)); break;
    }
}

void TPsgSpinEdit::StepUp(bool Page) { Step(1, Page); }
void TPsgSpinEdit::StepDown(bool Page) { Step(-1, Page); }
void TPsgSpinEdit::UpClick(TObject*) { StepUp(false); }
void TPsgSpinEdit::DownClick(TObject*) { StepDown(false); }

bool TPsgSpinEdit::IsValidChar(char Key)
{
    const TFormatSettings& fs = FormatSettings;
    if (Key == kBackspace)
        return FEditorEnabled;
    const bool control = Byte(Key) < 32 && Key != kReturn;
    const bool digit = Key >= '0' && Key <= '9';
    bool ok = Key == fs.DecimalSeparator || Key == fs.ThousandSeparator || Key == fs.TimeSeparator ||
              Key == fs.DateSeparator || digit || Key == '-' || control;
    if (!SpinSeparatorAllowed(Key, FSpinType))
        ok = false;
    const AnsiString t = Text();
    const int selStart = SelStart(), selLength = SelLength();
    const AnsiString selected = SelText();
    if (Key == '-') {
        if (selStart != 0)
            ok = false;
        else if (t.find('-') != AnsiString::npos && selected.find('-') == AnsiString::npos)
            ok = false;
    }
    if (FSpinType == sptNormal && !(digit || Key == '-'))
        ok = false;
    if (FSpinType == sptFloat && Key != kEscape && Key != kReturn) {
        const std::size_t sep = t.find(fs.DecimalSeparator);
        if (Key == fs.ThousandSeparator)
            ok = false;
        else if (Key == fs.DecimalSeparator && sep != AnsiString::npos &&
                 selected.find(fs.DecimalSeparator) == AnsiString::npos)
            ok = false;
        // No more decimals than Precision behind the separator.
        if (ok && FPrecision > 0 && sep != AnsiString::npos && int(sep) < selStart && selLength == 0 &&
            int(t.size()) >= int(sep) + 1 + FPrecision)
            ok = false;
    }
    if (FSpinType == sptTime && Key == fs.TimeSeparator &&
        std::count(t.begin(), t.end(), fs.TimeSeparator) >= 2)
        ok = false;
    if (!FEditorEnabled && ok && !control)
        ok = false;
    return ok;
}

void TPsgSpinEdit::KeyDown(Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    // Without typing nothing is deleted, pasted or cut.
    if (!FEditorEnabled && (Key == VK_DELETE || IsClipboardEditKey(Key, Shift)))
        Key = 0;
    TCustomMaskEdit::KeyDown(Key, Shift);
}

void TPsgSpinEdit::WMKeyDown(TWMKey& Message)
{
    // The steps are taken before the edit sees the key, and the key goes no further.
    switch (Message.CharCode()) {
    case VK_PRIOR: StepUp(true); return;
    case VK_NEXT: StepDown(true); return;
    case VK_UP: StepUp(false); return;
    case VK_DOWN: StepDown(false); return;
    default: TCustomMaskEdit::WMKeyDown(Message);
    }
}

void TPsgSpinEdit::KeyPress(char& Key)
{
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TPsgSpinEdit::WMChar(TWMKey& Message)
{
    // The numeric keypad's decimal key (its scan code has bit 22 of the key data) types the locale's separator.
    if (FExcelStyleDecimalSeparator && Message.CharCode() == '.' && (Message.KeyData() & (1 << 22)))
        Message.SetCharCode(Byte(FormatSettings.DecimalSeparator));
    TCustomMaskEdit::WMChar(Message);
}

void TPsgSpinEdit::WndProc(TMessage& Message)
{
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly()))
        return;
    TCustomMaskEdit::WndProc(Message);
}

void TPsgSpinEdit::DoEnter()
{
    TCustomMaskEdit::DoEnter();
    if (AutoSelect() && !((GetKeyState(VK_LBUTTON) < 0) && FEditorEnabled))
        SelectAll();
}

void TPsgSpinEdit::DoExit()
{
    switch (FSpinType) {
    case sptFloat:
        if (CheckFloatValue(FloatValue()) != FloatValue())
            SetFloatValue(FloatValue());
        break;
    case sptDate:
        if (CheckDateValue(DateValue()) != DateValue())
            SetDateValue(DateValue());
        break;
    case sptTime:
        if (CheckDateValue(TimeValue()) != TimeValue())
            SetTimeValue(CheckDateValue(TimeValue()));
        break;
    default:
        if (CheckValue(Value()) != Value())
            SetValue(Value());
        break;
    }
    TCustomMaskEdit::DoExit();
}
