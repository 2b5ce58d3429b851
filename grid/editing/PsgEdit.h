#pragma once
// The edit with a button inside its right edge (the button fires an event the
// program handles) and the unit edit: a number with a unit painted beside it,
// the unit chosen from a popup list on the button.
#include <memory>

#include "grid/editing/PsgSpin.h"
#include "platform/gui/Menus.h"

// The speed button of the edit: themed, flat or a push button, with a glyph and a caption.
class TProSpeedButton : public TSpeedButton {
public:
    explicit TProSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; Invalidate(); }
    // Its own flat look (an edge raised or sunken), set by the edit button.
    bool FlatLook() const { return FFlatLook; }
    void SetFlatLook(bool v) { FFlatLook = v; Invalidate(); }

protected:
    void Paint() override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    bool FIsWinXP = false;
    bool FFlatLook = false;
    bool FHot = false;
};

// The embedded button: one speed button that fills it.
class TPsgEditButton : public TWinControl {
public:
    explicit TPsgEditButton(TComponent* AOwner);
    TProSpeedButton* SpeedButton() const { return FButton; }
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v) { FFocusControl = v; }
    bool Flat() const { return FButton->FlatLook(); }
    void SetFlat(bool v) { FButton->SetFlatLook(v); }
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(TBitmap* v) { FButton->SetGlyph(v); }
    AnsiString ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const AnsiString& v) { FButton->SetCaption(v); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int v) { FButton->SetNumGlyphs(v); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Fired on the release of the left button over the speed button.
    TNotifyEvent OnClick;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ButtonReleased();
    TProSpeedButton* FButton;
    TWinControl* FFocusControl = nullptr;
};

class TPsgEditBtn : public TCustomEdit {
public:
    explicit TPsgEditBtn(TComponent* AOwner);
    TPsgEditButton* Button() const { return FButton; }
    int ButtonWidth() const { return FButton->Width(); }
    void SetButtonWidth(int v);
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool v);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    // The height follows the font (set when the font changes).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    TBitmap* Glyph() const { return FButton->Glyph(); }
    void SetGlyph(TBitmap* v) { FButton->SetGlyph(v); }
    AnsiString ButtonCaption() const { return FButton->ButtonCaption(); }
    void SetButtonCaption(const AnsiString& v) { FButton->SetButtonCaption(v); }
    // Fires OnClickBtn: the button with itself as Sender, F4 with the edit.
    virtual void ClickButton(TObject* Sender);
    int GetMinHeight();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TNotifyEvent OnClickBtn;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMChar(TWMKey& Message) override;
    void WndProc(TMessage& Message) override;
    void DoEnter() override;
    void CMFontChanged(TMessage& Message) override;
    // Lays out the edit rectangle beside the button (and the unit area).
    void SetEditRectForButton();
    // F4 with which shift keys clicks the button (none of Ctrl and Alt here).
    virtual bool F4Clicks(TShiftState Shift) const { return !(Shift & (ssCtrl | ssAlt)); }
    // Room kept for a unit between the text and the button.
    int FUnitWidth = 0;

private:
    TPsgEditButton* FButton;
    bool FRightAlign = false;
    bool FEditorEnabled = true;
    bool FAutoSize = true;
    bool FIsWinXP = false;
};

class TPsgUnitEditBtn : public TPsgEditBtn {
public:
    explicit TPsgUnitEditBtn(TComponent* AOwner);
    const AnsiString& UnitID() const { return FUnitID; }
    void SetUnitID(const AnsiString& v);
    TStrings* Units() const { return FUnits.get(); }
    // Copies the list; nullptr is ignored.
    void SetUnits(TStrings* v);
    int UnitSpace() const { return FUnitWidth; }
    void SetUnitSpace(int v);
    // Pops up the list of units; the chosen one becomes UnitID (OnClickBtn does not fire).
    void ClickButton(TObject* Sender) override;

protected:
    void PaintOver(TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;

private:
    AnsiString FUnitID;
    std::unique_ptr<TStringList> FUnits;
};
