#include "controls/NetGradient.h"

void DrawGradientBands(TCanvas* Canvas, int W, int H, TColor StartColor, TColor EndColor, int N)
{
    if (!Canvas || N < 1)
        return;
    TColor s = ColorToRGB(StartColor), e = ColorToRGB(EndColor);
    int r0 = GetRValue(s), g0 = GetGValue(s), b0 = GetBValue(s);
    int dr = GetRValue(e) - r0, dg = GetGValue(e) - g0, db = GetBValue(e) - b0;
    Canvas->Brush()->SetStyle(bsSolid);
    for (int i = 0; i < N; ++i) {
        TColor c = s;
        if (N > 1)
            c = RGB(r0 + MulDiv(i, dr, N - 1), g0 + MulDiv(i, dg, N - 1), b0 + MulDiv(i, db, N - 1));
        Canvas->Brush()->SetColor(c);
        Canvas->FillRect(TRect(MulDiv(i, W, N), 0, MulDiv(i + 1, W, N), H));
    }
}

TNetGradient::TNetGradient(TComponent* AOwner) : TGraphicControl(AOwner), FFont(std::make_unique<TFont>())
{
    FFont->SetStyle(fsBold);
    FFont->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 400, 25);
}

TNetGradient::~TNetGradient()
{
    Destroying();
    FFont->OnChange = nullptr;
}

void TNetGradient::DrawBar(TCanvas* Canvas)
{
    if (!Canvas)
        return;
    int w = Width(), h = Height();
    TColor start = FBeginColor, end = FEndColor;
    if (FFillDirection == fdRightToLeft)
        std::swap(start, end);
    TBitmap work;
    work.SetSize(w, h);
    DrawGradientBands(work.Canvas(), w, h, start, end, FNumberOfColors);
    Canvas->Draw(0, 0, &work);
    if (!FCaption.empty()) {
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->SetFont(FFont.get());
        Canvas->TextOut(FTextLeft, FTextTop, FCaption);
    }
}

void TNetGradient::Paint() { DrawBar(Canvas()); }

// The setters leave the drawing to the next paint, which shows the same picture.
void TNetGradient::SetFillDirection(TFillDirection Value)
{
    if (FFillDirection == Value)
        return;
    FFillDirection = Value;
    Invalidate();
}

void TNetGradient::SetBeginColor(TColor Value)
{
    FBeginColor = Value;
    Invalidate();
}

void TNetGradient::SetEndColor(TColor Value)
{
    FEndColor = Value;
    Invalidate();
}

void TNetGradient::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    Invalidate();
}

void TNetGradient::SetNumberOfColors(TNumberOfColors Value)
{
    FNumberOfColors = Value < 1 ? 1 : Value;
    Invalidate();
}

void TNetGradient::SetFont(TFont* Value)
{
    if (Value && Value != FFont.get())
        FFont->Assign(Value);
}

void TNetGradient::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    Invalidate();
}

void TNetGradient::SetTextTop(int Value)
{
    FTextTop = Value;
    Invalidate();
}

void TNetGradient::SetTextLeft(int Value)
{
    FTextLeft = Value;
    Invalidate();
}
