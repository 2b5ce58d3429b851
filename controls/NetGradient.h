#pragma once
// A heading bar: a horizontal two-colour gradient of solid bands with a caption.
#include <memory>

#include "platform/gui/Controls.h"

enum TFillDirection { fdLeftToRight, fdRightToLeft };
using TNumberOfColors = Byte;   // 1 .. 255

// Paints the bands of the bar onto Canvas over W x H: band i runs from
// MulDiv(i, W, N) to MulDiv(i + 1, W, N) in StartColor + MulDiv(i, d, N - 1).
void DrawGradientBands(TCanvas* Canvas, int W, int H, TColor StartColor, TColor EndColor, int N);

class TNetGradient : public TGraphicControl {
public:
    explicit TNetGradient(TComponent* AOwner);
    ~TNetGradient() override;

    TFillDirection FillDirection() const { return FFillDirection; }
    void SetFillDirection(TFillDirection Value);
    TColor BeginColor() const { return FBeginColor; }
    void SetBeginColor(TColor Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TNumberOfColors NumberOfColors() const { return FNumberOfColors; }
    void SetNumberOfColors(TNumberOfColors Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int TextTop() const { return FTextTop; }
    void SetTextTop(int Value);
    int TextLeft() const { return FTextLeft; }
    void SetTextLeft(int Value);

    // The whole bar (bands and caption) drawn onto a canvas of the control's size.
    void DrawBar(TCanvas* Canvas);

protected:
    void Paint() override;

private:
    TFillDirection FFillDirection = fdLeftToRight;
    TColor FBeginColor = 0x808080;
    TColor FEndColor = clBtnFace;
    bool FAutoSize = false;
    TNumberOfColors FNumberOfColors = 255;
    std::unique_ptr<TFont> FFont;
    AnsiString FCaption = "TNetGradient";
    int FTextTop = 5;
    int FTextLeft = 12;
};
