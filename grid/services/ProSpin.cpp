// The print dialogs' spin edit: value views of the text, clamping, stepping
// (plain, page, smart, date parts, time fields, hexadecimal), the typing filter,
// the spin buttons with their repeat timer, and the attached label.
#include "grid/services/ProSpin.h"

#include <cmath>
#include <cstdlib>

#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Sound.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

namespace {
constexpr char kBackspace = 8, kReturn = 13, kEscape = 27;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
}  // namespace

// ---------------------------------------------------------------- TProSpinEdit
TProSpinEdit::TProSpinEdit(TComponent* AOwner)
    : TCustomMaskEdit(AOwner), FLabelFont(std::make_unique<TFont>())
{
    FButton = new TProSpinButton(this);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* Sender) { UpClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownClick(Sender); };
    FLabelFont->OnChange = [this](TObject*) { PlaceLabel(); };
    SetText("0");
    FSavedColor = Color();
    TCustomMaskEdit::SetBounds(Left(), Top(), 121, 21);
    LayoutSpin();
}

TProSpinEdit::~TProSpinEdit() = default;

void TProSpinEdit::LayoutSpin()
{
    if (!FButton)
        return;
    const int bw = FButton->Width();
    if (Ctl3D())
        FButton->SetBounds(Width() - bw - 1, 1, bw, std::max(Height() - 2, 4));
    else
        FButton->SetBounds(Width() - bw - 1, 2, bw, std::max(Height() - 3, 4));
    const int b = BorderStyle() == bsNone ? 2 : 0;
    if (FFlat)
        SetEditRect(TRect(2, 4, ClientWidth() - 2 - bw - 2, ClientHeight() - 4));
    else
        SetEditRect(TRect(b + (Ctl3D() ? 0 : 2), b, ClientWidth() - bw - 2 - b, ClientHeight() + 1));
}

int TProSpinEdit::CheckValue(int v) const
{
    if (Loading() || (FMinValue == 0 && FMaxValue == 0))
        return v;
    return v < FMinValue ? FMinValue : v > FMaxValue ? FMaxValue : v;
}

double TProSpinEdit::CheckFloatValue(double v) const
{
    if (Loading() || FMinFloatValue == FMaxFloatValue)
        return v;
    return v < FMinFloatValue ? FMinFloatValue : v > FMaxFloatValue ? FMaxFloatValue : v;
}

TDateTime TProSpinEdit::CheckDateValue(TDateTime v) const
{
    if (Loading() || FMinDateValue == FMaxDateValue)
        return v;
    return v < FMinDateValue ? FMinDateValue : v > FMaxDateValue ? FMaxDateValue : v;
}

int TProSpinEdit::Value()
{
    const AnsiString t = Trim(Text());
    if (t.empty())
        return 0;
    int v = 0;
    return TryStrToInt(t, v) ? v : FMinValue;
}

void TProSpinEdit::SetValue(int v)
{
    SetText(IntToStr(CheckValue(v)));
    if (!FEditorEnabled && AutoSelect())
        SelectAll();
}

double TProSpinEdit::FloatValue()
{
    const AnsiString t = Trim(Text());
    if (t.empty())
        return 0.0;
    double v = 0;
    return TryStrToFloat(t, v) ? v : double(FMinValue);
}

void TProSpinEdit::SetFloatValue(double v)
{
    v = CheckFloatValue(v);
    if (FPrecision < 0)
        SetText(FloatToStrF(v, ffGeneral, 4, 0));
    else if (FPrecision == 0)
        SetText(FloatToStrF(v, ffGeneral, 15, 0));
    else
        SetText(FloatToStrF(v, ffFixed, 15, FPrecision));
}

TDateTime TProSpinEdit::DateValue()
{
    const AnsiString t = Trim(Text());
    if (t.empty() || t == "0")
        return Now();
    TDateTime d = 0;
    if (!TryStrToDate(t, d))
        return FMinDateValue;
    return d + (FDateStore - std::floor(FDateStore));
}

