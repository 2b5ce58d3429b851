// Where the current cell goes after an edit (Navigation's direction, wrap,
// append), and what Escape, Return and typed characters do on the grid
// itself, with the go-to-row search in the sort column.
#include "grid/ProGrid.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/SysUtils.h"

bool TProStringGrid::NextAdvanceCell(int& ACol, int& ARow, bool Forward)
{
    const int firstCol = FixedCols() > 0 ? FixedCols() : (HasNodes() ? 1 : 0);
    const int lastRow = RowCount() - 1 - FixedFooters();
    const int lastCol = ColCount() - 1 - FixedRightCols();
    // The last shown column of the cell's merged region.
    const int right = ShownMergedRegion(ACol, ARow).Right;
    const bool leftRight = FNavigation->AdvanceDirection() == adLeftRight;
    if (Forward && leftRight) {
        if (right < lastCol) {
            ACol = right + 1;
        } else if (ARow < lastRow) {
            ++ARow;
            ACol = firstCol;
        } else if (FNavigation->AdvanceInsert()) {
            const bool canAdd = CanAddRow();
            ACol = firstCol;
            if (canAdd) {
                AddRow();
                ++ARow;
                if (OnAutoAddRow)
                    OnAutoAddRow(this, RowCount() - 1 - FixedFooters());
                bool editable = false;
                for (int c = firstCol; c <= lastCol && !editable; ++c)
                    editable = IsEditable(RealColIndex(c), ARow);
                if (!editable)
                    return false;
            }
        } else {
            ARow = FixedRows();
            ACol = firstCol;
        }
    } else if (Forward) {
        if (ARow < lastRow) {
            ++ARow;
        } else {
            if (ACol < lastCol) {
                ARow = FixedRows();
                if (++ACol >= ColCount())
                    ACol = firstCol;
            } else if (FNavigation->AdvanceInsert()) {
                SetColCount(ColCount() + 1);
                ACol = right + 1;
                ARow = FixedRows();
                if (OnAutoInsertCol)
                    OnAutoInsertCol(this, ColCount() - 1 - FixedRightCols());
            } else {
                ARow = FixedRows();
                ACol = firstCol;
            }
            Invalidate();
        }
    } else if (leftRight) {
        if (ACol > firstCol) {
            --ACol;
        } else {
            ACol = lastCol;
            ARow = ARow > FixedRows() ? ARow - 1 : lastRow;
        }
    } else {
        if (ARow > FixedRows()) {
            --ARow;
        } else {
            ARow = lastRow;
            ACol = ACol > firstCol ? ACol - 1 : lastCol;
        }
    }
    ACol = std::clamp(ACol, 0, ColCount() - 1);
    ARow = std::clamp(ARow, 0, RowCount() - 1);
    return true;
}

void TProStringGrid::AdvanceToNextCell(int ACol, int ARow, bool Force, bool EditPlainCells, bool Forward,
                                       bool Nested, bool ShowEditor)
{
    if (!FNavigation->AdvanceOnEnter() && !Force)
        return;
    if (FMouseActions->RangeSelectAndEdit() && !(Options() & goEditing))
        SetOptions(Options() | goEditing);
    if (!Nested)
        FEdit.AdvanceStart = TPoint(ACol, ARow);
    const int originCol = ACol, originRow = ARow;
    FEdit.StartChar = 0;

    // Read-only cells are skipped in the advance direction; a grid with no
    // editable cell is walked once, then the advance ends where it began.
    int col = ACol, row = ARow;
    const long long cells = (long long)std::max(1, ColCount()) * std::max(1, RowCount()) + 1;
    bool found = false;
    for (long long step = 0; step < cells; ++step) {
        if (!NextAdvanceCell(col, row, Forward))
            return;
        if (!GetCellReadOnly(RealColIndex(col), row)) {
            found = true;
            break;
        }
    }
    if (found) {
        bool allow = true;
        int newRow = row, newCol = col;
        const TPoint start = FEdit.AdvanceStart;
        if (OnAutoAdvance)
            OnAutoAdvance(this, start.Y, start.X, newRow, newCol, allow);
        if (allow && OnCellChanging)
            OnCellChanging(this, start.Y, start.X, newRow, newCol, allow);
        FEdit.Advancing = true;
        if (allow && newCol >= 0 && newRow >= 0 && newCol < ColCount() && newRow < RowCount())
            FocusCell(newCol, newRow, true);
        else
            SelectCell(originCol, originRow);
        FEdit.Advancing = false;
    }

    if (ShowEditor) {
        const int realCol = RealColIndex(Col());
        const bool control = HasCellControl(realCol, Row());
        if (EditPlainCells || control) {
            if (!IsEditable(realCol, Row()))
                return;
            TBaseGrid::ShowEditor();
            if (control) {
                const bool originControl = HasCellControl(RealColIndex(originCol), originRow);
                const int newCol = Col(), newRow = Row();
                FEdit.Advancing = true;
                FEdit.PassThrough = true;
                FocusCell(originCol, originRow, true);
                FocusCell(newCol, newRow, true);
                FEdit.PassThrough = false;
                if (!originControl) {
                    // The control of the new cell is worked as by a click on it.
                    TRect r = CellRect(newCol, newRow);
                    MouseDown(mbLeft, 0, r.Left + 2, r.Top + 2);
                    MouseUp(mbLeft, 0, r.Left + 2, r.Top + 2);
                    if (FNavigation->AdvanceDirection() == adTopBottom)
                        HideEditor();
                }
                FEdit.Advancing = false;
                bool unused = true;
                if (OnCellChanging)
                    OnCellChanging(this, originRow, originCol, Row(), Col(), unused);
                TPoint originBase = GetBaseCell(RealColIndex(originCol), originRow);
                if (!IsTextEditor(GetCellEditorType(originBase.X, originBase.Y)))
                    HideEditor();
            }
        }
    }
    if (FMouseActions->DisjunctRowSelect()) {
        ClearRowSelect();
        SetShownRowSelect(Row(), true);
    }
}

