#pragma once
// The colour button: a colour half and a drop-down half that opens a popup
// palette of 56 colours, an "Automatic" button, a custom-colour cell and the
// system colour dialog (its custom colours kept in the registry).
#include "controls/KXCtrls.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/ExtCtrls.h"

enum TGlyphType { gtForeground, gtBackground, gtLines, gtCustom };

// The 56 palette colours, row by row (index 0 = cell 1).
extern const TColor PaletteColors[56];

// A button that paints a colour swatch.
class TColBtn : public TKxSpeedButton {
public:
    explicit TColBtn(TComponent* AOwner);
    TColor Color() const { return FSwatch; }
    void SetColor(TColor v);

protected:
    void Paint() override;

private:
    TColor FSwatch = clBlack;
};

class TColorBtn;

class TColorPicker : public TCustomPanel {
public:
    TColorPicker(TComponent* AOwner, TColorBtn* Button);
    ~TColorPicker() override;
    TColBtn* AutoButton() const { return FAutoBtn; }
    TColBtn* CustomCell() const { return FCustomBtn; }
    TColBtn* Cell(int Index) const { return FCells[Index - 1]; }   // 1 .. 56
    TKxSpeedButton* OtherButton() const { return FOtherBtn; }
    TColor SelectedColor() const { return FSelectedColor; }
    bool AutoChosen() const { return FAutoChosen; }
    TColorDialog* ColorDialog() const { return FDialog; }
    void SetShowAutomatic(bool Value);
    // Marks the cell of Color (or the custom cell) down.
    void MarkColor(TColor Color);
    // The registry key's custom colours into / out of the dialog.
    void LoadCustomColors();
    void SaveCustomColors();
    std::function<void()> OnChosen;
    std::function<void(bool Open)> OnDialogOpen;

private:
    void CellClick(TObject* Sender);
    void OtherClick(TObject* Sender);
    TColorBtn* FOwnerBtn;
    TColorDialog* FDialog;
    TColBtn* FAutoBtn;
    TColBtn* FCustomBtn;
    TColBtn* FCells[56];
    TKxSpeedButton* FOtherBtn;
    TColor FSelectedColor = clBlack;
    bool FAutoChosen = false;
    bool FShowAutomatic = true;
};

class TColPickDlg : public TForm {
public:
    TColPickDlg(TComponent* AOwner, TColorBtn* Button);
    TColorPicker* ColPick = nullptr;
    TColor CurrentColor() const { return FCurrentColor; }
    bool Accepted() const { return FAccepted; }
    // Return accepts the palette's selection, Escape closes without a choice.
    void PickKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

protected:
    void WMKillFocus(TWMFocus& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    // Another window activated takes the focus with it: the popup closes as on losing the focus.
    void Deactivate() override;

private:
    friend class TColorBtn;
    TColorBtn* FButton;
    bool FAccepted = false;
    bool FDialogOpen = false;
    TColor FCurrentColor = clBlack;
};

class TColorBtn : public TCustomPanel {
public:
    explicit TColorBtn(TComponent* AOwner);
    ~TColorBtn() override;

    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor Value);
    TColor TargetColor() const { return FTargetColor; }
    void SetTargetColor(TColor Value) { FTargetColor = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool DropDownFlat() const { return FDropDownFlat; }
    void SetDropDownFlat(bool Value) { FDropDownFlat = Value; }
    TColor AutomaticColor() const { return FAutomaticColor; }
    void SetAutomaticColor(TColor Value) { FAutomaticColor = Value; }
    bool IsAutomatic() const { return FIsAutomatic; }
    void SetIsAutomatic(bool Value) { FIsAutomatic = Value; }
    TGlyphType GlyphType() const { return FGlyphType; }
    void SetGlyphType(TGlyphType Value);
    TBitmap* Glyph() const { return FColorHalf->Glyph(); }
    void SetGlyph(TBitmap* Value);
    const AnsiString& AutoBtnCaption() const { return FAutoBtnCaption; }
    void SetAutoBtnCaption(const AnsiString& v) { FAutoBtnCaption = v; }
    const AnsiString& OtherBtnCaption() const { return FOtherBtnCaption; }
    void SetOtherBtnCaption(const AnsiString& v) { FOtherBtnCaption = v; }
    const AnsiString& RegKey() const { return FRegKey; }
    // An empty key stores "Palette0".
    void SetRegKey(const AnsiString& Value);
    bool LastChoiceAutomatic() const { return FLastAutomatic; }
    TColBtn* ColorHalf() const { return FColorHalf; }
    TKxSpeedButton* DropDownHalf() const { return FDropHalf; }
    // The open popup, nullptr when closed.
    TColPickDlg* Popup() const { return FPopup; }
    // Opens the popup as a click on the drop-down half does.
    void DropDown();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool Value) override;

    TNotifyEvent BeforeDropDown;

protected:
    void WMSize(TWMSize& Message) override;
    // The popup, owned by the application, may go first (at the program's end): it is forgotten.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMMouseEnter(TMessage& Message) override {}
    void CMMouseLeave(TMessage& Message) override {}
    // The halves cover the panel: a click reaches the panel itself only past disabled halves,
    // and does nothing.
    void Click() override {}

private:
    friend class TColPickDlg;
    void PopupClosed(TObject* Sender, TCloseAction& Action);
    TColBtn* FColorHalf;
    TKxSpeedButton* FDropHalf;
    TColPickDlg* FPopup = nullptr;
    bool FLastAutomatic = false;
    TColor FActiveColor = 0;
    TColor FTargetColor = 0;
    bool FFlat = false;
    bool FDropDownFlat = true;
    TColor FAutomaticColor = 0;
    bool FIsAutomatic = true;
    TGlyphType FGlyphType = gtForeground;
    AnsiString FAutoBtnCaption = "Automatic";
    AnsiString FOtherBtnCaption = "&Other colors...";
    AnsiString FRegKey = "Palette0";
};