void TProSpinEdit::SetDateValue(TDateTime v)
{
    FDateStore = v;
    SetTextKeepCaret(FormatDateTime(FormatSettings.ShortDateFormat, CheckDateValue(v)));
}

AnsiString TProSpinEdit::TimeText(TDateTime v) const
{
    const AnsiString sep(1, FormatSettings.TimeSeparator);
    return FormatDateTime(FShowSeconds ? "h" + sep + "nn" + sep + "ss" : "h" + sep + "nn", v);
}

TDateTime TProSpinEdit::TimeValue()
{
    AnsiString t = Trim(Text());
    if (t.empty())
        return 0;
    if (!FShowSeconds)
        t += AnsiString(1, FormatSettings.TimeSeparator) + "00";
    TDateTime v = 0;
    if (!TryStrToTime(t, v))
        return 0;
    return v + std::floor(FTimeStore);
}

void TProSpinEdit::SetTimeValue(TDateTime v)
{
    FTimeStore = v;
    if (!Loading())
        SetTextKeepCaret(TimeText(v));
}

int TProSpinEdit::HexValue()
{
    const AnsiString t = Text().size() > 2 ? Text().substr(2) : AnsiString();
    auto digit = [](char c) {
        c = char(std::toupper(Byte(c)));
        int d = c - '0';
        return d > 9 ? d - 7 : d;
    };
    unsigned v = 0;
    std::size_t i = 0;
    for (; i + 1 < t.size(); i += 2)
        v = (v << 8) | unsigned(digit(t[i]) * 16 + digit(t[i + 1]));
    if (i < t.size())
        v = (v << 4) | unsigned(digit(t[i]));
    return int(v);
}

void TProSpinEdit::SetHexValue(int v)
{
    FHexStore = v;
    if (!Loading())
        SetText(HexText(CheckValue(v)));
}

AnsiString TProSpinEdit::HexText(int v) const
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", unsigned(v));
    return buf;
}

