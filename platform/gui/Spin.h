#pragma once
// The spin edit: an edit of a whole number with up and down buttons.
#include <functional>

#include "platform/gui/Controls.h"

class TSpinEdit : public TWinControl {
public:
    explicit TSpinEdit(TComponent* AOwner);
    ~TSpinEdit() override;

    // The number typed; the text read as a number, MinValue when it is none.
    int Value() const;
    // Kept inside MinValue..MaxValue (no limit when the two are equal).
    void SetValue(int v);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int v);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v);
    // What the buttons and the Up and Down keys add or take away.
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    // False: the number changes only through the buttons and keys.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v);
    void SelectAll();

    // Every change of the text, typed, stepped or set from code.
    TNotifyEvent OnChange;

protected:
    TNativeWidget* CreateNativeWidget() override;
    AnsiString GetText() const override;
    void CMTextChanged(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);
    virtual void Change();
    // The value inside the limits.
    int CheckValue(int v) const;

private:
    friend class TSpinSignals;
    void ApplyToWidget();
    void TextEdited(const AnsiString& Value);
    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
    bool FEditorEnabled = true;
    bool FSyncing = false;
};
