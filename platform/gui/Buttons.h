#pragma once
// The framework's glyph buttons: the speed button (a graphic button that can
// latch down, alone or in a group) and the bitmap button (a push button with a
// glyph and stock kinds), with what they share: where the glyph sits beside
// the caption, the state a button is drawn in and the glyph's cells.
#include <memory>

#include "platform/gui/ActnList.h"
#include "platform/gui/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Up, greyed, pressed while the mouse holds it, and latched down (a grouped button that stays down).
enum TButtonState : int { bsUp, bsDisabled, bsDown, bsExclusive };

// Where glyph and caption go inside Client: Margin is the distance of the glyph
// from the edge it sits at (-1: the two centred together), Spacing the gap
// between them (-1: centred in the room left; with Margin -1 too, margin and
// spacing are equal). Text or glyph of no width takes no spacing.
void CalcButtonLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout, int Margin,
                      int Spacing, TPoint& GlyphPos, TPoint& TextPos);

// A glyph of NumGlyphs cells side by side: up, disabled, down (pressed) and
// exclusive (latched down). A state without a cell of its own shows the up
// cell; the disabled one is made from it in grey. The bottom-left pixel is the
// transparent colour.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TBitmap* Glyph() const { return FGlyph.get(); }
    // A width that is an exact multiple (1 to 4) of the height sets NumGlyphs.
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    // 1 to 4; other values are ignored.
    void SetNumGlyphs(int Value);
    // The size of one cell (0 x 0 without a glyph).
    TSize CellSize() const;
    // Paints the state's cell with its top-left corner at X, Y.
    void Draw(TCanvas* Canvas, int X, int Y, TButtonState State) const;

private:
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
};

// ---------------------------------------------------------------- TSpeedButton
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The buttons of one parent with the same GroupIndex (not 0) are a group: at
    // most one is down, and a click on an up button puts it down.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Without AllowAllUp a down button of a group goes up only when another one
    // goes down; with it a click puts it up. The group shares the setting.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    // Only a button of a group (GroupIndex not 0) stays down.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // No frame until the mouse is over the button (or it is down).
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // -1 or more; see CalcButtonLayout.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // The parent shows through where the button paints nothing.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Drawn state: bsUp, bsDown while pressed, bsExclusive when down.
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void Dispatch(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    TControlActionLink* CreateActionLink() override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

private:
    // Tells the parent's other buttons (CM_BUTTONPRESSED) that this one went down
    // or changed its group's settings.
    void UpdateExclusive();
    void ButtonPressed(TSpeedButton* Sender);
    std::unique_ptr<TButtonGlyph> FGlyph;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FDown = false;
    bool FFlat = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;
    TButtonState FState = bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;
};

// The speed button's link to its action (see TGroupButtonActionLink).
class TSpeedButtonActionLink : public TGroupButtonActionLink<TSpeedButton> {
public:
    explicit TSpeedButtonActionLink(TSpeedButton* AClient) : TGroupButtonActionLink<TSpeedButton>(AClient) {}
};

// ---------------------------------------------------------------- TBitBtn
// bkCustom keeps what the program sets; the others bring the stock caption,
// glyph and modal result ("OK" mrOk, "Cancel" mrCancel, "&Yes" mrYes, "&No"
// mrNo, "Abort" mrAbort, "&Retry" mrRetry, "&Ignore" mrIgnore, "&All" mrAll,
// "&Help" and "&Close" none: Close closes the form). OK and Yes become the
// default button, Cancel and No the cancel button.
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    // A glyph set by the program makes the kind bkCustom.
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    // bkClose closes the form; then as a button (ModalResult, OnClick or the action).
    void Click() override;
    // Paints face, glyph and caption as the button shows now (its widget paints through it).
    void PaintButton(TCanvas* Canvas, bool Pressed, bool Focused);

protected:
    TNativeWidget* CreateNativeWidget() override;

private:
    std::unique_ptr<TButtonGlyph> FGlyph;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};

// The stock caption of a kind ("" for bkCustom).
AnsiString BitBtnCaption(TBitBtnKind Kind);
TModalResult BitBtnModalResult(TBitBtnKind Kind);
