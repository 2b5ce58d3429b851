#pragma once
// TEditLink: any control of the application as the editor of edCustom cells.
// The application derives from it: its descendant makes and owns the control
// and overrides the virtual operations; the grid drives the link when it shows
// and hides the editor. The control sits over the cell (esInplace) or on a
// borderless stay-on-top form beside it (esPopup); that form is the link's own.
#include "platform/gui/Component.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

class TProStringGrid;

enum TEditStyle { esInplace, esPopup };

class TEditLink : public TComponent {
public:
    explicit TEditLink(TComponent* AOwner);
    ~TEditLink() override;

    TProStringGrid* Grid() const { return FGrid; }
    // The cell being edited (real column, row).
    TPoint EditCell() const { return FEditCell; }
    bool WantKeyLeftRight() const { return FWantKeyLeftRight; }
    void SetWantKeyLeftRight(bool v) { FWantKeyLeftRight = v; }
    bool WantKeyUpDown() const { return FWantKeyUpDown; }
    void SetWantKeyUpDown(bool v) { FWantKeyUpDown = v; }
    bool WantKeyHomeEnd() const { return FWantKeyHomeEnd; }
    void SetWantKeyHomeEnd(bool v) { FWantKeyHomeEnd = v; }
    bool WantKeyPriorNext() const { return FWantKeyPriorNext; }
    void SetWantKeyPriorNext(bool v) { FWantKeyPriorNext = v; }
    bool WantKeyReturn() const { return FWantKeyReturn; }
    void SetWantKeyReturn(bool v) { FWantKeyReturn = v; }
    bool WantKeyEscape() const { return FWantKeyEscape; }
    void SetWantKeyEscape(bool v) { FWantKeyEscape = v; }
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle v) { FEditStyle = v; }
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int v) { FPopupWidth = v; }
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int v) { FPopupHeight = v; }
    // The popup takes the cell's width.
    bool AutoPopupWidth() const { return FAutoPopupWidth; }
    void SetAutoPopupWidth(bool v) { FAutoPopupWidth = v; }
    // The popup's screen position; -1 beside the cell.
    int PopupLeft() const { return FPopupLeft; }
    void SetPopupLeft(int v) { FPopupLeft = v; }
    int PopupTop() const { return FPopupTop; }
    void SetPopupTop(int v) { FPopupTop = v; }
    // The popup form, made the first time the link shows as a popup.
    TForm* PopupForm() const { return FPopupForm; }
    bool Leaving() const { return FLeaving; }
    // The grid takes the focus from the control; meanwhile the link is leaving, so that the
    // control's exit is no exit of the edit.
    void ReturnFocusToGrid();

    // The key protocol; the descendant calls it from its control's key-down event.
    virtual void EditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    virtual TWinControl* GetEditControl() { return nullptr; }
    virtual void CreateEditor(TWinControl* AParent) {}
    virtual void DestroyEditor() {}
    virtual void SetFocus(bool Value);
    virtual void SetRect(TRect R);
    virtual void SetVisible(bool Value);
    virtual void SetProperties() {}
    virtual void SetCellProps(TColor AColor, TFont* AFont) {}
    virtual AnsiString GetEditorValue() { return AnsiString(); }
    virtual void SetEditorValue(const AnsiString& s) {}

    // Commit and close; the descendant calls it from its control's exit event.
    void EditExit();
    void EditDone();
    void HideEditor();
    void StoreValue(const AnsiString& s);
    // The grid shows the link over (RealCol, ARow), its cell rectangle R, with the text.
    void Show(TProStringGrid* AGrid, int RealCol, int ARow, const TRect& R, TColor CellColor, TFont* CellFont,
              const AnsiString& Text);

protected:
    void PopupDeactivate(TObject* Sender);
    // The grid going away is forgotten.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TProStringGrid* FGrid = nullptr;
    TPoint FEditCell{-1, -1};
    bool FWantKeyLeftRight = false, FWantKeyUpDown = false, FWantKeyHomeEnd = false;
    bool FWantKeyPriorNext = false, FWantKeyReturn = false, FWantKeyEscape = false;
    TEditStyle FEditStyle = esInplace;
    TForm* FPopupForm = nullptr;
    int FPopupWidth = 0, FPopupHeight = 0;
    bool FLeaving = false;
    bool FAutoPopupWidth = false;
    int FPopupLeft = -1, FPopupTop = -1;
};