void TProSpinEdit::SetSpinType(TProSpinType v)
{
    FSpinType = v;
    if (Loading())
        return;
    FHoldChange = true;
    switch (v) {
    case sptNormal: SetValue(Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    // A hexadecimal text keeps its value; another takes the last hexadecimal value given.
    case sptHex: SetHexValue(Text().rfind("0x", 0) == 0 ? HexValue() : FHexStore); break;
    }
    FHoldChange = false;
}

void TProSpinEdit::SetPrecision(int v)
{
    FPrecision = v;
    if (FSpinType == sptFloat)
        SetFloatValue(FloatValue());
}

void TProSpinEdit::SetShowSeconds(bool v)
{
    if (FSpinType != sptTime)
        return;
    const TDateTime t = TimeValue();
    FShowSeconds = v;
    SetTimeValue(t);
}

void TProSpinEdit::Change()
{
    if (FHoldChange || FLoading)
        return;
    if (FTransparent)
        Invalidate();
    TCustomMaskEdit::Change();
}

bool TProSpinEdit::SmartStep(bool Up)
{
    if (FSpinType != sptNormal && FSpinType != sptFloat)
        return false;
    const AnsiString t = Text();
    const int L = int(t.size()), c = SelStart(), r = L - c;
    const std::size_t sep = t.find(FormatSettings.DecimalSeparator);
    const int f = sep == AnsiString::npos ? -1 : L - int(sep + 1);
    const bool hasMinus = t.find('-') != AnsiString::npos;
    if (c == 0 || (c == 1 && hasMinus))
        return false;
    const int sign = Up ? 1 : -1;
    if (r >= f) {
        const int power = r - f - 1 - (f < 0 ? 0 : 0);
        const int p = f < 0 ? r : power;
        const double step = p < 0 ? 1 : std::pow(10.0, p);
        if (FSpinType == sptFloat)
            SetFloatValue(FloatValue() + sign * step);
        else
            SetValue(StepInteger(Value(), (long long)std::min(step, 1e18) * sign));
    } else if (FSpinType == sptFloat)
        SetFloatValue(FloatValue() + sign * std::pow(10.0, -(f - r)));
    return true;
}

bool TProSpinEdit::RefuseReadOnly()
{
    if (!ReadOnly())
        return false;
    MessageBeep(0);
    return true;
}

bool TProSpinEdit::Step(bool Up, bool Page)
{
    const int caret = SelStart(), sel = SelLength();
    if (RefuseReadOnly())
        return false;
    const AnsiString before = Text();
    const int sign = Up ? 1 : -1;
    switch (FSpinType) {
    case sptNormal:
        if (!(FIncrementSmart && SmartStep(Up)))
            SetValue(StepInteger(Value(), (long long)sign * (Page ? FIncrementPage : FIncrement)));
        break;
    case sptFloat:
        if (!(FIncrementSmart && SmartStep(Up)))
            SetFloatValue(FloatValue() + sign * (Page ? FIncrementFloatPage : FIncrementFloat));
        break;
    case sptHex: SetHexValue(StepInteger(HexValue(), (long long)sign * FIncrement)); break;
    case sptDate: {
        bool monthFirst = false;
        SetDateValue(StepDateAtCaret(before, caret, DateValue(), sign, monthFirst));
        break;
    }
    case sptTime: {
        const std::size_t p1 = before.find(FormatSettings.TimeSeparator);
        const std::size_t p2 = p1 == AnsiString::npos ? AnsiString::npos : before.find(FormatSettings.TimeSeparator, p1 + 1);
        double amount;
        if (p1 == AnsiString::npos || caret <= int(p1))
            amount = FIncrementHours != 0 ? FIncrementHours / 24.0 : FIncrementMinutes / 1440.0;
        else if (p2 != AnsiString::npos && caret > int(p2) && FShowSeconds)
            amount = 1 / 86400.0;
        else
            amount = FIncrementMinutes / 1440.0;
        const TDateTime t = TimeValue();
        if (Up)
            SetTimeValue(t + amount);
        else if (t + 1e-9 >= amount)
            SetTimeValue(t - amount);
        break;
    }
    }
    const AnsiString after = Text();
    int newCaret = caret;
    if (!after.empty() && after[0] == '-' && (before.empty() || before[0] != '-'))
        ++newCaret;
    else if (!before.empty() && before[0] == '-' && (after.empty() || after[0] != '-'))
        --newCaret;
    SetSelStart(std::clamp(newCaret, 0, int(after.size())));
    SetSelLength(sel);
    if (Up && after.size() != before.size() && FSpinType != sptDate && FSpinType != sptTime)
        SetSelLength(int(after.size()));
    if (after != before)
        SetModified(true);
    return true;
}

void TProSpinEdit::UpClick(TObject*)
{
    if (Step(true, false) && OnUpClick)
        OnUpClick(this);
}

void TProSpinEdit::DownClick(TObject*)
{
    if (Step(false, false) && OnDownClick)
        OnDownClick(this);
}

bool TProSpinEdit::IsValidChar(char Key)
{
    const TFormatSettings& fs = FormatSettings;
    const bool control = Byte(Key) < 32 && Key != kReturn;
    bool ok = Key == fs.DecimalSeparator || Key == fs.ThousandSeparator || Key == fs.TimeSeparator ||
              Key == fs.DateSeparator || (Key >= '0' && Key <= '9') || Key == '+' || Key == '-' || control;
    const AnsiString t = Text();
    if (FSpinType == sptNormal && (Key == fs.DecimalSeparator || Key == fs.ThousandSeparator ||
                                   Key == fs.TimeSeparator || Key == fs.DateSeparator))
        ok = false;
    if (!SpinSeparatorAllowed(Key, FSpinType))
        ok = false;
    if (FSpinType == sptFloat && Key != kEscape && Key != kReturn && Key != kBackspace) {
        if (Key == fs.DecimalSeparator) {
            const bool all = SelLength() == int(t.size()) && !t.empty();
            if (!all && (t.find(fs.DecimalSeparator) != AnsiString::npos || FPrecision == 0))
                ok = false;
        }
        const std::size_t sep = t.find(fs.DecimalSeparator);
        if (ok && FPrecision > 0 && sep != AnsiString::npos && int(sep) < SelStart() && SelLength() == 0 &&
            int(t.size()) >= int(sep) + 1 + FPrecision)
            ok = false;
    }
    if (FSpinType == sptTime && Key == fs.TimeSeparator && t.find(fs.TimeSeparator) != AnsiString::npos)
        ok = false;
    if (FSpinType == sptHex) {
        ok = (IsHexDigit(Key) || control) && SelStart() >= 2;
        if (Key == kBackspace && SelStart() == 2)
            ok = false;
    }
    if (!FEditorEnabled && ok && !(control && Key != kBackspace))
        ok = false;
    return ok;
}

void TProSpinEdit::KeyDown(Word& Key, TShiftState Shift)
{
    // Ctrl+Return steps up, once the key has been handled.
    const bool ctrlReturn = Key == VK_RETURN && (Shift & ssCtrl);
    const int caret = SelStart(), sel = SelLength();
    const AnsiString before = Text();
    const bool number = FSpinType == sptNormal || FSpinType == sptFloat;
    // Without typing nothing is pasted or cut either.
    if (!FEditorEnabled && IsClipboardEditKey(Key, Shift))
        Key = 0;
    bool restore = true;
    switch (Key) {
    case VK_UP:
    case VK_DOWN: {
        const bool up = Key == VK_UP;
        Key = 0;
        // A read-only edit takes no step, the smart one neither.
        if (RefuseReadOnly())
            break;
        if (!(FIncrementSmart && sel == 0 && number && SmartStep(up)))
            up ? UpClick(this) : DownClick(this);
        break;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        // The smart step is for numbers only, as with the arrow keys: dates, times and hexadecimal
        // values page as they do without it.
        const bool up = Key == VK_PRIOR;
        Key = 0;
        if (RefuseReadOnly())
            break;
        if (!(FIncrementSmart && sel == 0 && number && SmartStep(up))) {
            if (FSpinType == sptNormal)
                SetValue(StepInteger(Value(), up ? (long long)FIncrementPage : -(long long)FIncrementPage));
            else if (FSpinType == sptFloat)
                SetFloatValue(FloatValue() + (up ? FIncrementFloatPage : -FIncrementFloatPage));
        }
        break;
    }
    case VK_DELETE:
        if (!FEditorEnabled || (FSpinType == sptHex && caret < 2))
            Key = 0;
        break;
    case VK_RETURN:
        if (FReturnIsTab) {
            Key = VK_TAB;
            PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
        }
        break;
    default: restore = false;
    }
    if (Key != 0)
        TCustomMaskEdit::KeyDown(Key, Shift);
    if (restore && (Key == 0 || Key == VK_RETURN || Key == VK_TAB || Key == VK_DELETE)) {
        SetSelStart(std::min(caret, int(Text().size())));
        SetSelLength(sel);
    }
    if (Text() != before)
        SetModified(true);
    if (ctrlReturn)
        PostMessage(Handle(), WM_KEYDOWN, VK_UP, 0);
}

void TProSpinEdit::KeyPress(char& Key)
{
    if (Key == '+') {
        Key = 0;
        return;
    }
    if (Key == '-' && !(FSpinType == sptDate && FormatSettings.DateSeparator == '-')) {
        Key = 0;
        if (FSigned && !RefuseReadOnly()) {
            const int caret = SelStart(), sel = SelLength();
            AnsiString t = Text();
            int moved = 0;
            if (!t.empty() && t[0] == '-') {
                t.erase(0, 1);
                moved = -1;
            } else {
                t.insert(t.begin(), '-');
                moved = 1;
            }
            SetText(t);
            SetSelStart(std::clamp(caret + moved, 0, int(t.size())));
            SetSelLength(sel);
            SetModified(true);
        }
        return;
    }
    if (Key == kReturn) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
        Key = 0;
        return;
    }
    Key = ConvertKey(Key);
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

char TProSpinEdit::ConvertKey(char Key) const
{
    const TFormatSettings& fs = FormatSettings;
    if (FSpinType == sptFloat && Key == fs.ThousandSeparator)
        return fs.DecimalSeparator;
    if (FSpinType == sptTime && (Key == ',' || Key == '.') && Key != fs.TimeSeparator)
        return fs.TimeSeparator;
    return Key;
}

void TProSpinEdit::WndProc(TMessage& Message)
{
    // Without typing nothing is pasted or cut, whichever way the message comes.
    if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && !FEditorEnabled)
        return;
    TCustomMaskEdit::WndProc(Message);
    if (Message.Msg == CM_SHOWINGCHANGED && FLabel)
        FLabel->SetVisible(Showing());
}

