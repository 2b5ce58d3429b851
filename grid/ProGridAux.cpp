// Small controls the grid owns besides its in-place editors: the rich edit
// of rich-text cells, the transparent edit for typing over a cell, and the
// edit and combo box that stand for form controls in mini-HTML cells.
#include "grid/ProGrid.h"

// ---------------------------------------------------------------- TProRichEdit
TProRichEdit::TProRichEdit(TProStringGrid* AGrid) : TRichEdit(AGrid), FGrid(AGrid)
{
}

void TProRichEdit::RecreateWindow()
{
    RecreateWnd();
}

void TProRichEdit::WMKillFocus(TWMFocus& Message)
{
    if (FGrid && !FGrid->RichEditPopupActive() && FGrid->HandleAllocated() &&
        Message.FocusedWnd() == FGrid->Handle())
        FGrid->EndRichEdit();
    TRichEdit::WMKillFocus(Message);
}

// The in-place editor grows with its text while the grid sizes rows as the
// user types, as long as the taller cell still fits in the grid.
void TProRichEdit::RequestResize(const TRect& Requested)
{
    FRequested = Requested;
    if (!FGrid || this != FGrid->RichEditSelection() || !FGrid->SizeWhileTyping()->Height() || FSizingLock)
        return;
    int row = FGrid->Row();
    int height = Requested.Height();
    if (row < 0 || row >= FGrid->RowCount() || height <= FGrid->RowHeights(row))
        return;
    TRect cell = FGrid->CellRect(FGrid->Col(), row);
    if (cell.Top + height >= FGrid->ClientHeight())
        return;
    // The row first: the open editor follows its cell as the row is sized, then takes its height.
    FGrid->SetRowHeights(row, height + 5);
    SetHeight(height + 4);
    if (FGrid->OnEndRowSize)
        FGrid->OnEndRowSize(FGrid, row);
}

void TProRichEdit::RequestSize(const TRect& Rect)
{
    RequestResize(Rect);
    TRichEdit::RequestSize(Rect);
}

// A multi-line rich edit takes the arrow keys itself; the dialog keys of
// the form must not move the focus away on Up and Down.
void TProRichEdit::WMGetDlgCode(TMessage& Message)
{
    TRichEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TProRichEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TRichEdit::KeyDown(Key, Shift);
    if ((Key == VK_UP || Key == VK_DOWN) && FGrid && !FGrid->WordWrap() && !FGrid->RichEditPopupActive()) {
        if (FGrid->CanFocus())
            FGrid->SetFocus();
        FGrid->GridKeyDown(Key, Shift);
    }
}

// ---------------------------------------------------------------- TGridTransEdit
TGridTransEdit::TGridTransEdit(TProStringGrid* AGrid) : TEdit(AGrid), FGrid(AGrid)
{
    SetVisible(false);
    SetParent(AGrid);
}

void TGridTransEdit::DoEnter()
{
    FEditCol = FGrid->RealColIndex(FGrid->Col());
    FEditRow = FGrid->Row();
    TEdit::DoEnter();
}

bool TGridTransEdit::CommitEdit()
{
    if (FCommitting)
        return true;
    FCommitting = true;
    struct Done {
        bool& Flag;
        ~Done() { Flag = false; }
    } done{FCommitting};
    int col = FEditCol >= 0 ? FEditCol : FGrid->RealColIndex(FGrid->Col());
    int row = FEditRow >= 0 ? FEditRow : FGrid->Row();
    AnsiString value = Text();
    bool valid = true;
    if (FGrid->OnCellValidate)
        FGrid->OnCellValidate(FGrid, col, row, value, valid);
    if (!valid) {
        int displayCol = FGrid->DisplayColumn(col);
        if (displayCol < FGrid->ColCount() && row < FGrid->RowCount())
            FGrid->MoveToCell(displayCol, row);
        if (CanFocus())
            SetFocus();
        return false;
    }
    if (FGrid->OnEditingDone)
        FGrid->OnEditingDone(FGrid);
    if (row >= 0 && row < FGrid->RowCount())
        FGrid->SetCells(col, row, value);
    SetVisible(false);
    return true;
}

void TGridTransEdit::DoExit()
{
    TEdit::DoExit();
    CommitEdit();
}

void TGridTransEdit::KeyPress(char& Key)
{
    if (Key == '\r')
        Key = 0;
    TEdit::KeyPress(Key);
}

// ---------------------------------------------------------------- form-control editors
namespace {
// Enter hands the focus back to the grid; Tab moves on to the next cell or
// to the next form control of the cell. Answers true when the key was taken.
bool FormControlKey(TWinControl* Control, TProStringGrid* Grid, char& Key, void (*Exit)(TWinControl*))
{
    if (Key != '\r' && Key != '\t')
        return false;
    const bool tab = Key == '\t';
    const bool advance = tab && Grid->Navigation()->AdvanceAuto();
    Key = 0;
    Exit(Control);
    // The hidden control leaves the keyboard to the grid, unless the cell's next control takes it.
    if ((!tab || advance) && Grid->CanFocus())
        Grid->SetFocus();
    if (advance)
        Grid->AdvanceToNextCell(Grid->Col(), Grid->Row(), true, true, true, false, true);
    else if (tab)
        Grid->ShowNextCellFormControl(Grid->RealColIndex(Grid->Col()), Grid->Row(), int(Control->Tag()));
    return true;
}
}

TControlEdit::TControlEdit(TProStringGrid* AGrid) : TMaskEdit(AGrid), FGrid(AGrid)
{
    SetVisible(false);
    SetParent(AGrid);
}

void TControlEdit::WMGetDlgCode(TMessage& Message)
{
    TMaskEdit::WMGetDlgCode(Message);
    Message.Result = (Message.Result | DLGC_WANTTAB) & ~DLGC_WANTALLKEYS;
}

void TControlEdit::WMKeyDown(TWMKey& Message)
{
    TWinControl::WMKeyDown(Message);
}

void TControlEdit::KeyPress(char& Key)
{
    auto exit = [](TWinControl* C) { static_cast<TControlEdit*>(C)->DoExit(); };
    if (!FormControlKey(this, FGrid, Key, exit))
        TMaskEdit::KeyPress(Key);
}

TControlCombo::TControlCombo(TProStringGrid* AGrid) : TPSGComboBox(AGrid), FGrid(AGrid)
{
    SetVisible(false);
    SetParent(AGrid);
}

void TControlCombo::WMGetDlgCode(TMessage& Message)
{
    TPSGComboBox::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTTAB;
}

void TControlCombo::KeyPress(char& Key)
{
    auto exit = [](TWinControl* C) { static_cast<TControlCombo*>(C)->DoExit(); };
    if (!FormControlKey(this, FGrid, Key, exit))
        TPSGComboBox::KeyPress(Key);
}