// ---------------------------------------------------------------- keys on the grid
void TProStringGrid::KeyPress(char& Key)
{
    if (Key == 27) {
        if ((Options() & goEditing) && FEdit.Active) {
            RestoreEditText();
            // The default edit still shown while the grid holds the focus (a right click took it)
            // is closed on the kept text as its own Escape does: a later close must not store
            // the text the user threw away.
            if (EditorMode() && InplaceEditor() && InplaceEditor()->Visible()) {
                InplaceEditor()->SetText(FEdit.KeptText);
                EndCellEdit();
            }
        }
        TWinControl::KeyPress(Key);
        return;
    }
    const int realCol = RealColIndex(Col());
    if (Key == '\r' && !FNavigation->AdvanceOnEnter() && !IsEditable(realCol, Row())) {
        TWinControl::KeyPress(Key);
        Key = 0;
        return;
    }
    if (Key == '\r' && (!Focused() || HasCellControl(realCol, Row()))) {
        AdvanceToNextCell(Col(), Row(), false, false, true, false, FEdit.Chosen);
        if (HasCellControl(RealColIndex(Col()), Row()))
            TWinControl::KeyPress(Key);
        if (FNavigation->AdvanceOnEnter()) {
            BeginCellEdit();
            Key = 0;
            return;
        }
        // No advance: Return toggles the editor as on any grid (it closes it).
    } else if (Key != '\r' && !(Options() & goEditing) && FNavigation->AutoGotoWhenSorted() && Byte(Key) >= 8) {
        AnsiString& search = FEdit.SearchText;
        if (FNavigation->AutoGotoIncremental()) {
            if (Key == '\b') {
                if (!search.empty())
                    search.pop_back();
            } else {
                search += Key;
            }
            FEdit.SearchTicks = 0;
        } else {
            search = AnsiString(1, Key);
        }
        const int found = FindInSortColumn(AnsiUpperCase(search));
        if (found >= 0)
            SetRow(found);
        else
            search.clear();
    }
    // The default edit still shown while the grid holds the focus (a right click took it): Return
    // concludes the edit as Return in the edit does, where the standard grid would only hide the
    // edit and leave its text in the cell unvalidated and unrecorded.
    if (Key == '\r' && Focused() && FEdit.Active && EditorMode() && InplaceEditor() && InplaceEditor()->Visible()) {
        TWinControl::KeyPress(Key);
        if (Key != 0)
            LeaveCellEdit();
        Key = 0;
        return;
    }
    TBaseGrid::KeyPress(Key);
}

// ---------------------------------------------------------------- go-to-row search
int TProStringGrid::FindInSortColumn(const AnsiString& AText)
{
    if (RowCount() < 2)
        return -1;
    int col = SortSettings()->Column();
    if (!SortSettings()->Show())
        col = FixedCols();
    else if (SortSettings()->IndexShow())
        col = SortIndexes()->Count() > 0 ? SortIndexes()->GetSortColumn(0) : FixedCols();
    if (col < 0 || col >= AllColCount())
        return -1;
    for (int r = FixedRows(); r < RowCount(); ++r) {
        const AnsiString text = AnsiUpperCase(HtmlToPlainText(GetGridCell(col, r)));
        if (text.compare(0, AText.size(), AText) == 0)
            return r;
    }
    return -1;
}
