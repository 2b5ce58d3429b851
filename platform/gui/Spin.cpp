#include "platform/gui/Spin.h"

#include <QLineEdit>
#include <QSpinBox>
#include <climits>

#include "platform/core/SysUtils.h"
#include "platform/gui/StdCtrls_p.h"

namespace {
// The spin box with its steps handed to the control and its edit reachable.
class TSpinBox : public QSpinBox {
public:
    TSpinBox()
    {
        setRange(INT_MIN, INT_MAX);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    }
    std::function<void(int)> Step;
    QLineEdit* Edit() const { return lineEdit(); }
    void stepBy(int steps) override
    {
        if (Step && steps != 0)
            Step(steps);
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};
}  // namespace

class TSpinSignals {
public:
    static void Stepped(TSpinEdit* s, int steps)
    {
        if (steps > 0)
            s->UpClick(s);
        else
            s->DownClick(s);
    }
};

TSpinEdit::TSpinEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
    FText.assign(1, '0');
}

TSpinEdit::~TSpinEdit() = default;

TNativeWidget* TSpinEdit::CreateNativeWidget()
{
    auto* s = new TSpinBox;
    s->Step = [this](int steps) { RunGuarded([&] { TSpinSignals::Stepped(this, steps); }); };
    QObject::connect(s->Edit(), &QLineEdit::textChanged, s, [this](const QString& t) {
        if (!FSyncing)
            RunGuarded([&] { TextEdited(FromQString(t)); });
    });
    FSyncing = true;
    s->Edit()->setText(ToQString(FText));
    FSyncing = false;
    InstallMessageBridge(s->Edit(), this);
    auto* w = WrapWidget(s);
    ApplyToWidget();
    return w;
}

void TSpinEdit::ApplyToWidget()
{
    auto* s = NativeOf<TSpinBox>(this);
    if (!s)
        return;
    s->Edit()->setReadOnly(!FEditorEnabled);
}

AnsiString TSpinEdit::GetText() const { return FText; }

int TSpinEdit::CheckValue(int v) const
{
    if (FMaxValue != FMinValue)
        v = std::clamp(v, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
    return v;
}

int TSpinEdit::Value() const
{
    int v = 0;
    return TryStrToInt(FText, v) ? v : FMinValue;
}

void TSpinEdit::SetValue(int v) { SetText(IntToStr(CheckValue(v))); }

void TSpinEdit::SetMinValue(int v) { FMinValue = v; }
void TSpinEdit::SetMaxValue(int v) { FMaxValue = v; }

void TSpinEdit::SetEditorEnabled(bool v)
{
    FEditorEnabled = v;
    ApplyToWidget();
}

void TSpinEdit::SelectAll()
{
    if (auto* s = NativeOf<TSpinBox>(this))
        s->selectAll();
}

void TSpinEdit::TextEdited(const AnsiString& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    Change();
}

void TSpinEdit::CMTextChanged(TMessage& Message)
{
    if (auto* s = NativeOf<TSpinBox>(this)) {
        if (FromQString(s->Edit()->text()) != FText) {
            FSyncing = true;
            s->Edit()->setText(ToQString(FText));
            FSyncing = false;
        }
    }
    Change();
    TWinControl::CMTextChanged(Message);
}

void TSpinEdit::CMExit(TMessage& Message)
{
    // What was typed beyond the limits comes back inside them on leaving.
    int v = Value();
    if (CheckValue(v) != v || IntToStr(v) != FText)
        SetValue(v);
    TWinControl::CMExit(Message);
}

void TSpinEdit::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TSpinEdit::KeyDown(Word& Key, TShiftState Shift)
{
    bool step = Key == VK_UP || Key == VK_DOWN;
    if (Key == VK_UP)
        UpClick(this);
    else if (Key == VK_DOWN)
        DownClick(this);
    TWinControl::KeyDown(Key, Shift);
    // The step is made; the widget does not step again.
    if (step)
        Key = 0;
}

void TSpinEdit::UpClick(TObject*)
{
    SetValue(int(std::clamp<long long>((long long)Value() + FIncrement, INT_MIN, INT_MAX)));
}

void TSpinEdit::DownClick(TObject*)
{
    SetValue(int(std::clamp<long long>((long long)Value() - FIncrement, INT_MIN, INT_MAX)));
}

void TSpinEdit::Change()
{
    if (OnChange)
        OnChange(this);
}
