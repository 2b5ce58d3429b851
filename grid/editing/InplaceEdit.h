#pragma once
// TProInplaceEdit: the editor the grid shows for the text editor types
// (edNormal, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
// edPassword, edLowerCase, edUpperCase). It filters typed characters by the
// cell's editor type, concludes the edit on Return, Tab, the arrow keys at
// the text's edges and focus loss, walks to neighbouring cells with the
// cursor keys, completes typed text from the grid's lookup list and pastes
// the first line of the clipboard's text. It is an edit of several lines
// (one line for passwords): its text wraps with WordWrap, Return types a line
// break with the grid's LineFeedOnEnter (Ctrl+Return with AllowCtrlEnter),
// Up and Down move between its lines, and the row grows as lines are added.
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
    // Taken from the grid's WordWrap whenever the window's parameters are made: without it long
    // lines scroll sideways instead of wrapping.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The cell whose contents the editor was last filled with (display column, row).
    TPoint EditedCell() const { return TPoint(FEditCol, FEditRow); }

    // Hidden (by the grid or by the edit bracket), the editor's edit is over.
    void SetVisible(bool Value) override;
    void Move(const TRect& Loc) override;
    void UpdateContents() override;
    void WndProc(TMessage& Message) override;

protected:
    // ES_MULTILINE (ES_PASSWORD instead for passwords), ES_WANTRETURN; no sideways scrolling with WordWrap.
    void CreateParams(TCreateParams& Params) override;
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
    // Types a line break at the caret when the editor's type takes line breaks; false when it does not.
    bool TypeLineBreak();
    // Up (Down) with the caret below the first (above the last) line it shows: the editor keeps the key.
    bool InsideLines(Word Key);
    // Ctrl or Shift with Return, SizeWhileTyping.Height and Multilinecells: the row takes a line more.
    void GrowRowForLineBreak();

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
