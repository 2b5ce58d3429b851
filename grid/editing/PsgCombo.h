#pragma once
// The grid's combo box with its flat look (a thin frame and a flat drop-down
// button that turn three-dimensional while the mouse is over the control or it
// has the focus), and the base of a cell checker.
#include "platform/gui/Component.h"
#include "platform/gui/StdCtrls.h"

class TPSGCustomCombo : public TCustomComboBox {
public:
    explicit TPSGCustomCombo(TComponent* AOwner);
    // The control takes the focus when the mouse enters it.
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool v) { FAutoFocus = v; }
    bool Flat() const { return FFlat; }
    // Ctl3D follows as the opposite.
    void SetFlat(bool v);
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    // Only 14 to 32 are taken.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool v) { FFocusBorder = v; }
    // Width of the dropped list; 0 the default.
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int v);
    // The drop-down button drawn with the theme class "combobox" (set by the grid).
    bool Themed() const { return FThemed; }
    void SetThemed(bool v) { FThemed = v; Invalidate(); }
    bool MouseInControl() const { return FMouseIn; }
    // The version packed as 1, 0, 0, 0 from the high byte down; Version reads "1.0.0.0".
    virtual int GetVersionNr() { return 0x01000000; }
    AnsiString Version();
    void SetVersion(const AnsiString&) {}
    // Whether the frame is drawn three-dimensional now.
    bool BorderIs3D() const;

protected:
    void PaintOver(TCanvas* Canvas) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void DropDown() override;
    void WndProc(TMessage& Message) override;

private:
    void InvalidateButton();
    bool FAutoFocus = false;
    bool FFlat = true;
    bool FEtched = false;
    TColor FSavedColor;
    bool FSavedParentColor;
    int FButtonWidth;
    bool FFocusBorder = false;
    bool FMouseIn = false;
    int FDropWidth = 0;
    bool FThemed = false;
};

class TPSGComboBox : public TPSGCustomCombo {
public:
    explicit TPSGComboBox(TComponent* AOwner) : TPSGCustomCombo(AOwner) {}
};

// The base of a cell checker: the grid asks it to correct a cell's new text
// before validation (AutoCorrect) and to mark errors in it after (AutoMarkError).
// The base leaves every text as it is.
class TProStringGridCheck : public TComponent {
public:
    explicit TProStringGridCheck(TComponent* AOwner) : TComponent(AOwner) {}
    virtual AnsiString MarkError(int ACol, int ARow, const AnsiString& Value) { return Value; }
    virtual AnsiString Correct(int ACol, int ARow, const AnsiString& Value) { return Value; }
    virtual void StartCheck() {}
    virtual void StopCheck() {}
    bool GotoCell() const { return FGotoCell; }
    void SetGotoCell(bool v) { FGotoCell = v; }
    bool AutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool v) { FAutoCorrect = v; }
    bool AutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool v) { FAutoMarkError = v; }
    bool UseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool v) { FUseCorrect = v; }
    bool UseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool v) { FUseMarkError = v; }

private:
    bool FGotoCell = false, FAutoCorrect = false, FAutoMarkError = false, FUseCorrect = false,
         FUseMarkError = false;
};
