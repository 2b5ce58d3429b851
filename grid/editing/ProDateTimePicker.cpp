// The date and time picker: the embedded time picker, its placing at the
// right edge, and the value split between the two pickers.
#include "grid/editing/ProDateTimePicker.h"

#include <cmath>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/SysInfo.h"

// ---------------------------------------------------------------- TCustomDateTimePicker
TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner) : TDateTimePicker(AOwner)
{
    int major = 0, minor = 0;
    GetDllFileVersion("COMCTL32.DLL", major, minor);
    FThemed = major > 5;
    SetParentCtl3D(false);
    SetCtl3D(false);
}

void TCustomDateTimePicker::SetBorderStyle(TBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    Invalidate();
}

void TCustomDateTimePicker::PaintOver(TCanvas* Canvas)
{
    if (Ctl3D())
        return;
    const int w = Width(), h = Height();
    TWinControl* parent = Parent();
    TColor frame;
    if (FBorderStyle == bsNone) {
        if (!parent)
            return;
        frame = parent->Color();
    } else {
        frame = FThemed ? TColor(RGB(127, 157, 185)) : FBorderColor;
    }
    Canvas->Brush()->SetColor(frame);
    Canvas->FrameRect(TRect(0, 0, w, h));
    // The control's own sunken edge inside goes under the parent's colour.
    if (parent) {
        Canvas->Pen()->SetColor(parent->Color());
        Canvas->MoveTo(1, h - 2);
        Canvas->LineTo(1, 1);
        Canvas->LineTo(w - 1, 1);
    }
}

// ---------------------------------------------------------------- TProDateTimePicker
TProDateTimePicker::TProDateTimePicker(TComponent* AOwner) : TCustomDateTimePicker(AOwner)
{
    TCustomDateTimePicker::SetBorderStyle(bsSingle);
    SetCtl3D(true);
    // Made as dkDateTime: the time picker is there from the start.
    CreateTimePicker();
    UpdateTimePicker();
}

void TProDateTimePicker::CreateTimePicker()
{
    FTimePicker = new TCustomDateTimePicker(this);
    FTimePicker->SetParent(this);
    FTimePicker->SetBounds(0, 0, 90, 17);
    FTimePicker->SetVisible(false);
    FTimePicker->SetEnabled(Enabled());
    FTimePicker->SetKind(dtkTime);
    FTimePicker->OnChange = [this](TObject*) {
        // The control keeps the time the user gave: whatever it copies to the time picker
        // later (its size, colour or state changing) takes it along.
        TDateTimePicker::SetTime(FTimePicker->Time());
        DoChange();
        if (OnTimeChange)
            OnTimeChange(this);
    };
    FTimePicker->OnClick = [this](TObject*) { DoClick(); };
    FTimePicker->OnKeyPress = [this](TObject*, char& Key) { TimeKeyPress(Key); };
}

void TProDateTimePicker::SetKind(TProDateTimeKind v)
{
    if (v == FKind)
        return;
    FKind = v;
    TDateTimePicker::SetKind(v == dkTime ? dtkTime : dtkDate);
    if (v == dkDateTime && !FTimePicker)
        CreateTimePicker();
    UpdateTimePicker();
}

void TProDateTimePicker::CreateWnd()
{
    TCustomDateTimePicker::CreateWnd();
    // The kind is applied again so that the window gets its mode.
    TDateTimePicker::SetKind(FKind == dkTime ? dtkTime : dtkDate);
    UpdateTimePicker();
}

TDateTime TProDateTimePicker::DateTime()
{
    // Only a time picker on show holds the time; for dkTime the control itself does.
    if (FTimePicker && FKind == dkDateTime)
        TDateTimePicker::SetTime(FTimePicker->Time());
    return TDateTimePicker::DateTime();
}

void TProDateTimePicker::SetDateTime(TDateTime v)
{
    // The time to whole seconds; the milliseconds go.
    const double days = std::trunc(v);
    const double secs = std::floor(std::fabs(v - days) * 86400.0 + 1e-6);
    const double t = secs / 86400.0;
    const TDateTime value = days >= 0 ? days + t : days - t;
    TDateTimePicker::SetDateTime(value);
    if (FTimePicker)
        FTimePicker->SetDateTime(value);
}

TDateTime TProDateTimePicker::Time()
{
    if (FKind == dkDateTime && FTimePicker)
        return FTimePicker->Time();
    return TDateTimePicker::Time();
}

void TProDateTimePicker::SetTime(TDateTime v)
{
    TDateTimePicker::SetTime(v);
    UpdateTimePicker();
}

void TProDateTimePicker::SetTimeFormat(const AnsiString& v)
{
    if (FTimePicker)
        FTimePicker->SetFormat(v);
    FTimeFormat = v;
    UpdateTimePicker();
}

void TProDateTimePicker::SetBorderStyle(TBorderStyle v)
{
    TCustomDateTimePicker::SetBorderStyle(v);
    UpdateTimePicker();
}

void TProDateTimePicker::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomDateTimePicker::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateTimePicker();
}

void TProDateTimePicker::SetEnabled(bool v)
{
    TCustomDateTimePicker::SetEnabled(v);
    if (FTimePicker)
        FTimePicker->SetEnabled(v);
    UpdateTimePicker();
}

void TProDateTimePicker::CMColorChanged(TMessage& Message)
{
    TCustomDateTimePicker::CMColorChanged(Message);
    UpdateTimePicker();
}

void TProDateTimePicker::UpdateTimePicker()
{
    if (!FTimePicker || FInTimeUpdate)
        return;
    FInTimeUpdate = true;
    FTimePicker->SetColor(Color());
    FTimePicker->SetEnabled(Enabled());
    FTimePicker->SetVisible(FKind == dkDateTime);
    FTimePicker->SetDateTime(TDateTimePicker::DateTime());
    FTimePicker->SetFormat(FTimeFormat);
    FTimePicker->Font()->Assign(Font());
    if (!FTimePicker->Visible() && (ComponentState() & csDesigning)) {
        FInTimeUpdate = false;
        delete FTimePicker;
        FTimePicker = nullptr;
        return;
    }
    // As wide as its text (at most 255 characters) in the control's font, and 31 more.
    TBitmap measure;
    measure.Canvas()->Font()->Assign(Font());
    const int w = measure.Canvas()->TextWidth(FTimePicker->Text().substr(0, 255)) + 31;
    FTimePicker->SetBounds(Width() - w - 21, -2, w, Height());
    FInTimeUpdate = false;
}

void TProDateTimePicker::Change() { DoChange(); }

void TProDateTimePicker::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TProDateTimePicker::DoClick()
{
    if (OnClick)
        OnClick(this);
}
