#pragma once
// The grid's editor wrappers: one small subclass per editor control, created
// once by the grid with the grid as owner. Each knows its grid, hands the keys
// that leave it back to the grid, concludes the edit through the grid's edit
// life cycle and fires the grid's editing events.
#include "grid/editing/ProDateTimePicker.h"
#include "grid/editing/PsgCombo.h"
#include "grid/editing/PsgEdit.h"
#include "grid/editing/PsgSpin.h"
#include "grid/editing/PsgUni.h"

class TProStringGrid;

class TGridCheckBox : public TCheckBox {
public:
    explicit TGridCheckBox(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    TProStringGrid* FGrid;
};

class TGridSpin : public TPsgSpinEdit {
public:
    explicit TGridSpin(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }
    // Shows a cell's text in the current spin type as it is, not clamped to the limits
    // (the user did not choose it): a whole number, a decimal number, a date (today for
    // an empty or unreadable text) or a time; text that is no number is shown unread.
    void Fill(const AnsiString& CellText);
    // The text the editor was filled with: unchanged, nothing is stored back.
    void MarkFilled() { FFilledText = Text(); }
    bool ChangedSinceFilled() const { return Text() != FFilledText; }
    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;
    void Change() override;

private:
    // PgUp, PgDn, End and Home: the value within the limits, then OnSpinClick.
    void PageKey(Word Key);
    void FireSpinClick(bool Up);
    TProStringGrid* FGrid;
    AnsiString FFilledText;
    bool FFilling = false;
};

// The keys and exit of the Unicode edit, edit with button and memo.
class TGridUniEdit : public TPsgUniEdit {
public:
    explicit TGridUniEdit(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMChar(TWMKey& Message) override;
    void WMSetFocus(TWMFocus& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    TProStringGrid* FGrid;
};

class TGridUniMemo : public TPsgUniMemo {
public:
    explicit TGridUniMemo(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    TProStringGrid* FGrid;
};

class TGridUniEditBtn : public TPsgUniEditBtn {
public:
    explicit TGridUniEditBtn(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMChar(TWMKey& Message) override;
    void WMSetFocus(TWMFocus& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    TProStringGrid* FGrid;
};

class TGridComboKeys;

class TGridCombo : public TPSGComboBox {
public:
    explicit TGridCombo(TComponent* AOwner);
    ~TGridCombo() override;
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }
    // Sizes the dropped list to its items (AutoComboDropSize).
    void SizeDropDownToItems();
    // A notification (CBN_...) the combo sent the grid.
    void Notified(Word Code);
    // Shown over a cell: no list open, the item index as reported.
    void Shown();
    // The grid chose item 0 itself: the combo's change handling runs.
    void AutoSelected();

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;
    void WndProc(TMessage& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    friend class TGridComboKeys;
    TProStringGrid* FGrid;
    std::unique_ptr<TGridComboKeys> FKeys;
};

class TGridUniCombo : public TPSGUniComboBox {
public:
    explicit TGridUniCombo(TComponent* AOwner);
    ~TGridUniCombo() override;
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }
    void SizeDropDownToItems();
    void Notified(Word Code);
    void Shown();

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;
    void WndProc(TMessage& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    friend class TGridComboKeys;
    TProStringGrid* FGrid;
    std::unique_ptr<TGridComboKeys> FKeys;
};

class TGridDatePicker : public TDateTimePicker {
public:
    explicit TGridDatePicker(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }
    bool CalendarDropped() const { return FDropped; }
    // The value the picker was filled with: unchanged, nothing is stored back.
    void MarkFilled() { FUserChanged = false; }
    bool ChangedSinceFilled() const { return FUserChanged; }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void CMWantSpecialKey(TMessage& Message) override;
    void Change() override;
    // A two-pixel frame in the window colour over the picker's border.
    void PaintOver(TCanvas* Canvas) override;

private:
    TProStringGrid* FGrid;
    bool FDropped = false;
    bool FUserChanged = false;
};

class TGridEditBtn : public TPsgEditBtn {
public:
    explicit TGridEditBtn(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMChar(TWMKey& Message) override;
    void WndProc(TMessage& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;
    void Change() override;

private:
    // The character filter of the numeric and float types; false drops the character.
    bool AcceptChar(char Key);
    void Paste();
    TProStringGrid* FGrid;
    int FKeyDownCaret = 0;
};

class TGridUnitEditBtn : public TPsgUnitEditBtn {
public:
    explicit TGridUnitEditBtn(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }
    // A cell's text split into the number (Text) and the unit (UnitID).
    void ShowCellText(const AnsiString& CellText);

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMChar(TWMKey& Message) override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    TProStringGrid* FGrid;
};

class TGridButton : public TButton {
public:
    explicit TGridButton(TComponent* AOwner);
    TProStringGrid* Grid() const { return FGrid; }
    void RecreateWindow() { RecreateWnd(); }

protected:
    void DoExit() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    // The button's caption through the ellipsis event into the current cell.
    void Ellipsis();
    TProStringGrid* FGrid;
};