void TProSpinEdit::CMFontChanged(TMessage& Message)
{
    if (FLabel && (ComponentState() & (csDesigning | csLoading)))
        FLabel->Font()->Assign(Font());
    TCustomMaskEdit::CMFontChanged(Message);
    LayoutSpin();
}

void TProSpinEdit::DoEnter()
{
    if (FFocusBorderColor != clNone)
        Invalidate();
    if (FFocusColor != clNone) {
        FSavedColor = Color();
        SetColor(FFocusColor);
    }
    TCustomMaskEdit::DoEnter();
}

void TProSpinEdit::DoExit()
{
    if (FFocusColor != clNone && FSavedColor != clNone)
        SetColor(FSavedColor);
    if (FFocusBorderColor != clNone)
        Invalidate();
    const bool empty = Trim(Text()).empty();
    if (empty && !FAllowNullValue) {
        switch (FSpinType) {
        case sptNormal:
        case sptHex:
            if (FMinValue != FMaxValue)
                FSpinType == sptHex ? SetHexValue(FMinValue) : SetValue(FMinValue);
            break;
        case sptFloat:
            if (FMinFloatValue != FMaxFloatValue)
                SetFloatValue(FMinFloatValue);
            break;
        default:
            if (FMinDateValue != FMaxDateValue)
                FSpinType == sptDate ? SetDateValue(FMinDateValue) : SetTimeValue(FMinDateValue);
            break;
        }
    }
    if (!(empty && FAllowNullValue)) {
        // Each value is read once: an empty date reads as the present moment.
        switch (FSpinType) {
        case sptNormal:
            if (const int v = Value(); CheckValue(v) != v)
                SetValue(v);
            break;
        case sptFloat: SetFloatValue(FloatValue()); break;
        case sptHex: SetHexValue(HexValue()); break;
        case sptDate:
            if (const TDateTime v = DateValue(); CheckDateValue(v) != v)
                SetDateValue(v);
            break;
        case sptTime:
            if (const TDateTime v = TimeValue(); CheckDateValue(v) != v)
                SetTimeValue(CheckDateValue(v));
            break;
        }
    }
    TCustomMaskEdit::DoExit();
}

