#pragma once
// The grid's spin edit: a masked edit with a small two-button spin control
// inside its right edge, for whole numbers, decimal numbers, dates and times.
// The timer button and the spin control are shared with the print dialogs'
// spin edit (grid/services/ProSpin.h), and so are the date step under the
// caret and the rule for the date and time separators.
#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"

// The grid's spin edit takes the first four kinds; the print dialogs' also sptHex.
enum TProSpinType { sptNormal, sptFloat, sptDate, sptTime, sptHex };
using TPsgSpinType = TProSpinType;
enum TSpinDirection { spVertical, spHorizontal };
enum TEditAlign { eaLeft, eaRight, eaCenter };

// A speed button that repeats its click while held: 400 ms after the press, then every 100 ms.
class TProTimerSpeedButton : public TSpeedButton {
public:
    explicit TProTimerSpeedButton(TComponent* AOwner);
    ~TProTimerSpeedButton() override;
    // 0 arrow left, 1 arrow right, 2 arrow up, 3 arrow down.
    int ArrowKind() const { return FArrowKind; }
    void SetArrowKind(int v) { FArrowKind = v; Invalidate(); }
    // Themed drawing (asked for; it happens while the platform's visual styles are active).
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; Invalidate(); }
    // The focus rectangle is drawn on the button (the spin control has the focus and this is its button).
    bool FocusRectShown() const { return FFocusRect; }
    void SetFocusRectShown(bool v) { FFocusRect = v; Invalidate(); }
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool v) { FAllowTimer = v; }
    TTimer* RepeatTimer() const { return FRepeatTimer; }
    void TimerExpired(TObject* Sender);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    TTimer* FRepeatTimer = nullptr;
    bool FHot = false;
    int FArrowKind = 2;
    bool FIsWinXP = false;
    bool FAllowTimer = true;
    bool FFocusRect = false;
};

// Two repeat buttons, up and down, with the keyboard focus handling of the pair.
class TPsgSpinButton : public TWinControl {
public:
    explicit TPsgSpinButton(TComponent* AOwner) : TPsgSpinButton(AOwner, "PsgSpinUp", "PsgSpinDown") {}
    TProTimerSpeedButton* UpButton() const { return FUp; }
    TProTimerSpeedButton* DownButton() const { return FDown; }
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v) { FFocusControl = v; }
    bool IsWinXP() const { return FUp->IsWinXP(); }
    void SetIsWinXP(bool v);
    // No bitmap (nullptr) loads the default arrow.
    TBitmap* UpGlyph() const { return FUp->Glyph(); }
    void SetUpGlyph(TBitmap* v);
    TBitmap* DownGlyph() const { return FDown->Glyph(); }
    void SetDownGlyph(TBitmap* v);
    int UpNumGlyphs() const { return FUp->NumGlyphs(); }
    void SetUpNumGlyphs(int v) { FUp->SetNumGlyphs(v); }
    int DownNumGlyphs() const { return FDown->NumGlyphs(); }
    void SetDownNumGlyphs(int v) { FDown->SetNumGlyphs(v); }
    // Both buttons flat, or transparent.
    void SetButtonsFlat(bool v);
    void SetButtonsTransparent(bool v);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    // The default glyphs come from the bitmap resources UpResource and DownResource.
    TPsgSpinButton(TComponent* AOwner, const char* UpResource, const char* DownResource);
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TWMFocus& Message) override;
    void WMKillFocus(TWMFocus& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void LayoutButtons(int W, int H);
    void ButtonMouseDown(TProTimerSpeedButton* B);
    // The focus rectangle moves to B.
    void FocusButton(TProTimerSpeedButton* B);
    void LoadGlyph(TProTimerSpeedButton* B, TBitmap* Glyph, const AnsiString& Resource);
    TProTimerSpeedButton* FUp;
    TProTimerSpeedButton* FDown;
    TProTimerSpeedButton* FFocusedButton;
    AnsiString FUpResource, FDownResource;
    TSpinDirection FDirection = spVertical;
    TWinControl* FFocusControl = nullptr;
};

