#pragma once
// TProInplaceEdit: the editor the grid shows for the text editor types
// (edNormal, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
// edPassword, edLowerCase, edUpperCase). It filters typed characters by the
// cell's editor type, concludes the edit on Return, Tab, the arrow keys at
// the text's edges and focus loss, walks to neighbouring cells with the
// cursor keys, completes typed text from the grid's lookup list and pastes
// the first line of the clipboard's text.
#include "grid/BaseGrid.h"
#include "platform/gui/Grids.h"

class TProStringGrid;

class TProInplaceEdit : public TInplaceEdit {
public:
    explicit TProInplaceEdit(TProStringGrid* AGrid);

    TProStringGrid* GridOwner() const { return FGridOwner; }
    // 0: no limit; taken from the grid's edit limit when the editor is filled.
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int Value) { FLengthLimit = Value; }
    // The text right-aligned.
    bool VAlign() const { return FVAlign; }
    void SetVAlign(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }
    // The cell whose contents the editor was last filled with (display column, row).
    TPoint EditedCell() const { return TPoint(FEditCol, FEditRow); }

    // Hidden (by the grid or by the edit bracket), the editor's edit is over.
    void SetVisible(bool Value) override;
    void Move(const TRect& Loc) override;
    void UpdateContents() override;
    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;
    void CMWantSpecialKey(TMessage& Message) override;

private:
    // Answers true when the message ends here.
    bool FilterChar(TMessage& Message);
    bool EditKeyDown(TMessage& Message);
    void Paste();
    void FocusLost(TMessage& Message);
    void FocusGained(TMessage& Message);
    // After a refusal: the cell's text back in the editor, caret at its end (or all selected).
    void TakeCellTextBack();
    // Concludes the edit and closes the editor; false when the value was refused.
    bool ConcludeAndClose(const AnsiString& Text);
    void CursorWalk(bool Forward);
    void LookupComplete();
    TEditorType CellEditorType() const;

    TProStringGrid* FGridOwner;
    int FLengthLimit = 0;
    bool FVAlign = false;
    bool FWordWrap = true;
    int FKeyDownCaret = 0;
    int FMsgKeyDownCaret = 0;
    bool FTyped = false;
    // A refused Return: the character it types is not Return to the grid.
    bool FSwallowReturn = false;
    int FEditCol = -1;
    int FEditRow = -1;
    // Set while the editor is filled from the cell: that is no change by the user.
    bool FUpdating = false;
};
