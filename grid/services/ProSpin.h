#pragma once
// The stand-alone spin edit of the print dialogs: a masked edit with a two-button
// spin control inside its right edge, for integers, decimal numbers, dates, times
// and hexadecimal numbers, with page and smart steps, sign toggling, null values,
// focus colours, a flat look and an attached label.
#include <memory>

#include "grid/editing/PsgSpin.h"

enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter
};

// The grid spin edit's spin control with the default glyphs "ProSpinUp" and "ProSpinDown".
class TProSpinButton : public TPsgSpinButton {
public:
    explicit TProSpinButton(TComponent* AOwner) : TPsgSpinButton(AOwner, "ProSpinUp", "ProSpinDown") {}
};

class TProSpinEdit : public TCustomMaskEdit {
public:
    explicit TProSpinEdit(TComponent* AOwner);
    ~TProSpinEdit() override;

    TProSpinButton* Button() const { return FButton; }
    TProSpinType SpinType() const { return FSpinType; }
    // Re-sets the current value in the new type; OnChange does not fire.
    void SetSpinType(TProSpinType v);
    // Views of the text: reading parses it, writing formats it.
    int Value();
    void SetValue(int v);
    double FloatValue();
    void SetFloatValue(double v);
    TDateTime DateValue();
    void SetDateValue(TDateTime v);
    TDateTime TimeValue();
    void SetTimeValue(TDateTime v);
    int HexValue();
    void SetHexValue(int v);
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);
    bool ShowSeconds() const { return FShowSeconds; }
    // Only while the type is sptTime.
    void SetShowSeconds(bool v);

    int MinValue() const { return FMinValue; }
    void SetMinValue(int v) { FMinValue = v; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v) { FMaxValue = v; }
    double MinFloatValue() const { return FMinFloatValue; }
    void SetMinFloatValue(double v) { FMinFloatValue = v; }
    double MaxFloatValue() const { return FMaxFloatValue; }
    void SetMaxFloatValue(double v) { FMaxFloatValue = v; }
    TDateTime MinDateValue() const { return FMinDateValue; }
    void SetMinDateValue(TDateTime v) { FMinDateValue = v; }
    TDateTime MaxDateValue() const { return FMaxDateValue; }
    void SetMaxDateValue(TDateTime v) { FMaxDateValue = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    double IncrementFloat() const { return FIncrementFloat; }
    void SetIncrementFloat(double v) { FIncrementFloat = v; }
    int IncrementPage() const { return FIncrementPage; }
    void SetIncrementPage(int v) { FIncrementPage = v; }
    double IncrementFloatPage() const { return FIncrementFloatPage; }
    void SetIncrementFloatPage(double v) { FIncrementFloatPage = v; }
    bool IncrementSmart() const { return FIncrementSmart; }
    void SetIncrementSmart(bool v) { FIncrementSmart = v; }
    int IncrementHours() const { return FIncrementHours; }
    void SetIncrementHours(int v) { FIncrementHours = v; }
    int IncrementMinutes() const { return FIncrementMinutes; }
    void SetIncrementMinutes(int v) { FIncrementMinutes = v; }
    bool Signed() const { return FSigned; }
    void SetSigned(bool v) { FSigned = v; }
    bool AllowNullValue() const { return FAllowNullValue; }
    void SetAllowNullValue(bool v) { FAllowNullValue = v; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool v) { FAutoFocus = v; }
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor v) { FFocusColor = v; }
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor v) { FFocusBorderColor = v; Invalidate(); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor v) { FFlatLineColor = v; Invalidate(); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TSpinDirection Direction() const { return FButton->Direction(); }
    void SetDirection(TSpinDirection v);
    bool SpinFlat() const { return FButton->UpButton()->Flat(); }
    void SetSpinFlat(bool v) { FButton->SetButtonsFlat(v); }
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool v);
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign v);
    // "1.0.0.0"; writes are ignored.
    AnsiString Version() const { return "1.0.0.0"; }
    void SetVersion(const AnsiString&) {}
    virtual int GetVersionNr() { return 0x01000000; }

    // The attached label, made on first use of LabelCaption.
    TLabel* EditLabel() const { return FLabel; }
    AnsiString LabelCaption() const;
    void SetLabelCaption(const AnsiString& v);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v) { FLabelPosition = v; PlaceLabel(); }
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v) { FLabelMargin = v; PlaceLabel(); }
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v) { FLabelTransparent = v; PlaceLabel(); }
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(TFont* v) { FLabelFont->Assign(v); PlaceLabel(); }
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    void SetParent(TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The steps of the spin buttons and the arrow keys.
    virtual bool IsValidChar(char Key);
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // Showing changes reach the label.
    void WndProc(TMessage& Message) override;
    // While designing or loading the label takes the font; the edit rectangle is laid out again.
    void CMFontChanged(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void Change() override;
    void Loaded() override;
    void CMMouseEnter(TMessage& Message) override;
    // The flat look's bottom line and the focus frame.
    void PaintOver(TCanvas* Canvas) override;
    bool PaintsParentBackground() const override { return FTransparent; }

private:
    // What a typed key stands for in the type: the thousand separator is the decimal separator
    // of a float, "," and "." the separator of a time.
    char ConvertKey(char Key) const;
    // Beeps and answers true for a read-only edit, which no step may change.
    bool RefuseReadOnly();
    // False when the edit is read-only and nothing was stepped.
    bool Step(bool Up, bool Page);
    bool SmartStep(bool Up);
    int CheckValue(int v) const;
    double CheckFloatValue(double v) const;
    TDateTime CheckDateValue(TDateTime v) const;
    AnsiString TimeText(TDateTime v) const;
    AnsiString HexText(int v) const;
    bool Loading() const { return ComponentState() & csLoading; }
    void SetTextKeepCaret(const AnsiString& S) { ::SetTextKeepCaret(this, S); }
    void PlaceLabel();
    void LayoutSpin();
    TProSpinButton* FButton;
    TLabel* FLabel = nullptr;
    std::unique_ptr<TFont> FLabelFont;
    TProSpinType FSpinType = sptNormal;
    int FMinValue = 0, FMaxValue = 0;
    double FMinFloatValue = 0.0, FMaxFloatValue = 0.0;
    TDateTime FMinDateValue = 0, FMaxDateValue = 0;
    TDateTime FDateStore = 0, FTimeStore = 0;
    int FHexStore = 0;
    int FIncrement = 1;
    double FIncrementFloat = 0.1;
    int FIncrementPage = 10;
    double FIncrementFloatPage = 1.0;
    bool FIncrementSmart = false;
    int FIncrementHours = 1, FIncrementMinutes = 1;
    int FPrecision = 0;
    bool FShowSeconds = true, FSigned = false, FAllowNullValue = true, FAutoFocus = false;
    bool FEditorEnabled = true, FReturnIsTab = false;
    TColor FFocusColor = clWindow, FFocusBorderColor = clNone, FSavedColor = clWindow;
    bool FFlat = false;
    TColor FFlatLineColor = clBlack;
    bool FTransparent = false;
    bool FSpinTransparent = false;
    TEditAlign FEditAlign = eaLeft;
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false, FLabelAlwaysEnabled = false;
    bool FHoldChange = false;
    bool FLoading = false;   // inside Loaded: text and change notifications are swallowed
};