// ---------------------------------------------------------------- shared steps
// The date stepped by Sign in the part under the caret (day, month or year by the
// short date format's order); MonthFirst tells that order.
TDateTime StepDateAtCaret(const AnsiString& Text, int Caret, TDateTime Value, int Sign, bool& MonthFirst);
// The rule both spin edits share for the time and the date separator typed in a
// type that is not theirs: false when Key must be refused.
bool SpinSeparatorAllowed(char Key, TProSpinType Type);
// Places the button inside the right edge of an edit, as the spin and the button edits do.
void PlaceEditButton(TWinControl* Edit, TControl* Button, bool HasBorder);
// The height an edit's text needs in Font: its text height and a quarter of the smaller of
// that and the system font's.
int FontMinHeight(TFont* Font);
// The height an auto-sized edit with a single border takes for its font: the font's text height
// and the frame (8 border widths three-dimensional, 6 flat). Without a border it keeps its height.
void AutoSizeEditHeight(TCustomEdit* Edit);
// Sets an edit's text and keeps the caret where it was (at most at the new end).
void SetTextKeepCaret(TCustomEdit* Edit, const AnsiString& S);
// Value moved by Delta, stopping at the ends of the 32-bit range instead of wrapping.
int StepInteger(int Value, long long Delta);
// Ctrl+V, Shift+Insert, Ctrl+X or Shift+Delete: a key that pastes or cuts in an edit.
bool IsClipboardEditKey(Word Key, TShiftState Shift);
// The edit style bits that align a spin edit's text.
DWORD EditAlignStyle(TEditAlign Align);

// ---------------------------------------------------------------- TPsgSpinEdit
class TPsgSpinEdit : public TCustomMaskEdit {
public:
    explicit TPsgSpinEdit(TComponent* AOwner);
    ~TPsgSpinEdit() override;

    TPsgSpinButton* Button() const { return FButton; }
    TPsgSpinType SpinType() const { return FSpinType; }
    // Re-reads the value in the new type and writes it back (formatted and clamped).
    void SetSpinType(TPsgSpinType v);
    // Views of the text: reading parses it, writing formats it.
    int Value();
    void SetValue(int v);
    double FloatValue();
    void SetFloatValue(double v);
    TDateTime DateValue();
    void SetDateValue(TDateTime v);
    TDateTime TimeValue();
    void SetTimeValue(TDateTime v);
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);

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
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    // The height follows the font (set when the font changes).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    TSpinDirection Direction() const { return FButton->Direction(); }
    void SetDirection(TSpinDirection v);
    bool SpinFlat() const { return FButton->UpButton()->Flat(); }
    void SetSpinFlat(bool v);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool v);
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    // Set by each date step: month before day in the short date format.
    bool DateOrderMonthFirst() const { return FMonthFirst; }

    // One step in the current type; Page for the page keys.
    virtual void StepUp(bool Page);
    virtual void StepDown(bool Page);
    virtual bool IsValidChar(char Key);
    // The spin control's clicks: one step (a subclass is told of them here).
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);
    // The height the font needs.
    int GetMinHeight();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Loaded() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void WndProc(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void CMFontChanged(TMessage& Message) override;
    bool Loading() const { return ComponentState() & csLoading; }
    int CheckValue(int v) const;
    double CheckFloatValue(double v) const;
    TDateTime CheckDateValue(TDateTime v) const;
    // The text FloatValue's setter makes of v, without clamping it.
    AnsiString FloatText(double v) const;

private:
    void Step(int Sign, bool Page);
    void SetTextKeepCaret(const AnsiString& S) { ::SetTextKeepCaret(this, S); }
    void SetEditRectForButton();
    TPsgSpinButton* FButton;
    int FMinValue = 0, FMaxValue = 100;
    double FMinFloatValue = 0.0, FMaxFloatValue = 100.0;
    TDateTime FMinDateValue = 0, FMaxDateValue = 0;
    TDateTime FDateStore = 0, FTimeStore = 0;
    int FIncrement = 1;
    double FIncrementFloat = 0.1;
    bool FEditorEnabled = true;
    bool FAutoSize = true;
    TPsgSpinType FSpinType = sptNormal;
    int FPrecision = 0;
    bool FReturnIsTab = false;
    bool FIsWinXP = false;
    bool FExcelStyleDecimalSeparator = false;
    bool FMonthFirst = false;
    bool FSpinTransparent = false;
    TEditAlign FEditAlign = eaLeft;
};
