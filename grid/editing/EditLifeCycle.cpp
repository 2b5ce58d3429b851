// The grid's side of editing a cell in place: whether a cell may be edited
// and with which editor, showing and taking back the special editors, moving
// to another cell, concluding an edit (compare, validate, mark, record,
// store) and the text that goes in and out of the default in-place edit.
#include <memory>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "grid/editing/InplaceEdit.h"
#include "grid/editing/PsgCombo.h"

bool TProStringGrid::IsTextEditor(TEditorType AType) const
{
    switch (AType) {
    case edNormal: case edNumeric: case edPositiveNumeric: case edFloat: case edCapital: case edMixedCase:
    case edPassword: case edLowerCase: case edUpperCase: return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- choosing the editor
bool TProStringGrid::CanEditShow()
{
    if (FEdit.Finishing)
        return false;
    bool standard = TBaseGrid::CanEditShow();
    if (ComponentState() & csDesigning)
        return standard;
    TPoint base = GetBaseCell(RealColIndex(Col()), Row());
    bool result = false;
    if (standard && !FEdit.Chosen) {
        // Check boxes, radio buttons and buttons are worked by click and space, never edited.
        if (HasCellControl(base.X, base.Y))
            return false;
        FEdit.KeptText = GetCurrentCell();
        // The edit about to start concludes on this cell, against its text of now.
        if (!FEdit.Active)
            RememberEditCell(Col(), Row());
        FEdit.Type = GetCellEditorType(base.X, base.Y);
        if (FEdit.Type == edNone)
            return false;
        FEdit.Chosen = true;
        if (!IsTextEditor(FEdit.Type)) {
            ShowInplaceEditor(DisplayColumn(base.X), base.Y);
            SetEditorVisibleFlag(true);
            return false;
        }
        FEdit.LiveEdit = true;
        result = true;
    } else if (standard && IsTextEditor(FEdit.Type)) {
        // Asked again while the text editor is up (scrolled, moved back after a refusal).
        result = true;
    }
    if (result) {
        SetEditorVisibleFlag(true);
        FEdit.Active = true;
        FEdit.Flag = true;
    }
    return result;
}

void TProStringGrid::RestoreEditText()
{
    SetCells(RealColIndex(Col()), Row(), FEdit.KeptText);
}

// ---------------------------------------------------------------- moving to another cell
void TProStringGrid::FooterScrollOnSelect(int ARow)
{
    TFloatingFooter* footer = FFloatingFooter.get();
    if (footer->Visible()) {
        const bool fixedLast = footer->FooterStyle() == fsFixedLastRow;
        if (!fixedLast)
            FFooterPanel->Invalidate();
        const int visible = VisibleRowCount();
        if (fixedLast && ARow >= TopRow() + visible)
            SetTopRow(std::max(FixedRows(), ARow - visible + FixedRows()));
        TRect cell = CellRect(Col(), ARow);
        const int limit = fixedLast ? RowCount() - 1 : RowCount();
        if (!IsRectEmpty(cell) && cell.Bottom > ClientRect().Bottom - (FFooterPanel->Height() - 2) &&
            ARow < limit && TopRow() + 1 < RowCount())
            SetTopRow(TopRow() + 1);
    }
    if (FSearchFooter->Visible() && FSearchPanel) {
        for (;;) {
            TRect cell = CellRect(Col(), ARow);
            if (IsRectEmpty(cell) || cell.Bottom <= ClientRect().Bottom - FSearchPanel->Height() + 2 ||
                TopRow() + 1 >= RowCount() || TopRow() >= ARow)
                break;
            SetTopRow(TopRow() + 1);
        }
    }
}

void TProStringGrid::ReturnToCell(int ACol, int ARow)
{
    if (ACol == Col() && ARow == Row())
        return;
    bool saved = FEdit.PassThrough;
    FEdit.PassThrough = true;
    FocusCell(ACol, ARow, true);
    FEdit.PassThrough = saved;
}

bool TProStringGrid::SwitchEditingFor(int ACol, int ARow)
{
    const int realCol = RealColIndex(ACol);
    if (!HasCellControl(realCol, ARow)) {
        bool canEdit = ((Options() & goEditing) || FEdit.SwitchedOff) && !GetCellReadOnly(realCol, ARow);
        if (FMouseActions->EditOnDblClickOnly())
            canEdit = false;
        if (canEdit) {
            FEdit.SwitchedOff = false;
            if (!(Options() & goEditing)) {
                FEdit.OptionsChanged = true;
                if (!FEdit.Active)
                    RememberEditCell(ACol, ARow);
                TGridOptions o = Options();
                if ((o & goRowSelect) && FMouseActions->RangeSelectAndEdit())
                    o &= ~goRowSelect;
                SetOptions(o | goEditing);
            }
            if (FEdit.Active && !LeaveCellEdit())
                return false;
        } else {
            if (FEdit.Active && !LeaveCellEdit())
                return false;
            if (Options() & goEditing) {
                FEdit.SwitchedOff = true;
                FEdit.OptionsChanged = true;
                SetOptions(Options() & ~goEditing);
            }
        }
    } else {
        bool canEdit = !GetCellReadOnly(realCol, ARow);
        FEdit.SwitchedOff = !canEdit && ((Options() & goEditing) || FMouseActions->RangeSelectAndEdit());
        if (!(Options() & (goEditing | goRowSelect)) && canEdit) {
            FEdit.OptionsChanged = true;
            SetOptions(Options() | goEditing);
        }
    }
    return true;
}

bool TProStringGrid::SelectCell(int ACol, int ARow)
{
    if (FEdit.PassThrough) {
        if (!FRowIndicator->Empty() && FixedCols() > 0) {
            RepaintCell(0, Row());
            RepaintCell(0, ARow);
        }
        return true;
    }
    if (!Parent())
        return true;
    bool allow = true;
    bool result = false;
    const int realCol = RealColIndex(ACol);
    FEdit.BeginText = GetGridCell(realCol, ARow);
    FooterScrollOnSelect(ARow);
    if (FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow && ARow == RowCount() - 1)
        return false;

    // A covered cell of a merged region: the base cell becomes current instead, or the region's
    // first shown cell, which stands for a hidden base column.
    if (const TGridCoord base = ShownBaseCell(ACol, ARow);
        IsMergedNonBaseCell(realCol, ARow) && !(Options() & goRowSelect) && (base.X != ACol || base.Y != ARow)) {
        FocusCell(base.X, base.Y, true);
        RepaintMergedRegion(realCol, ARow);
        if (FMouseActions->DirectEdit() ||
            (FControlLook->DropDownAlwaysVisible() && HasComboBox(realCol, ARow)))
            ShowEditor();
        return false;
    }

    const int oldRow = Row(), oldCol = Col();
    if (ARow != oldRow && OnRowChanging)
        OnRowChanging(this, oldRow, ARow, allow);
    if (ACol != oldCol && OnColChanging)
        OnColChanging(this, oldCol, ACol, allow);
    if ((ARow != oldRow || ACol != oldCol) && !FEdit.Advancing && OnCellChanging)
        OnCellChanging(this, oldRow, oldCol, ARow, ACol, allow);
    if (ACol == 0 && HasNodes() && !(Options() & goRowSelect))
        return false;
    if (!allow)
        return false;

    // The edit ended on the way was refused: the user stays in the cell.
    if (!SwitchEditingFor(ACol, ARow))
        return false;

    const bool editorFocused = InplaceEditor() && InplaceEditor()->Focused();
    if (FEdit.Active && !editorFocused) {
        result = ConcludeCellEdit(true) && TBaseGrid::SelectCell(ACol, ARow);
    } else {
        result = !IsFixed(ACol, ARow) && TBaseGrid::SelectCell(ACol, ARow);
    }

    if (!FRowIndicator->Empty() && FixedCols() > 0) {
        RepaintCell(0, oldRow);
        RepaintCell(0, ARow);
    }
    if (FP.ActiveCellShow) {
        RepaintActiveCellHeaders(oldCol, oldRow, ACol, ARow);
        TGridRect sel = Selection();
        if (sel.Left != ACol || sel.Top != ARow)
            RepaintActiveCellHeaders(sel.Left, sel.Top, ACol, ARow);
    }
    if (ActiveRowShow()) {
        RepaintRow(oldRow);
        RepaintRow(ARow);
    }
    if (FP.SelectionRectangle)
        Invalidate();
    if (result && !(ComponentState() & csLoading) && ARow != FLastReportedRow) {
        if (OnRowUpdate)
            OnRowUpdate(this, FLastReportedRow, ARow);
        FLastReportedRow = ARow;
    }
    // Escape in a refused edit puts back the edited cell's text, not the text of the cell not reached.
    if (result)
        FEdit.KeptText = Cells(realCol, ARow);
    return result;
}

// ---------------------------------------------------------------- concluding an edit
void TProStringGrid::RememberEditCell(int ACol, int ARow)
{
    FEdit.Cell = TPoint(ACol, ARow);
    TPoint base = GetBaseCell(RealColIndex(ACol), ARow);
    FEdit.OldText = GetGridCell(base.X, base.Y);
    FEdit.OldWideText = DecodeUnicodeCell(FEdit.OldText);
    FEdit.ModifiedAtRemember = FEdit.GridModified;
    FEdit.AlwaysEditAtRemember = FNavigation->AlwaysEdit();
}

bool TProStringGrid::StartFinishing(int& ACol, int& ARow)
{
    if (!FEdit.Active || FEdit.Finishing)
        return false;
    FEdit.Active = false;
    // Rows or columns taken away under the edit took its cell along: nothing is left to conclude.
    if (FEdit.Cell.X >= ColCount() || FEdit.Cell.Y >= RowCount()) {
        RememberEditCell(Col(), Row());
        return false;
    }
    FEdit.Finishing = true;
    ACol = RealColIndex(FEdit.Cell.X);
    ARow = FEdit.Cell.Y;
    return true;
}

void TProStringGrid::ReopenRefusedEdit(int ACol, int ARow, const AnsiString& ACellText)
{
    // The editor writes what it holds as it goes: the cell gets its text after it.
    HideEditor();
    SetCells(ACol, ARow, ACellText);
    FEdit.Finishing = false;
    if (FEdit.KeepClosed)
        return;
    ReturnToCell(FEdit.Cell.X, ARow);
    FEdit.Active = true;
    BeginCellEdit();
}

bool TProStringGrid::ConcludeCellEdit(bool AReopenRefused)
{
    return ConcludeCellEdit(GetCurrentGridCell(), AReopenRefused, IsUnicodeCell(RealColIndex(Col()), Row()));
}

bool TProStringGrid::ConcludeCellEdit(const AnsiString& AText, bool AReopenRefused, bool AWide)
{
    const bool saved = FEdit.KeepClosed;
    FEdit.KeepClosed = !AReopenRefused;
    const bool accepted = AWide ? FinishCellEditWide(DecodeUnicodeCell(AText)) : FinishCellEdit(AText);
    FEdit.KeepClosed = saved;
    return accepted;
}

void TProStringGrid::NoteShownText(int ACol, int ARow, const AnsiString& AText)
{
    FEdit.ShownCell = TPoint(ACol, ARow);
    FEdit.ShownText = AText;
}

bool TProStringGrid::FinishCellEdit(const AnsiString& AText)
{
    int col = 0, row = 0;
    if (!StartFinishing(col, row))
        return true;
    bool valid = true;
    FEdit.NewText = AText;
    // The editor gave back the text it was filled with (a cell's text without its tags): the cell
    // did not change, and what the editor wrote into it as it went is taken back.
    const bool asShown = AText != FEdit.OldText && FEdit.ShownCell == FEdit.Cell && AText == FEdit.ShownText;
    FEdit.ShownCell = TPoint(-1, -1);
    if (asShown) {
        const TPoint base = GetBaseCell(col, row);
        if (GetGridCell(base.X, base.Y) != FEdit.OldText)
            SetCells(base.X, base.Y, FEdit.OldText);
    } else if (AText != FEdit.OldText) {
        const bool advanceOnEnter = FNavigation->AdvanceOnEnter();
        FNavigation->SetAdvanceOnEnter(false);
        AnsiString value = AText;
        TProStringGridCheck* checker = CellChecker();
        if (checker && checker->AutoCorrect())
            value = checker->Correct(col, row, value);
        if (OnCellValidate)
            OnCellValidate(this, col, row, value, valid);
        if (value != FEdit.OldText) {
            FEdit.GridModified = true;
            if (FixedCols() > 0) {
                SetRowModified(Row(), true);
                if (FShowModified->Enabled())
                    RepaintCell(0, Row());
            }
        }
        if (valid)
            CalcFooterColumn(col);
        if (checker && checker->AutoMarkError())
            value = checker->MarkError(col, row, value);
        if (valid && UndoRedo())
            UndoRedo()->AddCellChange(col, row, FEdit.OldText, value);
        if (valid)
            CellsChanged(TRect(col, row, col, row));
        FNavigation->SetAdvanceOnEnter(advanceOnEnter);
        FEdit.NewText = value;
        if (valid) {
            SetCells(col, row, value);
        } else {
            FEdit.Accepted = false;
            // The refused text is thrown away: the grid is as modified as it was before the edit.
            if (value == AText)
                FEdit.GridModified = FEdit.ModifiedAtRemember;
            ReopenRefusedEdit(col, row, value == AText ? FEdit.OldText : value);
            if (value == AText && FEdit.Cell.X != Col())
                UpdateEditor();
            FNavigation->SetAlwaysEdit(FEdit.AlwaysEditAtRemember);
        }
        FEdit.OldText = GetGridCell(col, row);
    }
    RememberEditCell(Col(), Row());
    FEdit.Finishing = false;
    FEdit.Accepted = valid;
    return valid;
}

bool TProStringGrid::FinishCellEditWide(const WideString& AText)
{
    int col = 0, row = 0;
    if (!StartFinishing(col, row))
        return true;
    bool valid = true;
    if (AText != FEdit.OldWideText) {
        WideString value = AText;
        CalcFooterColumn(col);
        if (OnCellValidateWide)
            OnCellValidateWide(this, col, row, value, valid);
        FEdit.GridModified = true;
        if (FShowModified->Enabled() && FixedCols() > 0) {
            SetRowModified(row, true);
            RepaintCell(0, row);
        }
        if (valid) {
            CellsChanged(TRect(col, row, col, row));
            SetWideCell(col, row, value);
        } else {
            if (value == AText)
                FEdit.GridModified = FEdit.ModifiedAtRemember;
            ReopenRefusedEdit(col, row, EncodeUnicodeCell(value == AText ? FEdit.OldWideText : value));
        }
        FEdit.OldWideText = GetWideCell(col, row);
    }
    RememberEditCell(Col(), Row());
    FEdit.Finishing = false;
    return valid;
}

// ---------------------------------------------------------------- text of the default in-place edit
AnsiString TProStringGrid::GetEditText(int ACol, int ARow)
{
    FEdit.Filling = true;
    TPoint base = GetBaseCell(RealColIndex(ACol), ARow);
    if (auto* editor = dynamic_cast<TProInplaceEdit*>(InplaceEditor())) {
        TAlignment h = taLeftJustify;
        TVAlignment v = vtaTop;
        ResolveCellAlignment(base.X, base.Y, h, v);
        editor->SetVAlign(h == taRightJustify);
    }
    AnsiString s = TBaseGrid::GetEditText(base.X, base.Y);
    if (!FP.EditWithTags)
        s = HtmlToPlainText(s);
    return s;
}

void TProStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value)
{
    TPoint base = GetBaseCell(RealColIndex(ACol), ARow);
    TBaseGrid::SetEditText(base.X, base.Y, Value);
}

void TProStringGrid::StoreEditText(int ACol, int ARow, const AnsiString& Value)
{
    TPoint base = GetBaseCell(ACol, ARow);
    // OnSetEditText hears the stored column, as it does from the grid's own editor.
    TCustomGrid::SetEditText(base.X, base.Y, Value);
    SetCells(base.X, base.Y, Value);
}

void TProStringGrid::PostEditDone(int ACol, int ARow)
{
    if (OnEditingDone)
        OnEditingDone(this);
    if (HandleAllocated())
        PostMessage(Handle(), GridEditDoneMessage(), WPARAM(ACol), LPARAM(ARow));
    if (FSearchFooter->Visible() && FSearchPanel) {
        // The search panel is painted again and its edit lays itself out anew.
        FSearchPanel->Invalidate();
        if (TRetEdit* edit = FSearchPanel->EditControl()) {
            edit->SetWidth(edit->Width() + 1);
            edit->SetWidth(edit->Width() - 1);
        }
    }
}