void TProSpinEdit::SetFlat(bool v)
{
    if (v == FFlat)
        return;
    FFlat = v;
    if (Loading())
        return;
    if (v) {
        FSavedColor = Color();
        SetBorderStyle(bsNone);
    } else {
        if (FSavedColor != clNone)
            SetColor(FSavedColor);
        SetBorderStyle(bsSingle);
    }
    LayoutSpin();
    Invalidate();
}

void TProSpinEdit::SetTransparent(bool v)
{
    FTransparent = v;
    ApplyToWidget();
    Invalidate();
}

void TProSpinEdit::PaintOver(TCanvas* Canvas)
{
    if (FFlat) {
        const TRect r = EditRect();
        Canvas->Pen()->SetColor(FFlatLineColor);
        Canvas->Pen()->SetWidth(1);
        Canvas->MoveTo(r.Left, Height() - 1);
        Canvas->LineTo(r.Right, Height() - 1);
    }
    if (FFocusBorderColor != clNone && Focused()) {
        Canvas->Brush()->SetColor(FFocusBorderColor);
        Canvas->FrameRect(TRect(0, 0, Width(), Height()));
    }
}

void TProSpinEdit::CMMouseEnter(TMessage& Message)
{
    TCustomMaskEdit::CMMouseEnter(Message);
    if (FAutoFocus && CanFocus())
        SetFocus();
}

