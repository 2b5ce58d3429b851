#include "controls/QelSensitiveLabel.h"

namespace {

// The framework's default label font, noted by every label as it is made.
struct TNormalFont {
    TColor Color = clWindowText;
    AnsiString Name;
    int Size = 8;
    TFontStyles Style = 0;
} NormalFont;

}  // namespace

TQelSensitiveLabel::TQelSensitiveLabel(TComponent* AOwner)
    : TLabel(AOwner), FFontMouseDown(std::make_unique<TFont>()), FFontMouseMove(std::make_unique<TFont>())
{
    NormalFont = {Font()->Color(), Font()->Name(), Font()->Size(), Font()->Style()};
    FFontMouseDown->SetColor(0x0000FF);
}

TQelSensitiveLabel::~TQelSensitiveLabel() { Destroying(); }

void TQelSensitiveLabel::SetActiveMouseDown(bool Value)
{
    if (FActiveMouseDown != Value) {
        FActiveMouseDown = Value;
        Invalidate();
    }
}

void TQelSensitiveLabel::SetActiveMouseMove(bool Value)
{
    if (FActiveMouseMove != Value) {
        FActiveMouseMove = Value;
        Invalidate();
    }
}

void TQelSensitiveLabel::SetFontMouseDown(TFont* Value)
{
    FFontMouseDown->Assign(Value);
    Invalidate();
}

void TQelSensitiveLabel::SetFontMouseMove(TFont* Value)
{
    FFontMouseMove->Assign(Value);
    Invalidate();
}

void TQelSensitiveLabel::TakeFont(const TFont* Source)
{
    if (Source) {
        Font()->SetColor(Source->Color());
        Font()->SetName(Source->Name());
        Font()->SetSize(Source->Size());
        Font()->SetStyle(Source->Style());
    } else {
        Font()->SetColor(NormalFont.Color);
        Font()->SetName(NormalFont.Name);
        Font()->SetSize(NormalFont.Size);
        Font()->SetStyle(NormalFont.Style);
    }
}

void TQelSensitiveLabel::CMMouseEnter(TMessage& Message)
{
    TLabel::CMMouseEnter(Message);
    TakeFont(FFontMouseMove.get());
}

void TQelSensitiveLabel::CMMouseLeave(TMessage& Message)
{
    TLabel::CMMouseLeave(Message);
    TakeFont(nullptr);
}

void TQelSensitiveLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLabel::MouseDown(Button, Shift, X, Y);
    if (FActiveMouseDown && (Button == mbLeft || Button == mbRight))
        TakeFont(FFontMouseDown.get());
}

void TQelSensitiveLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLabel::MouseUp(Button, Shift, X, Y);
    TakeFont(nullptr);
}