void TProSpinEdit::Loaded()
{
    FLoading = true;
    TCustomMaskEdit::Loaded();
    FSavedColor = Color();
    switch (FSpinType) {
    case sptDate: SetText(FormatDateTime(FormatSettings.ShortDateFormat, FDateStore)); break;
    case sptTime: SetText(TimeText(FTimeStore)); break;
    case sptHex: SetText(HexText(FHexStore)); break;
    default: break;
    }
    SetSpinType(FSpinType);
    // The look was only stored while loading: applied now.
    FFlat = !FFlat;
    SetFlat(!FFlat);
    SetBounds(Left(), Top(), Width(), Height());
    if (FLabel && !Enabled() && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(false);
    if (!Ctl3D()) {
        SetWidth(Width() + 1);
        SetWidth(Width() - 1);
    }
    FLoading = false;
}

void TProSpinEdit::SetSpinTransparent(bool v)
{
    FSpinTransparent = v;
    FButton->SetButtonsTransparent(v);
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
}

void TProSpinEdit::SetEditAlign(TEditAlign v)
{
    FEditAlign = v;
    if (HandleAllocated())
        RecreateWnd();
}

void TProSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    Params.Style |= EditAlignStyle(FEditAlign);
}

void TProSpinEdit::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    LayoutSpin();
}

void TProSpinEdit::SetDirection(TSpinDirection v)
{
    FButton->SetDirection(v);
    LayoutSpin();
}

AnsiString TProSpinEdit::LabelCaption() const
{
    return FLabel ? FLabel->Caption() : AnsiString();
}

void TProSpinEdit::SetLabelCaption(const AnsiString& v)
{
    if (!FLabel) {
        FLabel = new TLabel(this);
        FLabel->SetParent(Parent());
        FLabel->SetFocusControl(this);
        FLabel->Font()->Assign(Font());
    }
    FLabel->SetCaption(v);
    PlaceLabel();
}

void TProSpinEdit::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (v && FLabel)
        FLabel->SetEnabled(true);
}

void TProSpinEdit::PlaceLabel()
{
    if (!FLabel)
        return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->Font()->Assign(FLabelFont.get());
    FLabel->SetAutoSize(true);
    const int T = Top(), L = Left(), W = Width(), H = Height();
    const int lh = FLabel->Height(), lw = FLabel->Width(), m = FLabelMargin;
    int tw = lw;
    if (TCanvas* c = FLabel->Canvas()) {
        c->Font()->Assign(FLabel->Font());
        tw = c->TextWidth(FLabel->Caption());
    }
    int top = T, left = L - tw - m;
    const int centerLeft = W > lw ? L + (W - lw) / 2 : L - (lw - W) / 2;
    switch (FLabelPosition) {
    case lpLeftTop: break;
    case lpLeftCenter: top = T + (H - lh) / 2; break;
    case lpLeftBottom: top = T + H - lh; break;
    case lpTopLeft: top = T - lh - m; left = L; break;
    case lpBottomLeft: top = T + H + m; left = L; break;
    case lpLeftTopLeft: left = L - m; break;
    case lpLeftCenterLeft: top = T + (H - lh) / 2; left = L - m; break;
    case lpLeftBottomLeft: top = T + H - lh; left = L - m; break;
    case lpTopCenter: top = T - lh - m; left = centerLeft; break;
    case lpBottomCenter: top = T + H + m; left = centerLeft; break;
    }
    FLabel->SetBounds(left, top, lw, lh);
}

void TProSpinEdit::SetVisible(bool v)
{
    TCustomMaskEdit::SetVisible(v);
    if (FLabel)
        FLabel->SetVisible(v);
}

void TProSpinEdit::SetEnabled(bool v)
{
    TCustomMaskEdit::SetEnabled(v);
    if (FLabel && !FLabelAlwaysEnabled && !(ComponentState() & (csLoading | csDesigning)))
        FLabel->SetEnabled(v);
}

void TProSpinEdit::SetParent(TWinControl* AParent)
{
    TCustomMaskEdit::SetParent(AParent);
    if (FLabel)
        FLabel->SetParent(AParent);
}

void TProSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    LayoutSpin();
    PlaceLabel();
}
